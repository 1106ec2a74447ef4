#include "metering/CallEnd.h"

#include "core/ErrorMessage.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <limits>

namespace ringtally {

namespace {

// A counter label as a stored 16-bit figure; nothing when it does not fit.
std::optional<qint16> counterIn(const QString& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(value);
}

} // namespace

CallEnd::CallEnd(ProgramState& state, SettingsFile& settings, const CallLog& log, const Clock& clock,
    Prompter& prompter, CallEndSteps& steps)
    : state_(state), settings_(settings), log_(log), clock_(clock), prompter_(prompter), steps_(steps)
{
}

void CallEnd::LaegPaa(QString& mode)
{
    if (mode.compare(QStringLiteral("LOG"), Qt::CaseInsensitive) == 0) {
        logCall();
        mode = QStringLiteral("NoLog");
    }
    if (mode.compare(QStringLiteral("NOLOG"), Qt::CaseInsensitive) == 0)
        goOffline();
}

void CallEnd::takeOverShownFigures(
    Settings& s, const StatusTexts& t, const NumberFormat& format, const QDate& today)
{
    s.LastCallDate = today;
    s.LastCallHours = counterIn(t.DagTimer).value_or(s.LastCallHours);
    s.LastCallMinutes = counterIn(t.DagMinutter).value_or(s.LastCallMinutes);
    s.LastCallPrice = format.parseFraction(t.DagPris).value_or(s.LastCallPrice);
    s.TotalHours = counterIn(t.TotTimer).value_or(s.TotalHours);
    s.TotalMinutes = counterIn(t.TotMinutter).value_or(s.TotalMinutes);
    s.TotalPrice = format.parseFraction(t.TotPris).value_or(s.TotalPrice);
}

void CallEnd::logCall()
{
    Settings& s = state_.settings;
    const StatusTexts& t = state_.texts;
    const QDateTime now = clock_.now();

    // The stored figures are the texts of the last tick.
    takeOverShownFigures(s, t, settings_.numberFormat(), now.date());

    // A save that fails would lose the day's figures without a word: say so. The call still ends
    // and its line is still logged.
    if (const Status saved = settings_.SaveSettings(s); !saved.ok())
        reportFileError(75, saved.message());

    for (const CallLog::Failure& failure : log_.append(CallLog::callEndLine(now, t.Opkaldstypelbl, t)))
        reportFileError(failure.number, failure.description);
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
    steps_.stopTimers();
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
