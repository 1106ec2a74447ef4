#include "platform/linux/MessageBoxPrompter.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace ringtally {

namespace {

QMessageBox::Icon boxIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::None:
        return QMessageBox::NoIcon;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton buttonFor(PromptAnswer answer)
{
    switch (answer) {
    case PromptAnswer::Yes:
        return QMessageBox::Yes;
    case PromptAnswer::No:
        return QMessageBox::No;
    case PromptAnswer::Cancel:
        return QMessageBox::Cancel;
    case PromptAnswer::Ok:
        break;
    }
    return QMessageBox::Ok;
}

PromptAnswer answerFor(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    default:
        return PromptAnswer::Ok;
    }
}

} // namespace

MessageBoxPrompter::MessageBoxPrompter(QWidget* parent) : parent_(parent)
{
}

PromptAnswer MessageBoxPrompter::ask(const Prompt& prompt)
{
    QMessageBox box(boxIcon(prompt.icon), prompt.title, prompt.text, boxButtons(prompt.buttons), parent_);
    // The first button is the default, as in the original's boxes: Enter means Ok or Yes.
    const QMessageBox::StandardButton first
        = (prompt.buttons == PromptButtons::YesNo || prompt.buttons == PromptButtons::YesNoCancel)
        ? QMessageBox::Yes
        : QMessageBox::Ok;
    box.setDefaultButton(first);
    // Escape and the window's close button both take this one.
    box.setEscapeButton(buttonFor(answerWhenClosed(prompt.buttons)));
    box.exec();

    QAbstractButton* clicked = box.clickedButton();
    return clicked ? answerFor(box.standardButton(clicked)) : answerWhenClosed(prompt.buttons);
}

} // namespace ringtally
