#include "tray/CallOwner.h"

#include "core/SettingsFile.h"
#include "core/WaitSeconds.h"
#include "dialing/Dialup.h"
#include "launcher/StartList.h"
#include "metering/DialStatus.h"
#include "metering/MeterWindows.h"
#include "platform/Clock.h"
#include "platform/DialControl.h"
#include "platform/Prompter.h"
#include "tray/EventSounds.h"
#include "tray/RasServices.h"

#include <QScopeGuard>
#include <QTimer>

namespace ringtally {

namespace {

// How often the wait for the dial control to end looks again.
constexpr float kControlPollSeconds = 0.1f;

} // namespace

CallOwner::CallOwner(ProgramState& state, SettingsFile& settings, RasServices& ras, Clock& clock,
    Prompter& prompter, EventSounds& sounds)
    : state_(state), settings_(settings), ras_(ras), clock_(clock), prompter_(prompter), sounds_(sounds)
{
}

void CallOwner::attach(MeterWindows* meter, Dialup* dialup, StartList* startList)
{
    meter_ = meter;
    dialup_ = dialup;
    startList_ = startList;
}

bool CallOwner::running(quint64 call) const
{
    return call == call_ && (phase() == CallPhase::Dialing || phase() == CallPhase::Connected);
}

bool CallOwner::dialRefused(qint16 scheme, bool alreadyOnline) const
{
    if (exiting_ || !meter_ || !dialup_ || scheme < 0 || scheme >= kSchemeCount)
        return true;
    // A line to take over that has gone down meanwhile (a late answer in the selection window).
    return alreadyOnline && !ras_.IsOnline();
}

void CallOwner::Dial(qint16 scheme, bool alreadyOnline, quint8 startPrograms)
{
    if (phase() == CallPhase::Ending && !alreadyOnline && !exiting_) {
        // The user's dial right after a hang-up: it runs once the line is down.
        asked_ = AskedDial { scheme, startPrograms };
        return;
    }
    if (phase() != CallPhase::Idle || dialRefused(scheme, alreadyOnline))
        return;

    // The door shuts before anything waits.
    const quint64 call = ++call_;
    MeterState& m = state_.meter;
    m.phase = alreadyOnline ? CallPhase::Connected : CallPhase::Dialing;
    m.GlblOnline = 1;
    m.CurrentScheme = scheme;
    // What an earlier call could not write goes first; its boxes come once the call has started.
    const std::vector<Prompt> boxes = meter_->ledger().catchUp(state_);
    const auto showBoxes = qScopeGuard([this, &boxes] { show(boxes); });
    state_.ProgramsStarted = false;
    settings_.reloadSettings(state_.settings);
    const Scheme& chosen = state_.settings.Schemes[size_t(scheme)];
    QString caption = QStringLiteral("Ringtally - Online");
    if (!alreadyOnline) {
        DialControl& control = dialup_->RasDial;
        control.setEntryName(chosen.DUNName);
        control.setUserName(chosen.DUNData[0]);
        control.setPassword(chosen.DUNData[1]);
        control.setPhoneNumber(chosen.DUNData[2]);
        caption = dialingPrefix_ + QLatin1Char(' ') + chosen.Name + QStringLiteral("...");
        meter_->setStatusCaption(caption);
        runStartList(false, false);
        if (!running(call))
            return;
        hangUpLines(RasServices::kHangUpWaitLimitSeconds);
        if (!running(call))
            return;
        dialup_->startDialing(chosen.Name);
    } else {
        dialup_->setLineWatch(state_.settings.AutoLogOnHangup != 0);
    }
    emit callStarted();
    // The current call's figures from zero, the day's from zero on a new day, the task-bar figure,
    // the task-bar and floating windows, the meter's timer, the tray's online form and the status
    // window, as the settings say.
    meter_->startCall(scheme, caption, m.phase);
    if (alreadyOnline && startPrograms > 0) {
        runStartList(false, true);
        if (running(call))
            runStartList(true, true);
    }
}

bool CallOwner::hangUp(bool log)
{
    if (phase() != CallPhase::Dialing && phase() != CallPhase::Connected)
        return false;
    // The call end runs no events: it is over before anything else can happen.
    const bool connected = phase() == CallPhase::Connected;
    const CallEndOutcome outcome = meter_->callEnd().end(log);
    state_.meter.phase = CallPhase::Ending;
    emit callEnded(call_, connected, log);
    // The line drops while the watch stands still: it would take the line still up for a new call.
    hangUpLines(RasServices::kHangUpWaitLimitSeconds);
    state_.meter.phase = CallPhase::Idle;
    if (!exiting_)
        show(outcome.boxes);
    if (asked_ && !exiting_) {
        const AskedDial dial = *std::exchange(asked_, std::nullopt);
        QTimer::singleShot(0, this, [this, dial] { Dial(dial.scheme, false, dial.startPrograms); });
    }
    return true;
}

void CallOwner::dialConnected()
{
    if (phase() == CallPhase::Dialing)
        state_.meter.phase = CallPhase::Connected;
}

void CallOwner::dialingAgain()
{
    // A connected call dialed again starts afresh: its time so far is thrown away, as the meter's.
    if (phase() == CallPhase::Connected) {
        state_.meter.phase = CallPhase::Dialing;
        show(meter_->ledger().drop());
    }
}

void CallOwner::hangUpLines(int limitSeconds)
{
    const qint64 deadline = clock_.steadyMs() + qint64(limitSeconds) * 1000;
    // The exit waits for nothing past its own short limit, also in a wait begun before it.
    const auto giveUp = [this] { return exiting_ && clock_.steadyMs() >= exitDeadlineMs_; };
    ras_.HangUpAll(limitSeconds, giveUp);
    // pppd may run on after the line is down; a new dial waits for it to end.
    if (!dialup_)
        return;
    while (dialup_->RasDial.ConnState() != RasConnState::Disconnected && clock_.steadyMs() < deadline
        && !giveUp())
        WaitSeconds(clock_, kControlPollSeconds);
}

void CallOwner::runStartList(bool connected, bool force)
{
    if (!startList_)
        return;
    const quint64 call = call_;
    startList_->RunStartList(connected, force, [this, call] { return running(call); });
}

void CallOwner::endForExit()
{
    if (!std::exchange(exiting_, true))
        exitDeadlineMs_ = clock_.steadyMs() + qint64(kExitWaitSeconds) * 1000;
    asked_.reset();
    if (phase() == CallPhase::Dialing || phase() == CallPhase::Connected)
        hangUp(true);
    if (meter_) {
        for (const Prompt& box : meter_->ledger().catchUp(state_))
            qWarning("%s", qPrintable(box.text));
    }
}

void CallOwner::show(const std::vector<Prompt>& boxes)
{
    for (const Prompt& box : boxes) {
        if (box.icon == PromptIcon::Exclamation)
            sounds_.PlayEventSound(QStringLiteral("Error"));
        prompter_.ask(box);
    }
}

} // namespace ringtally
