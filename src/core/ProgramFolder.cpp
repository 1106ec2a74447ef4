#include "core/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

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

QString ProgramFolder::shippedData(const QString& executableFolder)
{
    QStringList candidates;
    if (!executableFolder.isEmpty()) {
        const QDir executable(executableFolder);
        candidates << executable.filePath(QStringLiteral("data"))
                   << executable.filePath(QStringLiteral("../share/ringtally"));
    }
    // Not $XDG_DATA_HOME, the first data folder by the rules: there the program keeps the user's
    // own files, never the shipped ones. A relative folder is invalid and ignored.
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& folder : dataDirs.split(u':', Qt::SkipEmptyParts)) {
        if (!QDir::isRelativePath(folder))
            candidates << folder + QStringLiteral("/ringtally");
    }
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isDir())
            return QDir::cleanPath(QFileInfo(candidate).absoluteFilePath());
    }
    return QString();
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
