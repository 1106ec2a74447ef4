#include "core/StartUpSteps.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "core/SingleInstance.h"
#include "localisation/StringTable.h"

#include "fakes/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using test::ScriptedPrompter;
using test::TempFolder;

TEST(SingleInstanceTest, OneHolderAtATimeAndALockOfADeadProcessIsTakenOver)
{
    TempFolder temp;
    const QString path = temp.file(u"ringtally.lock"_s);
    const pid_t child = ::fork(); // takes the lock and dies without letting go of it
    if (child == 0)
        ::_exit(SingleInstance(path).acquire() ? 0 : 1);
    int status = 1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0);
    auto first = std::make_unique<SingleInstance>(path);
    EXPECT_TRUE(first->acquire());
    SingleInstance second(path);
    EXPECT_FALSE(second.acquire());
    first.reset();
    EXPECT_TRUE(second.acquire());
    EXPECT_TRUE(SingleInstance(temp.file(u"missing/ringtally.lock"_s)).acquire()) << "no lock, no rule";
}

TEST(SingleInstanceTest, TheBusNameDecidesFirstAndTheLockStillCounts)
{
    // The lock held by an instance started where the bus cannot be seen.
    for (const auto& [claim, lockHeld, runs] : { std::tuple { BusClaim::Owned, false, true },
             { BusClaim::Taken, false, false }, { BusClaim::NoBus, false, true },
             { BusClaim::NoBus, true, false }, { BusClaim::Owned, true, false } }) {
        TempFolder temp;
        SingleInstance other(temp.file(u"ringtally.lock"_s));
        ASSERT_TRUE(!lockHeld || other.acquire());
        EXPECT_EQ(
            SingleInstance(temp.file(u"ringtally.lock"_s), [claim = claim] { return claim; }).acquire(), runs)
            << int(claim) << " " << lockHeld;
    }
}

TEST(FirstRunTest, RegistersAndAsksOnceInEitherLanguageAndReportsAFailedInstall)
{
    const QString danish
        = u"Det ser ud til at det er første gang du kører Ringtally!\r\nVil du åbne opsætningsvinduet?"_s;
    const QString english = u"It seems that this is the first time that you are running Ringtally!\r\n"
                            u"Do you wan't to open the configuration window?"_s;
    const QStringList registers { u"RegisterSoundEvents"_s, u"installSounds"_s };
    const struct {
        quint8 language;
        Status install;
        PromptAnswer answer;
        QString text;
        QStringList calls;
    } cases[] = {
        { 0, {}, PromptAnswer::No, danish, registers },
        { 1, {}, PromptAnswer::Yes, english, registers + QStringList { u"showConfiguration"_s } },
        { 0, Status(Error { u"connect.wav: disk full"_s }), PromptAnswer::No, danish, registers },
    };
    for (const auto& c : cases) {
        TempFolder temp;
        ProfileFile profile(temp.file(u"Ringtally.ini"_s));
        const NumberFormat format { QLocale(QLocale::Danish) };
        SettingsFile settings(profile, format);
        ScriptedPrompter prompter;
        QStringList calls;
        const StartUpServices services { [&] { calls << u"RegisterSoundEvents"_s; },
            [&] {
                calls << u"installSounds"_s;
                return c.install;
            },
            [&](const QString& event) { calls << u"sound "_s + event; },
            [&] { calls << u"showConfiguration"_s; } };
        if (!c.install)
            prompter.answerNext(PromptAnswer::Ok);
        prompter.answerNext(c.answer);
        runFirstRunAndOpen(settings, c.language, StringTable::english(), prompter, services);
        EXPECT_EQ(calls, c.calls + QStringList { u"sound Open"_s });
        const Prompt& box = prompter.shown().last();
        EXPECT_EQ(std::tuple(box.title, box.text, box.icon, box.buttons),
            std::tuple(u"Velkommen til Ringtally"_s, c.text, PromptIcon::Question, PromptButtons::YesNo));
        EXPECT_EQ(prompter.shown().first().title, c.install ? box.title : u"Filfejl:"_s);

        calls.clear(); // the next start is no first run
        runFirstRunAndOpen(settings, c.language, StringTable::english(), prompter, services);
        EXPECT_EQ(calls, QStringList { u"sound Open"_s });
    }
}

TEST(PutStoredCountersTest, DayCountersOnlyFromToday)
{
    const QDate today(2026, 1, 5);
    const NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    const NumberFormat english { QLocale(QLocale::English, QLocale::UnitedStates) };
    const struct {
        QDate lastCall;
        const NumberFormat& format;
        QStringList texts; // DagTimer, DagMinutter, DagPris, TotTimer, TotMinutter, TotPris
        MeterFigures figures;
    } cases[] = {
        { today, danish, { u"03"_s, u"07"_s, u"12,50"_s, u"41"_s, u"05"_s, u"1234,56"_s },
            { 0, 0, 0, 187, 1250, 2465, 123456 } },
        { today.addDays(-1), english, { u"00"_s, u"00"_s, u"0.00"_s, u"41"_s, u"05"_s, u"1234.56"_s },
            { 0, 0, 0, 0, 0, 2465, 123456 } },
    };
    for (const auto& c : cases) {
        ProgramState state;
        Settings& s = state.settings;
        s.LastCallDate = c.lastCall;
        std::tie(s.LastCallHours, s.LastCallMinutes, s.LastCallPrice) = std::tuple(3, 7, 12.5);
        std::tie(s.TotalHours, s.TotalMinutes, s.TotalPrice) = std::tuple(41, 5, 1234.56);
        putStoredCounters(state, c.format, today);
        const StatusTexts& t = state.texts;
        EXPECT_EQ(
            (QStringList { t.DagTimer, t.DagMinutter, t.DagPris, t.TotTimer, t.TotMinutter, t.TotPris }),
            c.texts);
        EXPECT_EQ(state.figures, c.figures);
    }
}

} // namespace
} // namespace ringtally
