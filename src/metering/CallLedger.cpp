#include "metering/CallLedger.h"

#include "core/ErrorMessage.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "platform/FileAccess.h"

#include <QDir>
#include <QFile>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

constexpr int kFileAccessError = 75;

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
        boxes.push_back(errorPrompt(ErrorTitle::FileError, kFileAccessError, removed.message()));
    }
    return boxes;
}

std::vector<Prompt> CallLedger::drop()
{
    if (const Status removed = checkpoint_.remove(); !removed.ok())
        return { errorPrompt(ErrorTitle::FileError, kFileAccessError, removed.message()) };
    return {};
}

std::vector<Prompt> CallLedger::catchUp(ProgramState& state)
{
    std::vector<Prompt> boxes = writeUnwritten();
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
            boxes.push_back(
                errorPrompt(ErrorTitle::FileError, failure.number, failure.description + u'\n' + what));
        }
        if (!written.durable())
            break;
        unwritten_.removeFirst();
    }
    return boxes;
}

std::vector<Prompt> CallLedger::saveCounters(ProgramState& state)
{
    // The counters follow the log: saved only once every line they hold is on disk.
    if (!unwritten_.isEmpty())
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
    return {
        errorPrompt(ErrorTitle::FileError, kFileAccessError,
            saved.message() + u'\n'
                + say(u"Dagens og de samlede tal gemmes igen ved næste opkald og når programmet slutter."_s,
                    u"The day's and the total figures are saved again at the next call and when the program ends."_s))
    };
}

void CallLedger::putCheckpointAside(const CallCheckpoint& part)
{
    const QString aside = checkpoint_.path() + u'.' + part.partStart.toString(u"yyyyMMddTHHmmss"_s);
    if (!QFile::exists(checkpoint_.path()))
        return;
    QFile::remove(aside);
    if (QFile::rename(checkpoint_.path(), aside))
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
