#pragma once

#include "platform/LinkCounters.h"
#include "platform/Result.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace ringtally {

/// One active dial-up connection of the system.
struct DialUpConnection {
    qint64 handle = 0; // what identifies the connection to hangUp
    QString entryName; // the entry it was dialed with
};

/// The system's dial-up networking: its configured entries and its active connections.
class DialUpNetwork {
public:
    virtual ~DialUpNetwork() = default;

    /// Names of all dial-up entries of the system, in the order the system lists them.
    virtual Result<QStringList> entryNames() const = 0;
    /// Every active connection, in the order the system lists them, whoever dialed it.
    virtual Result<std::vector<DialUpConnection>> activeConnections() const = 0;
    /// Starts hanging the connection up; the line drops some time later.
    virtual Status hangUp(const DialUpConnection& connection) = 0;
    /// Whether the system reports a dial-up connection as up.
    virtual bool isOnline() const = 0;
    /// The name of the entry that the system's dial-up connection uses; empty when it has none.
    virtual QString currentEntryName() const = 0;
    /// What an error number of a dial means, in words that tell the user what to do, in Danish or,
    /// when english, English; empty for a number this network does not know.
    virtual QString errorText(qint32 error, bool english) const = 0;
    /// The byte counters of the link currentEntryName names; nothing when offline or when the link
    /// has none that can be read. The meter reads them once a tick, so this must be cheap.
    virtual std::optional<LinkCounters> linkCounters() const { return std::nullopt; }
};

} // namespace ringtally
