#include "platform/linux/DesktopProcessStarter.h"

#include "platform/linux/DesktopEntry.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>

namespace ringtally {

namespace {

StartFailure systemFailure(int number, const QString& what)
{
    return { number, QStringLiteral("%1: %2").arg(what, qt_error_string(number)) };
}

} // namespace

std::optional<StartFailure> DesktopProcessStarter::start(const QString& commandLine, int showState)
{
    Q_UNUSED(showState);
    const QString line = commandLine.trimmed();
    const QLatin1String startWord("Start ");
    if (line.startsWith(startWord, Qt::CaseInsensitive)) {
        // The rest names what to open, quoted or not; anything after it is not the handler's.
        const QStringList words = QProcess::splitCommand(line.sliced(startWord.size()));
        if (words.isEmpty())
            return systemFailure(ENOENT, QStringLiteral("Nothing to open"));
        return open(words.first());
    }
    const QStringList words = QProcess::splitCommand(line);
    if (words.isEmpty())
        return systemFailure(ENOENT, QStringLiteral("No program named"));
    return startProgram(words.first(), words.mid(1));
}

std::optional<StartFailure> DesktopProcessStarter::open(const QString& target)
{
    if (!target.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive))
        return startProgram(QStringLiteral("xdg-open"), { target });
    if (!QFileInfo::exists(target))
        return systemFailure(ENOENT, target);
    const Result<DesktopEntry> entry = DesktopEntry::read(target);
    if (!entry)
        return StartFailure { ENOEXEC, entry.message() };
    if (!entry.value().url.isEmpty())
        return startProgram(QStringLiteral("xdg-open"), { entry.value().url });
    return startProgram(entry.value().command.first(), entry.value().command.mid(1));
}

std::optional<StartFailure> DesktopProcessStarter::startProgram(
    const QString& program, const QStringList& arguments)
{
    // The reasons a start fails most often are found first, so the user is told them in the
    // system's words: a program that is not there, or one that cannot be run.
    const QString path = program.contains(u'/') ? program : QStandardPaths::findExecutable(program);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return systemFailure(ENOENT, program);
    if (info.isDir() || !info.isExecutable())
        return systemFailure(EACCES, program);

    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached())
        return StartFailure { ENOEXEC, QStringLiteral("%1: %2").arg(program, process.errorString()) };
    return std::nullopt;
}

} // namespace ringtally
