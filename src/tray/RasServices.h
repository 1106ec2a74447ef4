#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

namespace ringtally {

class Clock;
class DialUpNetwork;

/// The program's contact with the system's dial-up connections: whether one is up, the name of
/// its entry, and hanging every one of them up.
class RasServices {
public:
    /// How long HangUpAll waits for the line to drop before it carries on.
    static constexpr int kHangUpWaitLimitSeconds = 30;

    RasServices(DialUpNetwork& network, Clock& clock);

    /// The connection watch's timer, held off while HangUpAll waits.
    void setWatchTimer(QTimer* timer) { watch_ = timer; }

    /// Whether the system reports a dial-up connection as up.
    bool IsOnline() const;
    /// The entry name of the system's connection; empty when offline or when it has none.
    QString GetConnectionName() const;
    /// Hangs up every active connection, also one that another dialer made, then waits, events
    /// running, until the system reports offline (at most limitSeconds, and no longer once
    /// giveUp says so). The watch does not run meanwhile.
    void HangUpAll(int limitSeconds = kHangUpWaitLimitSeconds, const std::function<bool()>& giveUp = {});

private:
    DialUpNetwork& network_;
    Clock& clock_;
    QPointer<QTimer> watch_;
};

} // namespace ringtally
