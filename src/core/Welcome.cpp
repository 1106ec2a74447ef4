#include "core/Welcome.h"

#include "core/ErrorMessage.h"
#include "core/SettingsFile.h"
#include "platform/Prompter.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <array>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

// The error number of a failed file access, as the program's other file errors give it.
constexpr int kFileAccessError = 75;
// The height of a flag on its button, in pixels.
constexpr int kFlagHeight = 28;
constexpr QSize kDanishFlagSize(37 * kFlagHeight / 28, kFlagHeight);
constexpr QSize kUnionFlagSize(2 * kFlagHeight, kFlagHeight);

// The screen scales a flag is drawn for: on a scaled screen the button takes the sharp one.
constexpr std::array kScales { 1.0, 1.5, 2.0, 3.0 };

// A flag of size on a screen of scale, drawn by paint on units of unitsWide by unitsHigh.
template <typename Paint>
QPixmap flagPixmap(QSize size, double unitsWide, double unitsHigh, double scale, Paint paint)
{
    QPixmap flag(size * scale);
    flag.setDevicePixelRatio(scale);
    QPainter painter(&flag);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(flag.width() / unitsWide, flag.height() / unitsHigh);
    painter.setClipRect(QRectF(0, 0, unitsWide, unitsHigh));
    paint(painter);
    return flag;
}

template <typename Paint> QIcon flagIcon(QSize size, double unitsWide, double unitsHigh, Paint paint)
{
    QIcon icon;
    for (const double scale : kScales)
        icon.addPixmap(flagPixmap(size, unitsWide, unitsHigh, scale, paint));
    return icon;
}

// The Danish flag: a white cross on red, 37 by 28 units with the upright of the cross a third in.
QIcon danishFlag()
{
    return flagIcon(kDanishFlagSize, 37, 28, [](QPainter& painter) {
        painter.fillRect(QRectF(0, 0, 37, 28), QColor(0xc8, 0x10, 0x2e));
        painter.fillRect(QRectF(12, 0, 4, 28), Qt::white);
        painter.fillRect(QRectF(0, 12, 37, 4), Qt::white);
    });
}

// The Union flag, drawn on 60 by 30 units: white and red diagonals under a white-edged red cross.
QIcon unionFlag()
{
    return flagIcon(kUnionFlagSize, 60, 30, [](QPainter& painter) {
        painter.fillRect(QRectF(0, 0, 60, 30), QColor(0x01, 0x21, 0x69));
        QPainterPath diagonals;
        diagonals.moveTo(0, 0);
        diagonals.lineTo(60, 30);
        diagonals.moveTo(60, 0);
        diagonals.lineTo(0, 30);
        painter.strokePath(diagonals, QPen(Qt::white, 6));
        painter.strokePath(diagonals, QPen(QColor(0xc8, 0x10, 0x2e), 2));
        painter.fillRect(QRectF(25, 0, 10, 30), Qt::white);
        painter.fillRect(QRectF(0, 10, 60, 10), Qt::white);
        painter.fillRect(QRectF(27, 0, 6, 30), QColor(0xc8, 0x10, 0x2e));
        painter.fillRect(QRectF(0, 12, 60, 6), QColor(0xc8, 0x10, 0x2e));
    });
}

} // namespace

Welcome::Welcome(SettingsFile& settings, Settings& memory, Prompter& prompter,
    std::function<void()> loadMainWindow, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      promptLabel(new QLabel(u"Please select your prefered language:"_s, this)),
      LangSel { new QPushButton(u"&Dansk"_s, this), new QPushButton(u"&English"_s, this) },
      settings_(settings),
      memory_(memory),
      prompter_(prompter),
      loadMainWindow_(std::move(loadMainWindow))
{
    setObjectName(u"Welcome"_s);
    setWindowTitle(u"Welcome to Ringtally!"_s);
    const std::array<QIcon, 2> flags { danishFlag(), unionFlag() };
    const std::array<QSize, 2> flagSizes { kDanishFlagSize, kUnionFlagSize };
    auto* buttons = new QHBoxLayout;
    for (size_t n = 0; n < LangSel.size(); ++n) {
        LangSel[n]->setIcon(flags[n]);
        LangSel[n]->setIconSize(flagSizes[n]);
        buttons->addWidget(LangSel[n]);
        connect(LangSel[n], &QPushButton::clicked, this, [this, n] { onLanguageChosen(int(n)); });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addLayout(buttons);
}

void Welcome::onLanguageChosen(int index)
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
