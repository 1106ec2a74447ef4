#include "platform/linux/MessageBoxPrompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using Act = std::function<void(QMessageBox&)>;

// Asks the prompter and, from inside the event loop of the box it shows, lets act answer the box.
// Any other modal window is closed, so that a fault fails the test instead of hanging it.
PromptAnswer askAndAnswer(MessageBoxPrompter& prompter, const Prompt& prompt, const Act& act)
{
    QObject context;
    bool shown = false;
    QTimer::singleShot(0, &context, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown = true;
            act(*box);
        } else if (modal) {
            modal->close();
        }
    });
    const PromptAnswer answer = prompter.ask(prompt);
    EXPECT_TRUE(shown) << "no modal message box was shown";
    return answer;
}

Act click(QMessageBox::StandardButton which)
{
    return [which](QMessageBox& box) {
        if (QAbstractButton* button = box.button(which))
            return button->click();
        ADD_FAILURE() << "the box has no button " << which;
        box.close();
    };
}

TEST(MessageBoxPrompterTest, ShowsTitleTextAndIconModalToTheParentWindow)
{
    const std::pair<PromptIcon, QMessageBox::Icon> icons[] = { { PromptIcon::None, QMessageBox::NoIcon },
        { PromptIcon::Information, QMessageBox::Information },
        { PromptIcon::Exclamation, QMessageBox::Warning }, { PromptIcon::Critical, QMessageBox::Critical },
        { PromptIcon::Question, QMessageBox::Question } };
    QWidget parent;
    parent.show();
    MessageBoxPrompter prompter(&parent);
    const QString text = u"Fejl nr. 53 opstod\nFilen findes ikke"_s;
    for (const auto& [icon, expected] : icons) {
        SCOPED_TRACE(static_cast<int>(icon));
        const PromptAnswer answer
            = askAndAnswer(prompter, Prompt { u"Advarsel!"_s, text, icon, PromptButtons::Ok },
                [&, expected = expected](QMessageBox& box) {
                    EXPECT_EQ(box.windowTitle(), u"Advarsel!"_s);
                    EXPECT_EQ(box.text(), text);
                    EXPECT_EQ(box.icon(), expected);
                    EXPECT_EQ(box.parentWidget(), &parent);
                    click(QMessageBox::Ok)(box);
                });
        EXPECT_EQ(answer, PromptAnswer::Ok);
    }
}

TEST(MessageBoxPrompterTest, EachButtonGivesItsAnswerAndClosingGivesTheCautiousOne)
{
    using QMB = QMessageBox;
    struct Case {
        PromptButtons buttons;
        QMB::StandardButtons shown;
        QMB::StandardButton defaultButton;
        PromptAnswer whenClosed;
    };
    const Case cases[] = {
        { PromptButtons::Ok, QMB::Ok, QMB::Ok, PromptAnswer::Ok },
        { PromptButtons::OkCancel, QMB::Ok | QMB::Cancel, QMB::Ok, PromptAnswer::Cancel },
        { PromptButtons::YesNo, QMB::Yes | QMB::No, QMB::Yes, PromptAnswer::No },
        { PromptButtons::YesNoCancel, QMB::Yes | QMB::No | QMB::Cancel, QMB::Yes, PromptAnswer::Cancel },
    };
    const std::pair<QMB::StandardButton, PromptAnswer> answers[]
        = { { QMB::Ok, PromptAnswer::Ok }, { QMB::Cancel, PromptAnswer::Cancel },
              { QMB::Yes, PromptAnswer::Yes }, { QMB::No, PromptAnswer::No } };
    MessageBoxPrompter prompter;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.buttons));
        const Prompt prompt { u"t"_s, u"x"_s, PromptIcon::Question, c.buttons };
        for (const auto& [button, answer] : answers) {
            if (c.shown.testFlag(button)) {
                EXPECT_EQ(askAndAnswer(prompter, prompt, click(button)), answer) << "clicked " << button;
            }
        }
        const Act closeBox = [&c](QMessageBox& box) {
            EXPECT_EQ(box.standardButtons(), c.shown);
            EXPECT_EQ(box.standardButton(box.defaultButton()), c.defaultButton);
            box.close();
        };
        EXPECT_EQ(askAndAnswer(prompter, prompt, closeBox), c.whenClosed) << "closed from the title bar";
        const Act escape = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); };
        EXPECT_EQ(askAndAnswer(prompter, prompt, escape), c.whenClosed) << "closed with Escape";
    }
}

} // namespace
} // namespace ringtally
