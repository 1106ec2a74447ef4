#include "metering/CallRecovery.h"

#include "core/ErrorMessage.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "metering/CallCheckpoint.h"
#include "metering/CallLog.h"
#include "metering/PriceEngine.h"
#include "platform/FileAccess.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

// The error numbers of the common error box: a file access, a counter that does not fit.
constexpr int kFileAccessError = 75;
constexpr int kOverflowError = 6;

// The checkpoint and those put aside beside it, the oldest part first and the running one last.
QStringList checkpointFiles(const CallCheckpointFile& checkpoint)
{
    const QFileInfo main(checkpoint.path());
    const QRegularExpression asideName(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(main.fileName()) + u"\\.\\d{8}T\\d{6}"_s));
    QStringList files;
    for (const QString& name : main.dir().entryList(QDir::Files, QDir::Name)) {
        if (asideName.match(name).hasMatch())
            files.append(main.dir().filePath(name));
    }
    files.append(checkpoint.path());
    return files;
}

// Adds minutes to a counter pair of hours and minutes; a sum that does not fit leaves them.
std::optional<qint64> addMinutes(qint16& hours, qint16& minutes, qint64 more)
{
    const qint64 sum = qint64(hours) * 60 + minutes + more;
    const std::optional<qint16> h = fitsCounter(sum / 60);
    if (!h)
        return sum / 60;
    hours = *h;
    minutes = qint16(sum % 60);
    return std::nullopt;
}

// The part's own figures added to the counters: to the total always, to the day's when the part
// belongs to the stored day or a later one. Returns the figures that did not fit.
std::vector<qint64> addPart(Settings& s, const CallCheckpoint& part)
{
    std::vector<qint64> overflowed;
    const MeterFigures& f = part.figures;
    const double price = double(f.callPriceCents) / 100;
    if (const std::optional<qint64> over = addMinutes(s.TotalHours, s.TotalMinutes, f.callMinutes))
        overflowed.push_back(*over);
    s.TotalPrice = std::round((s.TotalPrice + price) * 100) / 100;
    if (part.day > s.LastCallDate) {
        s.LastCallDate = part.day;
        s.LastCallHours = s.LastCallMinutes = 0;
        s.LastCallPrice = 0;
    }
    if (part.day == s.LastCallDate) {
        if (const std::optional<qint64> over = addMinutes(s.LastCallHours, s.LastCallMinutes, f.callMinutes))
            overflowed.push_back(*over);
        s.LastCallPrice = std::round((s.LastCallPrice + price) * 100) / 100;
    }
    return overflowed;
}

// Whether the counters hold the part already: parts follow each other in time.
bool counted(const Settings& s, const CallCheckpoint& part)
{
    const QDateTime last = QDateTime::fromString(s.CountedPart, Qt::ISODate);
    return part.partStart.isValid() && last.isValid() && part.partStart <= last;
}

} // namespace

void recoverInterruptedCalls(ProgramState& state, SettingsFile& file, const CallLog& log,
    const CallCheckpointFile& checkpoint, Prompter& prompter, bool english)
{
    const auto say
        = [english](const QString& danish, const QString& inEnglish) { return english ? inEnglish : danish; };
    std::vector<Prompt> boxes;
    const auto fileError = [&boxes](int number, const QString& description) {
        boxes.push_back(errorPrompt(ErrorTitle::FileError, number, description));
    };
    const QString triedAgain = u'\n'
        + say(u"Det afbrudte opkald prøves igen ved næste start."_s,
            u"The interrupted call will be tried again at the next start."_s);
    // A part that cannot be closed now waits aside, where the next call's checkpoint does not
    // replace it.
    const auto keepAside = [&](const QString& path, const CallCheckpoint& part) {
        if (path != checkpoint.path())
            return;
        const QString aside = path + u'.'
            + (part.partStart.isValid() ? part.partStart : part.moment).toString(u"yyyyMMddTHHmmss"_s);
        QFile::remove(aside);
        QFile::rename(path, aside);
    };

    Settings& s = state.settings;
    for (const QString& path : checkpointFiles(checkpoint)) {
        const Result<FileContents> read = readWholeFile(path);
        if (!read) {
            fileError(kFileAccessError, read.message() + triedAgain);
            continue;
        }
        if (!read.value().stamp.exists)
            continue;
        const QByteArray& bytes = read.value().bytes;
        const Result<CallCheckpoint> parsed = CallCheckpoint::parse(bytes);
        if (!parsed) {
            // Put aside: the box does not come back at every start, and the figures can still be read.
            const QString bad = path + u".bad"_s;
            Status moved = replaceFileAtomically(bad, bytes).status();
            if (moved.ok())
                moved = removeFile(path);
            fileError(kFileAccessError,
                say(u"Tallene fra et afbrudt opkald kunne ikke læses og er ikke talt med: %1\nFilen er gemt som %2."_s,
                    u"The figures of an interrupted call could not be read and were not counted: %1\n"
                    "The file was kept as %2."_s)
                    .arg(parsed.message(), bad));
            if (!moved.ok())
                fileError(kFileAccessError, moved.message());
            continue;
        }

        const CallCheckpoint& part = parsed.value();
        const QString line = part.endLine.isEmpty()
            ? CallLog::recoveredCallEndLine(part.moment, part.schemeName, part.texts)
            : part.endLine;
        const bool inLog = log.holds(line);
        // A checkpoint from before parts were named is counted with its line, as it always was.
        const bool inCounters = counted(s, part) || (!part.partStart.isValid() && inLog);
        // The line first, then the counters, as a call's end writes them.
        if (!inLog) {
            if (const CallLog::Written written = log.write(line); !written.durable()) {
                const CallLog::Failure& failure = written.failures.front();
                fileError(failure.number, failure.description + triedAgain);
                keepAside(path, part);
                continue;
            }
        }
        std::vector<qint64> overflowed;
        if (!inCounters) {
            const Settings before = s;
            overflowed = addPart(s, part);
            if (part.partStart.isValid())
                s.CountedPart = part.partName();
            if (const Status saved = file.SaveSettings(s); !saved.ok()) {
                s = before;
                fileError(kFileAccessError, saved.message() + triedAgain);
                keepAside(path, part);
                continue;
            }
        }
        if (const Status removed = removeFile(path); !removed.ok())
            fileError(kFileAccessError, removed.message());
        if (!inLog || !inCounters) {
            const QString time = part.moment.toString(u"HH:mm:ss"_s);
            const QString date = part.moment.toString(u"yyyy-MM-dd"_s);
            boxes.insert(boxes.begin(),
                { say(u"Afbrudt opkald"_s, u"Interrupted call"_s),
                    say(u"Et opkald, der blev afbrudt kl. %1 den %2, er logget med sin pris, %3 kr."_s,
                        u"A call interrupted at %1 on %2 was logged with its price, %3 kr."_s)
                        .arg(time, date, part.texts.NuvPris),
                    PromptIcon::Information, PromptButtons::Ok });
        }
        for (const qint64 value : overflowed)
            boxes.push_back(errorPrompt(ErrorTitle::Warning, kOverflowError, counterOverflowText(value)));
    }
    // The boxes come last, once everything is stored.
    for (const Prompt& box : boxes)
        prompter.ask(box);
}

} // namespace ringtally
