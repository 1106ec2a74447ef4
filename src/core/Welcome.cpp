#include "core/Welcome.h"

#include "core/ErrorMessage.h"
#include "core/SettingsFile.h"
#include "platform/Prompter.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

// The error number of a failed file access, as the program's other file errors give it.
constexpr int kFileAccessError = 75;
// The height of a flag on its button, in pixels.
constexpr int kFlagHeight = 28;

// The Danish flag: a white cross on red, 37 by 28 units with the upright of the cross a third in.
QPixmap danishFlag()
{
    QPixmap flag(37 * kFlagHeight / 28, kFlagHeight);
    flag.fill(QColor(0xc8, 0x10, 0x2e));
    QPainter painter(&flag);
    const double unit = kFlagHeight / 28.0;
    painter.fillRect(QRectF(12 * unit, 0, 4 * unit, flag.height()), Qt::white);
    painter.fillRect(QRectF(0, 12 * unit, flag.width(), 4 * unit), Qt::white);
    return flag;
}

// The Union flag, drawn on 60 by 30 units: white and red diagonals under a white-edged red cross.
QPixmap unionFlag()
{
    QPixmap flag(2 * kFlagHeight, kFlagHeight);
    flag.fill(QColor(0x01, 0x21, 0x69));
    QPainter painter(&flag);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(flag.width() / 60.0, flag.height() / 30.0);
    QPainterPath diagonals;
    diagonals.moveTo(0, 0);
    diagonals.lineTo(60, 30);
    diagonals.moveTo(60, 0);
    diagonals.lineTo(0, 30);
    painter.setClipRect(0, 0, 60, 30);
    painter.strokePath(diagonals, QPen(Qt::white, 6));
    painter.strokePath(diagonals, QPen(QColor(0xc8, 0x10, 0x2e), 2));
    painter.fillRect(QRectF(25, 0, 10, 30), Qt::white);
    painter.fillRect(QRectF(0, 10, 60, 10), Qt::white);
    painter.fillRect(QRectF(27, 0, 6, 30), QColor(0xc8, 0x10, 0x2e));
    painter.fillRect(QRectF(0, 12, 60, 6), QColor(0xc8, 0x10, 0x2e));
    return flag;
}

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
    const std::array<QPixmap, 2> flags { danishFlag(), unionFlag() };
    auto* buttons = new QHBoxLayout;
    for (size_t n = 0; n < LangSel.size(); ++n) {
        LangSel[n]->setIcon(flags[n]);
        LangSel[n]->setIconSize(flags[n].size());
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
        prompter_.ask(errorPrompt(ErrorTitle::FileError, kFileAccessError,
            settingsNotStoredText(written.message(), index > 0), index > 0));
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
