// ringtally-demo-line: brings the simulated line up or down from outside the program, as another
// dialer would, and tells its state.

#include "platform/sim/SimulatedLine.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

constexpr char kUsage[] = "usage: ringtally-demo-line up|down|status\n";

void print(const QString& text, std::FILE* stream)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// Reports what went wrong on standard error; the exit status for it.
int fail(const QString& message)
{
    print(QStringLiteral("ringtally-demo-line: %1\n").arg(message), stderr);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    using ringtally::SimulatedLine;
    using ringtally::SimulatedLineState;

    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString command = arguments.size() == 1 ? arguments.front() : QString();
    if (command == u"-h" || command == u"--help") {
        print(QString::fromLatin1(kUsage), stdout);
        return 0;
    }
    if (command != u"up" && command != u"down" && command != u"status") {
        print(QStringLiteral("ringtally-demo-line: ") + QString::fromLatin1(kUsage), stderr);
        return 2;
    }

    SimulatedLine line;
    ringtally::Status changed;
    if (command == u"up")
        changed = line.bringUp(QString::fromUtf16(SimulatedLine::kEntryName));
    else if (command == u"down")
        changed = line.bringDown();
    if (!changed.ok())
        return fail(changed.message());
    const ringtally::Result<SimulatedLineState> state = line.read();
    if (!state)
        return fail(state.message());
    print(
        state.value().up ? QStringLiteral("up %1\n").arg(state.value().entryName) : QStringLiteral("down\n"),
        stdout);
    return 0;
}
