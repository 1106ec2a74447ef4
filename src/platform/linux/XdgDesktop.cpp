#include "platform/linux/XdgDesktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace ringtally {

Status XdgDesktop::open(const QString& path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return Error { QStringLiteral("%1 is not installed.").arg(QDir::toNativeSeparators(path)) };
    // A program is started, not opened: the default handler of an executable would be an editor.
    if (file.isFile() && file.isExecutable()) {
        if (QProcess::startDetached(file.absoluteFilePath(), {}))
            return Status::success();
        return Error { QStringLiteral("%1 could not be started.").arg(QDir::toNativeSeparators(path)) };
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath())))
        return Status::success();
    return Error {
        QStringLiteral("No program on this desktop opens %1.").arg(QDir::toNativeSeparators(path))
    };
}

} // namespace ringtally
