#include "metering/CallEnd.h"
#include "metering/CallLedger.h"
#include "metering/PriceEngine.h"
#include "platform/FileAccess.h"

#include "fakes/FakeClock.h"
#include "fakes/ScriptedPrompter.h"
#include "support/SettingsWorld.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <cerrno>

using namespace ringtally;
using namespace Qt::StringLiterals;
using ringtally::test::contentsOf;
using ringtally::test::FakeClock;

namespace {

class RecordingSteps : public CallEndSteps {
public:
    void closeStartedPrograms() override { steps << u"close programs"_s; }
    void disableHangUpItems() override { steps << u"disable hang-up items"_s; }
    void storeStatusWindowPosition() override { steps << u"store position"_s; }
    void hideTaskbarWindow() override { steps << u"hide task-bar window"_s; }
    void startFloatingWindowHideTimer() override { steps << u"floating hide timer"_s; }
    void hideDialWindow() override { steps << u"hide dial window"_s; }
    void hangUpDialControl() override { steps << u"hang up dial control"_s; }
    void setStatusCaption(const QString& caption) override { steps << u"caption "_s + caption; }
    void switchTrayMenu() override { steps << u"tray offline"_s; }
    void stopTimers() override { steps << u"stop timers"_s; }
    void hideStatusWindow() override { steps << u"hide status window"_s; }
    void playEventSound(const QString& event) override { steps << u"sound "_s + event; }

    QStringList steps;
};

class NoEvents : public MeterEvents {
public:
    void closeSplitPart(const CallCheckpoint&) override { }
    void storeCheckpoint(const CallCheckpoint&) override { }
    void showPriceWarning() override { }
    void setTaskbarText(const QString&) override { }
    void reportTickError(int, const QString&) override { }
};

// The meter stops first; the call end shows no box and waits for nothing.
const QStringList kOfflineSteps
    = u"stop timers|close programs|disable hang-up items|store position|"
      "hide task-bar window|floating hide timer|hide dial window|hang up dial control|"
      "caption Ringtally - Offline|tray offline|hide status window|sound Disconnect"_s.split(u'|');

const QByteArray kLine = "#2026-01-06 00:05:09#,\"Tele\",\"00\",\"01\",\"1,24\",\"01\",\"31\",\"11,24\"\r\n";

// The day's date, hours, minutes and price, then the total's hours, minutes and price.
auto dayAndTotal(const Settings& s)
{
    return std::tuple(s.LastCallDate, int(s.LastCallHours), int(s.LastCallMinutes), s.LastCallPrice,
        int(s.TotalHours), int(s.TotalMinutes), s.TotalPrice);
}
const auto kCounted = std::tuple(QDate(2026, 1, 6), 1, 31, 11.24, 100, 1, 1001.24);

class CallEndTest : public ::testing::Test, public test::SettingsWorld {
protected:
    CallEndTest()
    {
        connect();
        std::tie(state.settings.TotalHours, state.settings.TotalMinutes, state.settings.TotalPrice)
            = std::tuple(99, 59, 1000.0);
        EXPECT_TRUE(settings.SaveSettings(state.settings).ok());
    }
    ~CallEndTest() override { setWriteFaultForTests({}); }
    // A connected call of 1 minute 59 seconds, begun at 00:03:10: the tick shows whole minutes only.
    void connect(CallPhase phase = CallPhase::Connected)
    {
        state.meter.GlblOnline = 1;
        state.meter.phase = phase;
        state.meter.CallStart = QDateTime(QDate(2026, 1, 6), QTime(0, 3, 10));
        StatusTexts& t = state.texts;
        t = StatusTexts::initial(danish, QString(), QString());
        t.Opkaldstypelbl = u"Tele"_s;
        std::tie(t.NuvTimer, t.NuvMinutter, t.NuvPris, t.DagTimer, t.DagMinutter, t.DagPris, t.TotTimer,
            t.TotMinutter, t.TotPris)
            = std::tuple(
                u"00"_s, u"01"_s, u"1,24"_s, u"01"_s, u"31"_s, u"11,24"_s, u"100"_s, u"01"_s, u"1001,24"_s);
        t.setSek(u"59"_s);
        state.figures = { 119, 1, 124, 91, 1124, 6001, 100124 };
        steps.steps.clear();
    }
    // The running call's last checkpoint, as the meter keeps it.
    void keepCheckpoint()
    {
        ASSERT_TRUE(ledger
                        .keep({ clock.now(), clock.now().date(), u"Tele"_s, state.texts, state.figures,
                            state.meter.CallStart, QString() })
                        .ok());
    }
    // Writes to the files named fail as on a full disk.
    static void fail(const QStringList& paths)
    {
        setWriteFaultForTests([paths](const QString& path) -> std::optional<int> {
            return paths.contains(path) ? std::optional<int>(ENOSPC) : std::nullopt;
        });
    }

    CallLog log { temp.file(u"Ringtally.log"_s) };
    CallCheckpointFile checkpoint { temp.file(u"Ringtally.call"_s) };
    FakeClock clock { QDateTime(QDate(2026, 1, 6), QTime(0, 5, 9)) };
    RecordingSteps steps;
    CallLedger ledger { log, checkpoint, settings };
    CallEnd callEnd { state, settings, ledger, clock, steps };
};

} // namespace

TEST_F(CallEndTest, OnlyAConnectedCallEndedWithALogIsLoggedAndCounted)
{
    // Hung up without a log, a dial that never connected (busy, no answer, given up), then a
    // connected call hung up with a log: one line, and the shown figures stored.
    for (const auto& [phase, log] : { std::pair { CallPhase::Connected, false }, { CallPhase::Dialing, true },
             { CallPhase::Dialing, false }, { CallPhase::Connected, true } }) {
        const bool logged = phase == CallPhase::Connected && log;
        connect(phase);
        keepCheckpoint();
        const CallEndOutcome outcome = callEnd.end(log);
        EXPECT_EQ(std::pair(outcome.logged, callEnd.lastEndLogged()), std::pair(logged, logged));
        EXPECT_TRUE(outcome.boxes.empty());
        EXPECT_EQ(contentsOf(this->log.path()), logged ? kLine : QByteArray());
        EXPECT_EQ(stored().TotalPrice, logged ? 1001.24 : 1000.0);
        EXPECT_EQ(steps.steps, kOfflineSteps);
        EXPECT_EQ(state.meter.GlblOnline, 0);
        // A connected call's checkpoint goes with it; a dial has none of its own.
        EXPECT_EQ(QFile::exists(checkpoint.path()), phase == CallPhase::Dialing);
        ASSERT_TRUE(checkpoint.remove().ok());
    }
    // The last 59 seconds are not counted; the counters name the part they hold.
    EXPECT_EQ(dayAndTotal(stored()), kCounted);
    EXPECT_EQ(stored().CountedPart, u"2026-01-06T00:03:10"_s);
    // An ended call is not ended again.
    steps.steps.clear();
    EXPECT_FALSE(callEnd.end(true).logged);
    EXPECT_TRUE(steps.steps.isEmpty());
}

TEST_F(CallEndTest, ALineTheLogCannotTakeWaitsBesideItAndGoesInOnceItCan)
{
    ASSERT_TRUE(QDir().mkpath(log.path())); // a folder where the log should be
    for (int call = 1; call <= 2; ++call) {
        connect();
        const CallEndOutcome outcome = callEnd.end(true);
        // On disk beside the log: logged, and counted.
        EXPECT_TRUE(outcome.logged);
        EXPECT_EQ(outcome.boxes.empty(), call == 2) << "told once";
        EXPECT_FALSE(state.countersUnsaved);
    }
    EXPECT_EQ(contentsOf(log.pendingPath()), kLine + kLine);
    EXPECT_TRUE(ledger.catchUp(state).empty());
    ASSERT_TRUE(QDir().rmdir(log.path()));
    EXPECT_TRUE(ledger.catchUp(state).empty());
    EXPECT_EQ(contentsOf(log.path()), kLine + kLine);
    EXPECT_FALSE(QFile::exists(log.pendingPath()));
}

TEST_F(CallEndTest, WithNoRoomForTheLineTheCountersWaitForItAndNothingIsReloadedOverThem)
{
    keepCheckpoint();
    fail({ log.path(), log.pendingPath() });
    const CallEndOutcome outcome = callEnd.end(true);
    EXPECT_FALSE(outcome.logged || callEnd.lastEndLogged()) << "no call is reported logged that is not";
    EXPECT_FALSE(outcome.boxes.empty());
    // The counters follow the log: not saved before its line. The checkpoint waits aside, where
    // the next call's does not replace it.
    EXPECT_TRUE(state.countersUnsaved);
    EXPECT_EQ(stored().TotalPrice, 1000.0);
    EXPECT_FALSE(QFile::exists(checkpoint.path()));
    EXPECT_EQ(QDir(temp.path()).entryList({ u"Ringtally.call.*"_s }),
        QStringList(u"Ringtally.call.20260106T000310"_s));
    settings.reloadSettings(state.settings);
    EXPECT_EQ(dayAndTotal(state.settings), kCounted);

    setWriteFaultForTests({});
    EXPECT_TRUE(ledger.catchUp(state).empty());
    EXPECT_EQ(contentsOf(log.path()), kLine);
    EXPECT_EQ(dayAndTotal(stored()), kCounted);
    EXPECT_FALSE(state.countersUnsaved);
    EXPECT_TRUE(QDir(temp.path()).entryList({ u"Ringtally.call*"_s }).isEmpty());
}

TEST_F(CallEndTest, ASaveThatFailsIsTriedAgainAtTheNextChance)
{
    fail({ profile.path() });
    const CallEndOutcome outcome = callEnd.end(true);
    EXPECT_TRUE(outcome.logged);
    ASSERT_EQ(outcome.boxes.size(), 1u);
    EXPECT_TRUE(outcome.boxes[0].text.startsWith(u"Fejl nr. 75 opstod\n"_s));
    EXPECT_TRUE(state.countersUnsaved);
    EXPECT_TRUE(ledger.catchUp(state).empty()) << "told once";
    setWriteFaultForTests({});
    EXPECT_TRUE(ledger.catchUp(state).empty());
    EXPECT_EQ(dayAndTotal(stored()), kCounted);
    EXPECT_FALSE(state.countersUnsaved);
}

TEST_F(CallEndTest, ACallEndedBeforeItsFirstTickStoresTheFiguresItStartedFrom)
{
    NoEvents events;
    PriceEngine engine(state, clock, danish, events);
    Settings& s = state.settings;
    std::tie(s.TotalHours, s.TotalMinutes, s.TotalPrice) = std::tuple(100, 1, 1001.24);
    state.texts = StatusTexts::initial(danish, QString(), QString());
    // Earlier today: the day goes on from its figures. The last call was yesterday: today starts
    // from zero. The total is kept either way.
    for (const auto& [lastCall, day] : { std::pair { QDate(2026, 1, 6), std::tuple(1, 31, 11.24) },
             { QDate(2026, 1, 5), std::tuple(0, 0, 0.0) } }) {
        std::tie(s.LastCallDate, s.LastCallHours, s.LastCallMinutes, s.LastCallPrice)
            = std::tuple(lastCall, 1, 31, 11.24);
        engine.startCall(0);
        callEnd.end(true);
        const auto [hours, minutes, price] = day;
        EXPECT_EQ(
            dayAndTotal(stored()), std::tuple(QDate(2026, 1, 6), hours, minutes, price, 100, 1, 1001.24));
    }
    EXPECT_EQ(contentsOf(log.path()),
        QByteArray("#2026-01-06 00:05:09#,\"\",\"00\",\"00\",\"0,00\",\"01\",\"31\",\"11,24\"\r\n"
                   "#2026-01-06 00:05:09#,\"\",\"00\",\"00\",\"0,00\",\"00\",\"00\",\"0,00\"\r\n"));
}

TEST_F(CallEndTest, ACounterThatDoesNotFitIsReportedAndKept)
{
    state.texts.TotTimer = u"40000"_s;
    const CallEndOutcome outcome = callEnd.end(true);
    ASSERT_EQ(outcome.boxes.size(), 1u);
    EXPECT_EQ(outcome.boxes[0].title, u"Advarsel!"_s);
    EXPECT_TRUE(outcome.boxes[0].text.startsWith(u"Fejl nr. 6 opstod\n"_s));
    EXPECT_TRUE(outcome.boxes[0].text.contains(u"40000"_s));
    // The old hour counter; the other figures are taken over.
    EXPECT_EQ(dayAndTotal(stored()), std::tuple(QDate(2026, 1, 6), 1, 31, 11.24, 99, 1, 1001.24));
}

TEST_F(CallEndTest, AKillAnywhereInACallsEndIsMendedOnceAtTheNextStart)
{
    // The disk as a killed program leaves it: the first `writes` writes of the call end happen.
    for (int writes = 0; writes <= 5; ++writes) {
        QFile::remove(log.path());
        state = ProgramState();
        state.settings.TotalPrice = 1000.0;
        ASSERT_TRUE(settings.SaveSettings(state.settings).ok());
        connect();
        keepCheckpoint();
        int left = writes;
        setWriteFaultForTests([&left](const QString&) -> std::optional<int> {
            return left-- > 0 ? std::nullopt : std::optional<int>(EIO);
        });
        CallLedger dying { log, checkpoint, settings };
        CallEnd { state, settings, dying, clock, steps }.end(true);
        setWriteFaultForTests({});

        ProgramState next;
        settings.LoadSettings(next.settings);
        test::ScriptedPrompter prompter;
        for (int box = 0; box < 3; ++box)
            prompter.answerNext(PromptAnswer::Ok);
        for (const Prompt& box : CallLedger(log, checkpoint, settings).recover(next, true))
            prompter.ask(box);
        QList<QByteArray> lines = contentsOf(log.path()).split('\n');
        lines.removeIf([](const QByteArray& line) { return !line.contains("Tele"); });
        ASSERT_EQ(lines.size(), 1) << writes;
        EXPECT_TRUE(lines[0].contains("\"1,24\"")) << writes;
        EXPECT_EQ(stored().TotalPrice, 1001.24) << writes;
        EXPECT_TRUE(QDir(temp.path()).entryList({ u"Ringtally.call*"_s }).isEmpty()) << writes;
    }
}
