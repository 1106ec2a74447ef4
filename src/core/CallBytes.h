#pragma once

#include "platform/LinkCounters.h"

#include "core/NumberFormat.h"

#include <optional>

namespace ringtally {

/// The bytes a call's link has carried since the call (or its part since the last 23:59 split)
/// started, from the link's counters read once a tick. A counter that goes backwards (the interface
/// was replaced, or its driver reset it) counts on from its new value, and a link that moves to
/// another interface counts on from that one's counters: the figure never goes down. A reading
/// that fails adds nothing; the bytes are unknown until the first reading succeeds.
class CallBytes {
public:
    /// Counts from zero, from the counters now (nothing when they cannot be read).
    void start(const std::optional<LinkCounters>& now);
    /// Adds what the counters moved by since the last reading.
    void update(const std::optional<LinkCounters>& now);
    /// Counts the next part from zero, going on from the last reading.
    void restartPart() { total_ = {}; }
    /// The bytes so far; nothing while no reading has succeeded.
    std::optional<ByteCounts> total() const
    {
        return last_ ? std::optional<ByteCounts>(total_) : std::nullopt;
    }

private:
    std::optional<LinkCounters> last_;
    ByteCounts total_;
};

/// bytes as people read an amount of data, in units of 1024: "512 B", "1,5 KB", "12,3 MB",
/// "1,25 GB" (one decimal below a GB, two from it), with the decimal mark of format.
QString formatByteSize(qint64 bytes, const NumberFormat& format);

/// The received and sent bytes as the windows show them: "↓ 1,5 MB  ↑ 320,0 KB"; "–" when they
/// are not known.
QString formatByteCounts(const std::optional<ByteCounts>& bytes, const NumberFormat& format);

} // namespace ringtally
