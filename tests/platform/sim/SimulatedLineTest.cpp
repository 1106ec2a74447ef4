#include "platform/sim/SimulatedLine.h"
#include "platform/sim/CombinedDialUpNetwork.h"
#include "platform/sim/RoutingDialControl.h"
#include "platform/sim/SimulatedDialControl.h"

#include "fakes/FakeDialControl.h"
#include "fakes/FakeDialUpNetwork.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <tuple>

using namespace ringtally;
using namespace ringtally::RasConnState;

using namespace Qt::StringLiterals;

namespace {

const QString kDemo = QString::fromUtf16(SimulatedLine::kEntryName);
using Report = std::tuple<qint32, qint32, bool>; // state, error, line file up when it came

class SimulatedLineTest : public ::testing::Test {
protected:
    void record(DialControl& control)
    {
        QObject::connect(&control, &DialControl::statusChanged, &control, [this](qint32 state, qint32 error) {
            reports.emplace_back(state, error, other.read().value().up);
        });
    }
    QStringList connections() const // "handle entry" of each
    {
        QStringList listed;
        for (const DialUpConnection& c : network.activeConnections().valueOr({}))
            listed << QStringLiteral("%1 %2").arg(c.handle).arg(c.entryName);
        return listed;
    }

    test::TempFolder folder;
    qint64 nowMs = 1'700'000'000'000; // the lines' clock, years behind the real one
    SimulatedLine line { folder.file(QStringLiteral("ringtally/demo-line")), [this] { return nowMs; } };
    SimulatedLine other { line.path(), [this] { return nowMs; } }; // the same file as another program sees it
    test::FakeDialUpNetwork system;
    CombinedDialUpNetwork network { system, line };
    std::vector<Report> reports;
};

TEST_F(SimulatedLineTest, DialsThroughAModemsStatesOrAnswersBusyOrNotAtAll)
{
    const std::vector<Report> connects { { OpenPort, 0, false }, { PortOpened, 0, false },
        { ConnectDevice, 0, false }, { DeviceConnected, 0, false }, { Authenticate, 0, false },
        { Authenticated, 0, false }, { Connected, 0, true } };
    const std::vector<std::pair<const char*, Report>> table {
        { "555 1234", connects.back() }, // after all states up to Connected
        { "0", { Disconnected, 676, false } }, // after ConnectDevice, as the others below
        { "1", { Disconnected, 678, false } },
    };
    for (const auto& [number, last] : table) {
        SCOPED_TRACE(number);
        ASSERT_TRUE(line.bringDown().ok());
        SimulatedDialControl control(line, 60'000);
        record(control);
        control.setPhoneNumber(QString::fromUtf8(number));
        reports.clear();
        ASSERT_EQ(control.StartDial(), 0);
        EXPECT_TRUE(reports.empty()); // the states come from the event loop, after StartDial returns
        for (int step = 0; step < 10; ++step)
            control.onDialStep();
        std::vector<Report> expected(connects.begin(), connects.begin() + (last == connects.back() ? 6 : 3));
        expected.push_back(last);
        EXPECT_EQ(reports, expected);
        EXPECT_EQ(control.ConnState(), std::get<0>(last));
    }
}

TEST_F(SimulatedLineTest, HangingUpOrTheLineDroppedFromOutsideEndsTheConnection)
{
    for (const bool fromOutside : { false, true }) {
        SCOPED_TRACE(fromOutside);
        SimulatedDialControl control(line, 0);
        record(control);
        ASSERT_EQ(control.StartDial(), 0);
        for (int pass = 0; pass < 1000 && control.ConnState() != Connected; ++pass)
            QCoreApplication::processEvents(); // each pass runs the due step
        ASSERT_EQ(control.ConnState(), Connected);
        EXPECT_EQ(control.StartDial(), SimulatedDialControl::kErrorLineInUse);
        reports.clear();
        if (fromOutside) {
            ASSERT_TRUE(other.bringDown().ok());
            control.onLineWatchTick();
        } else {
            control.HangUp();
        }
        control.HangUp(); // nothing left to end
        EXPECT_EQ(reports, (std::vector<Report> { { Disconnected, 0, false } }));
        EXPECT_EQ(control.ConnState(), Disconnected);
    }
    // A line up from outside is another dialer's: it cannot be dialed.
    ASSERT_TRUE(other.bringUp(kDemo).ok());
    EXPECT_EQ(SimulatedDialControl(line).StartDial(), SimulatedDialControl::kErrorLineInUse);
}

TEST_F(SimulatedLineTest, NetworkFollowsTheLineAsAnotherProgramSetsItAndListsItsEntryLast)
{
    system.setEntries({ QStringLiteral("Tele"), QStringLiteral("Abc") });
    EXPECT_EQ(
        network.entryNames().value(), (QStringList { QStringLiteral("Tele"), QStringLiteral("Abc"), kDemo }));
    EXPECT_FALSE(network.isOnline());
    ASSERT_TRUE(other.bringUp(kDemo).ok());
    EXPECT_TRUE(network.isOnline());
    EXPECT_EQ(network.currentEntryName(), kDemo);
    // The line carries 4096 bytes a second in and 1024 out from when it came up, whole seconds,
    // and what another program adds.
    nowMs += 2'999;
    EXPECT_EQ(network.linkCounters(), (LinkCounters { u"demo"_s, { 8192, 2048 } }));
    ASSERT_TRUE(other.addTraffic({ 5000, 100 }).ok());
    EXPECT_EQ(network.linkCounters(), (LinkCounters { u"demo"_s, { 13'192, 2148 } }));
    system.setConnections({ { 7, QStringLiteral("Tele") } });
    EXPECT_EQ(network.currentEntryName(), QStringLiteral("Tele"));
    EXPECT_EQ(connections(), (QStringList { QStringLiteral("7 Tele"), QStringLiteral("-1 Ringtally Demo") }));
    ASSERT_TRUE(network.hangUp({ CombinedDialUpNetwork::kDemoHandle, kDemo }).ok());
    EXPECT_EQ(other.read().value(), SimulatedLineState {});
    EXPECT_EQ(network.linkCounters(), std::nullopt);
    EXPECT_FALSE(other.addTraffic({ 1, 1 }).ok());
    EXPECT_EQ(connections(), QStringList { QStringLiteral("7 Tele") });
    EXPECT_TRUE(system.hungUp().empty());

    // The simulated line's own errors first, the system's for the rest.
    EXPECT_TRUE(network.errorText(676, false).startsWith(QStringLiteral("Linjen er optaget.")));
    EXPECT_TRUE(network.errorText(678, true).startsWith(QStringLiteral("There was no answer.")));
    EXPECT_EQ(network.errorText(691, true), QStringLiteral("error 691"));
    system.failWith(QStringLiteral("no peers"));
    EXPECT_EQ(network.entryNames().message(), QStringLiteral("no peers"));
}

TEST_F(SimulatedLineTest, RoutesTheDemoEntryToTheSimulatedControlAndOthersToTheSystems)
{
    test::FakeDialControl systemControl, simulated;
    RoutingDialControl routing(systemControl, simulated);
    record(routing);
    routing.setUserName(QStringLiteral("anna"));
    routing.setPassword(QStringLiteral("pw"));
    routing.setPhoneNumber(QStringLiteral("0"));
    for (const QString& entry : { kDemo, QStringLiteral("Tele") }) {
        routing.setEntryName(entry);
        EXPECT_EQ(routing.StartDial(), 0);
        simulated.state = Connected;
        emit simulated.statusChanged(Connected, 0);
        emit systemControl.statusChanged(Authenticate, 0);
        routing.HangUp();
    }
    EXPECT_EQ(simulated.dials, QStringList { kDemo + QStringLiteral("|anna|pw|0") });
    EXPECT_EQ(systemControl.dials, QStringList { QStringLiteral("Tele|anna|pw|0") });
    EXPECT_EQ(reports, (std::vector<Report> { { Connected, 0, false }, { Authenticate, 0, false } }));
    EXPECT_EQ(std::pair(simulated.hangUps, systemControl.hangUps), std::pair(1, 1));
    EXPECT_EQ(routing.ConnState(), Disconnected); // the system's, which dialed last
}

TEST_F(SimulatedLineTest, ToolBringsTheLineUpAndDownInTheRuntimeFolder)
{
    const auto run = [this](const QStringList& arguments) {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.path());
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(RINGTALLY_DEMO_LINE_TOOL), arguments);
        EXPECT_TRUE(tool.waitForFinished(30'000));
        return std::tuple(tool.exitCode(), QString::fromLocal8Bit(tool.readAllStandardOutput()),
            QString::fromLocal8Bit(tool.readAllStandardError()));
    };
    const QRegularExpression up(u"^up Ringtally Demo\nreceived \\d+ bytes, sent \\d+ bytes\n$"_s);
    const auto [upCode, upOutput, upErrors] = run({ QStringLiteral("up") });
    EXPECT_TRUE(upCode == 0 && up.match(upOutput).hasMatch() && upErrors.isEmpty()) << upOutput.toStdString();
    EXPECT_EQ(network.currentEntryName(), kDemo);
    // The tool's clock is the real one, ahead of the test's: only the traffic added counts here.
    const auto [code, output, errors] = run({ QStringLiteral("traffic"), QStringLiteral("5000") });
    EXPECT_TRUE(code == 0 && up.match(output).hasMatch() && errors.isEmpty()) << output.toStdString();
    EXPECT_EQ(network.linkCounters(), (LinkCounters { u"demo"_s, { 5000, 0 } }));
    EXPECT_EQ(run({ QStringLiteral("down") }), std::tuple(0, QStringLiteral("down\n"), QString()));
    EXPECT_FALSE(network.isOnline());
    for (const QStringList& bad :
        { QStringList {}, { QStringLiteral("UP") }, { QStringLiteral("up"), QStringLiteral("x") },
            { QStringLiteral("traffic") }, { QStringLiteral("traffic"), QStringLiteral("-5") } })
        EXPECT_EQ(run(bad),
            std::tuple(2, QString(),
                QStringLiteral("ringtally-demo-line: usage: ringtally-demo-line up|down|status|traffic "
                               "RECEIVED [SENT]\n")));
    // Traffic needs a line that is up.
    EXPECT_EQ(std::get<0>(run({ QStringLiteral("traffic"), QStringLiteral("1") })), 1);
}

} // namespace
