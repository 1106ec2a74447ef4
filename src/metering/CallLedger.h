#pragma once

#include "metering/CallCheckpoint.h"
#include "metering/CallLog.h"
#include "platform/Prompter.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace ringtally {

class SettingsFile;
struct ProgramState;

/// Keeps a call's figures on disk so that none is lost or counted twice. The call log is the
/// ledger and the stored counters follow it: a part of a call (the call, or its part since a 23:59
/// split) is closed by writing its final checkpoint with its log line, then the line, then the
/// counters marked as holding the part; the checkpoint goes once both have it. A kill at any
/// moment leaves what the next start needs to finish the close (recover). What
/// cannot be written now waits in memory, with its checkpoint put aside where no later call
/// replaces it, and is written at the next chance.
class CallLedger {
public:
    CallLedger(const CallLog& log, const CallCheckpointFile& checkpoint, SettingsFile& settings);

    /// Texts of the boxes in English rather than Danish.
    void setEnglish(bool english) { english_ = english; }

    /// Keeps the running part on disk in place of the last checkpoint.
    Status keep(const CallCheckpoint& checkpoint) const;
    /// Closes the running part, whose final figures and line are given; state.settings already
    /// counts the part. logged says whether the line reached the log or the file beside it.
    /// Returns the boxes that tell the user what could not be written, for after the close.
    std::vector<Prompt> closePart(ProgramState& state, CallCheckpoint final, bool& logged);
    /// Drops the running part's checkpoint: a call hung up without a log.
    std::vector<Prompt> drop();
    /// Closes the parts that an earlier run did not live to close (the checkpoint at the start,
    /// atStart, and any put aside): a part's line goes into the log unless the log holds it
    /// already (the checkpoint's own line once its close had begun, else a call-end line marked as
    /// recovered), and its own figures into the counters unless they hold it already; then its
    /// file goes. A part that cannot be closed now waits for the next chance, and the counters
    /// are not saved before it; a checkpoint that does not read is put aside (".bad") and not
    /// counted. Returns the boxes to show, a recovered call's among them.
    std::vector<Prompt> recover(ProgramState& state, bool atStart);
    /// Writes the lines, the parts of earlier runs and the counters that earlier closes could not;
    /// the boxes that say why once more, the first time only.
    std::vector<Prompt> catchUp(ProgramState& state);
    /// Lines closed but on no disk yet.
    const QStringList& unwritten() const { return unwritten_; }

private:
    std::vector<Prompt> writeUnwritten();
    std::vector<Prompt> saveCounters(ProgramState& state);
    void putCheckpointAside(const CallCheckpoint& part);
    QString asideName(const CallCheckpoint& part) const;
    void finishAside();
    QString say(const QString& danish, const QString& english) const;

    const CallLog& log_;
    const CallCheckpointFile& checkpoint_;
    SettingsFile& settings_;
    bool english_ = false;
    QStringList unwritten_; // closed lines that neither the log nor the file beside it took yet
    QStringList aside_; // checkpoints put aside until their parts are in the log and the counters
    bool toldKept_ = false; // the user knows lines wait beside the log
    bool toldUnsaved_ = false; // the user knows the counters could not be saved
    int orphans_ = 0; // parts of earlier runs that could not be closed yet
    bool toldOrphans_ = false; // the user knows they wait
    QDateTime countedAtStart_; // the last part the counters on disk held at the start
};

} // namespace ringtally
