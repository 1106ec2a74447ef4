#include "core/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace ringtally {

ProgramFolder ProgramFolder::locate(const QString& executableFolder)
{
    const QString besideExecutable = QDir(executableFolder).filePath(QString::fromUtf16(kSettingsFileName));
    if (!executableFolder.isEmpty() && QFileInfo(besideExecutable).isFile())
        return ProgramFolder(QDir::cleanPath(executableFolder));

    // As the XDG base directory rules say: a relative XDG_DATA_HOME is invalid and ignored.
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return ProgramFolder(QDir::cleanPath(dataHome + QStringLiteral("/ringtally")));
}

QString ProgramFolder::settingsFile() const
{
    return file(QString::fromUtf16(kSettingsFileName));
}

QString ProgramFolder::file(const QString& name) const
{
    return QDir(path_).filePath(name);
}

} // namespace ringtally
