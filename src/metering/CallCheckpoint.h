#pragma once

#include "core/ProgramState.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

namespace ringtally {

/// The running call as the call end would log and store it at one moment. Kept on disk while the
/// call is metered, so that a crash loses at most the time since the last checkpoint.
struct CallCheckpoint {
    QDateTime moment; // the tick it was taken at, in whole seconds
    QDate day; // the day the day's figures belong to: the next one after a 23:59 split
    QString schemeName; // as the call-end line names it
    StatusTexts texts; // of these, the current, day and total rows are kept
    MeterFigures figures;
    // The start of the call part these figures belong to: the call's start, or its last 23:59
    // split. It names the part, so that its figures are counted once (Settings::CountedPart).
    // Invalid in a file from before it was kept.
    QDateTime partStart;
    // The log line that closes the part, once the program has begun to write it; empty before.
    QString endLine;

    /// The partStart as Settings::CountedPart keeps it.
    QString partName() const;

    /// The file's text, UTF-8: the line "Version=1", one Key=Value line per field, and "End".
    QByteArray serialize() const;
    /// Reads serialize's text (LF or CRLF). Refuses, saying why, a text of another version, a torn
    /// one (no "End" as its last line), one with a field missing or not reading as its value, and
    /// one whose texts disagree with its figures (a hand edit of one but not the other).
    static Result<CallCheckpoint> parse(const QByteArray& bytes);

    bool operator==(const CallCheckpoint&) const = default;
};

/// The checkpoint file in the program's folder.
class CallCheckpointFile {
public:
    explicit CallCheckpointFile(QString path) : path_(std::move(path)) { }

    const QString& path() const { return path_; }

    /// Replaces the file with the checkpoint, atomically: a crash leaves the old one or the new one.
    Status write(const CallCheckpoint& checkpoint) const;
    /// The file's bytes; nothing when there is no file.
    Result<std::optional<QByteArray>> read() const;
    /// Removes the file for good; a missing file is no failure.
    Status remove() const;

private:
    QString path_;
};

} // namespace ringtally
