#pragma once

#include <QString>

namespace ringtally {

/// Bytes received and sent.
struct ByteCounts {
    qint64 received = 0;
    qint64 sent = 0;
    bool operator==(const ByteCounts&) const = default;
};

/// A link's byte counters as the system keeps them: from any base (an interface counts from its
/// creation), and liable to start again from zero when the interface is replaced.
struct LinkCounters {
    QString link; // what counts them: the interface (ppp0, wwan0), or the simulated line
    ByteCounts bytes;
    bool operator==(const LinkCounters&) const = default;
};

} // namespace ringtally
