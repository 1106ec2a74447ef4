// ringtally-demo-line: brings the simulated line up or down from outside the program, as another
// dialer would, adds traffic to it, and tells its state.

#include "platform/sim/SimulatedLine.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

constexpr char kUsage[] = "usage: ringtally-demo-line up|down|status|traffic RECEIVED [SENT]\n";

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
    const QString command = arguments.value(0);
    if (arguments.size() == 1 && (command == u"-h" || command == u"--help")) {
        print(QString::fromLatin1(kUsage), stdout);
        return 0;
    }
    // The traffic's byte counts: whole numbers up to 10^15 each.
    ringtally::ByteCounts traffic;
    bool countsRead = command == u"traffic" && (arguments.size() == 2 || arguments.size() == 3);
    for (int i = 1; countsRead && i < arguments.size(); ++i) {
        const qint64 bytes = arguments[i].toLongLong(&countsRead);
        countsRead = countsRead && bytes >= 0 && bytes <= 1'000'000'000'000'000;
        (i == 1 ? traffic.received : traffic.sent) = bytes;
    }
    const bool plain
        = arguments.size() == 1 && (command == u"up" || command == u"down" || command == u"status");
    if (!plain && !countsRead) {
        print(QStringLiteral("ringtally-demo-line: ") + QString::fromLatin1(kUsage), stderr);
        return 2;
    }

    SimulatedLine line;
    ringtally::Status changed;
    if (command == u"up")
        changed = line.bringUp(QString::fromUtf16(SimulatedLine::kEntryName));
    else if (command == u"down")
        changed = line.bringDown();
    else if (command == u"traffic")
        changed = line.addTraffic(traffic);
    if (!changed.ok())
        return fail(changed.message());
    const ringtally::Result<SimulatedLineState> state = line.read();
    if (!state)
        return fail(state.message());
    if (!state.value().up) {
        print(QStringLiteral("down\n"), stdout);
        return 0;
    }
    const ringtally::ByteCounts bytes = line.counters().value_or(ringtally::LinkCounters {}).bytes;
    print(QStringLiteral("up %1\nreceived %2 bytes, sent %3 bytes\n")
              .arg(state.value().entryName)
              .arg(bytes.received)
              .arg(bytes.sent),
        stdout);
    return 0;
}
