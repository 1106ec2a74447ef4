#pragma once

#include "platform/DialUpNetwork.h"

namespace ringtally {

class NetworkManagerNetwork;

/// The system's dial-up networking: pppd's peers, then NetworkManager's paid-for profiles. A
/// profile named as a peer is listed as "name (NetworkManager)", so that the two are told apart
/// and each dial goes where its entry lives.
class SystemDialUpNetwork : public DialUpNetwork {
public:
    /// Both outlive this object.
    SystemDialUpNetwork(DialUpNetwork& ppp, NetworkManagerNetwork& managed);

    /// pppd's entries, then NetworkManager's; pppd's failure is returned.
    Result<QStringList> entryNames() const override;
    Result<std::vector<DialUpConnection>> activeConnections() const override;
    Status hangUp(const DialUpConnection& connection) override;
    bool isOnline() const override;
    QString currentEntryName() const override;
    QString errorText(qint32 error, bool english) const override;
    /// The counters of pppd's line, else of NetworkManager's; the one that answered last is asked
    /// first, as the other may have to look through the system each time.
    std::optional<LinkCounters> linkCounters() const override;

    /// Whether a dial of this entry goes to NetworkManager.
    bool isManaged(const QString& entryName) const;

private:
    DialUpNetwork& ppp_;
    NetworkManagerNetwork& managed_;
    mutable bool countedManaged_ = false; // NetworkManager's line answered linkCounters last
};

} // namespace ringtally
