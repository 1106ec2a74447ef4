#include "launcher/StartList.h"

#include "launcher/WindowTitles.h"
#include "tray/EventSounds.h"
#include "tray/FileRegistry.h"
#include "tray/RegistryRoutines.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeProcessStarter.h"
#include "fakes/FakeSoundPlayer.h"
#include "fakes/FakeWindowList.h"
#include "fakes/ScriptedPrompter.h"
#include "support/SettingsWorld.h"

#include <gtest/gtest.h>

namespace ringtally::test {
namespace {

struct Gate : StartListGate {
    bool RunProgramsInList() const override { return ticked; }
    bool ticked = true;
};

struct Entry {
    QString commandLine;
    int startTime; // 0 once connected, 1 when dialing
    int startState = 0;
    QString title = {};
};

class StartListTest : public ::testing::Test, public SettingsWorld {
protected:
    StartListTest() { sounds.RegisterSoundEvents(); }

    void store(const std::vector<Entry>& entries)
    {
        ASSERT_TRUE(settings
                        .WriteIni(QStringLiteral("Configuration"), QStringLiteral("Number of progs "),
                            int(entries.size()))
                        .ok());
        for (size_t n = 0; n < entries.size(); ++n) {
            const auto key = [n](int field) { return QStringLiteral("Nr.%1 data %2").arg(n).arg(field); };
            const QString section = QStringLiteral("Runprogs");
            ASSERT_TRUE(settings.WriteIni(section, key(0), entries[n].commandLine).ok());
            ASSERT_TRUE(settings.WriteIni(section, key(1), entries[n].startTime).ok());
            ASSERT_TRUE(settings.WriteIni(section, key(2), entries[n].startState).ok());
            ASSERT_TRUE(settings.WriteIni(section, key(3), entries[n].title).ok());
        }
    }
    qint64 waitedMs() const { return clock.steadyMs() - startMs; }

    FakeProcessStarter starter;
    FakeWindowList windows;
    WindowTitles titles { windows };
    FakeClock clock;
    ScriptedPrompter prompter;
    FileRegistry store_ { temp.file(QStringLiteral("Ringtally.reg")) };
    RegistryRoutines registry { store_, prompter };
    FakeSoundPlayer player;
    EventSounds sounds { registry, player, ProgramFolder(temp.path()) };
    Gate gate;
    StartList list { settings, state, starter, titles, clock, prompter, sounds, gate };
    const qint64 startMs = clock.steadyMs();
};

TEST_F(StartListTest, StartsTheEntriesForTheMomentInOrderThreeSecondsApart)
{
    store({ { QStringLiteral("\"/opt/mail/mail\" -check"), 1, 1 }, { QStringLiteral("\"/bin/net\" "), 0 },
        { QStringLiteral("/usr/bin/my tool --fast"), 1, 2 }, { QStringLiteral("/home/me/News.LNK"), 1, 1 },
        { QStringLiteral("\"/home/me/Chat.desktop\" "), 1 }, { QString(), 1 },
        { QStringLiteral("\"/x\""), 1, 7 } });
    list.RunStartList(false, false);
    EXPECT_EQ(starter.started,
        QStringList({ QStringLiteral("\"/opt/mail/mail\" -check (2)"),
            QStringLiteral("\"/usr/bin/my tool --fast\" (3)"),
            QStringLiteral("Start \"/home/me/News.LNK\" (0)"),
            QStringLiteral("Start \"/home/me/Chat.desktop\"  (0)"), QStringLiteral("\"/x\" (7)") }));
    // The empty command line starts nothing, yet counts as a start and waits too.
    EXPECT_TRUE(state.ProgramsStarted);
    EXPECT_EQ(waitedMs(), 6 * 3000);

    starter.started.clear();
    list.RunStartList(true, false);
    EXPECT_EQ(starter.started, QStringList { QStringLiteral("\"/bin/net\"  (1)") });
}

TEST_F(StartListTest, TheGateHoldsAnUnforcedPassAndNothingStoredDoesNothing)
{
    store({ { QStringLiteral("\"/bin/net\" "), 1 } });
    gate.ticked = false;
    list.RunStartList(false, false);
    EXPECT_TRUE(starter.started.isEmpty());
    EXPECT_FALSE(state.ProgramsStarted);
    list.RunStartList(false, true);
    EXPECT_EQ(starter.started.size(), 1);

    store({});
    starter.started.clear();
    gate.ticked = true;
    list.RunStartList(false, false);
    EXPECT_TRUE(starter.started.isEmpty());
    EXPECT_EQ(waitedMs(), 3000);
}

TEST_F(StartListTest, AProgramAlreadyRunningEndsThePass)
{
    windows.windows = { { 1, QStringLiteral("Inbox - MOZILLA Thunderbird") } };
    store({ { QStringLiteral("\"/bin/first\" "), 1 },
        { QStringLiteral("\"/bin/mail\" "), 1, 0, QStringLiteral("thunderbird") },
        { QStringLiteral("\"/bin/later\" "), 1 } });
    list.RunStartList(false, false);
    EXPECT_EQ(starter.started, QStringList { QStringLiteral("\"/bin/first\"  (1)") });
}

TEST_F(StartListTest, AFailedStartIsShownWithAnErrorSoundAndThePassGoesOn)
{
    store({ { QStringLiteral("/no/such program"), 1 }, { QStringLiteral("\"/bin/next\" "), 1 } });
    starter.failures.insert(
        QStringLiteral("\"/no/such program\""), { 2, QStringLiteral("No such file or directory") });
    prompter.answerNext(PromptAnswer::Ok);
    list.RunStartList(false, false);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].title, QStringLiteral("Filfejl:"));
    EXPECT_EQ(prompter.shown()[0].text,
        QStringLiteral("Fejl nr. 2 opstod under kørslen af \"/no/such program\"\nNo such file or directory"));
    EXPECT_EQ(player.played, QStringList { temp.file(QStringLiteral("error.wav")) });
    EXPECT_EQ(starter.started.size(), 2);
    EXPECT_EQ(waitedMs(), 2 * 3000);
}

TEST_F(StartListTest, TheClosingPassClosesEveryWindowWithATitleLineInAnyCase)
{
    windows.windows = { { 1, QStringLiteral("Inbox - Mail") }, { 2, QStringLiteral("mail: compose") },
        { 3, QStringLiteral("Browser") }, { 4, QStringLiteral("Two  blanks") } };
    store({ { QStringLiteral("\"/bin/mail\" "), 0, 0, QStringLiteral("MAIL") },
        { QString(), 1, 0, QStringLiteral("  ") },
        { QStringLiteral("\"/bin/web\" "), 1, 0, QStringLiteral("Browser") } });
    list.closeStartedPrograms(); // nothing was started in this call
    EXPECT_TRUE(windows.askedToQuit.empty());
    state.ProgramsStarted = true;
    list.closeStartedPrograms();
    EXPECT_EQ(windows.askedToQuit, (std::vector<WindowId> { 1, 2, 3 }));
}

} // namespace
} // namespace ringtally::test
