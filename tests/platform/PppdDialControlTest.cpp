#include "platform/linux/PppdDialControl.h"
#include "platform/linux/PppErrors.h"

#include "support/TempFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;
using namespace RasConnState;
using Reports = std::vector<std::pair<qint32, qint32>>;

// A fake pppd in <root>/usr/sbin: it writes its arguments, its environment and what it reads from
// the password fd beside itself, prints the output it was given, then runs end. PATH names its
// folder first, or, with onPath false, no folder with a pppd.
class FakePppd {
public:
    explicit FakePppd(const QStringList& output, const QString& end = u"exit 0"_s, bool onPath = true)
        : path_(qgetenv("PATH"))
    {
        const QString dir = root_.path();
        const auto write = [&](const QString& name, const QString& text) {
            QFile file(root_.file(name));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0);
        };
        EXPECT_TRUE(QDir(dir).mkpath(u"usr/sbin"_s));
        write(u"output"_s, output.join(u'\n') + u'\n');
        write(u"usr/sbin/pppd"_s,
            u"#!/bin/sh\nPATH=/usr/bin:/bin\nprintf '%s\\n' \"$@\" >'%1/args'\nenv >'%1/env'\n"
            "while [ $# -gt 1 ]; do [ \"$1\" = passwordfd ] && cat \"/dev/fd/$2\" >'%1/password'; shift; "
            "done\ncat '%1/output'\n%2\n"_s.arg(dir, end));
        QFile::setPermissions(root_.file(u"usr/sbin/pppd"_s), QFile::ReadOwner | QFile::ExeOwner);
        qputenv("PATH",
            onPath ? QFile::encodeName(dir + u"/usr/sbin:"_s) + path_ : QFile::encodeName(dir + u"/bin"_s));
    }
    ~FakePppd() { qputenv("PATH", path_); }
    QString root() const { return root_.path(); }
    QString recorded(const QString& name) const
    {
        QFile file(root_.file(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    TempFolder root_;
    QByteArray path_;
};

// Starts the dial and collects what it reports until it ends (10 s at most).
Reports dial(PppdDialControl& control, const std::function<void()>& meanwhile = {})
{
    Reports reports;
    QObject::connect(&control, &DialControl::statusChanged, &control,
        [&](qint32 state, qint32 error) { reports.emplace_back(state, error); });
    if (control.EntryName().isEmpty())
        control.setEntryName(u"isp"_s);
    EXPECT_EQ(control.StartDial(), 0);
    if (meanwhile)
        meanwhile();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !reports.empty() && reports.back().first == Disconnected; }, 10'000));
    return reports;
}

const QStringList kLinkUp { u"abort on (BUSY)"_s, u"send (ATZ^M)"_s, u"send (ATDT5551234^M)"_s,
    u"Serial connection established."_s, u"Using interface ppp0"_s, u"Connect: ppp0 <--> /dev/ttyS0"_s,
    u"PAP authentication succeeded"_s, u"local  IP address 10.0.0.2"_s, u"remote IP address 10.0.0.1"_s };

TEST(PppdDialControlTest, TurnsWhatPppdLogsAndItsExitIntoStatesAndErrors)
{
    struct Case {
        QStringList output;
        int exit;
        std::vector<qint32> states; // before Disconnected
        qint32 error;
    };
    std::vector<Case> cases {
        { kLinkUp, 0, { 0, 1, 2, 3, 5, 14, 8192 }, 0 }, // the provider ended the call
        { kLinkUp, 16, { 0, 1, 2, 3, 5, 14, 8192 }, PppError::LineDropped },
        { { u"send (ATDT5551234^M)"_s, u"BUSY^M"_s, u" -- failed"_s, u"Failed (BUSY)"_s,
              u"Connect script failed"_s },
            8, { 0, 1, 2 }, PppError::Busy },
        // chat names every abort string of its script as it starts; that is no report.
        { { u"abort on (BUSY)"_s, u"Failed (NO ANSWER)"_s }, 8, { 0, 1 }, PppError::NoAnswer },
        { { u"abort on (BUSY)"_s }, 8, { 0, 1 }, PppError::ModemFailed },
        // A connect script that logs nothing, then the provider refuses us.
        { { u"Serial connection established."_s, u"Connect: ppp0 <--> /dev/ttyS0"_s }, 19, { 0, 1, 2, 3, 5 },
            PppError::AuthenticationFailed },
    };
    // pppd's own failures, before it opens the port.
    for (const auto& [line, exit, error] : std::vector<std::tuple<QString, int, qint32>> {
             { u"pppd: must be root to run pppd"_s, 3, PppError::NotAllowed },
             { u"Sorry - this system lacks PPP kernel support"_s, 4, PppError::NoKernelSupport },
             { u"pppd: In file /etc/ppp/peers/isp: unrecognized option 'x'"_s, 2, PppError::BadOptions },
             { u"/usr/sbin/pppd: unrecognized option 'passwordfd'"_s, 2, PppError::NoPasswordPlugin },
             { u"pppd: connect option set in /etc/ppp/peers/isp cannot be overridden"_s, 2,
                 PppError::ConnectScriptFixed },
             { u"pppd: Can't open options file /etc/ppp/peers/isp: No such file or directory"_s, 2,
                 PppError::NoSuchEntry },
             { u"Failed to open /dev/ttyS0: Device or resource busy"_s, 7, PppError::PortInUse },
             { u"Failed to open /dev/ttyS0: No such file or directory"_s, 7, PppError::PortMissing } })
        cases.push_back({ { line }, exit, { OpenPort }, error });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output.join(u" | ").toStdString());
        const FakePppd fake(c.output, u"exit %1"_s.arg(c.exit));
        PppdDialControl control;
        Reports expected;
        for (qint32 state : c.states)
            expected.emplace_back(state, 0);
        expected.emplace_back(Disconnected, c.error);
        EXPECT_EQ(dial(control), expected);
        EXPECT_EQ(control.ConnState(), Disconnected);
    }
}

TEST(PppdDialControlTest, PassesUserAndNumberAndThePasswordOnlyThroughItsPipe)
{
    const QString secret = u"s3cret wörd"_s;
    const QStringList own { u"call"_s, u"isp"_s, u"nodetach"_s, u"nopersist"_s, u"logfd"_s, u"1"_s };
    for (const bool given : { true, false }) {
        const FakePppd fake({});
        PppdDialControl control;
        control.setUserName(given ? u"anna"_s : QString());
        control.setPassword(given ? secret : QString());
        control.setPhoneNumber(given ? u"555 1234"_s : QString());
        dial(control);

        QStringList arguments = fake.recorded(u"args"_s).split(u'\n', Qt::SkipEmptyParts);
        const QString environment = fake.recorded(u"env"_s);
        EXPECT_FALSE(arguments.join(u' ').contains(secret) || environment.contains(secret));
        EXPECT_EQ(fake.recorded(u"password"_s), given ? secret : QString());
        EXPECT_EQ(environment.contains(u"\nRINGTALLY_PHONE_NUMBER=555 1234\n"_s), given);
        if (given && arguments.size() == 12) {
            EXPECT_TRUE(arguments[11].contains(u"-T \"$RINGTALLY_PHONE_NUMBER\""_s))
                << arguments[11].toStdString();
            arguments[9] = u"<fd>"_s;
            arguments[11] = u"<script>"_s;
        }
        const QStringList added { u"user"_s, u"anna"_s, u"passwordfd"_s, u"<fd>"_s, u"connect"_s,
            u"<script>"_s };
        EXPECT_EQ(arguments, given ? own + added : own);
    }
}

TEST(PppdDialControlTest, RefusesAtOnceWhatCannotBeDialed)
{
    const FakePppd fake({}, u"exit 0"_s, false);
    TempFolder elsewhere;
    PppdDialControl noPppd(elsewhere.path());
    noPppd.setEntryName(u"isp"_s);
    EXPECT_EQ(noPppd.StartDial(), PppError::NotInstalled);

    // Not on PATH, but in /usr/sbin.
    PppdDialControl control(fake.root());
    EXPECT_EQ(control.StartDial(), PppError::NoSuchEntry);
    control.setPhoneNumber(u"555\r+++ATH"_s);
    control.setEntryName(u"isp"_s);
    EXPECT_EQ(control.StartDial(), PppError::BadPhoneNumber);
    control.setPhoneNumber(u"(0)555-12 34,,*70#"_s);
    dial(control, [&] { EXPECT_EQ(control.StartDial(), PppError::PortInUse); });

    QFile::setPermissions(fake.root() + u"/usr/sbin/pppd"_s, QFile::ReadOwner);
    EXPECT_EQ(control.StartDial(), PppError::NotAllowed);
}

TEST(PppdDialControlTest, HangUpEndsPppdWithoutAnErrorAndKillsOneThatStays)
{
    for (const bool staying : { false, true }) {
        const FakePppd fake(kLinkUp, staying ? u"trap '' TERM; exec sleep 60"_s : u"exec sleep 60"_s);
        // Only one that stays waits for SIGKILL, which the dial's bound of 10 s would not see.
        PppdDialControl control(QString(), staying ? 100 : 60'000);
        const Reports reports = dial(control, [&] {
            EXPECT_TRUE(QTest::qWaitFor([&] { return control.ConnState() == Connected; }));
            control.HangUp();
        });
        EXPECT_EQ(reports.back(), std::make_pair(Disconnected, 0));
    }
}

TEST(PppdDialControlTest, TheProgramsEndWaitsASecondForAPppdThatStaysThenKillsIt)
{
    const FakePppd fake(kLinkUp, u"echo $$ >\"$(dirname \"$0\")/pid\"; trap '' TERM; exec sleep 60"_s);
    QElapsedTimer ending;
    qint64 pid = 0;
    {
        PppdDialControl control; // a hang-up would wait 15 s for it
        control.setEntryName(u"isp"_s);
        ASSERT_EQ(control.StartDial(), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return control.ConnState() == Connected; }));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return (pid = fake.recorded(u"usr/sbin/pid"_s).trimmed().toLongLong()) > 0; }));
        ending.start();
    }
    // Well within the exit's bound of a few seconds, not the hang-up's 15.
    EXPECT_LT(ending.elapsed(), 5'000);
    ASSERT_GT(pid, 0);
    EXPECT_NE(::kill(pid_t(pid), 0), 0) << "pppd still runs";
}

} // namespace
} // namespace ringtally::test
