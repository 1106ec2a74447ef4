#include "core/CallBytes.h"

namespace ringtally {

namespace {

// What a counter moved by: one below its last value started again from zero.
qint64 moved(qint64 now, qint64 last)
{
    return now >= last ? now - last : now;
}

} // namespace

void CallBytes::start(const std::optional<LinkCounters>& now)
{
    total_ = {};
    last_ = now;
}

void CallBytes::update(const std::optional<LinkCounters>& now)
{
    if (!now)
        return;
    if (last_ && last_->link == now->link) {
        total_.received += moved(now->bytes.received, last_->bytes.received);
        total_.sent += moved(now->bytes.sent, last_->bytes.sent);
    }
    last_ = now;
}

QString formatByteSize(qint64 bytes, const NumberFormat& format)
{
    constexpr qint64 kKilo = 1024;
    if (bytes < kKilo)
        return QString::number(bytes) + QStringLiteral(" B");
    struct Unit {
        qint64 size;
        int decimals;
        const char* name;
    };
    static constexpr Unit kUnits[]
        = { { kKilo * kKilo * kKilo, 2, " GB" }, { kKilo * kKilo, 1, " MB" }, { kKilo, 1, " KB" } };
    for (const Unit& unit : kUnits) {
        if (bytes >= unit.size)
            return format.formatFixed(double(bytes) / double(unit.size), unit.decimals)
                + QLatin1String(unit.name);
    }
    return QString();
}

QString formatByteCounts(const std::optional<ByteCounts>& bytes, const NumberFormat& format)
{
    if (!bytes)
        return QStringLiteral("\u2013");
    return QStringLiteral("\u2193 ") + formatByteSize(bytes->received, format) + QStringLiteral("  \u2191 ")
        + formatByteSize(bytes->sent, format);
}

} // namespace ringtally
