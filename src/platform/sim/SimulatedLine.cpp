#include "platform/sim/SimulatedLine.h"

#include "platform/FileAccess.h"

#include <QDir>
#include <QStandardPaths>

#include <utility>

namespace ringtally {

namespace {

constexpr char kUp[] = "up";
constexpr char kDown[] = "down";

} // namespace

QString SimulatedLine::defaultPath()
{
    // The runtime folder belongs to the user alone and is emptied at log-out, so a line left up by
    // a program that died does not outlive the session. Qt checks the folder's owner and
    // permissions; where it finds none it can use, the cache folder is private too.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return QDir(folder).filePath(QStringLiteral("ringtally/demo-line"));
}

SimulatedLine::SimulatedLine(QString path) : path_(std::move(path))
{
}

Result<SimulatedLineState> SimulatedLine::read() const
{
    // The connection watch asks every second; the file is a few bytes, in the runtime folder kept
    // in memory, so reading it each time costs little more than a stamp check and is never stale.
    const Result<FileContents> contents = readWholeFile(path_);
    if (!contents)
        return Error { contents.message() };
    if (!contents.value().stamp.exists)
        return SimulatedLineState {};

    QByteArray bytes = contents.value().bytes;
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    const qsizetype lineEnd = bytes.indexOf('\n');
    const QByteArray first = lineEnd < 0 ? bytes : bytes.first(lineEnd);
    if (first == kDown && lineEnd < 0)
        return SimulatedLineState {};
    if (first == kUp && lineEnd > 0)
        return SimulatedLineState { true, QString::fromUtf8(bytes.mid(lineEnd + 1)) };
    return Error { QStringLiteral("The simulated line's state file %1 holds neither \"up\" and an entry nor "
                                  "\"down\"; bring the line up or down again to replace it.")
                       .arg(QDir::toNativeSeparators(path_)) };
}

Status SimulatedLine::bringUp(const QString& entryName)
{
    return replaceFileAtomically(path_, QByteArray(kUp) + '\n' + entryName.toUtf8() + '\n').status();
}

Status SimulatedLine::bringDown()
{
    return replaceFileAtomically(path_, QByteArray(kDown) + '\n').status();
}

} // namespace ringtally
