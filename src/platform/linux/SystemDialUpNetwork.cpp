#include "platform/linux/SystemDialUpNetwork.h"

#include "platform/linux/NetworkManagerNetwork.h"

namespace ringtally {

SystemDialUpNetwork::SystemDialUpNetwork(DialUpNetwork& ppp, NetworkManagerNetwork& managed)
    : ppp_(ppp), managed_(managed)
{
}

QString SystemDialUpNetwork::managedSuffix()
{
    return QStringLiteral(" (NetworkManager)");
}

QString SystemDialUpNetwork::listed(const QString& profile) const
{
    return ppp_.entryNames().valueOr({}).contains(profile) ? profile + managedSuffix() : profile;
}

Result<QStringList> SystemDialUpNetwork::entryNames() const
{
    Result<QStringList> peers = ppp_.entryNames();
    if (!peers)
        return peers;
    QStringList all = std::move(peers).value();
    for (const QString& profile : managed_.entryNames().valueOr({}))
        all.append(all.contains(profile) ? profile + managedSuffix() : profile);
    return all;
}

Result<std::vector<DialUpConnection>> SystemDialUpNetwork::activeConnections() const
{
    Result<std::vector<DialUpConnection>> links = ppp_.activeConnections();
    if (!links)
        return links;
    std::vector<DialUpConnection> all = std::move(links).value();
    for (DialUpConnection connection : managed_.activeConnections().valueOr({})) {
        connection.entryName = listed(connection.entryName);
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
    return profile.isEmpty() ? profile : listed(profile);
}

QString SystemDialUpNetwork::errorText(qint32 error, bool english) const
{
    const QString peer = ppp_.errorText(error, english);
    return peer.isEmpty() ? managed_.errorText(error, english) : peer;
}

bool SystemDialUpNetwork::isManaged(const QString& entryName) const
{
    if (entryName.endsWith(managedSuffix()))
        return true;
    return !managed_.profilePath(entryName).isEmpty() && !ppp_.entryNames().valueOr({}).contains(entryName);
}

} // namespace ringtally
