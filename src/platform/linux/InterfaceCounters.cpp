#include "platform/linux/InterfaceCounters.h"

#include <QFile>

namespace ringtally {

namespace {

qint64 counter(const QString& folder, const char* name)
{
    QFile file(folder + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const qint64 value = file.read(32).trimmed().toLongLong(&ok);
    return ok && value >= 0 ? value : -1;
}

} // namespace

std::optional<LinkCounters> readInterfaceCounters(const QString& systemRoot, const QString& interface)
{
    if (interface.isEmpty() || interface.contains(u'/') || interface.startsWith(u'.'))
        return std::nullopt;
    const QString folder
        = systemRoot + QStringLiteral("/sys/class/net/") + interface + QStringLiteral("/statistics/");
    const qint64 received = counter(folder, "rx_bytes");
    const qint64 sent = counter(folder, "tx_bytes");
    if (received < 0 || sent < 0)
        return std::nullopt;
    return LinkCounters { interface, { received, sent } };
}

} // namespace ringtally
