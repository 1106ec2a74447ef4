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

private:
    QString peersFolder_;
};

} // namespace ringtally
