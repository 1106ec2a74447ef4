#include "dialing/Dialup.h"

#include "core/ProgramState.h"
#include "core/ScreenRoom.h"
#include "core/SettingsFile.h"
#include "dialing/DialupServices.h"
#include "localisation/CountWords.h"
#include "localisation/StringTable.h"
#include "metering/PriceEngine.h"
#include "metering/Twips.h"
#include "platform/Clock.h"
#include "platform/DialControl.h"
#include "platform/DialUpNetwork.h"
#include "platform/Prompter.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <array>

#include <utility>

namespace ringtally {

namespace {

const QString kConfiguration = QStringLiteral("Configuration");
const QString kLeftKey = QStringLiteral("Dialup Left Cord");
const QString kTopKey = QStringLiteral("Dialup Top Cord");
const QString kDetailKey = QStringLiteral("Dialup Detail visible");

constexpr int kWidthTwips = 5400;
constexpr int kMarginTwips = 120;
constexpr int kButtonWidthTwips = 1455;
// The open detail list shows at least this many lines.
constexpr int kListLines = 4;
// A new series starts when Call_again is pressed after this many redials.
constexpr int kRedialsInSeries = 5;

// The states a dial reports: the detail list's text and, for some, the status line's.
struct StateText {
    qint32 value;
    const char16_t* text;
    const char16_t* line;
};
constexpr std::array kStateTexts {
    StateText { 0, u"Open Port", u"Åbner port" },
    StateText { 1, u"Port Opened", u"Port åbnet" },
    StateText { 2, u"Connect Device", u"Prøver at komme i forbindelse med server" },
    StateText { 3, u"Device Connected", u"Forbundet med server" },
    StateText { 4, u"All Devices Connected", nullptr },
    StateText { 5, u"Authenticating...", u"Kontrollerer brugernavn og password" },
    StateText { 6, u"AuthNotify", nullptr },
    StateText { 7, u"AuthRetry", nullptr },
    StateText { 8, u"AuthCallback", nullptr },
    StateText { 9, u"AuthChangePassword", nullptr },
    StateText { 10, u"AuthProject", nullptr },
    StateText { 11, u"AuthLinkSpeed", nullptr },
    StateText { 12, u"AuthAck", nullptr },
    StateText { 13, u"ReAuthenticate", nullptr },
    StateText { 14, u"Authenticated :-)", u"Brugernavn og password accepteret" },
    StateText { 15, u"PrepareForCallback", nullptr },
    StateText { 16, u"WaitForModemReset", nullptr },
    StateText { 17, u"WaitForCallback", nullptr },
    StateText { 18, u"Projected", nullptr },
    StateText { 19, u"Starting to Authenticate...", nullptr },
    StateText { 20, u"CallbackComplete", nullptr },
    StateText { 21, u"LogonNetwork", nullptr },
    StateText { 4096, u"Interactive", nullptr },
    StateText { 4097, u"RetryAuthentication", nullptr },
    StateText { 4098, u"CallbackSetByCaller", nullptr },
    StateText { 4099, u"PasswordExpired", nullptr },
    StateText { RasConnState::Connected, u"Connected", u"Tilsluttet" },
    StateText { RasConnState::Disconnected, u"Disconnected", nullptr },
};

// The dial errors the system has texts for; one without a text is still the system's.
constexpr qint32 kFirstSystemError = 600;
constexpr qint32 kLastSystemError = 750;

} // namespace

Dialup::Dialup(ProgramState& state, SettingsFile& settings, DialControl& rasDial,
    const DialUpNetwork& network, DialupServices& services, Prompter& prompter, const Clock& clock,
    const StringTable& strings, QWidget* parent)
    : QWidget(parent, Qt::Window),
      RasDial(rasDial),
      state_(state),
      settings_(settings),
      network_(network),
      services_(services),
      prompter_(prompter),
      clock_(clock),
      strings_(strings)
{
    setWindowTitle(QStringLiteral("Ringer op..."));
    createControls();
    for (QTimer* timer : { &lineUpTimer, &Disconnected, &Reconnect })
        timer->setInterval(1000);
    connect(&lineUpTimer, &QTimer::timeout, this, &Dialup::onLineUp);
    connect(&Disconnected, &QTimer::timeout, this, &Dialup::checkLineDropped);
    connect(&Reconnect, &QTimer::timeout, this, &Dialup::countDownToRedial);
    connect(&RasDial, &DialControl::statusChanged, this, &Dialup::onDialStatus);
    resize(twipsToPixels(kWidthTwips), twipsToPixels(kClosedHeightTwips));
    load();
}

void Dialup::createControls()
{
    OpkStat = new QLabel(QStringLiteral("Opkaldsstatus:"), this);
    Stat = new QLabel(this);
    // The system's error texts say what to do, in a sentence or two: the line shows them whole.
    Stat->setWordWrap(true);
    Stat->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    detailList = new QListWidget(this);
    detailList->setToolTip(QStringLiteral("Dobbelklik for at kopiere loggen til clipboardet"));
    detailList->viewport()->installEventFilter(this);
    // The newest line is the one that matters: the list follows it as the dial goes on.
    connect(detailList->model(), &QAbstractItemModel::rowsInserted, detailList, &QListWidget::scrollToBottom);
    Details = new QPushButton(this);
    Details->setToolTip(QStringLiteral("Viser flere detaljer om opkaldet"));
    Call_again = new QPushButton(QStringLiteral("&Ring op igen"), this);
    Call_again->setToolTip(QStringLiteral("Bruges til at ringe op igen med efter en fejl"));
    Hang_up = new QPushButton(QStringLiteral("&Læg på "), this);
    Hang_up->setToolTip(QStringLiteral("Lægger på uden at logge opkaldet"));
    connect(Details, &QPushButton::clicked, this, &Dialup::toggleDetails);
    connect(Call_again, &QPushButton::clicked, this, &Dialup::onCallAgainClicked);
    connect(Hang_up, &QPushButton::clicked, this, &Dialup::onHangUpClicked);
}

void Dialup::load()
{
    DetailsClosed_ = QStringLiteral("&Detaljer >>>");
    DetailsOpen_ = QStringLiteral(" <<< &Detaljer");
    if (usesEnglish(state_.settings.Language))
        applyEnglishTexts();
    detailsOpen_ = settings_.readInt16(kConfiguration, kDetailKey, 0) != 0;
    Details->setText(detailsOpen_ ? DetailsOpen_ : DetailsClosed_);
    detailList->setVisible(detailsOpen_);
    // The window is sized and placed as it is first shown: measuring its text loads the fonts,
    // which would otherwise hold up every start of the program.
}

void Dialup::place()
{
    fitHeight();
    // By default the window opens at the bottom right of what the panels leave of the screen. A
    // stored place from a larger screen, or a list opened since, must not push it off this one.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    const double left = pixelsToTwips(room.right() + 1 - frameGeometry().width());
    const double top = pixelsToTwips(room.bottom() + 1 - frameGeometry().height());
    move(twipsToPixels(settings_.readFraction(kConfiguration, kLeftKey, left)),
        twipsToPixels(settings_.readFraction(kConfiguration, kTopKey, top)));
    keepInsideScreen(*this);
}

void Dialup::applyEnglishTexts()
{
    OpkStat->setText(strings_.text(StringId::Dialup_OpkStat));
    Call_again->setText(strings_.text(StringId::Dialup_Call_again));
    Hang_up->setText(strings_.text(StringId::Dialup_Hang_up));
    DetailsClosed_ = strings_.text(StringId::Dialup_DetailsClosed);
    DetailsOpen_ = strings_.text(StringId::Dialup_DetailsOpen);
    Stat->setToolTip(strings_.text(StringId::Dialup_StatTip));
    Call_again->setToolTip(strings_.text(StringId::Dialup_Call_againTip));
    Hang_up->setToolTip(strings_.text(StringId::Dialup_Hang_upTip));
    Details->setToolTip(strings_.text(StringId::Dialup_DetailsTip));
    detailList->setToolTip(strings_.text(StringId::Dialup_List1Tip));
}

void Dialup::startDialing(const QString& schemeName)
{
    Reconnect.stop();
    countdown_ = 0;
    RedialCount_ = 1;
    detailList->clear();
    startDial();
    show();
    const QString number = RasDial.PhoneNumber();
    detailList->addItem(QStringLiteral("Calling ") + schemeName + QStringLiteral(" at ") + number);
    setStat(usesEnglish(state_.settings.Language)
            ? QStringLiteral("Calling %1 at %2").arg(schemeName, number)
            : QStringLiteral("Ringer op til %1 på tlf. %2").arg(schemeName, number));
    listDialResult();
}

void Dialup::startDial()
{
    dialing_ = true;
    DialResult_ = RasDial.StartDial();
    if (DialResult_ != 0)
        dialing_ = false;
}

void Dialup::listDialResult()
{
    detailList->addItem(GetStatus(DialResult_));
    if (DialResult_ != 0)
        dialFailed(DialResult_);
}

void Dialup::dialFailed(qint32 error)
{
    // Each busy answer counts down afresh; the tries end at "Redial number".
    if (error == kLineBusy && RedialNumber_ > 0) {
        countdown_ = 0;
        Reconnect.start();
    }
}

Dialup::StatusEntry Dialup::describe(qint32 value) const
{
    const auto state = std::find_if(
        kStateTexts.begin(), kStateTexts.end(), [value](const StateText& s) { return s.value == value; });
    if (state != kStateTexts.end()) {
        return { QString::fromUtf16(state->text), state->line ? QString::fromUtf16(state->line) : QString(),
            StatusKind::State };
    }
    // The network's own errors may lie above the system's range, where they hide none of its texts.
    // The detail list has the English text, the Danish status line the Danish one.
    StatusEntry system { network_.errorText(value, true), network_.errorText(value, false),
        StatusKind::SystemError };
    if (system.text.isEmpty() && value >= kFirstSystemError && value <= kLastSystemError)
        system
            = { QStringLiteral("Unknown error!"), QStringLiteral("Ukendt fejl!"), StatusKind::SystemError };
    if (!system.text.isEmpty())
        return system;
    return { QStringLiteral("RAS Error ") + QString::number(value),
        QStringLiteral("Der opstod en fejl under opkaldet"), StatusKind::UnknownError };
}

QString Dialup::statusText(qint32 value) const
{
    return describe(value).text;
}

QString Dialup::applyStatus(qint32 value)
{
    const StatusEntry entry = describe(value);
    if (entry.kind == StatusKind::SystemError)
        services_.playEventSound(QStringLiteral("Error"));
    if (entry.kind == StatusKind::UnknownError) {
        // Our own hang-up ends the dial: its Disconnected is not news.
        dialing_ = false;
        RasDial.HangUp();
    }
    const QString line = usesEnglish(state_.settings.Language) ? entry.text : entry.line;
    if (!line.isNull())
        setStat(line);
    return entry.text;
}

QString Dialup::GetStatus(qint32 value)
{
    const QString text = applyStatus(value);
    if (value == RasConnState::Disconnected)
        showDisconnectedBox();
    return text;
}

void Dialup::showDisconnectedBox()
{
    prompter_.ask(Prompt { QStringLiteral("Ringtally"),
        usesEnglish(state_.settings.Language) ? QStringLiteral("Disconnected!!!")
                                              : QStringLiteral("Forbindelsen blev afbrudt!!!") });
}

void Dialup::onDialStatus(qint32 RasConnState, qint32 dwError)
{
    if (!dialing_)
        return;
    const bool failed = dwError >= 1;
    if (failed || RasConnState == RasConnState::Connected || RasConnState == RasConnState::Disconnected)
        dialing_ = false;
    const qint32 value = failed ? dwError : RasConnState;
    if (RasConnState != RasConnState::Disconnected) {
        detailList->addItem(GetStatus(value));
        if (RasConnState == RasConnState::Connected && !failed) {
            // The call is charged from the moment the line is up; the rest follows a second later.
            services_.dialConnected();
            connectedCall_ = services_.currentCall();
            lineUpTimer.start();
        }
        if (failed)
            dialFailed(dwError);
        return;
    }
    // The dial has ended. Everything it leaves behind is done before the box a Disconnected
    // without an error shows, whose event loop runs every timer. The second line only names the
    // error: its status line and sound are already out.
    detailList->addItem(applyStatus(value));
    RasDial.HangUp();
    detailList->addItem(QStringLiteral("Unable to connect ") + statusText(dwError));
    if (failed)
        dialFailed(dwError);
    else
        showDisconnectedBox();
}

void Dialup::onCallAgainClicked()
{
    // The user's press takes over from a countdown.
    Reconnect.stop();
    if (RedialCount_ > kRedialsInSeries)
        newSeries();
    else
        redial();
}

void Dialup::newSeries()
{
    const quint64 call = services_.currentCall();
    dialing_ = false;
    // A connection made a moment ago is dialed again: its step one second after must not come.
    lineUpTimer.stop();
    services_.dialingAgain();
    if (RasDial.ConnState() != RasConnState::Disconnected)
        RasDial.HangUp();
    services_.HangUpAll();
    // The call may have been hung up while the line went down.
    if (!services_.callRunning(call))
        return;
    setStat(QString());
    countdown_ = 0;
    RedialCount_ = 1;
    detailList->clear();
    // A countdown may have stopped the meter: the new dial is metered from its start, as a redial is.
    restartMeter();
    startDial();
    listDialResult();
}

void Dialup::redial()
{
    const quint64 call = services_.currentCall();
    dialing_ = false;
    lineUpTimer.stop();
    services_.dialingAgain();
    // The control is hung up first, and waited for with the line: a pppd still ending would
    // refuse the new dial.
    RasDial.HangUp();
    services_.HangUpAll();
    if (!services_.callRunning(call))
        return;
    restartMeter();
    countdown_ = 0;
    detailList->addItem(QStringLiteral("**********"));
    detailList->addItem(QString::number(RedialCount_) + QStringLiteral(". redial"));
    ++RedialCount_;
    startDial();
    listDialResult();
}

void Dialup::restartMeter()
{
    restartCallTime(state_.meter, clock_);
    services_.startMeterTimer();
}

void Dialup::countDownToRedial()
{
    if (RedialNumber_ <= 0) {
        Reconnect.stop();
        return;
    }
    if (RedialCount_ > RedialNumber_) {
        Reconnect.stop();
        services_.stopMeterTimer();
        setStat(usesEnglish(state_.settings.Language) ? QStringLiteral("Dial given up")
                                                      : QStringLiteral("Opkald opgivet"));
        return;
    }
    if (countdown_ <= RedialInterval_) {
        services_.stopMeterTimer();
        setStat(countdownText(RedialInterval_ - countdown_));
        ++countdown_;
        return;
    }
    setStat(QString());
    Reconnect.stop();
    // Within the series whatever "Redial number" is: a new series would start counting again at
    // 1, and a number above the series' length would never be reached.
    redial();
}

QString Dialup::countdownText(int seconds) const
{
    const bool english = usesEnglish(state_.settings.Language);
    return (english ? QStringLiteral("Trying again in ") : QStringLiteral("Prøver igen om "))
        + countOf(seconds, CountWord::Second, english);
}

void Dialup::onHangUpClicked()
{
    storePosition();
    Reconnect.stop();
    lineUpTimer.stop();
    dialing_ = false;
    RedialCount_ = kRedialsInSeries + 1;
    hide();
    // The call's end hangs the control and every line up, and waits for them.
    services_.hangUp(false);
}

void Dialup::onLineUp()
{
    lineUpTimer.stop();
    // The step belongs to the connection that started it: after a hang-up or a redial it is stale.
    if (!services_.callRunning(connectedCall_) || state_.meter.phase != CallPhase::Connected)
        return;
    services_.playEventSound(QStringLiteral("Connect"));
    storePosition();
    setLineWatch(state_.settings.AutoLogOnHangup != 0);
    services_.setStatusCaption(QStringLiteral("Ringtally - Online"));
    hide();
    services_.RunStartList(true, false);
}

void Dialup::checkLineDropped()
{
    if (state_.meter.GlblOnline == 1 && !services_.IsOnline()) {
        Disconnected.stop();
        services_.hangUp(true);
    }
}

void Dialup::setLineWatch(bool on)
{
    if (on)
        Disconnected.start();
    else
        Disconnected.stop();
}

void Dialup::hangUpDialControl()
{
    dialing_ = false;
    lineUpTimer.stop();
    Reconnect.stop();
    RasDial.HangUp();
}

void Dialup::hideDialWindow()
{
    if (isVisible())
        hide();
}

void Dialup::toggleDetails()
{
    setDetailsOpen(!detailsOpen_);
    writeSetting(kDetailKey, detailsOpen_ ? 1 : 0);
}

void Dialup::setDetailsOpen(bool open)
{
    detailsOpen_ = open;
    Details->setText(open ? DetailsOpen_ : DetailsClosed_);
    detailList->setVisible(open);
    fitHeight();
}

void Dialup::fitHeight()
{
    // The heights are the whole window's; where a window manager frames it, the frame takes its
    // share. The controls always get the room they need.
    const int frame = qMax(0, frameGeometry().height() - geometry().height());
    int needed = neededClosedHeight();
    if (detailsOpen_)
        needed += kListLines * detailList->fontMetrics().height() + twipsToPixels(kMarginTwips);
    const int wanted = twipsToPixels(detailsOpen_ ? kOpenHeightTwips : kClosedHeightTwips) - frame;
    resize(width(), qMax(wanted, needed));
    // A window grown by the opened list or a longer line moves up where it would reach under a
    // panel or off the screen.
    if (isVisible())
        keepInsideScreen(*this);
}

int Dialup::statWidth() const
{
    const int margin = twipsToPixels(kMarginTwips);
    return qMax(1, width() - 3 * margin - OpkStat->sizeHint().width());
}

int Dialup::neededClosedHeight() const
{
    const int margin = twipsToPixels(kMarginTwips);
    const int statHeight = qMax(Stat->fontMetrics().height(), Stat->heightForWidth(statWidth()));
    return margin + statHeight + margin + Hang_up->sizeHint().height() + margin;
}

void Dialup::layoutChildren()
{
    const int margin = twipsToPixels(kMarginTwips);
    const int opkWidth = OpkStat->sizeHint().width();
    const int statHeight = qMax(Stat->fontMetrics().height(), Stat->heightForWidth(statWidth()));
    OpkStat->setGeometry(margin, margin, opkWidth, OpkStat->sizeHint().height());
    Stat->setGeometry(2 * margin + opkWidth, margin, statWidth(), statHeight);

    const int buttonTop = margin + statHeight + margin;
    const int buttonHeight = Hang_up->sizeHint().height();
    const auto buttonWidth
        = [](const QPushButton* b) { return qMax(twipsToPixels(kButtonWidthTwips), b->sizeHint().width()); };
    Details->setGeometry(margin, buttonTop, buttonWidth(Details), buttonHeight);
    const int hangUpLeft = width() - margin - buttonWidth(Hang_up);
    Hang_up->setGeometry(hangUpLeft, buttonTop, buttonWidth(Hang_up), buttonHeight);
    Call_again->setGeometry(
        hangUpLeft - margin - buttonWidth(Call_again), buttonTop, buttonWidth(Call_again), buttonHeight);

    const int listTop = buttonTop + buttonHeight + margin;
    detailList->setGeometry(margin, listTop, width() - 2 * margin, qMax(0, height() - listTop - margin));
}

void Dialup::setStat(const QString& text)
{
    Stat->setText(text);
    onStatusLineChanged();
}

void Dialup::onStatusLineChanged()
{
    setWindowTitle(Stat->text());
    // A longer line may need another row.
    fitHeight();
    layoutChildren();
}

void Dialup::copyDetailsToClipboard()
{
    QString text;
    for (int i = 0; i < detailList->count(); ++i)
        text += detailList->item(i)->text() + QStringLiteral("\r\n");
    QGuiApplication::clipboard()->setText(text);
}

void Dialup::onActivated()
{
    RedialInterval_ = settings_.readInt16(kConfiguration, QStringLiteral("Redial interval"), 0);
    RedialNumber_ = settings_.readInt16(kConfiguration, QStringLiteral("Redial number"), 0);
}

void Dialup::storePosition()
{
    writeSetting(kLeftKey, int(pixelsToTwips(x())));
    writeSetting(kTopKey, int(pixelsToTwips(y())));
}

bool Dialup::event(QEvent* event)
{
    // A window manager may show the window without activating it; the redial settings must still
    // be read then.
    // Each later showing keeps it on the screen, which may have changed in between.
    if (event->type() == QEvent::Show && !std::exchange(placed_, true))
        place();
    else if (event->type() == QEvent::Show)
        keepInsideScreen(*this);
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        onActivated();
    return QWidget::event(event);
}

void Dialup::closeEvent(QCloseEvent* event)
{
    // The window lives as long as the program; closing it during a call hangs up without a log.
    event->ignore();
    storePosition();
    if (state_.meter.GlblOnline == 1)
        onHangUpClicked();
    else
        hide();
}

void Dialup::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

bool Dialup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == detailList->viewport() && event->type() == QEvent::MouseButtonDblClick)
        copyDetailsToClipboard();
    return QWidget::eventFilter(watched, event);
}

void Dialup::writeSetting(const QString& key, const IniValue& value)
{
    // A position or choice that cannot be stored still holds until the program ends.
    if (const Status written = settings_.WriteIni(kConfiguration, key, value); !written)
        qWarning("Could not store the setting %s: %s", qPrintable(key), qPrintable(written.message()));
}

} // namespace ringtally
