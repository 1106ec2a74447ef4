#pragma once

#include "core/NumberFormat.h"
#include "platform/FileAccess.h"
#include "platform/Result.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace ringtally {

/// The ninth field of a call-end line that was logged at a start from a crash checkpoint:
/// `,"recovered"` after the day's price (and before the bytes, where the line has them).
inline constexpr char16_t kRecoveredField[] = u"recovered";

/// One line of a call: a 23:59 split line, or the call-end line that follows the last split.
/// Moments are local times that carry the offset from UTC in force at them (Qt::OffsetFromUTC):
/// they show as the log wrote them and compare as instants.
struct CallPart {
    QDateTime end; // the moment in the line's first field
    qint64 minutes = 0; // whole minutes of this part; its seconds are not logged
    qint64 priceCents = 0; // the part's price in hundredths
    bool split = false; // a 23:59 split line
    int lineNumber = 0; // 1-based
    qint64 receivedBytes = -1; // the line's last two fields; -1 for a line without them
    qint64 sentBytes = -1;

    bool operator==(const CallPart&) const = default;
};

/// A call as the log tells it: its parts in order (every split line, then the call-end line).
/// A call whose last part is a split line is one the program never ended: it died after the
/// split, and the call ends at that split.
struct Call {
    QDateTime start; // the first part's end less its whole minutes (up to 59 s after the real start)
    QDateTime end; // the last part's end
    QString scheme; // the call-end line's scheme name; a lone split's index mapped to a name
    qint64 minutes = 0; // sum over the parts
    qint64 priceCents = 0; // sum over the parts
    std::vector<CallPart> parts;
    bool recovered = false; // logged from a crash checkpoint
    int lineNumber = 0; // of the call's first line
    qint64 receivedBytes = -1; // sum over the parts; -1 when a part's are not known
    qint64 sentBytes = -1;

    /// The program never logged this call's end: its last part is a split line.
    bool unfinished() const { return parts.back().split; }
    bool operator==(const Call&) const = default;
};

/// A line that is no call line (torn by a crash, edited by hand, from another program).
struct UnreadableLine {
    int number = 0; // 1-based
    QString text; // as decoded, without its line end

    bool operator==(const UnreadableLine&) const = default;
};

/// The whole log as read once.
struct CallHistory {
    std::vector<Call> calls; // in the order of their first lines
    std::vector<UnreadableLine> unreadable; // in line order
    FileStamp stamp; // of the version read; exists is false for a missing log
};

/// Reads the call log at path, opened read-only, never locked or changed. Lines are decoded one by
/// one as UTF-8 or, failing that, Windows-1252, and may end in LF or CRLF; blank lines are passed
/// over. Dates in the ISO form, or the date forms format.parseDate reads, with an optional
/// "H:mm[:ss]" time (and "AM"/"PM"); the bytes received and sent as two unquoted whole numbers at
/// the line's end, or not at all; prices with "," or "." (or the locale's mark) before the
/// decimals. A split line names its scheme by index: schemeNames[index], or empty when the list
/// has no such entry. The next readable line goes on from a split line when its scheme is the
/// split's (any, for an empty name) and its part starts (its moment less its minutes) within two
/// minutes of the split's moment; otherwise the split's call ends at the split. A missing file is
/// an empty history; a file that cannot be read is an error.
Result<CallHistory> readCallLog(
    const QString& path, const NumberFormat& format, const QStringList& schemeNames);

} // namespace ringtally
