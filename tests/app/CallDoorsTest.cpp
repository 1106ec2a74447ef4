// The doors into and out of a call fired at random, also from inside the waits and the open message
// boxes of other doors, over the whole program with a fake clock, a line and a pppd that takes its
// time to end, and a disk that fails writes and a program that is killed between two of them.
// After every step the call's rules must hold.

#include "metering/LimitCountdown.h"
#include "platform/FileAccess.h"

#include "support/ProgramWorld.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <random>
#include <set>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;

// Answers every box as its close button would, letting the test act while it is open.
class AnsweringPrompter : public Prompter {
public:
    PromptAnswer ask(const Prompt& prompt) override
    {
        ++shown;
        if (whileOpen)
            whileOpen();
        return answerWhenClosed(prompt.buttons);
    }
    std::function<void()> whileOpen;
    int shown = 0;
};

// The figures of the call log (and the lines waiting beside it): whole minutes and hundredths of
// every line, and the number of call-end lines.
struct LogSum {
    qint64 minutes = 0;
    qint64 cents = 0;
    int callEnds = 0;
};
LogSum sumOf(const CallLog& log)
{
    static const QRegularExpression line(uR"re(^#[^#]*#,("[^"]*"|\d),"(\d+)","(\d+)","(-?\d+),(\d\d)")re"_s);
    LogSum sum;
    QSet<QString> seen; // a line moved from beside the log into it is one line
    for (const QString& path : { log.path(), log.pendingPath() }) {
        const QByteArray bytes = readWholeFile(path).valueOr({}).bytes;
        for (const QString& text : QString::fromUtf8(bytes).split(u"\r\n"_s, Qt::SkipEmptyParts)) {
            if (seen.contains(text))
                continue;
            seen.insert(text);
            const QRegularExpressionMatch m = line.match(text);
            EXPECT_TRUE(m.hasMatch()) << text.toStdString();
            sum.minutes += m.captured(2).toLongLong() * 60 + m.captured(3).toLongLong();
            sum.cents += m.captured(4).toLongLong() * 100 + m.captured(5).toLongLong();
            sum.callEnds += m.captured(1).startsWith(u'"') ? 1 : 0;
        }
    }
    return sum;
}

class CallDoorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Two schemes on two entries with a hotkey each, logged when the line drops; two programs
        // started when dialing and two when connected; autolog knows "Other" as A's.
        ProfileFile profile(o.folder.settingsFile());
        SettingsFile settings(profile, o.danish);
        Settings s;
        for (int i = 0; i < 2; ++i) {
            Scheme& scheme = s.Schemes[size_t(i)];
            scheme.Name = i == 0 ? u"A"_s : u"B"_s;
            scheme.DUNName = i == 0 ? u"Tele"_s : u"Net"_s;
            for (DayTariff& day : scheme.Days)
                day = { .NumberOfPeriods = 1, .CallFee = { 0.25 }, .MinutePrice = { i == 0 ? 1.0 : 0.5 } };
        }
        s.KeyboardShortcut = { 1, 2, 0 };
        s.NumberOfDUN = 1;
        // The day's limit hangs up after its countdown: a door of its own, mostly reached late.
        s.MaxDayPrice = 4;
        s.HangUpAtDayLimit = true;
        ASSERT_TRUE(settings.SaveSettings(s).ok());
        for (const auto& [section, key, value] : {
                 std::tuple { u"Configuration"_s, u"First run?"_s, u"0"_s },
                 { u"Configuration"_s, u"Run progs "_s, u"1"_s },
                 { u"Configuration"_s, u"Number of progs "_s, u"4"_s },
                 { u"Configuration"_s, u"Redial number"_s, u"1"_s },
                 { u"Configuration"_s, u"Redial interval"_s, u"1"_s },
                 { u"Runprogs"_s, u"Nr.0 data 0"_s, u"\"/bin/mail\""_s },
                 { u"Runprogs"_s, u"Nr.0 data 1"_s, u"1"_s },
                 { u"Runprogs"_s, u"Nr.1 data 0"_s, u"\"/bin/news\""_s },
                 { u"Runprogs"_s, u"Nr.1 data 1"_s, u"0"_s },
                 { u"Runprogs"_s, u"Nr.2 data 0"_s, u"\"/bin/chat\""_s },
                 { u"Runprogs"_s, u"Nr.2 data 1"_s, u"1"_s },
                 { u"Runprogs"_s, u"Nr.3 data 0"_s, u"\"/bin/web\""_s },
                 { u"Runprogs"_s, u"Nr.3 data 1"_s, u"0"_s },
                 { u"Autolog"_s, u"1A"_s, u"Other"_s },
                 { u"Autolog"_s, u"1B"_s, u"A"_s },
                 { u"Autolog"_s, u"1C"_s, u"1"_s },
             })
            ASSERT_TRUE(settings.WriteIni(section, key, value).ok());
        o.network.setEntries({ u"Net"_s, u"Tele"_s });
        start();
    }
    void TearDown() override
    {
        setWriteFaultForTests({});
        o.clock.duringWait = nullptr;
    }

    void start()
    {
        program.reset();
        program.emplace(o, prompter);
        CallOwner& owner = program->owner;
        QObject::connect(&owner, &CallOwner::callEnded, &owner,
            [this](quint64 call, bool connected, bool log) { ended(call, connected, log); });
        // A call that takes a line over is connected from its start.
        QObject::connect(&owner, &CallOwner::callStarted, &owner, [this, &owner] {
            if (owner.phase() == CallPhase::Connected)
                linesUp.insert(owner.call());
        });
    }
    void ended(quint64 call, bool connected, bool log)
    {
        // The owner says a call connected only when its line came up.
        EXPECT_TRUE(!connected || linesUp.contains(call)) << "call " << call << " was never connected";
        if (connected && log)
            ++expectedCallEnds;
    }

    // One random door. depth > 0: fired from inside a wait or an open box.
    void door(int depth)
    {
        ProgramWorld& p = *program;
        std::uniform_int_distribution<int> pick(0, 22);
        const int chosen = pick(rng);
        if (qEnvironmentVariableIsSet("RINGTALLY_DOORS_TRACE"))
            qInfo("%*sdoor %d phase %d call %llu", depth * 2, "", chosen, int(p.state.meter.phase),
                p.owner.call());
        switch (chosen) {
        case 0:
        case 1:
        case 2:
            passSecond(p);
            break;
        case 3:
            p.frm.onDialButtonClicked(int(rng() % 2));
            break;
        case 4:
            p.frm.onDialItemTriggered(int(rng() % 2));
            break;
        case 5:
            p.frm.onHangUpTriggered();
            break;
        case 6:
            p.frm.onHangUpWithoutLogTriggered();
            break;
        case 7:
            (rng() % 2 ? p.meter.dialStatus().mnuLog : p.meter.dialStatus().mnuNoLog)->trigger();
            break;
        case 8: // a hotkey held over a tick, then let go
            o.keys.holdHotkey({ int(rng() % 2) + 1 });
            p.watch.onWatchTick();
            o.keys.down = {};
            p.watch.onWatchTick();
            break;
        case 9:
        case 10:
            if (o.control.ConnState() == RasConnState::OpenPort && p.state.meter.phase == CallPhase::Dialing)
                linesUp.insert(p.owner.call());
            o.control.connectLine();
            break;
        case 11:
            o.control.fail(rng() % 2 ? 676 : 678);
            break;
        case 12: // another dialer brings a line up: one autolog knows, or one it asks about
            if (!o.network.isOnline())
                o.network.setConnections({ { 9, rng() % 2 ? u"Other"_s : u"Stranger"_s } });
            break;
        case 13:
            o.control.drop();
            break;
        case 14:
            if (p.selection.isVisible()) {
                p.selection.OpkTyper->setCurrentIndex(int(rng() % 3));
                p.selection.OK->click();
            }
            break;
        case 15:
            if (p.dialup.isVisible())
                (rng() % 2 ? p.dialup.Call_again : p.dialup.Hang_up)->click();
            break;
        case 16: // a double click on the tray icon
            p.frm.onTrayMessage(MainFrm::LeftDoubleClick);
            break;
        case 17:
            diskFault();
            break;
        case 18:
            if (depth == 0 && rng() % 4 == 0)
                killAfterWrites = int(rng() % 6);
            break;
        case 19:
            if (depth == 0 && rng() % 8 == 0)
                exitProgram = true;
            break;
        case 20: { // the limit's countdown: the user stays or hangs up, or its minute runs out
            LimitCountdown& countdown = p.meter.limitCountdown();
            const unsigned choice = rng() % 3;
            if (countdown.isVisible() && choice < 2)
                (choice == 0 ? countdown.keepLineButton : countdown.hangUpNowButton)->click();
            else
                p.meter.hangUpAtLimit();
            QCoreApplication::processEvents();
            break;
        }
        default:
            passSecond(p);
        }
    }
    // A second of the fake clock, with the timers that are due.
    void passSecond(ProgramWorld& p)
    {
        o.clock.advanceMs(1000);
        if (p.meter.dialStatus().tickTimer.isActive())
            p.meter.dialStatus().onTick();
        p.watch.onWatchTick();
        if (p.dialup.lineUpTimer.isActive())
            p.dialup.onLineUp();
        if (p.dialup.Disconnected.isActive())
            p.dialup.checkLineDropped();
        if (p.dialup.Reconnect.isActive())
            p.dialup.countDownToRedial();
    }
    // The disk fills up for one of the program's files, or has room again.
    void diskFault()
    {
        const QStringList files { u"Ringtally.ini"_s, u"Ringtally.log"_s, u"Ringtally.call"_s, QString() };
        failing = files[qsizetype(rng() % files.size())];
        if (qEnvironmentVariableIsSet("RINGTALLY_DOORS_TRACE"))
            qInfo("disk full for '%s'", qPrintable(failing));
    }
    void installFaults()
    {
        setWriteFaultForTests([this](const QString& path) -> std::optional<int> {
            if (killAfterWrites == 0)
                return EIO; // the program is dead: nothing more reaches the disk
            if (!failing.isEmpty() && QFileInfo(path).fileName().startsWith(failing))
                return ENOSPC;
            if (killAfterWrites > 0)
                --killAfterWrites;
            return std::nullopt;
        });
    }
    // Fires doors from inside waits and boxes, two levels deep at most.
    void nest()
    {
        const auto inner = [this] {
            if (nesting >= 2 || rng() % 3 != 0)
                return;
            ++nesting;
            door(nesting);
            --nesting;
        };
        o.clock.duringWait = inner;
        prompter.whileOpen = inner;
    }

    // The rules that hold after every step.
    void checkRules()
    {
        ProgramWorld& p = *program;
        const MeterState& m = p.state.meter;
        const bool running = m.phase == CallPhase::Dialing || m.phase == CallPhase::Connected;
        EXPECT_EQ(m.GlblOnline, running ? 1 : 0) << "one call at most, and the meter knows it";
        EXPECT_TRUE(!p.meter.dialStatus().tickTimer.isActive() || running) << "the meter runs only in a call";
        EXPECT_TRUE(!p.dialup.Disconnected.isActive() || m.phase == CallPhase::Connected);
        EXPECT_EQ(o.starter.startedOutsideACall, 0) << "a program started after its call ended";
        const LogSum sum = sumOf(p.log);
        EXPECT_LE(sum.callEnds, expectedCallEnds + recoverable) << "a call logged twice or invented";
        // Once everything is on disk, the stored totals are the log's sum.
        const bool settled = !running && failing.isEmpty() && killAfterWrites < 0 && !p.state.countersUnsaved
            && p.meter.ledger().unwritten().isEmpty()
            && QDir(o.folder.path()).entryList({ u"Ringtally.call*"_s }).isEmpty();
        if (settled) {
            Settings stored;
            ProfileFile reread(o.folder.settingsFile());
            SettingsFile(reread, o.danish).LoadSettings(stored);
            EXPECT_EQ(std::llround(stored.TotalPrice * 100), sum.cents)
                << "the totals are the log's sum:\n"
                << readWholeFile(p.log.path()).valueOr({}).bytes.toStdString() << "beside it:\n"
                << readWholeFile(p.log.pendingPath()).valueOr({}).bytes.toStdString();
            EXPECT_EQ(qint64(stored.TotalHours) * 60 + stored.TotalMinutes, sum.minutes);
            EXPECT_GE(sum.callEnds, expectedCallEnds - lost) << "a logged call is missing";
        }
    }

    Outside o;
    AnsweringPrompter prompter;
    std::optional<ProgramWorld> program;
    std::mt19937 rng;
    std::set<quint64> linesUp; // the calls whose line came up (or that took one over)
    int expectedCallEnds = 0; // calls that connected and ended with a log
    int recoverable = 0; // calls that a kill interrupted, which the next start may log
    int lost = 0; // calls whose line a kill took from memory before any disk had it
    QString failing; // the file the disk has no room for; empty: room for all
    int killAfterWrites = -1; // the program dies after this many more writes; -1: it lives
    bool exitProgram = false;
    int nesting = 0;
};

TEST_F(CallDoorsTest, RandomDoorsKeepOneCallLoggedOnceAndTheTotalsEqualToTheLog)
{
    const QDeadlineTimer budget(6'000);
    std::vector<unsigned> seeds { 1, 2, 3, 4, 5, 6, 7, 8 };
    if (qEnvironmentVariableIsSet("RINGTALLY_DOORS_SEED"))
        seeds = { unsigned(qEnvironmentVariableIntValue("RINGTALLY_DOORS_SEED")) };
    for (const unsigned seed : seeds) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        rng.seed(seed);
        installFaults();
        nest();
        for (int step = 0; step < 400 && !budget.hasExpired() && !HasFailure(); ++step) {
            SCOPED_TRACE(testing::Message() << "step " << step);
            ProgramWorld& p = *program;
            door(0);
            if (killAfterWrites >= 0 || exitProgram) {
                if (exitProgram)
                    p.frm.exitProgram();
                else
                    ++recoverable, lost += int(p.meter.ledger().unwritten().size());
                if (qEnvironmentVariableIsSet("RINGTALLY_DOORS_TRACE"))
                    qInfo(exitProgram ? "exit" : "kill");
                killAfterWrites = -1;
                exitProgram = false;
                o.control.drop();
                o.network.setConnections({});
                start();
            }
            checkRules();
        }
        // Room on the disk again and a last start: everything interrupted is recovered.
        failing.clear();
        start();
        checkRules();
        if (budget.hasExpired())
            break;
    }
}

// One sharp case per meeting of doors, each over the whole program as the random test has it.
class CallDoorTest : public CallDoorsTest {
protected:
    void SetUp() override
    {
        CallDoorsTest::SetUp();
        QObject::connect(&o.control, &DialControl::statusChanged, &o.control, [this](qint32 state, qint32) {
            if (state == RasConnState::Connected)
                linesUp.insert(p().owner.call());
        });
    }
    ProgramWorld& p() { return *program; }
    void dialAndConnect(int scheme)
    {
        p().frm.onDialItemTriggered(scheme);
        ASSERT_EQ(p().state.meter.phase, CallPhase::Dialing);
        o.control.connectLine();
        ASSERT_EQ(p().state.meter.phase, CallPhase::Connected);
    }
    QStringList logLines() const
    {
        return QString::fromUtf8(readWholeFile(program->log.path()).valueOr({}).bytes)
            .split(u"\r\n"_s, Qt::SkipEmptyParts);
    }
};

TEST_F(CallDoorTest, ADialStartsTheDialingProgramsThenHangsUpThenDialsAndMetersWhileATakeOverOnlyMeters)
{
    o.network.setConnections({ { 7, u"Other dialer"_s } });
    p().frm.show();
    p().frm.CmdDial[0]->click();
    EXPECT_EQ(o.starter.hungUpAtStart, QList<int>({ 0, 0 }))
        << "the dialing programs start before the hang-up";
    EXPECT_EQ(o.control.hungUpAtDial, QList<int> { 1 })
        << "the other dialer's line is hung up before the dial";
    EXPECT_EQ(o.control.EntryName(), u"Tele"_s);
    EXPECT_TRUE(p().dialup.isVisible());
    EXPECT_FALSE(p().frm.isVisible());
    const DialStatus& status = p().meter.dialStatus();
    EXPECT_EQ(status.windowTitle(), u"Ringer op med: A..."_s);
    EXPECT_TRUE(status.isVisible() && status.tickTimer.isActive());
    EXPECT_TRUE(p().frm.PopupHangup->isVisible());
    EXPECT_FALSE(p().dialup.Disconnected.isActive()) << "the line watch waits for the connection";
    p().frm.onHangUpWithoutLogTriggered();

    // Taking a line over starts the programs only when the entry asks, whatever the switch says.
    p().frm.RunProgramsInList->setChecked(false);
    for (const quint8 startPrograms : { 0, 1 }) {
        o.starter.started.clear();
        o.network.setConnections({ { 7, u"Other dialer"_s } });
        p().frm.Dial(0, true, startPrograms);
        EXPECT_EQ(o.starter.started.size(), startPrograms * 4);
        EXPECT_EQ(o.control.dials, 1);
        EXPECT_FALSE(p().dialup.isVisible());
        EXPECT_EQ(status.windowTitle(), u"Ringtally - Online"_s);
        EXPECT_TRUE(p().dialup.Disconnected.isActive());
        p().frm.onHangUpWithoutLogTriggered();
        EXPECT_FALSE(p().dialup.Disconnected.isActive()) << "the call end stops the line watch";
    }
}

TEST_F(CallDoorTest, ASecondDialWhileTheFirstWaitsIsRefused)
{
    int waits = 0;
    o.clock.duringWait = [&] {
        if (waits++ == 0) {
            p().frm.onDialItemTriggered(1);
            p().frm.onDialButtonClicked(1);
        }
    };
    p().frm.onDialItemTriggered(0);
    o.clock.duringWait = nullptr;
    EXPECT_EQ(o.control.dials, 1);
    EXPECT_EQ(o.starter.started.size(), 2) << "the programs started when dialing, once";
    EXPECT_EQ(p().state.meter.CurrentScheme, 0);
    EXPECT_EQ(p().meter.dialStatus().windowTitle(), u"Ringer op med: A..."_s);
    o.control.connectLine();
    passSecond(p());
    p().frm.onHangUpTriggered();
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].contains(u",\"A\","_s));
}

TEST_F(CallDoorTest, TheSelectionWindowAnsweredDuringACallLeavesTheCallAlone)
{
    o.network.setConnections({ { 9, u"Stranger"_s } });
    p().watch.onWatchTick();
    ASSERT_TRUE(p().selection.isVisible());
    dialAndConnect(1);
    const std::pair running { p().owner.call(), p().state.meter.CallStart };
    o.clock.advanceMs(12'000);
    p().selection.OpkTyper->setCurrentIndex(1);
    p().selection.OK->click();
    EXPECT_EQ(std::pair(p().owner.call(), p().state.meter.CallStart), running);
}

TEST_F(CallDoorTest, NothingStartsWhileACallEndsAndItsBoxesComeOnceItIsOver)
{
    // Hung up within the second after the line came up, with a log that cannot be written, on a
    // line that takes three looks to go down, while the watch runs.
    dialAndConnect(0);
    setWriteFaultForTests([this](const QString& path) -> std::optional<int> {
        return path.startsWith(p().log.path()) ? std::optional<int>(ENOSPC) : std::nullopt;
    });
    o.network.dropAfterChecks(3);
    o.clock.duringWait = [this] { p().watch.onWatchTick(); };
    QList<CallPhase> phasesAtBoxes;
    prompter.whileOpen = [&] {
        phasesAtBoxes.append(p().state.meter.phase);
        passSecond(p());
    };
    const quint64 call = p().owner.call();
    p().frm.onHangUpTriggered();
    EXPECT_FALSE(phasesAtBoxes.isEmpty());
    EXPECT_EQ(phasesAtBoxes.count(CallPhase::Idle), phasesAtBoxes.size()) << "a box inside the call's end";
    EXPECT_EQ(p().owner.call(), call) << "a call started on the line being hung up";
    EXPECT_FALSE(p().selection.isVisible());
    EXPECT_FALSE(QFile::exists(p().checkpoint.path())) << "a checkpoint the next start would bring back";

    // The next call is not hung up by the last one's connection step.
    setWriteFaultForTests({});
    o.clock.duringWait = nullptr;
    prompter.whileOpen = nullptr;
    dialAndConnect(1);
    for (int second = 0; second < 3; ++second)
        passSecond(p());
    EXPECT_EQ(p().state.meter.phase, CallPhase::Connected);
    EXPECT_EQ(p().owner.call(), call + 1);
}

TEST_F(CallDoorTest, ALimitReachedHangsUpAndLogsAMinuteLaterUnlessTheUserStaysOnTheLine)
{
    // Scheme A: a fee of 0,25 and 1,00 a minute; a day's limit of 1,00 is reached 45 s into a call.
    ASSERT_TRUE(p().settings.WriteIni(u"Configuration"_s, u"Max_Day_Price"_s, u"1"_s).ok());
    start();
    const auto seconds = [this](int count) {
        for (int second = 0; second < count; ++second)
            passSecond(p());
        QCoreApplication::processEvents();
    };
    // The call's own seconds, from its dial: the connected programs' waits take some of them.
    const auto untilCallSecond = [&](int second) {
        while (p().state.meter.connected()
            && o.clock.steadyMs() - p().state.meter.callStartSteadyMs < second * 1000)
            seconds(1);
    };
    const LimitCountdown& countdown = p().meter.limitCountdown();
    dialAndConnect(0);
    untilCallSecond(44);
    EXPECT_FALSE(countdown.isVisible());
    untilCallSecond(45);
    EXPECT_TRUE(countdown.isVisible());
    EXPECT_TRUE(countdown.message->text().endsWith(u"om 60 sekunder."_s))
        << countdown.message->text().toStdString();
    untilCallSecond(104);
    EXPECT_EQ(p().state.meter.phase, CallPhase::Connected);
    EXPECT_TRUE(countdown.message->text().endsWith(u"om 1 sekund."_s));
    seconds(1);
    EXPECT_EQ(p().state.meter.phase, CallPhase::Idle);
    EXPECT_FALSE(countdown.isVisible());
    EXPECT_EQ(logLines().size(), 1);

    // The next call is over the limit at its first tick: the user stays on the line, then hangs
    // up from the countdown of the call after.
    dialAndConnect(0);
    seconds(1);
    ASSERT_TRUE(countdown.isVisible());
    countdown.keepLineButton->click();
    seconds(120);
    EXPECT_EQ(p().state.meter.phase, CallPhase::Connected);
    EXPECT_FALSE(countdown.isVisible());
    p().frm.onHangUpTriggered();
    dialAndConnect(0);
    seconds(1);
    countdown.hangUpNowButton->click();
    EXPECT_EQ(p().state.meter.phase, CallPhase::Idle);
    EXPECT_EQ(logLines().size(), 3);
}

TEST_F(CallDoorTest, AHangUpDuringTheConnectedProgramsWaitStartsNoMore)
{
    dialAndConnect(0);
    o.starter.started.clear();
    bool hungUp = false;
    o.clock.duringWait = [&] {
        if (!std::exchange(hungUp, true))
            p().frm.onHangUpTriggered();
    };
    p().dialup.onLineUp(); // the connection's step: the programs started once connected
    EXPECT_TRUE(hungUp);
    EXPECT_EQ(o.starter.started.size(), 1);
    EXPECT_EQ(o.starter.startedOutsideACall, 0);
}

TEST_F(CallDoorTest, CallAgainRightAfterTheLineCameUpDialsAgainOncePppdHasEnded)
{
    dialAndConnect(0);
    p().dialup.Call_again->click(); // within the second, before the connection's step
    EXPECT_EQ(p().state.meter.phase, CallPhase::Dialing);
    EXPECT_FALSE(p().dialup.lineUpTimer.isActive());
    EXPECT_EQ(o.control.dials, 2) << "the redial waited for the slow hang-up";
    for (int second = 0; second < 3; ++second)
        passSecond(p());
    EXPECT_EQ(p().state.meter.GlblOnline, 1);
    EXPECT_FALSE(p().dialup.Disconnected.isActive());
    o.control.connectLine();
    passSecond(p());
    p().frm.onHangUpTriggered();
    EXPECT_EQ(logLines().size(), 1);
}

TEST_F(CallDoorTest, ADialRightAfterAHangUpRunsOnceTheLineAndPppdHaveEnded)
{
    // Hung up without a log, then dialed at once (ringtally --hang-up --no-log; ringtally --dial 1),
    // and dialed from inside the hang-up's wait.
    for (const bool fromTheWait : { false, true }) {
        dialAndConnect(0);
        const int dials = o.control.dials;
        if (fromTheWait)
            o.clock.duringWait = [this] { p().frm.onDialItemTriggered(1); };
        p().frm.onHangUpWithoutLogTriggered();
        o.clock.duringWait = nullptr;
        if (!fromTheWait)
            p().frm.onDialItemTriggered(1);
        QCoreApplication::processEvents();
        EXPECT_EQ(o.control.dials, dials + 1);
        EXPECT_EQ(p().state.meter.phase, CallPhase::Dialing);
        EXPECT_EQ(p().state.meter.CurrentScheme, 1);
        p().frm.onHangUpWithoutLogTriggered();
    }
    EXPECT_TRUE(logLines().isEmpty());
}

} // namespace
} // namespace ringtally::test
