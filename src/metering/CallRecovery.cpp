#include "metering/CallRecovery.h"

#include "core/ErrorMessage.h"
#include "core/SettingsFile.h"
#include "metering/CallCheckpoint.h"
#include "metering/CallEnd.h"
#include "metering/CallLog.h"
#include "metering/PriceEngine.h"
#include "platform/FileAccess.h"
#include "platform/Prompter.h"

#include <tuple>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

// The error numbers of the common error box: a file access, a counter that does not fit.
constexpr int kFileAccessError = 75;
constexpr int kOverflowError = 6;

// Whether an earlier start logged the call already and then could not remove the file.
bool loggedAlready(const CallLog& log, const QString& line)
{
    const Result<FileContents> contents = readWholeFile(log.path());
    return contents.ok() && contents.value().bytes.contains((line + u"\r\n"_s).toUtf8());
}

// The figures as the call end stores them; a day earlier than the stored last call's keeps the
// later day's figures.
std::vector<qint64> takeOver(Settings& s, const CallCheckpoint& call, const NumberFormat& format)
{
    const Settings before = s;
    std::vector<qint64> overflowed = CallEnd::takeOverShownFigures(s, call.texts, format, call.day);
    if (before.LastCallDate.isValid() && call.day < before.LastCallDate) {
        std::tie(s.LastCallDate, s.LastCallHours, s.LastCallMinutes, s.LastCallPrice) = std::tie(
            before.LastCallDate, before.LastCallHours, before.LastCallMinutes, before.LastCallPrice);
    }
    return overflowed;
}

} // namespace

void recoverInterruptedCall(Settings& settings, SettingsFile& file, const CallLog& log,
    const CallCheckpointFile& checkpoint, Prompter& prompter, bool english)
{
    const auto say
        = [english](const QString& danish, const QString& inEnglish) { return english ? inEnglish : danish; };
    const auto fileError = [&prompter](int number, const QString& description) {
        prompter.ask(errorPrompt(ErrorTitle::FileError, number, description));
    };
    const QString triedAgain = u'\n'
        + say(u"Det afbrudte opkald prøves igen ved næste start."_s,
            u"The interrupted call will be tried again at the next start."_s);

    const Result<std::optional<QByteArray>> read = checkpoint.read();
    if (!read) {
        fileError(kFileAccessError, read.message() + triedAgain);
        return;
    }
    if (!read.value())
        return;
    const QByteArray& bytes = *read.value();
    const Result<CallCheckpoint> parsed = CallCheckpoint::parse(bytes);
    if (!parsed) {
        // Put aside: the box does not come back at every start, and the figures can still be read.
        const QString aside = checkpoint.path() + u".bad"_s;
        Status moved = replaceFileAtomically(aside, bytes).status();
        if (moved.ok())
            moved = checkpoint.remove();
        fileError(kFileAccessError,
            say(u"Tallene fra et afbrudt opkald kunne ikke læses og er ikke talt med: %1\nFilen er gemt som %2."_s,
                u"The figures of an interrupted call could not be read and were not counted: %1\n"
                "The file was kept as %2."_s)
                .arg(parsed.message(), aside));
        if (!moved.ok())
            fileError(kFileAccessError, moved.message());
        return;
    }

    const CallCheckpoint& call = parsed.value();
    const QString line = CallLog::recoveredCallEndLine(call.moment, call.schemeName, call.texts);
    const bool counted = loggedAlready(log, line);
    std::vector<qint64> overflowed;
    if (!counted) {
        // Stored before the line is logged: a logged line tells a later start that the call counts.
        const Settings before = settings;
        overflowed = takeOver(settings, call, file.numberFormat());
        if (const Status saved = file.SaveSettings(settings); !saved.ok()) {
            settings = before;
            fileError(kFileAccessError, saved.message() + triedAgain);
            return;
        }
        if (const std::vector<CallLog::Failure> failures = log.append(line); !failures.empty()) {
            for (const CallLog::Failure& failure : failures)
                fileError(failure.number, failure.description + triedAgain);
            return;
        }
    }
    const Status removed = checkpoint.remove();

    // The boxes come last, once everything is stored.
    if (!counted) {
        const QString time = call.moment.toString(u"HH:mm:ss"_s);
        const QString date = call.moment.toString(u"yyyy-MM-dd"_s);
        prompter.ask({ say(u"Afbrudt opkald"_s, u"Interrupted call"_s),
            say(u"Et opkald, der blev afbrudt kl. %1 den %2, er logget med sin pris, %3 kr."_s,
                u"A call interrupted at %1 on %2 was logged with its price, %3 kr."_s)
                .arg(time, date, call.texts.NuvPris),
            PromptIcon::Information, PromptButtons::Ok });
    }
    for (const qint64 value : overflowed)
        prompter.ask(errorPrompt(ErrorTitle::Warning, kOverflowError, counterOverflowText(value)));
    if (!removed.ok())
        fileError(kFileAccessError, removed.message());
}

} // namespace ringtally
