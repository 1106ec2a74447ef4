#include "core/Welcome.h"

#include "core/ErrorMessage.h"
#include "core/SettingsFile.h"
#include "platform/Prompter.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

// The error number of a failed file access, as the program's other file errors give it.
constexpr int kFileAccessError = 75;

} // namespace

Welcome::Welcome(SettingsFile& settings, Settings& memory, Prompter& prompter,
    std::function<void()> loadMainWindow, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      Label1(new QLabel(u"Please select your prefered language:"_s, this)),
      LangSel { new QPushButton(u"&Dansk"_s, this), new QPushButton(u"&English"_s, this) },
      settings_(settings),
      memory_(memory),
      prompter_(prompter),
      loadMainWindow_(std::move(loadMainWindow))
{
    setObjectName(u"Welcome"_s);
    setWindowTitle(u"Welcome to Ringtally!"_s);
    auto* buttons = new QHBoxLayout;
    for (size_t n = 0; n < LangSel.size(); ++n) {
        buttons->addWidget(LangSel[n]);
        connect(LangSel[n], &QPushButton::clicked, this, [this, n] { LangSel_Click(int(n)); });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
}

void Welcome::LangSel_Click(int index)
{
    memory_.Language = quint8(index);
    if (const Status written = settings_.WriteIni(u"Configuration"_s, u"Language"_s, index); !written)
        prompter_.ask(errorPrompt(ErrorTitle::FileError, kFileAccessError, written.message()));
    hide();
    deleteLater();
    loadMainWindow_();
}

void Welcome::closeEvent(QCloseEvent* event)
{
    if (isVisible())
        event->ignore();
    else
        event->accept();
}

} // namespace ringtally
