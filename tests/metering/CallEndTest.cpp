#include "metering/CallEnd.h"
#include "metering/PriceEngine.h"

#include "fakes/FakeClock.h"
#include "fakes/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;
using ringtally::test::FakeClock;
using ringtally::test::ScriptedPrompter;
using ringtally::test::TempFolder;

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
    void SkiftPopupMenu() override { steps << u"tray offline"_s; }
    void stopTimers() override { steps << u"stop timers"_s; }
    void hideStatusWindow() override { steps << u"hide status window"_s; }
    void playEventSound(const QString& event) override { steps << u"sound "_s + event; }
    void HangUpAll() override { steps << u"hang up all"_s; }
    Status removeCheckpoint() override
    {
        ++checkpointsRemoved;
        return Status::success();
    }

    QStringList steps;
    int checkpointsRemoved = 0;
};

class NoEvents : public MeterEvents {
public:
    Status appendSplitLine(const QString&) override { return Status::success(); }
    void storeCheckpoint(const CallCheckpoint&) override { }
    void showPriceWarning() override { }
    void setTaskbarText(const QString&) override { }
    void reportTickError(int, const QString&) override { }
};

// The meter stops first, before anything that can show a box.
const QStringList kOfflineSteps
    = u"stop timers|close programs|disable hang-up items|store position|"
      "hide task-bar window|floating hide timer|hide dial window|hang up dial control|"
      "caption Ringtally - Offline|tray offline|hide status window|sound Disconnect|"
      "hang up all"_s.split(u'|');

// The day's date, hours, minutes and price, then the total's hours, minutes and price.
auto dayAndTotal(const Settings& s)
{
    return std::tuple(s.LastCallDate, int(s.LastCallHours), int(s.LastCallMinutes), s.LastCallPrice,
        int(s.TotalHours), int(s.TotalMinutes), s.TotalPrice);
}

class CallEndTest : public ::testing::Test {
protected:
    CallEndTest()
    {
        state.meter.GlblOnline = 1;
        StatusTexts& t = state.texts;
        t = StatusTexts::initial(danish, QString(), QString());
        t.Opkaldstypelbl = u"Tele"_s;
        // A call of 1 minute 59 seconds: the tick shows whole minutes only.
        std::tie(t.NuvTimer, t.NuvMinutter, t.NuvPris, t.DagTimer, t.DagMinutter, t.DagPris, t.TotTimer,
            t.TotMinutter, t.TotPris)
            = std::tuple(
                u"00"_s, u"01"_s, u"1,24"_s, u"01"_s, u"31"_s, u"11,24"_s, u"100"_s, u"01"_s, u"1001,24"_s);
        t.setSek(u"59"_s);
        std::tie(state.settings.TotalHours, state.settings.TotalMinutes, state.settings.TotalPrice)
            = std::tuple(99, 59, 1000.0);
    }
    QByteArray logContents() const
    {
        QFile file(log.path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    Settings stored() const
    {
        ProfileFile reread(profile.path());
        Settings s;
        SettingsFile(reread, danish).LoadSettings(s);
        return s;
    }
    // Expects the one box the call end showed.
    void expectBox(const QString& title, const QString& textStart)
    {
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_EQ(prompter.shown()[0].title, title);
        EXPECT_TRUE(prompter.shown()[0].text.startsWith(textStart)) << prompter.shown()[0].text.toStdString();
    }

    TempFolder temp;
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    ProfileFile profile { temp.file(u"Ringtally.ini"_s) };
    SettingsFile settings { profile, danish };
    CallLog log { temp.file(u"Ringtally.log"_s) };
    FakeClock clock { QDateTime(QDate(2026, 1, 6), QTime(0, 5, 9)) };
    ScriptedPrompter prompter;
    RecordingSteps steps;
    ProgramState state;
    CallEnd callEnd { state, settings, log, clock, prompter, steps };
};

} // namespace

TEST_F(CallEndTest, ALoggedCallStoresTheShownFiguresAndLogsOneLine)
{
    QString mode = u"Log"_s;
    callEnd.LaegPaa(mode);
    EXPECT_EQ(mode, u"NoLog"_s);
    // The last 59 seconds are not counted.
    EXPECT_EQ(dayAndTotal(stored()), std::tuple(QDate(2026, 1, 6), 1, 31, 11.24, 100, 1, 1001.24));
    EXPECT_EQ(logContents(),
        QByteArray("#2026-01-06 00:05:09#,\"Tele\",\"00\",\"01\",\"1,24\",\"01\",\"31\",\"11,24\"\r\n"));
    EXPECT_EQ(steps.steps, kOfflineSteps);
    EXPECT_EQ(state.meter.GlblOnline, 0);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(CallEndTest, ModesInAnyCaseAndNothingForOtherTexts)
{
    for (const auto& [mode, logs] : { std::pair { u"log"_s, true }, { u"LOG"_s, true }, { u"NoLog"_s, false },
             { u"NOLOG"_s, false }, { u"nolog"_s, false } }) {
        QFile::remove(log.path());
        QFile::remove(profile.path());
        steps.steps.clear();
        steps.checkpointsRemoved = 0;
        state.meter.GlblOnline = 1;
        callEnd.LaegPaa(mode);
        EXPECT_EQ(QFile::exists(log.path()), logs) << mode.toStdString();
        EXPECT_EQ(QFile::exists(profile.path()), logs) << mode.toStdString();
        EXPECT_EQ(steps.steps, kOfflineSteps) << mode.toStdString();
        EXPECT_EQ(steps.checkpointsRemoved, 1) << mode.toStdString(); // logged or dropped
    }
    steps.steps.clear();
    state.meter.GlblOnline = 1;
    for (const QString& mode : { u""_s, u"Logg"_s, u"no log"_s, u"Hang up"_s })
        callEnd.LaegPaa(mode);
    EXPECT_TRUE(steps.steps.isEmpty());
    EXPECT_EQ(state.meter.GlblOnline, 1);
}

TEST_F(CallEndTest, ALogThatCannotBeWrittenGivesTwoFileErrorsAndTheCallStillEnds)
{
    ASSERT_TRUE(QDir().mkpath(log.path())); // a folder where the log should be
    prompter.answerNext(PromptAnswer::Ok);
    prompter.answerNext(PromptAnswer::Ok);
    callEnd.LaegPaa(u"Log"_s);
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(prompter.shown()[0].title, u"Filfejl:"_s);
    EXPECT_TRUE(prompter.shown()[0].text.startsWith(u"Fejl nr. 75 opstod\n"_s));
    EXPECT_TRUE(prompter.shown()[1].text.startsWith(u"Fejl nr. 61 opstod\n"_s));
    EXPECT_EQ(stored().TotalPrice, 1001.24); // saved all the same
    // The meter stopped before the boxes; the rest of the call end comes after them.
    const QStringList afterBoxes = kOfflineSteps.mid(1);
    EXPECT_EQ(steps.steps.first(), u"stop timers"_s);
    EXPECT_TRUE(steps.steps.contains(u"sound Error"_s));
    EXPECT_EQ(steps.steps.mid(steps.steps.size() - afterBoxes.size()), afterBoxes);
}

TEST_F(CallEndTest, AFailedSaveIsShownAndTheLineIsStillLogged)
{
    ASSERT_TRUE(settings.WriteIni(u"Total"_s, u"Price"_s, 1000.0).ok());
    QFile::setPermissions(profile.path(), QFileDevice::ReadOwner);
    prompter.answerNext(PromptAnswer::Ok);
    callEnd.LaegPaa(u"Log"_s);
    expectBox(u"Filfejl:"_s, u"Fejl nr. 75 opstod\n"_s);
    EXPECT_TRUE(prompter.shown()[0].text.contains(u"Ringtally.ini"_s));
    EXPECT_FALSE(logContents().isEmpty());
    EXPECT_EQ(state.meter.GlblOnline, 0);
}

TEST_F(CallEndTest, AnEndedCallIsNeitherLoggedNorStoredAgain)
{
    callEnd.LaegPaa(u"Log"_s);
    const QByteArray loggedOnce = logContents();
    // The user resets the totals; a late second hang-up (the line watch after a manual one, a
    // menu left open across a line drop) must not bring the call back.
    ASSERT_TRUE(settings.WriteIni(u"Total"_s, u"Price"_s, 0.0).ok());
    steps.steps.clear();
    callEnd.LaegPaa(u"NoLog"_s);
    callEnd.LaegPaa(u"Log"_s);
    EXPECT_EQ(logContents(), loggedOnce);
    EXPECT_EQ(stored().TotalPrice, 0);
    EXPECT_EQ(steps.steps, kOfflineSteps + kOfflineSteps); // it still goes offline
    EXPECT_EQ(steps.checkpointsRemoved, 1); // by the end of the metered call only
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
        callEnd.LaegPaa(u"Log"_s);
        const auto [hours, minutes, price] = day;
        EXPECT_EQ(
            dayAndTotal(stored()), std::tuple(QDate(2026, 1, 6), hours, minutes, price, 100, 1, 1001.24));
    }
    EXPECT_EQ(logContents(),
        QByteArray("#2026-01-06 00:05:09#,\"\",\"00\",\"00\",\"0,00\",\"01\",\"31\",\"11,24\"\r\n"
                   "#2026-01-06 00:05:09#,\"\",\"00\",\"00\",\"0,00\",\"00\",\"00\",\"0,00\"\r\n"));
}

TEST_F(CallEndTest, ACounterThatDoesNotFitIsReportedAndKept)
{
    state.texts.TotTimer = u"40000"_s;
    prompter.answerNext(PromptAnswer::Ok);
    callEnd.LaegPaa(u"Log"_s);
    expectBox(u"Advarsel!"_s, u"Fejl nr. 6 opstod\n"_s);
    EXPECT_TRUE(prompter.shown()[0].text.contains(u"40000"_s));
    // The old hour counter; the other figures are taken over.
    EXPECT_EQ(dayAndTotal(stored()), std::tuple(QDate(2026, 1, 6), 1, 31, 11.24, 99, 1, 1001.24));
}
