// The program's service on a private session bus: over a fake of its operations every method as a
// script calls it, the signals of a call, and the command-line commands run as the real program
// against it, which read every property; then the real program driven by those commands.

#include "remote/RemoteService.h"

#include "fakes/FakeRemoteControl.h"
#include "support/PrivateBus.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"

#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

// QtDBus keeps a little of a connection to a bus that has gone away; the leak checker of the
// sanitizer build is told so.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libQt6DBus.so\n";
}

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using Answer = std::pair<int, QString>; // exit code, standard output and error

class RemoteServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(bus.address.isEmpty()) << "Cannot run dbus-daemon: is the dbus package installed?";
        ASSERT_EQ(service.claim(bus.connect(u"service"_s)), BusClaim::Owned);
        service.setControl(&control);
        control.now = { true, 1, u"Demo"_s, { 65, 1, 250, 12, 1300, 600, 9000, 1'500'000, 20'000, 120 },
            false, ModemState { u"TDC"_s, true, 80 } };
    }
    // The service answers in this thread: the call waits in an event loop.
    QDBusMessage call(const QString& method, const QVariantList& arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            RemoteService::kServiceName, RemoteService::kObjectPath, RemoteService::kInterfaceName, method);
        message.setArguments(arguments);
        const QDBusMessage reply = client.call(message, QDBus::BlockWithGui);
        QCoreApplication::processEvents(); // what the service does after its reply
        return reply;
    }

    test::PrivateBus bus;
    QDBusConnection client = bus.connect(u"client"_s);
    test::FakeRemoteControl control;
    RemoteService service;
};

TEST_F(RemoteServiceTest, MethodsDoWhatTheTrayMenuDoesAndAreRefusedWhereItOffersNothing)
{
    const struct {
        bool online;
        QString method;
        QVariantList arguments;
        QString error; // the refusal, or empty for a reply
        QStringList calls;
    } cases[] = {
        { false, u"Dial"_s, { 1 }, {}, { u"dial 0"_s } },
        { false, u"Dial"_s, { 2 }, u"NoSuchScheme"_s, {} }, // no name
        { false, u"Dial"_s, { 4 }, u"NoSuchScheme"_s, {} },
        { true, u"Dial"_s, { 1 }, u"Online"_s, {} },
        { false, u"DialCheapest"_s, {}, {}, { u"dial 2"_s } },
        { true, u"HangUp"_s, { true }, {}, { u"hangUp log"_s } },
        { true, u"HangUp"_s, { false }, {}, { u"hangUp"_s } },
        { false, u"HangUp"_s, { true }, u"Offline"_s, {} },
        { false, u"ShowMainWindow"_s, {}, {}, { u"main"_s } },
        { true, u"ShowMainWindow"_s, {}, u"Online"_s, {} },
        { true, u"ShowStatusWindow"_s, {}, {}, { u"status"_s } },
        { false, u"ShowConfiguration"_s, {}, {}, { u"config"_s } },
        { false, u"ShowLog"_s, {}, {}, { u"log"_s } },
        { true, u"ShowLog"_s, {}, u"Online"_s, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method.toStdString() + (c.online ? " online" : " offline"));
        control.now.online = c.online;
        control.calls.clear();
        const QDBusMessage reply = call(c.method, c.arguments);
        EXPECT_EQ(reply.errorName(),
            c.error.isEmpty() ? QString() : QString(RemoteService::kErrorPrefix) + c.error);
        EXPECT_EQ(control.calls, c.calls);
    }
    control.now.online = false;
    EXPECT_EQ(call(u"DialCheapest"_s).arguments(), QVariantList { 3 });
    service.setControl(nullptr);
    EXPECT_EQ(call(u"ShowStatusWindow"_s).errorName(), QString(RemoteService::kErrorPrefix) + u"NotReady"_s);
}

TEST_F(RemoteServiceTest, ACallIsAnnouncedTickedAndEndedAndASecondClaimFindsTheNameTaken)
{
    control.now.online = false;
    service.setControl(&control);
    test::SignalRecorder recorder;
    ASSERT_TRUE(recorder.listen(client));
    service.ticked(); // offline: no tick
    control.now.online = true;
    service.stateChanged();
    service.ticked();
    service.stateChanged(); // switched again, still online: nothing new
    control.now = { false, -1, {}, {}, true, std::nullopt };
    service.ticked();
    service.stateChanged();
    const QStringList expected { u"CallStarted 2 Demo"_s, u"Tick 65 250 12 1300 600 9000 1500000 20000"_s,
        u"CallEnded true"_s };
    EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.heard.size() >= expected.size(); }, 10'000));
    EXPECT_EQ(recorder.heard, expected);

    RemoteService second;
    EXPECT_EQ(second.claim(bus.connect(u"second"_s)), BusClaim::Taken);
    EXPECT_EQ(second.claim(QDBusConnection(u"never connected"_s)), BusClaim::NoBus);
}

TEST_F(RemoteServiceTest, TheCommandLineTalksToTheProgram)
{
    // Online or not, the scheme's number and name: the last call's figures stay.
    const QString json = u"{\"callDataPriceCents\":120,\"callPriceCents\":250,\"callSeconds\":65,"
                         u"\"dayMinutes\":12,\"dayPriceCents\":1300,"
                         u"\"online\":%1,\"operator\":\"TDC\",\"receivedBytes\":1500000,\"roaming\":true,"
                         u"\"scheme\":%2,\"schemeName\":\"%3\",\"sentBytes\":20000,\"signalPercent\":80,"
                         u"\"totalMinutes\":600,\"totalPriceCents\":9000}\n"_s;
    const struct {
        bool online;
        QStringList arguments;
        int exitCode;
        QString output; // standard output, then standard error
        QStringList calls;
    } cases[] = {
        { true, { u"--status"_s }, 0, u"online Demo 1:05 2.50\n"_s, {} },
        { false, { u"--status"_s }, 0, u"offline\n"_s, {} },
        { true, { u"--status"_s, u"--json"_s }, 0, json.arg(u"true"_s, u"2"_s, u"Demo"_s), {} },
        { false, { u"--status"_s, u"--json"_s }, 0, json.arg(u"false"_s, u"0"_s, QString()), {} },
        { false, { u"--dial"_s, u"cheapest"_s }, 0, {}, { u"dial 2"_s } },
        { false, { u"--dial"_s, u"2"_s }, 3, u"Ordning 2 har intet navn.\n"_s, {} },
        { true, { u"--dial"_s, u"1"_s }, 3, u"Ringtally er online: læg på først.\n"_s, {} },
        { true, { u"--hang-up"_s, u"--no-log"_s }, 0, {}, { u"hangUp"_s } },
        { false, { u"--hang-up"_s }, 3, u"Ringtally er ikke online.\n"_s, {} },
        { false, { u"--show-log"_s }, 0, {}, { u"log"_s } },
        { false, { u"--dial"_s, u"4"_s }, 2, u"ringtally: --dial tager 1, 2, 3 eller cheapest.\n"_s, {} },
        { false, { u"--status"_s, u"--no-log"_s }, 2,
            u"ringtally: Brug én af --dial N|cheapest, --hang-up [--no-log], --status [--json], --show-log.\n"_s,
            {} },
    };
    const test::TempFolder temp;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus.address);
    environment.insert(u"XDG_DATA_HOME"_s, temp.path()); // no settings: Danish
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        control.now.online = c.online;
        control.calls.clear();
        QProcess command;
        command.setProcessEnvironment(environment);
        QSignalSpy finished(&command, &QProcess::finished);
        command.start(QStringLiteral(RINGTALLY_PROGRAM), c.arguments);
        ASSERT_TRUE(finished.wait(20'000)); // in an event loop, for the service to answer
        // The service acts just after its answer: the action may follow the command's end.
        const QDeadlineTimer acted(2'000);
        while (control.calls != c.calls && !acted.hasExpired())
            QTest::qWait(10);
        EXPECT_EQ(command.exitCode(), c.exitCode);
        // QtDBus may warn about its own types as the command's connection closes; that is not
        // the command's output.
        QStringList output
            = QString::fromUtf8(command.readAllStandardOutput() + command.readAllStandardError())
                  .split(u'\n', Qt::SkipEmptyParts);
        output.removeIf([](const QString& line) {
            return line.startsWith(u"Trying to construct an instance of an invalid type"_s);
        });
        EXPECT_EQ(output, c.output.split(u'\n', Qt::SkipEmptyParts));
        EXPECT_EQ(control.calls, c.calls);
    }
}

// The real program: a second start that finds it, and a call dialed and hung up from the command
// line over the simulated line.
TEST(RemoteProgramTest, CommandsReachTheRunningProgramAndItsCallIsHeardOnTheBus)
{
    test::PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "Cannot run dbus-daemon: is the dbus package installed?";
    test::ProgramRun run;
    ASSERT_TRUE(run.xvfb.error().empty()) << run.xvfb.error();
    run.environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus.address);
    // One scheme on the simulated line.
    run.writeSettings(
        "[Schemes]\n0,name=Demo\n0,DUN_Name=Ringtally Demo\n0,Number_of_PeriodsMonday_Friday=1\n"
        "0,Number_of_PeriodsSaturday=1\n0,Number_of_PeriodsSunday=1\n");
    const auto ringtally = [&](const QStringList& arguments) {
        QProcess command;
        command.setProcessEnvironment(run.environment);
        command.start(QStringLiteral(RINGTALLY_PROGRAM), arguments);
        EXPECT_TRUE(command.waitForFinished(20'000)) << arguments.join(u' ').toStdString();
        return Answer { command.exitCode(),
            QString::fromUtf8(command.readAllStandardOutput() + command.readAllStandardError()) };
    };
    EXPECT_EQ(ringtally({ u"--status"_s }), Answer(1, u"Ringtally kører ikke.\n"_s));

    ASSERT_TRUE(run.start());
    QDBusConnection panel = bus.connect(u"panel"_s);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return panel.interface()->isServiceRegistered(RemoteService::kServiceName).value(); }, 30'000));
    EXPECT_EQ(ringtally({ u"--status"_s }), Answer(0, u"offline\n"_s));

    test::SignalRecorder recorder;
    ASSERT_TRUE(recorder.listen(panel));
    EXPECT_EQ(ringtally({ u"--dial"_s, u"1"_s }), Answer(0, QString()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.heard.size() >= 2; }, 20'000)) << "no tick";
    EXPECT_EQ(recorder.heard.first(), u"CallStarted 1 Demo"_s);
    EXPECT_TRUE(recorder.heard.at(1).startsWith(u"Tick "_s)) << recorder.heard.at(1).toStdString();
    const Answer online = ringtally({ u"--status"_s });
    EXPECT_TRUE(online.first == 0 && online.second.startsWith(u"online Demo 0:0"_s))
        << online.second.toStdString();

    // Hung up while it still dials: the call never connected, and nobody is charged for it.
    EXPECT_EQ(ringtally({ u"--hang-up"_s }), Answer(0, QString()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.heard.last() == u"CallEnded false"_s; }, 20'000))
        << recorder.heard.join(u'\n').toStdString();

    // The simulated line connects within about three seconds; the call is logged once it has.
    recorder.heard.clear();
    EXPECT_EQ(ringtally({ u"--dial"_s, u"1"_s }), Answer(0, QString()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.heard.size() >= 6; }, 20'000)) << "no ticks";
    EXPECT_EQ(ringtally({ u"--hang-up"_s }), Answer(0, QString()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.heard.last() == u"CallEnded true"_s; }, 20'000))
        << recorder.heard.join(u'\n').toStdString();
    EXPECT_EQ(ringtally({ u"--status"_s }), Answer(0, u"offline\n"_s));
    ASSERT_TRUE(run.end());
    QFile log(run.folder + u"/Ringtally.log"_s);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll().count("\r\n"), 1) << "the call is logged once";
}

TEST(CommandLineTest, HelpVersionAnUnknownOptionAndNoDesktopAnswerWithoutStartingAnything)
{
    // Arguments, the locale, the exit code and how the answer begins; no desktop in any case, so
    // a program that started would say so instead.
    const std::tuple<QStringList, QString, int, QString> cases[] = {
        { { u"--version"_s }, u"C"_s, 0, u"ringtally 0."_s },
        { { u"--help"_s }, u"C"_s, 0, u"Usage: ringtally"_s },
        { { u"--help"_s }, u"da_DK.UTF-8"_s, 0, u"Brug: ringtally"_s },
        { { u"--hangup"_s }, u"C"_s, 2, u"ringtally: unknown option --hangup"_s },
        { {}, u"C"_s, 1, u"ringtally: Ringtally needs a graphical desktop"_s },
        { {}, u"da_DK.UTF-8"_s, 1, u"ringtally: Ringtally skal bruge et grafisk skrivebord"_s },
    };
    for (const auto& [arguments, locale, exitCode, begins] : cases) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANG", "LANGUAGE" })
            environment.remove(QString::fromLatin1(name));
        environment.insert(u"LC_ALL"_s, locale);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(RINGTALLY_PROGRAM), arguments);
        ASSERT_TRUE(program.waitForFinished(20'000)) << arguments.join(u' ').toStdString();
        const QString said
            = QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError());
        EXPECT_EQ(program.exitCode(), exitCode) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(said.startsWith(begins)) << said.toStdString();
    }
}

} // namespace
} // namespace ringtally
