#include "core/Splash.h"

#include "core/SettingsFile.h"
#include "metering/Twips.h"

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

// The word of the Loading text for a stored Language; "A" is the default of a first run, before
// a language is chosen. Any other value gives no word.
QString languageWord(const QString& stored)
{
    const QString language = stored.trimmed();
    if (language == u"0"_s)
        return u"Danish"_s;
    if (language == u"1"_s)
        return u"English"_s;
    if (language == u"A"_s)
        return u"-"_s;
    return {};
}

QRect twipsRect(int left, int top, int width, int height)
{
    return { twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height) };
}

} // namespace

ProgramVersion ProgramVersion::current()
{
    return { RINGTALLY_VERSION_MAJOR, RINGTALLY_VERSION_MINOR, RINGTALLY_VERSION_PATCH };
}

Splash::Splash(const SettingsFile& settings, ProgramVersion version, QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      titleLabel(new QLabel(this)),
      versionLabel(new QLabel(this)),
      Loading(new QLabel(this)),
      Author(new QLabel(this))
{
    setObjectName(u"Splash"_s);
    // Not kept on top: a message box of the main window's load may come while it is shown.
    setFrameStyle(QFrame::Box | QFrame::Plain); // a frameless window needs an edge of its own
    setFixedSize(twipsToPixels(kWidthTwips), twipsToPixels(kHeightTwips));
    QFont title = font();
    title.setPointSize(title.pointSize() * 2);
    title.setBold(true);
    titleLabel->setFont(title);
    titleLabel->setGeometry(twipsRect(120, 120, kWidthTwips - 240, 600));
    versionLabel->setGeometry(twipsRect(120, 720, kWidthTwips - 240, 255));
    versionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Author->setGeometry(twipsRect(120, 1000, 3600, 480));
    Author->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Loading->setGeometry(twipsRect(120, 1530, kWidthTwips - 240, 255));

    blinkTimer.setInterval(kBlinkMs);
    connect(&blinkTimer, &QTimer::timeout, this, &Splash::onBlink);
    Hideme.setInterval(kShownMs);
    connect(&Hideme, &QTimer::timeout, this, &Splash::onHideTimeout);
    load(settings, version);
}

void Splash::load(const SettingsFile& settings, ProgramVersion version)
{
    const QString word = languageWord(settings.ReadIni(u"Configuration"_s, u"Language"_s, u"A"_s));
    Loading->setText(u"Initialising "_s + word + u" version, please wait..."_s);

    const QString name
        = u"Ringtally %1.%2 (%3)"_s.arg(version.major).arg(version.minor).arg(version.revision);
    versionLabel->setText(name);
    titleLabel->setText(name);

    // The design text, and the maker's credit as its second line.
    Author->setText(u"Dialer and logger for Windows 95/98/NT\nby the Ringtally authors"_s);
    Author->move(versionLabel->geometry().right() + 1 - Author->width(), Author->y());
}

void Splash::onBlink()
{
    Loading->setVisible(Loading->isHidden());
}

void Splash::onHideTimeout()
{
    Hideme.stop();
    hide();
    deleteLater();
}

// The label blinks while the window is there to see: a splash window loaded but not shown (the
// "Splash" setting off, or a start held up by a message box) wakes the program for nothing.
void Splash::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    blinkTimer.start();
}

void Splash::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    blinkTimer.stop();
}

} // namespace ringtally
