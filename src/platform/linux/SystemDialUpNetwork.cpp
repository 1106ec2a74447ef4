#include "platform/linux/SystemDialUpNetwork.h"

#include "platform/linux/NetworkManagerNetwork.h"

namespace ringtally {

SystemDialUpNetwork::SystemDialUpNetwork(DialUpNetwork& ppp, NetworkManagerNetwork& managed)
    : ppp_(ppp), managed_(managed)
{
}

namespace {

// The profile's name as listed: with the suffix where a peer has the same name.
QString listed(const QString& profile, const QStringList& peers)
{
    return peers.contains(profile) ? profile + NetworkManagerNetwork::listedSuffix() : profile;
}

} // namespace

Result<QStringList> SystemDialUpNetwork::entryNames() const
{
    Result<QStringList> peers = ppp_.entryNames();
    if (!peers)
        return peers;
    QStringList all = std::move(peers).value();
    for (const QString& profile : managed_.entryNames().valueOr({}))
        all.append(listed(profile, all));
    return all;
}

Result<std::vector<DialUpConnection>> SystemDialUpNetwork::activeConnections() const
{
    Result<std::vector<DialUpConnection>> links = ppp_.activeConnections();
    if (!links)
        return links;
    std::vector<DialUpConnection> all = std::move(links).value();
    const std::vector<DialUpConnection> managed = managed_.activeConnections().valueOr({});
    if (managed.empty())
        return all;
    // The peers are read once, and only while NetworkManager has a link up: the watch asks each
    // second.
    const QStringList peers = ppp_.entryNames().valueOr({});
    for (DialUpConnection connection : managed) {
        connection.entryName = listed(connection.entryName, peers);
        all.push_back(connection);
    }
    return all;
}

Status SystemDialUpNetwork::hangUp(const DialUpConnection& connection)
{
    return connection.handle <= NetworkManagerNetwork::kFirstHandle ? managed_.hangUp(connection)
                                                                    : ppp_.hangUp(connection);
}

bool SystemDialUpNetwork::isOnline() const
{
    return ppp_.isOnline() || managed_.isOnline();
}

QString SystemDialUpNetwork::currentEntryName() const
{
    const QString peer = ppp_.currentEntryName();
    if (!peer.isEmpty())
        return peer;
    const QString profile = managed_.currentEntryName();
    return profile.isEmpty() ? profile : listed(profile, ppp_.entryNames().valueOr({}));
}

QString SystemDialUpNetwork::errorText(qint32 error, bool english) const
{
    const QString peer = ppp_.errorText(error, english);
    return peer.isEmpty() ? managed_.errorText(error, english) : peer;
}

std::optional<LinkCounters> SystemDialUpNetwork::linkCounters() const
{
    if (countedManaged_) {
        if (std::optional<LinkCounters> managed = managed_.linkCounters())
            return managed;
    }
    if (std::optional<LinkCounters> peer = ppp_.linkCounters()) {
        countedManaged_ = false;
        return peer;
    }
    std::optional<LinkCounters> managed = managed_.linkCounters();
    countedManaged_ = managed.has_value();
    return managed;
}

bool SystemDialUpNetwork::isManaged(const QString& entryName) const
{
    if (entryName.endsWith(NetworkManagerNetwork::listedSuffix()))
        return true;
    return !managed_.profilePath(entryName).isEmpty() && !ppp_.entryNames().valueOr({}).contains(entryName);
}

} // namespace ringtally
