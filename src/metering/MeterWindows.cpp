#include "metering/MeterWindows.h"

#include "core/ErrorMessage.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "diagnostics/Stat.h"
#include "history/CallHistory.h"
#include "history/Totals.h"
#include "localisation/StringTable.h"
#include "metering/CallLog.h"
#include "metering/DialStatus.h"
#include "metering/LimitCountdown.h"
#include "metering/PriceWarn.h"
#include "metering/TitleInfo.h"
#include "metering/TrayInfo.h"
#include "platform/Prompter.h"

#include <QTimer>

#include <utility>

namespace ringtally {

using namespace Qt::StringLiterals;

MeterWindows::MeterWindows(ProgramState& state, SettingsFile& settings, const CallLog& callLog,
    const CallCheckpointFile& checkpoint, const Clock& clock, Prompter& prompter, const StringTable& strings,
    const NumberFormat& format, OfflineServices& offline)
    : state_(state),
      settings_(settings),
      callLog_(callLog),
      prompter_(prompter),
      offline_(offline),
      clock_(clock),
      format_(format),
      ledger_(callLog, checkpoint, settings),
      engine_(state, clock, format, *this),
      callEnd_(state, settings, ledger_, clock, *this),
      dialStatus_(std::make_unique<DialStatus>(state, settings, engine_, strings, format)),
      priceWarn_(std::make_unique<PriceWarn>(state, strings, format)),
      monthPriceWarn_(std::make_unique<PriceWarn>(state, strings, format, Limit::Month)),
      dataWarn_(std::make_unique<PriceWarn>(state, strings, format, Limit::Data)),
      limitCountdown_(std::make_unique<LimitCountdown>(state, format)),
      titleInfo_(std::make_unique<TitleInfo>(state, settings, strings)),
      trayInfo_(std::make_unique<TrayInfo>())
{
    engine_.setMonthLimitEvents(this);
    ledger_.setEnglish(usesEnglish(state.settings.Language));
    connectWindows();
}

MeterWindows::~MeterWindows() = default;

void MeterWindows::connectWindows()
{
    DialStatus* status = dialStatus_.get();
    TitleInfo* floating = titleInfo_.get();
    status->setInfoWindows(trayInfo_.get(), floating);

    // The floating window's menu repeats the status window's choices.
    connect(status, &DialStatus::taskbarFigureChanged, floating, &TitleInfo::setTaskbarTicks);
    connect(status, &DialStatus::showInTaskChanged, floating, &TitleInfo::setShowInTaskTicked);
    connect(status, &DialStatus::showInTitleChanged, floating, &TitleInfo::setShowInTitleTicked);
    floating->setTaskbarTicks(status->taskbarFigure());
    floating->setShowInTaskTicked(status->showInTaskTicked());
    floating->setShowInTitleTicked(status->showInTitleTicked());

    connect(floating, &TitleInfo::taskbarChosen, status, [status](int figure) {
        status->switchTaskbarFigure(figure >= 1 && figure <= 3 ? qint16(figure) : qint16(0));
    });
    connect(floating, &TitleInfo::showInTaskClicked, status, &DialStatus::toggleTaskbarWindow);
    connect(floating, &TitleInfo::showInTitleClicked, status, &DialStatus::toggleFloatingWindow);
    connect(floating, &TitleInfo::hangUpRequested, this,
        [this](const QString& mode) { hangUp(mode.compare(u"Log", Qt::CaseInsensitive) == 0); });
    connect(status, &DialStatus::hangUpRequested, this, &MeterWindows::hangUp);
    // The countdown to a hang-up at a limit: the user hangs up now or keeps the line.
    connect(limitCountdown_.get(), &LimitCountdown::keepLine, this, [this] { engine_.stopLimitCountdown(); });
    connect(limitCountdown_.get(), &LimitCountdown::hangUpNow, this, [this] {
        engine_.stopLimitCountdown();
        if (state_.meter.connected())
            hangUp(true);
    });
    connect(floating, &TitleInfo::helpIndexRequested, this, [this] { offline_.openHelpIndex(); });
    connect(floating, &TitleInfo::aboutRequested, this, [this] { offline_.showAbout(); });

    connect(trayInfo_.get(), &TrayInfo::activated, this, &MeterWindows::focusStatusWindow);
    connect(status, &DialStatus::stateWindowRequested, this, &MeterWindows::showStateWindow);
}

void MeterWindows::startCall(qint16 scheme, const QString& caption, CallPhase phase)
{
    engine_.startCall(scheme, phase);
    limitCountdown_->hide(); // a countdown belongs to the call that reached its limit
    DialStatus& status = *dialStatus_;
    status.setHangUpItemsEnabled(true);
    status.setWindowTitle(caption);
    status.showTexts();
    status.switchTaskbarFigure(state_.settings.TaskBarType);
    // The task-bar and floating windows appear with the text of the first tick, and the floating
    // one at the size and place it keeps: the chosen figure, or the first one of the cycle.
    const int figure = state_.settings.TaskBarType;
    setTaskbarText(engine_.taskbarText(figure >= 1 && figure <= 3 ? figure : 1));

    const bool showInTask = status.storedShowInTask();
    status.setShowInTask(showInTask);
    trayInfo_->setVisible(showInTask);
    const bool showInTitle = status.storedShowInTitle();
    status.setShowInTitle(showInTitle);
    titleInfo_->setVisible(showInTitle);

    status.tickTimer.start();
    offline_.switchTrayMenu();
    const bool showStatus
        = settings_.readInt16(QStringLiteral("Configuration"), QStringLiteral("Dialstat Visible"), 1) == 1;
    status.setVisible(showStatus);
}

void MeterWindows::closeSplitPart(const CallCheckpoint& final)
{
    bool logged = false;
    showLater(ledger_.closePart(state_, final, logged));
}

void MeterWindows::storeCheckpoint(const CallCheckpoint& checkpoint)
{
    const Status written = ledger_.keep(checkpoint);
    // Told once, not every minute; a checkpoint written again ends the failure.
    if (!written.ok() && !std::exchange(checkpointFailing_, true))
        reportTickError(75, written.message());
    if (written.ok())
        checkpointFailing_ = false;
}

void MeterWindows::showPriceWarning()
{
    priceWarn_->showWarning();
}

void MeterWindows::showRoamingWarning(const ModemState& modem)
{
    const bool english = usesEnglish(state_.settings.Language);
    const QString name = modem.operatorName.isEmpty() ? (english ? u"another network"_s : u"et andet net"_s)
                                                      : modem.operatorName;
    showLater({ { u"Roaming"_s,
        (english ? u"The modem is roaming on %1. Calls and data abroad can cost many times the price at "
                   "home, and this call is priced by your scheme's tariff only: check the roaming prices "
                   "with your provider."_s
                 : u"Modemmet roamer på %1. Opkald og data i udlandet kan koste mange gange prisen "
                   "hjemme, og opkaldet prises kun efter ordningens takst: tjek roamingpriserne hos din "
                   "udbyder."_s)
            .arg(name),
        PromptIcon::Information } });
}

LoggedMonth MeterWindows::loggedMonth(const QDate& day, int startDay, const QString& schemeName)
{
    const BillingMonth month = billingMonthOf(day, startDay);
    QStringList schemeNames;
    for (const Scheme& scheme : state_.settings.Schemes)
        schemeNames.append(scheme.Name);
    const Result<CallHistory> history = readCallLog(callLog_.path(), format_, schemeNames);
    if (!history) {
        reportTickError(75, history.message());
        return { month.first, month.last };
    }
    // A part of a call counts on the day it ended, and no part ends after its call.
    const std::vector<Call>& calls = history.value().calls;
    const Totals totals
        = totalsOf(calls, startDay, [&month](const Call& call) { return call.end.date() >= month.first; });
    const auto found = totals.months.find(month.first);
    const Tally spent = found == totals.months.end() ? Tally {} : found->second;
    return { month.first, month.last, spent.priceCents, spent.bytes(),
        monthBytes(calls, day, startDay, schemeName) };
}

void MeterWindows::showMonthPriceWarning()
{
    monthPriceWarn_->showWarning();
}

void MeterWindows::showDataWarning()
{
    dataWarn_->showWarning();
}

void MeterWindows::showLimitCountdown(Limit limit, qint64 secondsLeft)
{
    limitCountdown_->showCountdown(limit, secondsLeft);
}

void MeterWindows::hangUpAtLimit()
{
    limitCountdown_->hide();
    // Once the tick is over, and only while the call that reached the limit is still the one
    // connected: a call that ended meanwhile, or another one, is not hung up by it.
    const qint64 call = state_.meter.callStartSteadyMs;
    QTimer::singleShot(0, this, [this, call] {
        if (state_.meter.connected() && state_.meter.callStartSteadyMs == call)
            hangUp(true);
    });
}

void MeterWindows::setTaskbarText(const QString& text)
{
    trayInfo_->setCaption(text);
    titleInfo_->setInfoText(text);
}

void MeterWindows::reportTickError(int number, const QString& description)
{
    showLater(
        { errorPrompt(ErrorTitle::Warning, number, description, usesEnglish(state_.settings.Language)) });
}

void MeterWindows::showLater(std::vector<Prompt> boxes)
{
    if (boxes.empty())
        return;
    QTimer::singleShot(0, this, [this, boxes = std::move(boxes)] {
        for (const Prompt& box : boxes) {
            if (box.icon == PromptIcon::Exclamation)
                offline_.playEventSound(QStringLiteral("Error"));
            prompter_.ask(box);
        }
    });
}

void MeterWindows::closeStartedPrograms()
{
    offline_.closeStartedPrograms();
}

void MeterWindows::disableHangUpItems()
{
    dialStatus_->setHangUpItemsEnabled(false);
}

void MeterWindows::storeStatusWindowPosition()
{
    dialStatus_->storePosition();
}

void MeterWindows::hideTaskbarWindow()
{
    if (trayInfo_->isVisible())
        trayInfo_->hide();
}

void MeterWindows::startFloatingWindowHideTimer()
{
    if (titleInfo_->isVisible())
        titleInfo_->startHideTimer();
}

void MeterWindows::hideDialWindow()
{
    offline_.hideDialWindow();
}

void MeterWindows::hangUpDialControl()
{
    offline_.hangUpDialControl();
}

void MeterWindows::setStatusCaption(const QString& caption)
{
    dialStatus_->setWindowTitle(caption);
}

void MeterWindows::switchTrayMenu()
{
    offline_.switchTrayMenu();
}

void MeterWindows::stopTimers()
{
    dialStatus_->tickTimer.stop();
    // A countdown to a hang-up ends with the call.
    engine_.stopLimitCountdown();
    limitCountdown_->hide();
    offline_.stopLineWatch();
}

void MeterWindows::hideStatusWindow()
{
    dialStatus_->hide();
}

void MeterWindows::playEventSound(const QString& event)
{
    offline_.playEventSound(event);
}

void MeterWindows::hangUp(bool log)
{
    offline_.requestHangUp(log);
}

void MeterWindows::focusStatusWindow()
{
    dialStatus_->show();
    dialStatus_->raise();
    dialStatus_->activateWindow();
}

Stat& MeterWindows::stat()
{
    // Made when first asked for: its text field loads the fonts, which would otherwise hold up
    // every start of the program.
    if (!stat_)
        stat_ = std::make_unique<Stat>(state_, engine_, clock_, format_);
    return *stat_;
}

void MeterWindows::hideAll()
{
    for (QWidget* window :
        std::initializer_list<QWidget*> { dialStatus_.get(), priceWarn_.get(), monthPriceWarn_.get(),
            dataWarn_.get(), limitCountdown_.get(), stat_.get(), titleInfo_.get(), trayInfo_.get() }) {
        if (window)
            window->hide();
    }
}

void MeterWindows::showStateWindow()
{
    stat();
    stat_->refresh();
    stat_->show();
    stat_->raise();
    stat_->activateWindow();
}

} // namespace ringtally
