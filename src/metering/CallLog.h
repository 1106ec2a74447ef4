#pragma once

#include "core/ProgramState.h"
#include "platform/Result.h"

#include <QDateTime>
#include <QString>

namespace ringtally {

/// The call log: one line per call end and one per 23:59 split, only ever appended to. Fields are
/// separated by commas; texts in double quotes, the date and time in number signs.
class CallLog {
public:
    /// A failure to append, with the error number and description of the common error box.
    struct Failure {
        int number;
        QString description;
    };

    explicit CallLog(QString path);

    const QString& path() const { return path_; }

    /// "#2026-12-06 14:03:09#", or only the date ("#2026-12-06#") at exactly midnight.
    static QString dateTimeField(const QDateTime& at);
    /// The call-end line: the moment, the scheme's name and the current and day figures, then,
    /// when they are known, the bytes received and sent (unquoted), always the line's last two
    /// fields.
    static QString callEndLine(const QDateTime& at, const QString& schemeName, const StatusTexts& texts,
        const std::optional<ByteCounts>& bytes = std::nullopt);
    /// The call-end line of a call that a crash interrupted, logged at the next start: as the
    /// call-end line, with a ninth field "recovered" (quoted) before the bytes.
    static QString recoveredCallEndLine(const QDateTime& at, const QString& schemeName,
        const StatusTexts& texts, const std::optional<ByteCounts>& bytes = std::nullopt);
    /// The split line: as the call-end line, with the scheme's index (unquoted) for its name.
    static QString splitLine(const QDateTime& at, int schemeIndex, const StatusTexts& texts,
        const std::optional<ByteCounts>& bytes = std::nullopt);

    /// How write went: the line is in the log, or kept in the pending file, or (neither) lost
    /// unless the caller keeps it; and every failure met on the way.
    struct Written {
        bool inLog = false;
        bool kept = false;
        std::vector<Failure> failures;

        /// The line is on disk, in the log or beside it.
        bool durable() const { return inLog || kept; }
    };

    /// Appends the line and a line end, creating the file when missing; checks the opening, the
    /// writing and the flush. Returns every failure met: one for the opening, and one for the
    /// line that then could not be written.
    std::vector<Failure> append(const QString& line) const;
    /// The log's ledger write: the lines kept aside go into the log first, then this one; a line
    /// the log cannot take is kept in the pending file, to go into the log at a later write.
    Written write(const QString& line) const;
    /// Moves the lines kept aside into the log, leaving out any the log holds already (a kill
    /// between the move and the pending file's removal); true when none is left aside.
    bool flushPending() const;
    /// Whether the log or the pending file holds the line.
    bool holds(const QString& line) const;
    /// The file beside the log that keeps the lines the log could not take.
    QString pendingPath() const { return path_ + QStringLiteral(".pending"); }

private:
    QString path_;
};

} // namespace ringtally
