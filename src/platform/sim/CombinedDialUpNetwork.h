#pragma once

#include "platform/DialUpNetwork.h"

#include <optional>

namespace ringtally {

class SimulatedLine;

/// The dial-up networking the program uses: the system's, and after its entries the simulated
/// line's entry. The simulated line's connection, while it is up, has the handle kDemoHandle.
class CombinedDialUpNetwork : public DialUpNetwork {
public:
    /// The simulated line's connection handle: a process id, which the system's handles are, is
    /// never negative.
    static constexpr qint64 kDemoHandle = -1;

    /// The system's networking and the simulated line; both outlive this object.
    CombinedDialUpNetwork(DialUpNetwork& system, SimulatedLine& line);

    /// The system's entries, then the simulated line's; a failure of the system's is returned.
    Result<QStringList> entryNames() const override;
    /// The system's connections, then the simulated line's while it is up.
    Result<std::vector<DialUpConnection>> activeConnections() const override;
    /// Brings the simulated line down for kDemoHandle; hands every other connection to the system.
    Status hangUp(const DialUpConnection& connection) override;
    /// Whether the system's connection or the simulated line is up.
    bool isOnline() const override;
    /// The system's connection's entry first, else the simulated line's while it is up.
    QString currentEntryName() const override;
    /// The simulated line's texts for its error numbers, else the system's.
    QString errorText(qint32 error, bool english) const override;
    /// The system's link's counters, else the simulated line's while it is up.
    std::optional<LinkCounters> linkCounters() const override;

private:
    /// The entry that brought the simulated line up; nothing while it is down or cannot be read.
    std::optional<QString> demoEntry() const;

    DialUpNetwork& system_;
    SimulatedLine& line_;
};

} // namespace ringtally
