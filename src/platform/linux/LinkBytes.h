#pragma once

#include <QString>

namespace ringtally {

/// Bytes received and sent.
struct ByteCounts {
    qint64 received = 0;
    qint64 sent = 0;
    bool operator==(const ByteCounts&) const = default;
};

/// The bytes a link has carried since a call started, from its network interface's counters
/// (/sys/class/net/<interface>/statistics). Counters that go backwards (the interface was replaced,
/// or a driver reset them) count on from their new value: the figure never goes down. An interface
/// that cannot be read adds nothing until it can.
class LinkBytes {
public:
    /// systemRoot is for tests: the folder that stands for /.
    explicit LinkBytes(QString systemRoot = QString());

    /// Counts from zero on interface (ppp0, wwan0); empty for a link without one.
    void start(const QString& interface);
    /// Follows the link to another interface, which counts on from its counters now.
    void follow(const QString& interface);
    /// Reads the counters: the bytes since start.
    ByteCounts read();
    /// The bytes at the last read.
    ByteCounts total() const { return total_; }
    const QString& interface() const { return interface_; }

private:
    qint64 counter(const char* name) const;

    QString systemRoot_;
    QString interface_;
    ByteCounts last_ { -1, -1 }; // the counters at the last read; -1 while unread
    ByteCounts total_;
};

} // namespace ringtally
