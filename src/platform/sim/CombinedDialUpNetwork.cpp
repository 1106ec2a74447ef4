#include "platform/sim/CombinedDialUpNetwork.h"

#include "platform/sim/SimulatedDialControl.h"
#include "platform/sim/SimulatedLine.h"

#include <utility>

namespace ringtally {

CombinedDialUpNetwork::CombinedDialUpNetwork(DialUpNetwork& system, SimulatedLine& line)
    : system_(system), line_(line)
{
}

Result<QStringList> CombinedDialUpNetwork::entryNames() const
{
    Result<QStringList> names = system_.entryNames();
    if (!names)
        return names;
    QStringList all = std::move(names).value();
    all.append(QString::fromUtf16(SimulatedLine::kEntryName));
    return all;
}

Result<std::vector<DialUpConnection>> CombinedDialUpNetwork::activeConnections() const
{
    Result<std::vector<DialUpConnection>> system = system_.activeConnections();
    if (!system)
        return system;
    const Result<SimulatedLineState> line = line_.read();
    if (!line)
        return Error { line.message() };
    std::vector<DialUpConnection> all = std::move(system).value();
    if (line.value().up)
        all.push_back({ kDemoHandle, line.value().entryName });
    return all;
}

Status CombinedDialUpNetwork::hangUp(const DialUpConnection& connection)
{
    return connection.handle == kDemoHandle ? line_.bringDown() : system_.hangUp(connection);
}

bool CombinedDialUpNetwork::isOnline() const
{
    return system_.isOnline() || demoEntry().has_value();
}

QString CombinedDialUpNetwork::currentEntryName() const
{
    const QString system = system_.currentEntryName();
    return system.isEmpty() ? demoEntry().value_or(QString()) : system;
}

QString CombinedDialUpNetwork::errorText(qint32 error, bool english) const
{
    const QString own = SimulatedDialControl::errorText(error, english);
    return own.isEmpty() ? system_.errorText(error, english) : own;
}

std::optional<LinkCounters> CombinedDialUpNetwork::linkCounters() const
{
    std::optional<LinkCounters> system = system_.linkCounters();
    return system ? system : line_.counters();
}

std::optional<QString> CombinedDialUpNetwork::demoEntry() const
{
    // The watch asks every second and has no way to take an error: a file that cannot be read
    // counts as a line down here, and activeConnections reports it.
    const Result<SimulatedLineState> line = line_.read();
    if (!line || !line.value().up)
        return std::nullopt;
    return line.value().entryName;
}

} // namespace ringtally
