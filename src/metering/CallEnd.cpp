#include "metering/CallEnd.h"

#include "core/ErrorMessage.h"
#include "metering/PriceEngine.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

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

CallEnd::CallEnd(ProgramState& state, SettingsFile& settings, const CallLog& log, const Clock& clock,
    Prompter& prompter, CallEndSteps& steps)
    : state_(state), settings_(settings), log_(log), clock_(clock), prompter_(prompter), steps_(steps)
{
}

void CallEnd::LaegPaa(QString& mode)
{
    const bool log = mode.compare(QStringLiteral("LOG"), Qt::CaseInsensitive) == 0;
    if (!log && mode.compare(QStringLiteral("NOLOG"), Qt::CaseInsensitive) != 0)
        return;

    // The meter stops before anything that can show a box: a box runs a nested event loop in
    // which the meter's tick and the line watch would go on, and could end this call again.
    const bool metered = state_.meter.GlblOnline == 1;
    state_.meter.GlblOnline = 0;
    lastEndLogged_ = log && metered;
    steps_.stopTimers();
    if (log) {
        // A call that has already ended (a second hang-up, a menu left open across a line drop)
        // is not counted again.
        if (metered)
            logCall();
        mode = QStringLiteral("NoLog");
    } else if (metered) {
        // A call hung up without logging is dropped on purpose: its checkpoint goes with it.
        if (const Status removed = steps_.removeCheckpoint(); !removed)
            reportFileError(75, removed.message());
    }
    goOffline();
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

void CallEnd::logCall()
{
    Settings& s = state_.settings;
    const StatusTexts& t = state_.texts;
    const QDateTime now = clock_.now();

    // The stored figures are the texts of the last tick.
    const std::vector<qint64> overflowed = takeOverShownFigures(s, t, settings_.numberFormat(), now.date());

    // A save that fails would lose the day's figures without a word: say so. The call still ends
    // and its line is still logged.
    const Status saved = settings_.SaveSettings(s);
    const std::vector<CallLog::Failure> notLogged
        = log_.append(CallLog::callEndLine(now, t.Opkaldstypelbl, t));
    // Gone however the save and the append went: a checkpoint left behind would count the call
    // again at the next start.
    const Status removed = steps_.removeCheckpoint();

    // The boxes come last, once everything is stored and logged.
    for (const qint64 value : overflowed) {
        steps_.playEventSound(QStringLiteral("Error"));
        prompter_.ask(errorPrompt(ErrorTitle::Warning, 6, counterOverflowText(value)));
    }
    if (!saved.ok())
        reportFileError(75, saved.message());
    for (const CallLog::Failure& failure : notLogged)
        reportFileError(failure.number, failure.description);
    if (!removed.ok())
        reportFileError(75, removed.message());
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
    steps_.SkiftPopupMenu();
    steps_.hideStatusWindow();
    steps_.playEventSound(QStringLiteral("Disconnect"));
    steps_.HangUpAll();
}

void CallEnd::reportFileError(int number, const QString& description)
{
    steps_.playEventSound(QStringLiteral("Error"));
    prompter_.ask(errorPrompt(ErrorTitle::FileError, number, description));
}

} // namespace ringtally
