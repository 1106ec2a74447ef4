#pragma once

#include <QLockFile>
#include <QString>

#include <functional>

namespace ringtally {

/// What claiming the program's service name on the session bus found.
enum class BusClaim {
    Owned, // this process holds the name now
    Taken, // another process holds it
    NoBus, // no session bus to claim it on
};

/// The rule that one user runs one instance of the program: the program's name on the session
/// bus, which only one process owns, and a lock file that only one process holds at a time. The
/// system lets go of both when their process dies.
class SingleInstance {
public:
    /// The user's lock: "ringtally.lock" in the user's runtime folder ($XDG_RUNTIME_DIR), so
    /// another user on the same machine runs an instance of their own.
    static QString defaultLockPath();

    /// claimBusName takes the service name on the session bus; without it only the lock counts.
    explicit SingleInstance(const QString& lockPath, std::function<BusClaim()> claimBusName = {});

    /// Takes the bus name and the lock for this process and keeps them until the process ends;
    /// false when another running process holds either. A lock left behind by a process that died
    /// does not count, and a lock file that cannot be made at all lets the program run on the bus
    /// name alone, or without the rule when there is no bus either.
    bool acquire();

private:
    QLockFile lock_;
    std::function<BusClaim()> claimBusName_;
};

} // namespace ringtally
