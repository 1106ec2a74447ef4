#include "platform/sim/SimulatedLine.h"

#include "platform/FileAccess.h"

#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

#include <algorithm>
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

SimulatedLine::SimulatedLine(QString path, std::function<qint64()> nowMs)
    : path_(std::move(path)),
      nowMs_(nowMs ? std::move(nowMs) : [] { return QDateTime::currentMSecsSinceEpoch(); })
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
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() == 1 && lines[0] == kDown)
        return SimulatedLineState {};
    if (lines[0] == kUp && (lines.size() == 2 || lines.size() == 3)) {
        SimulatedLineState state;
        state.up = true;
        state.entryName = QString::fromUtf8(lines[1]);
        // A file from before the line carried traffic has no third line: it carries none.
        const QList<QByteArray> traffic = lines.value(2).split(' ');
        if (traffic.size() == 3) {
            bool ok[3] = {};
            state.upSinceMs = traffic[0].toLongLong(&ok[0]);
            state.added = { traffic[1].toLongLong(&ok[1]), traffic[2].toLongLong(&ok[2]) };
            if (!ok[0] || !ok[1] || !ok[2] || state.added.received < 0 || state.added.sent < 0)
                state.upSinceMs = -1, state.added = {};
        }
        return state;
    }
    return Error { QStringLiteral("The simulated line's state file %1 holds neither \"up\" and an entry nor "
                                  "\"down\"; bring the line up or down again to replace it.")
                       .arg(QDir::toNativeSeparators(path_)) };
}

Status SimulatedLine::bringUp(const QString& entryName)
{
    return write({ true, entryName, nowMs_(), {} });
}

Status SimulatedLine::bringDown()
{
    return write({});
}

Status SimulatedLine::addTraffic(const ByteCounts& bytes)
{
    Result<SimulatedLineState> state = read();
    if (!state)
        return Error { state.message() };
    if (!state.value().up)
        return Error { QStringLiteral("The simulated line is down; bring it up first.") };
    SimulatedLineState more = std::move(state).value();
    more.added.received += bytes.received;
    more.added.sent += bytes.sent;
    return write(more);
}

std::optional<LinkCounters> SimulatedLine::counters() const
{
    const Result<SimulatedLineState> state = read();
    if (!state || !state.value().up)
        return std::nullopt;
    const SimulatedLineState& up = state.value();
    const qint64 seconds = up.upSinceMs < 0 ? 0 : std::max<qint64>(0, (nowMs_() - up.upSinceMs) / 1000);
    return LinkCounters { QStringLiteral("demo"),
        { seconds * kReceivedPerSecond + up.added.received, seconds * kSentPerSecond + up.added.sent } };
}

Status SimulatedLine::write(const SimulatedLineState& state)
{
    if (!state.up)
        return replaceFileAtomically(path_, QByteArray(kDown) + '\n').status();
    return replaceFileAtomically(path_,
        QByteArray(kUp) + '\n' + state.entryName.toUtf8() + '\n' + QByteArray::number(state.upSinceMs) + ' '
            + QByteArray::number(state.added.received) + ' ' + QByteArray::number(state.added.sent) + '\n')
        .status();
}

} // namespace ringtally
