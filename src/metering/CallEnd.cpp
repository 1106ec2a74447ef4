#include "metering/CallEnd.h"

#include "core/ErrorMessage.h"
#include "localisation/StringTable.h"
#include "metering/CallLedger.h"
#include "metering/CallLog.h"
#include "metering/PriceEngine.h"
#include "platform/Clock.h"

#include <optional>

namespace ringtally {

namespace {

// A counter label as a whole number; nothing when it is not one.
std::optional<qint64> wholeNumberIn(const QString& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

CallEnd::CallEnd(
    ProgramState& state, SettingsFile& settings, CallLedger& ledger, const Clock& clock, CallEndSteps& steps)
    : state_(state), settings_(settings), ledger_(ledger), clock_(clock), steps_(steps)
{
}

CallEndOutcome CallEnd::end(bool log)
{
    CallEndOutcome outcome;
    if (state_.meter.GlblOnline != 1)
        return outcome;
    // The meter stops first: nothing may tick a call that is being closed.
    const bool connected = state_.meter.connected();
    state_.meter.GlblOnline = 0;
    steps_.stopTimers();
    if (connected && log)
        outcome.boxes = logCall(outcome.logged);
    else if (connected) // hung up without a log on purpose: its checkpoint goes with it
        outcome.boxes = ledger_.drop();
    lastEndLogged_ = outcome.logged;
    goOffline();
    return outcome;
}

std::vector<qint64> CallEnd::takeOverShownFigures(
    Settings& s, const StatusTexts& t, const NumberFormat& format, const QDate& today)
{
    std::vector<qint64> overflowed;
    const auto takeOver = [&overflowed](qint16& counter, const QString& text) {
        const std::optional<qint64> value = wholeNumberIn(text);
        if (!value)
            return;
        if (const std::optional<qint16> fits = fitsCounter(*value))
            counter = *fits;
        else
            overflowed.push_back(*value);
    };
    s.LastCallDate = today;
    takeOver(s.LastCallHours, t.DagTimer);
    takeOver(s.LastCallMinutes, t.DagMinutter);
    s.LastCallPrice = format.parseFraction(t.DagPris).value_or(s.LastCallPrice);
    takeOver(s.TotalHours, t.TotTimer);
    takeOver(s.TotalMinutes, t.TotMinutter);
    s.TotalPrice = format.parseFraction(t.TotPris).value_or(s.TotalPrice);
    return overflowed;
}

std::vector<Prompt> CallEnd::logCall(bool& logged)
{
    const StatusTexts& t = state_.texts;
    const QDateTime now = clock_.now();
    const QDateTime moment = now.addMSecs(-now.time().msec());
    // The stored figures are the texts of the last tick.
    const std::vector<qint64> overflowed
        = takeOverShownFigures(state_.settings, t, settings_.numberFormat(), now.date());
    CallCheckpoint final { moment, now.date(), t.Opkaldstypelbl, t, state_.figures, state_.meter.CallStart,
        CallLog::callEndLine(now, t.Opkaldstypelbl, t, state_.figures.bytes()) };
    std::vector<Prompt> boxes = ledger_.closePart(state_, std::move(final), logged);
    const bool english = usesEnglish(state_.settings.Language);
    for (const qint64 value : overflowed)
        boxes.insert(
            boxes.begin(), errorPrompt(ErrorTitle::Warning, 6, counterOverflowText(value, english), english));
    return boxes;
}

void CallEnd::goOffline()
{
    steps_.closeStartedPrograms();
    steps_.disableHangUpItems();
    steps_.storeStatusWindowPosition();
    steps_.hideTaskbarWindow();
    steps_.startFloatingWindowHideTimer();
    steps_.hideDialWindow();
    steps_.hangUpDialControl();
    steps_.setStatusCaption(QStringLiteral("Ringtally - Offline"));
    state_.meter.GlblOnline = 0;
    steps_.switchTrayMenu();
    steps_.hideStatusWindow();
    steps_.playEventSound(QStringLiteral("Disconnect"));
}

} // namespace ringtally
