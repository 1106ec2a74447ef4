#pragma once

#include "platform/DialUpNetwork.h"

#include <QString>

namespace ringtally {

/// The dial-up entries of a Linux system: one pppd peer file per entry in the peers folder,
/// named as the entry is named.
class PppPeersDialUpNetwork : public DialUpNetwork {
public:
    explicit PppPeersDialUpNetwork(QString peersFolder = QStringLiteral("/etc/ppp/peers"));

    /// The peer files' names, sorted without regard to case; hidden files and editor or package
    /// leftovers are not entries. A missing folder has no entries; an unreadable one is an error.
    Result<QStringList> entryNames() const override;

    // Stand-ins until the pppd backend watches the running pppd processes: no connection is
    // ever seen, so the program counts as offline and has nothing to hang up.
    Result<std::vector<DialUpConnection>> activeConnections() const override
    {
        return std::vector<DialUpConnection> {};
    }
    Status hangUp(const DialUpConnection&) override { return Status::success(); }
    bool isOnline() const override { return false; }
    QString currentEntryName() const override { return {}; }
    QString errorText(qint32) const override { return {}; }

private:
    QString peersFolder_;
};

} // namespace ringtally
