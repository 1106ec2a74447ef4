#include "platform/linux/LinkBytes.h"

#include <QFile>

namespace ringtally {

namespace {

// What the counter moved by since last: a counter below last started again from zero.
qint64 moved(qint64 now, qint64 last)
{
    if (now < 0 || last < 0)
        return 0;
    return now >= last ? now - last : now;
}

} // namespace

LinkBytes::LinkBytes(QString systemRoot) : systemRoot_(std::move(systemRoot))
{
}

void LinkBytes::start(const QString& interface)
{
    total_ = {};
    interface_.clear();
    follow(interface);
}

void LinkBytes::follow(const QString& interface)
{
    if (interface == interface_)
        return;
    interface_ = interface;
    last_ = { counter("rx_bytes"), counter("tx_bytes") };
}

ByteCounts LinkBytes::read()
{
    const ByteCounts now { counter("rx_bytes"), counter("tx_bytes") };
    total_.received += moved(now.received, last_.received);
    total_.sent += moved(now.sent, last_.sent);
    // An unreadable counter keeps its last value, so that nothing is counted twice once it reads.
    if (now.received >= 0)
        last_.received = now.received;
    if (now.sent >= 0)
        last_.sent = now.sent;
    return total_;
}

qint64 LinkBytes::counter(const char* name) const
{
    // A name with a slash would leave the folder of interfaces.
    if (interface_.isEmpty() || interface_.contains(u'/') || interface_.startsWith(u'.'))
        return -1;
    QFile file(systemRoot_ + QStringLiteral("/sys/class/net/") + interface_ + QStringLiteral("/statistics/")
        + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const qint64 value = file.readAll().trimmed().toLongLong(&ok);
    return ok && value >= 0 ? value : -1;
}

} // namespace ringtally
