#include "metering/MeterWindows.h"

#include "localisation/StringTable.h"
#include "metering/CallLog.h"
#include "metering/DialStatus.h"
#include "metering/PriceWarn.h"
#include "platform/FileAccess.h"

#include "fakes/FakeClock.h"
#include "fakes/ScriptedPrompter.h"
#include "support/SettingsWorld.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QScopeGuard>
#include <QSignalSpy>

#include <cerrno>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using test::FakeClock;
using test::ScriptedPrompter;

// The event sounds the windows play.
class SoundsHeard : public OfflineServices {
public:
    void playEventSound(const QString& event) override { sounds << event; }
    QStringList sounds;
};

// The meter's windows while message boxes are open: a real modal box runs a nested event loop,
// and the prompter here does too, letting five seconds pass while the meter's timer is due at
// every pass of the loop.
class MeterUnderBoxes : public ::testing::Test, public test::SettingsWorld {
protected:
    void SetUp() override
    {
        Scheme& scheme = state.settings.Schemes[0];
        scheme.Name = u"Tele"_s;
        for (DayTariff& day : scheme.Days)
            day = { .NumberOfPeriods = 1, .MinutePrice = { 2.0 } };
        ASSERT_TRUE(settings.SaveSettings(state.settings).ok());
        prompter.whileOpen = [this] {
            QEventLoop loop;
            for (int second = 0; second < 5; ++second) {
                clock.advanceMs(1000);
                loop.processEvents();
            }
        };
    }
    DialStatus& startCallAt(const QDateTime& at)
    {
        clock.setNow(at);
        windows = std::make_unique<MeterWindows>(
            state, settings, callLog, checkpoint, clock, prompter, strings, danish, offline);
        windows->startCall(0);
        // Due at every pass of an event loop, as a 1 s timer is while a box stays open.
        windows->dialStatus().tickTimer.setInterval(0);
        return windows->dialStatus();
    }
    void tickSeconds(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            clock.advanceMs(1000);
            windows->dialStatus().onTick();
        }
    }

    StringTable strings = StringTable::english();
    FakeClock clock;
    ScriptedPrompter prompter;
    SoundsHeard offline;
    CallLog callLog { temp.file(u"Ringtally.log"_s) };
    CallCheckpointFile checkpoint { temp.file(u"Ringtally.call"_s) };
    std::unique_ptr<MeterWindows> windows;
};

TEST_F(MeterUnderBoxes, ATicksBoxComesAfterItAndTheMeterRunsOnWhileItIsOpen)
{
    DialStatus& status = startCallAt(QDateTime(QDate(2026, 1, 5), QTime(12, 0)));
    QSignalSpy ticks(&status.tickTimer, &QTimer::timeout);
    // The minute's checkpoint cannot be written; the user hangs up while its box is open.
    setWriteFaultForTests([this](const QString& path) -> std::optional<int> {
        return path == checkpoint.path() ? std::optional<int>(ENOSPC) : std::nullopt;
    });
    const auto healthy = qScopeGuard([] { setWriteFaultForTests({}); });
    prompter.answerNext(PromptAnswer::Ok);
    const auto whileOpen = prompter.whileOpen;
    prompter.whileOpen = [&] {
        whileOpen();
        windows->callEnd().end(true);
    };
    tickSeconds(75);
    EXPECT_TRUE(prompter.shown().empty()) << "no box inside the tick";
    QCoreApplication::processEvents();
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].title, u"Advarsel!"_s);
    EXPECT_EQ(offline.sounds, QStringList({ u"Error"_s, u"Disconnect"_s }));
    // 1 min 20 s at 2,00: the five seconds the box was open were metered and logged.
    EXPECT_GE(ticks.count(), 5);
    EXPECT_EQ(test::contentsOf(callLog.path()),
        QByteArray("#2026-01-05 12:01:20#,\"Tele\",\"00\",\"01\",\"2,67\",\"00\",\"01\",\"2,67\"\r\n"));
}

TEST_F(MeterUnderBoxes, ASplitLineTheLogCannotTakeSplitsOnceAndCountsTheTimeOnce)
{
    startCallAt(QDateTime(QDate(2026, 1, 5), QTime(23, 58, 0)));
    ASSERT_TRUE(QDir().mkpath(callLog.path())); // a folder where the log should be
    prompter.answerNext(PromptAnswer::Ok);
    tickSeconds(60); // the split at 23:59:00; its box, open for 5 s, comes after the tick
    QCoreApplication::processEvents();
    tickSeconds(1);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].title, u"Filfejl:"_s);
    EXPECT_EQ(offline.sounds, QStringList(u"Error"_s));
    EXPECT_EQ(state.texts.NuvMinutter, u"00"_s);
    EXPECT_EQ(state.texts.Sek, u"06"_s);
    EXPECT_EQ(state.texts.NuvPris, u"0,20"_s); // 6/60 x 2,00
    EXPECT_EQ(state.meter.SplitDay, 5);
    // The part before the split waits beside the log, and is counted in the total.
    EXPECT_TRUE(QFile(callLog.pendingPath()).size() > 0);
    EXPECT_EQ(state.settings.TotalPrice, 2.0);
}

TEST_F(MeterUnderBoxes, ACallDroppedInsideABoxOfItsTickLeavesNoCheckpoint)
{
    startCallAt(QDateTime(QDate(2026, 1, 5), QTime(23, 58, 0)));
    tickSeconds(1);
    EXPECT_TRUE(QFile::exists(checkpoint.path())); // the first tick's
    ASSERT_TRUE(QDir().mkpath(callLog.path())); // the split line will fail
    prompter.answerNext(PromptAnswer::Ok);
    // While the failure's box is open, the user hangs up without logging.
    prompter.whileOpen = [this] { windows->callEnd().end(false); };
    tickSeconds(59); // 23:59:00: the split, whose checkpoint would bring the dropped call back
    QCoreApplication::processEvents();
    EXPECT_EQ(prompter.shown().size(), 1u);
    EXPECT_FALSE(QFile::exists(checkpoint.path()));
}

TEST_F(MeterUnderBoxes, TheMonthlyWarningCountsTheLogFromTheBillingMonthsStartDay)
{
    // Months from the 15th: the call that ended on 14 January counts in December's.
    test::writePlain(callLog.path(),
        "#2026-01-14 20:00:00#,\"Tele\",\"00\",\"10\",\"5,00\",\"00\",\"10\",\"5,00\"\r\n"
        "#2026-01-15 09:00:00#,\"Tele\",\"00\",\"05\",\"3,00\",\"00\",\"05\",\"3,00\"\r\n");
    state.settings.MaxMonthPrice = 4;
    state.settings.BillingMonthStart = 15;
    ASSERT_TRUE(settings.SaveSettings(state.settings).ok());
    startCallAt(QDateTime(QDate(2026, 1, 20), QTime(12, 0)));
    const PriceWarn& warning = windows->monthPriceWarn();
    tickSeconds(29); // 3,00 + 0,97
    EXPECT_FALSE(warning.isVisible());
    tickSeconds(1); // 3,00 + 1,00
    EXPECT_TRUE(warning.isVisible());
    EXPECT_EQ(warning.Test->text(),
        u"Månedens forbrug er nu 4,00 kr og har dermed \noversteget det specificerede max (4 kr)"_s);
    EXPECT_FALSE(windows->priceWarn().isVisible());
    EXPECT_TRUE(prompter.shown().empty());
}

} // namespace
} // namespace ringtally
