#pragma once

#include <QLockFile>
#include <QString>

namespace ringtally {

/// The rule that one user runs one instance of the program: a lock file that only one process
/// holds at a time and that the system lets go of when its process dies.
class SingleInstance {
public:
    /// The user's lock: "ringtally.lock" in the user's runtime folder ($XDG_RUNTIME_DIR), so
    /// another user on the same machine runs an instance of their own.
    static QString defaultLockPath();

    explicit SingleInstance(const QString& lockPath);

    /// Takes the lock for this process and keeps it until this object goes; false when another
    /// running process holds it. A lock left behind by a process that died does not count, and
    /// a lock file that cannot be made at all lets the program run without the rule.
    bool acquire();

private:
    QLockFile lock_;
};

} // namespace ringtally
