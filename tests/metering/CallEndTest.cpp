#include "metering/CallEnd.h"
#include "metering/PriceEngine.h"

#include "fakes/FakeClock.h"
#include "fakes/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace ringtally;
using ringtally::test::FakeClock;
using ringtally::test::ScriptedPrompter;
using ringtally::test::TempFolder;

namespace {

class RecordingSteps : public CallEndSteps {
public:
    void closeStartedPrograms() override { steps << QStringLiteral("close programs"); }
    void disableHangUpItems() override { steps << QStringLiteral("disable hang-up items"); }
    void storeStatusWindowPosition() override { steps << QStringLiteral("store position"); }
    void hideTaskbarWindow() override { steps << QStringLiteral("hide task-bar window"); }
    void startFloatingWindowHideTimer() override { steps << QStringLiteral("floating hide timer"); }
    void hideDialWindow() override { steps << QStringLiteral("hide dial window"); }
    void hangUpDialControl() override { steps << QStringLiteral("hang up dial control"); }
    void setStatusCaption(const QString& caption) override { steps << QStringLiteral("caption ") + caption; }
    void SkiftPopupMenu() override { steps << QStringLiteral("tray offline"); }
    void stopTimers() override { steps << QStringLiteral("stop timers"); }
    void hideStatusWindow() override { steps << QStringLiteral("hide status window"); }
    void playEventSound(const QString& event) override { steps << QStringLiteral("sound ") + event; }
    void HangUpAll() override { steps << QStringLiteral("hang up all"); }

    QStringList steps;
};

// The meter stops first, before anything that can show a box.
class NoEvents : public MeterEvents {
public:
    Status appendSplitLine(const QString&) override { return Status::success(); }
    void showPriceWarning() override { }
    void setTaskbarText(const QString&) override { }
    void reportTickError(int, const QString&) override { }
};

const QStringList kOfflineSteps = { QStringLiteral("stop timers"), QStringLiteral("close programs"),
    QStringLiteral("disable hang-up items"), QStringLiteral("store position"),
    QStringLiteral("hide task-bar window"), QStringLiteral("floating hide timer"),
    QStringLiteral("hide dial window"), QStringLiteral("hang up dial control"),
    QStringLiteral("caption Ringtally - Offline"), QStringLiteral("tray offline"),
    QStringLiteral("hide status window"), QStringLiteral("sound Disconnect"), QStringLiteral("hang up all") };

class CallEndTest : public ::testing::Test {
protected:
    CallEndTest()
    {
        state.meter.GlblOnline = 1;
        StatusTexts& t = state.texts;
        t = StatusTexts::initial(danish, QString(), QString());
        t.Opkaldstypelbl = QStringLiteral("Tele");
        // A call of 1 minute 59 seconds: the tick shows whole minutes only.
        t.NuvTimer = QStringLiteral("00"), t.NuvMinutter = QStringLiteral("01"),
        t.NuvPris = QStringLiteral("1,24");
        t.setSek(QStringLiteral("59"));
        t.DagTimer = QStringLiteral("01"), t.DagMinutter = QStringLiteral("31"),
        t.DagPris = QStringLiteral("11,24");
        t.TotTimer = QStringLiteral("100"), t.TotMinutter = QStringLiteral("01"),
        t.TotPris = QStringLiteral("1001,24");
        state.settings.TotalHours = 99, state.settings.TotalMinutes = 59, state.settings.TotalPrice = 1000;
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

    TempFolder temp;
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    ProfileFile profile { temp.file(QStringLiteral("Ringtally.ini")) };
    SettingsFile settings { profile, danish };
    CallLog log { temp.file(QStringLiteral("Ringtally.log")) };
    FakeClock clock { QDateTime(QDate(2026, 1, 6), QTime(0, 5, 9)) };
    ScriptedPrompter prompter;
    RecordingSteps steps;
    ProgramState state;
    CallEnd callEnd { state, settings, log, clock, prompter, steps };
};

} // namespace

TEST_F(CallEndTest, ALoggedCallStoresTheShownFiguresAndLogsOneLine)
{
    QString mode = QStringLiteral("Log");
    callEnd.LaegPaa(mode);
    EXPECT_EQ(mode, QStringLiteral("NoLog"));

    const Settings s = stored();
    EXPECT_EQ(s.LastCallDate, QDate(2026, 1, 6));
    EXPECT_EQ(s.LastCallHours, 1);
    EXPECT_EQ(s.LastCallMinutes, 31);
    EXPECT_EQ(s.LastCallPrice, 11.24);
    EXPECT_EQ(s.TotalHours, 100);
    EXPECT_EQ(s.TotalMinutes, 1); // the last 59 seconds are not counted
    EXPECT_EQ(s.TotalPrice, 1001.24);
    EXPECT_EQ(logContents(),
        QByteArray("#2026-01-06 00:05:09#,\"Tele\",\"00\",\"01\",\"1,24\",\"01\",\"31\",\"11,24\"\r\n"));
    EXPECT_EQ(steps.steps, kOfflineSteps);
    EXPECT_EQ(state.meter.GlblOnline, 0);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(CallEndTest, ModesInAnyCaseAndNothingForOtherTexts)
{
    for (const char16_t* mode : { u"log", u"LOG" }) {
        QFile::remove(log.path());
        steps.steps.clear();
        state.meter.GlblOnline = 1;
        callEnd.LaegPaa(QString::fromUtf16(mode));
        EXPECT_FALSE(logContents().isEmpty()) << QString::fromUtf16(mode).toStdString();
        EXPECT_EQ(steps.steps, kOfflineSteps);
    }
    QFile::remove(log.path());
    QFile::remove(profile.path());
    for (const char16_t* mode : { u"NoLog", u"NOLOG", u"nolog" }) {
        steps.steps.clear();
        callEnd.LaegPaa(QString::fromUtf16(mode));
        EXPECT_EQ(steps.steps, kOfflineSteps);
    }
    EXPECT_FALSE(QFile::exists(log.path()));
    EXPECT_FALSE(QFile::exists(profile.path()));

    steps.steps.clear();
    state.meter.GlblOnline = 1;
    for (const char16_t* mode : { u"", u"Logg", u"no log", u"Hang up" })
        callEnd.LaegPaa(QString::fromUtf16(mode));
    EXPECT_TRUE(steps.steps.isEmpty());
    EXPECT_EQ(state.meter.GlblOnline, 1);
}

TEST_F(CallEndTest, ALogThatCannotBeWrittenGivesTwoFileErrorsAndTheCallStillEnds)
{
    QFile::remove(log.path());
    ASSERT_TRUE(QDir().mkpath(log.path())); // a folder where the log should be
    prompter.answerNext(PromptAnswer::Ok);
    prompter.answerNext(PromptAnswer::Ok);
    callEnd.LaegPaa(QStringLiteral("Log"));
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(prompter.shown()[0].title, QStringLiteral("Filfejl:"));
    EXPECT_TRUE(prompter.shown()[0].text.startsWith(QStringLiteral("Fejl nr. 75 opstod\n")));
    EXPECT_TRUE(prompter.shown()[1].text.startsWith(QStringLiteral("Fejl nr. 61 opstod\n")));
    EXPECT_EQ(stored().TotalPrice, 1001.24); // saved all the same
    // The meter stopped before the boxes; the rest of the call end comes after them.
    const QStringList afterBoxes = kOfflineSteps.mid(1);
    EXPECT_EQ(steps.steps.first(), QStringLiteral("stop timers"));
    EXPECT_TRUE(steps.steps.contains(QStringLiteral("sound Error")));
    EXPECT_EQ(steps.steps.mid(steps.steps.size() - afterBoxes.size()), afterBoxes);
}

TEST_F(CallEndTest, AFailedSaveIsShownAndTheLineIsStillLogged)
{
    ASSERT_TRUE(settings.WriteIni(QStringLiteral("Total"), QStringLiteral("Price"), 1000.0).ok());
    QFile::setPermissions(profile.path(), QFileDevice::ReadOwner);
    prompter.answerNext(PromptAnswer::Ok);
    callEnd.LaegPaa(QStringLiteral("Log"));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].title, QStringLiteral("Filfejl:"));
    EXPECT_TRUE(prompter.shown()[0].text.contains(QStringLiteral("Ringtally.ini")));
    EXPECT_FALSE(logContents().isEmpty());
    EXPECT_EQ(state.meter.GlblOnline, 0);
}

TEST_F(CallEndTest, AnEndedCallIsNeitherLoggedNorStoredAgain)
{
    callEnd.LaegPaa(QStringLiteral("Log"));
    const QByteArray loggedOnce = logContents();
    // The user resets the totals; a late second hang-up (the line watch after a manual one, a
    // menu left open across a line drop) must not bring the call back.
    ASSERT_TRUE(settings.WriteIni(QStringLiteral("Total"), QStringLiteral("Price"), 0.0).ok());
    steps.steps.clear();
    callEnd.LaegPaa(QStringLiteral("Log"));
    EXPECT_EQ(logContents(), loggedOnce);
    EXPECT_EQ(stored().TotalPrice, 0);
    EXPECT_EQ(steps.steps, kOfflineSteps); // it still goes offline
}

TEST_F(CallEndTest, ACallEndedBeforeItsFirstTickStoresTheFiguresItStartedFrom)
{
    NoEvents events;
    PriceEngine engine(state, clock, danish, events);
    Settings& s = state.settings;
    s.TotalHours = 100, s.TotalMinutes = 1, s.TotalPrice = 1001.24;

    // Earlier today: the day goes on from its figures.
    state.texts = StatusTexts::initial(danish, QString(), QString());
    s.LastCallDate = QDate(2026, 1, 6), s.LastCallHours = 1, s.LastCallMinutes = 31, s.LastCallPrice = 11.24;
    engine.startCall(0);
    callEnd.LaegPaa(QStringLiteral("Log"));
    Settings kept = stored();
    EXPECT_EQ(kept.LastCallMinutes, 31);
    EXPECT_EQ(kept.LastCallPrice, 11.24);
    EXPECT_EQ(kept.TotalHours, 100);
    EXPECT_EQ(kept.TotalPrice, 1001.24);
    EXPECT_TRUE(logContents().endsWith("\"00\",\"00\",\"0,00\",\"01\",\"31\",\"11,24\"\r\n"));

    // The last call was yesterday: today starts from zero, and the total is kept.
    s.LastCallDate = QDate(2026, 1, 5), s.LastCallHours = 2, s.LastCallMinutes = 5, s.LastCallPrice = 9;
    engine.startCall(0);
    callEnd.LaegPaa(QStringLiteral("Log"));
    kept = stored();
    EXPECT_EQ(kept.LastCallDate, QDate(2026, 1, 6));
    EXPECT_EQ(kept.LastCallHours, 0);
    EXPECT_EQ(kept.LastCallMinutes, 0);
    EXPECT_EQ(kept.LastCallPrice, 0);
    EXPECT_EQ(kept.TotalMinutes, 1);
    EXPECT_EQ(kept.TotalPrice, 1001.24);
}

TEST_F(CallEndTest, ACounterThatDoesNotFitIsReportedAndKept)
{
    state.texts.TotTimer = QStringLiteral("40000");
    prompter.answerNext(PromptAnswer::Ok);
    callEnd.LaegPaa(QStringLiteral("Log"));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].title, QStringLiteral("Advarsel!"));
    EXPECT_TRUE(prompter.shown()[0].text.startsWith(QStringLiteral("Fejl nr. 6 opstod\n")));
    EXPECT_TRUE(prompter.shown()[0].text.contains(QStringLiteral("40000")));
    const Settings s = stored();
    EXPECT_EQ(s.TotalHours, 99); // the old counter
    EXPECT_EQ(s.TotalMinutes, 1); // the others are taken over
    EXPECT_EQ(s.TotalPrice, 1001.24);
}
