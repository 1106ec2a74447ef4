#include "core/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace ringtally {

QString SingleInstance::defaultLockPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QStringLiteral("ringtally.lock"));
}

SingleInstance::SingleInstance(const QString& lockPath, std::function<BusClaim()> claimBusName)
    : lock_(lockPath), claimBusName_(std::move(claimBusName))
{
    // Never take over a lock by its age: an instance that runs for weeks still holds it. A lock
    // whose process is gone is still taken over, by QLockFile's check of the process id.
    lock_.setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    // The bus name decides first where there is a bus: it is what a second start and the
    // command-line commands find. The lock is held as well, because the same user may start the
    // program where that bus cannot be seen (a terminal without the session's bus): both
    // instances would then keep the same settings file and call log.
    if (claimBusName_ && claimBusName_() == BusClaim::Taken)
        return false;
    if (lock_.isLocked() || lock_.tryLock(0))
        return true;
    // Only a lock held by a running process means another instance. A lock that cannot be made
    // at all (no runtime folder, a full disk) must not keep the program from starting.
    return lock_.error() != QLockFile::LockFailedError;
}

} // namespace ringtally
