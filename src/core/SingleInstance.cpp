#include "core/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace ringtally {

QString SingleInstance::defaultLockPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QStringLiteral("ringtally.lock"));
}

SingleInstance::SingleInstance(const QString& lockPath) : lock_(lockPath)
{
    // Never take over a lock by its age: an instance that runs for weeks still holds it. A lock
    // whose process is gone is still taken over, by QLockFile's check of the process id.
    lock_.setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    if (lock_.isLocked() || lock_.tryLock(0))
        return true;
    // Only a lock held by a running process means another instance. A lock that cannot be made
    // at all (no runtime folder, a full disk) must not keep the program from starting.
    return lock_.error() != QLockFile::LockFailedError;
}

} // namespace ringtally
