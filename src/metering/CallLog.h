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
    /// The call-end line: the moment, the scheme's name and the current and day figures.
    static QString callEndLine(const QDateTime& at, const QString& schemeName, const StatusTexts& texts);
    /// The call-end line of a call that a crash interrupted, logged at the next start: as the
    /// call-end line, with a ninth field "recovered" (quoted).
    static QString recoveredCallEndLine(
        const QDateTime& at, const QString& schemeName, const StatusTexts& texts);
    /// The split line: as the call-end line, with the scheme's index (unquoted) for its name.
    static QString splitLine(const QDateTime& at, int schemeIndex, const StatusTexts& texts);

    /// Appends the line and a line end, creating the file when missing; checks the opening, the
    /// writing and the flush. Returns every failure met: one for the opening, and one for the
    /// line that then could not be written.
    std::vector<Failure> append(const QString& line) const;

private:
    QString path_;
};

} // namespace ringtally
