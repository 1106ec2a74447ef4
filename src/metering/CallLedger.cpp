#include "metering/CallLedger.h"

#include "core/ErrorMessage.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "metering/PriceEngine.h"
#include "platform/FileAccess.h"

#include <QDir>
#include <QFile>
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

} // namespace

CallLedger::CallLedger(const CallLog& log, const CallCheckpointFile& checkpoint, SettingsFile& settings)
    : log_(log), checkpoint_(checkpoint), settings_(settings)
{
}

QString CallLedger::say(const QString& danish, const QString& english) const
{
    return english_ ? english : danish;
}

Status CallLedger::keep(const CallCheckpoint& checkpoint) const
{
    return checkpoint_.write(checkpoint);
}

std::vector<Prompt> CallLedger::closePart(ProgramState& state, CallCheckpoint final, bool& logged)
{
    // The final figures with their line first: from here on, a kill is mended by the next start.
    // Should this write fail, the last checkpoint of the part still stands for it.
    (void)checkpoint_.write(final);
    std::vector<Prompt> boxes = writeUnwritten();
    unwritten_.append(final.endLine);
    for (Prompt& box : writeUnwritten())
        boxes.push_back(std::move(box));
    logged = !unwritten_.contains(final.endLine);

    state.settings.CountedPart = final.partName();
    state.countersUnsaved = true;
    for (Prompt& box : saveCounters(state))
        boxes.push_back(std::move(box));
    if (state.countersUnsaved) {
        // The part is not in the ledger yet: its checkpoint goes where no later call replaces it.
        putCheckpointAside(final);
    } else if (const Status removed = checkpoint_.remove(); !removed.ok()) {
        boxes.push_back(errorPrompt(ErrorTitle::FileError, kFileAccessError, removed.message(), english_));
    }
    return boxes;
}

std::vector<Prompt> CallLedger::drop()
{
    if (const Status removed = checkpoint_.remove(); !removed.ok())
        return { errorPrompt(ErrorTitle::FileError, kFileAccessError, removed.message(), english_) };
    return {};
}

std::vector<Prompt> CallLedger::recover(ProgramState& state, bool atStart)
{
    // The counters on disk as they were when the program started: they hold a part of an earlier
    // run exactly when it started no later than the part they name, as no save happens while such
    // a part waits (the counters follow the log).
    if (atStart)
        countedAtStart_ = QDateTime::fromString(state.settings.CountedPart, Qt::ISODate);
    const QString triedAgain = u'\n'
        + say(u"Det afbrudte opkald prøves igen ved næste start."_s,
            u"The interrupted call will be tried again at the next start."_s);
    std::vector<Prompt> boxes;
    const auto fileError = [this, &boxes](int number, const QString& description) {
        boxes.push_back(errorPrompt(ErrorTitle::FileError, number, description, english_));
    };
    orphans_ = 0;
    QStringList files = checkpointFiles(checkpoint_);
    // The running call's own checkpoint is no earlier run's, except at the start.
    if (!atStart)
        files.removeAll(checkpoint_.path());
    for (const QString& path : std::as_const(files)) {
        if (aside_.contains(path))
            continue;
        const Result<FileContents> read = readWholeFile(path);
        if (!read) {
            ++orphans_;
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
            ? CallLog::recoveredCallEndLine(part.moment, part.schemeName, part.texts, part.figures.bytes())
            : part.endLine;
        // The counters are saved only once a part's line is on disk: a part they hold is logged, by
        // a line the checkpoint may not know (written after the checkpoint's last write). A
        // checkpoint from before parts were named is counted with its line, as it always was.
        const bool countedBefore
            = part.partStart.isValid() && countedAtStart_.isValid() && part.partStart <= countedAtStart_;
        const bool inLog = countedBefore || log_.holds(line);
        const bool inCounters = countedBefore || (!part.partStart.isValid() && inLog);
        // The line first, then the counters, as a call's end writes them.
        if (!inLog) {
            if (const CallLog::Written written = log_.write(line); !written.durable()) {
                ++orphans_;
                if (!std::exchange(toldOrphans_, true))
                    fileError(
                        written.failures.front().number, written.failures.front().description + triedAgain);
                // Where the next call's checkpoint does not replace it.
                if (path == checkpoint_.path())
                    (void)renameFile(path, asideName(part));
                continue;
            }
        }
        if (!inCounters) {
            for (const qint64 value : addPart(state.settings, part))
                boxes.push_back(errorPrompt(
                    ErrorTitle::Warning, kOverflowError, counterOverflowText(value, english_), english_));
            state.settings.CountedPart = std::max(state.settings.CountedPart, part.partName());
            state.countersUnsaved = true;
        }
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
        // In the log and in the counters in memory: the file goes once they are saved, and waits
        // where the next call's checkpoint does not replace it.
        if (path != checkpoint_.path())
            aside_.append(path);
        else if (renameFile(path, asideName(part)).ok())
            aside_.append(asideName(part));
    }
    if (orphans_ == 0)
        toldOrphans_ = false;
    for (Prompt& box : saveCounters(state))
        boxes.push_back(std::move(box));
    // Without a save to wait for, the files go now.
    if (!state.countersUnsaved)
        finishAside();
    return boxes;
}

std::vector<Prompt> CallLedger::catchUp(ProgramState& state)
{
    std::vector<Prompt> boxes = writeUnwritten();
    if (orphans_ > 0) {
        for (Prompt& box : recover(state, false))
            boxes.push_back(std::move(box));
    }
    if (unwritten_.isEmpty())
        (void)log_.flushPending();
    if (state.countersUnsaved) {
        for (Prompt& box : saveCounters(state))
            boxes.push_back(std::move(box));
    }
    return boxes;
}

std::vector<Prompt> CallLedger::writeUnwritten()
{
    std::vector<Prompt> boxes;
    while (!unwritten_.isEmpty()) {
        const CallLog::Written written = log_.write(unwritten_.first());
        if (written.inLog) {
            toldKept_ = false;
        } else if (!toldKept_ && !written.failures.empty()) {
            // Told once, in one box, until the log takes lines again.
            toldKept_ = true;
            const CallLog::Failure& failure = written.failures.front();
            const QString what = written.kept
                ? say(u"Opkaldet er gemt i %1 og skrives i loggen, så snart den kan skrives igen."_s,
                    u"The call is kept in %1 and goes into the log as soon as the log can be written again."_s)
                      .arg(QDir::toNativeSeparators(log_.pendingPath()))
                : say(u"Opkaldet kunne ikke skrives. Det skrives, så snart der er plads igen."_s,
                    u"The call could not be written. It is written as soon as there is room again."_s);
            boxes.push_back(errorPrompt(
                ErrorTitle::FileError, failure.number, failure.description + u'\n' + what, english_));
        }
        if (!written.durable())
            break;
        unwritten_.removeFirst();
    }
    return boxes;
}

std::vector<Prompt> CallLedger::saveCounters(ProgramState& state)
{
    // The counters follow the log: saved only once every line they hold is on disk, and no part
    // of an earlier run waits for its line.
    if (!unwritten_.isEmpty() || orphans_ > 0)
        return {};
    const Status saved = settings_.SaveSettings(state.settings);
    if (saved.ok()) {
        state.countersUnsaved = false;
        toldUnsaved_ = false;
        finishAside();
        return {};
    }
    if (std::exchange(toldUnsaved_, true))
        return {};
    return { errorPrompt(ErrorTitle::FileError, kFileAccessError,
        saved.message() + u'\n'
            + say(u"Dagens og de samlede tal gemmes igen ved næste opkald og når programmet slutter."_s,
                u"The day's and the total figures are saved again at the next call and when the program ends."_s),
        english_) };
}

QString CallLedger::asideName(const CallCheckpoint& part) const
{
    const QDateTime start = part.partStart.isValid() ? part.partStart : part.moment;
    return checkpoint_.path() + u'.' + start.toString(u"yyyyMMddTHHmmss"_s);
}

void CallLedger::putCheckpointAside(const CallCheckpoint& part)
{
    const QString aside = asideName(part);
    if (QFile::exists(checkpoint_.path()) && renameFile(checkpoint_.path(), aside).ok())
        aside_.append(aside);
}

void CallLedger::finishAside()
{
    for (qsizetype i = aside_.size() - 1; i >= 0; --i) {
        if (removeFile(aside_[i]).ok())
            aside_.removeAt(i);
    }
}

} // namespace ringtally
