#include "dialing/Dialup.h"

#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "dialing/DialupServices.h"
#include "localisation/StringTable.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDialControl.h"
#include "fakes/FakeDialUpNetwork.h"
#include "fakes/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using test::FakeClock;
using test::FakeDialControl;
using test::FakeDialUpNetwork;
using test::ScriptedPrompter;
using test::TempFolder;

const QString kBusyText = u"The line is busy."_s;

class RecordingServices : public DialupServices {
public:
    void HangUpAll() override { calls << u"HangUpAll"_s; }
    bool IsOnline() const override { return online; }
    void playEventSound(const QString& event) override { calls << u"sound "_s + event; }
    void RunStartList(bool connected, bool force) override
    {
        calls << u"RunStartList %1 %2"_s.arg(int(connected)).arg(int(force));
        windowShownAtStartList = window && window->isVisible();
    }
    void LaegPaa(const QString& mode) override { calls << u"LaegPaa "_s + mode; }
    void startMeterTimer() override { calls << u"startMeter"_s; }
    void stopMeterTimer() override { calls << u"stopMeter"_s; }
    void setStatusCaption(const QString& caption) override { calls << u"caption "_s + caption; }

    QStringList calls;
    bool online = true;
    QWidget* window = nullptr;
    bool windowShownAtStartList = true;
};

class DialupTest : public ::testing::Test {
protected:
    Dialup& make(int language = 0)
    {
        state.settings.Language = quint8(language);
        network.knowErrors(
            { { 676, kBusyText }, { 680, u"No dial tone."_s }, { 760, u"The line is in use."_s } });
        control.setPhoneNumber(u"555"_s);
        window
            = std::make_unique<Dialup>(state, settings, control, network, services, prompter, clock, strings);
        services.window = window.get();
        return *window;
    }
    // A dial under way, as the main window starts it.
    Dialup& dialing(int redialNumber = 0, int redialInterval = 0)
    {
        store(u"Redial number"_s, redialNumber);
        store(u"Redial interval"_s, redialInterval);
        Dialup& w = make();
        state.meter.GlblOnline = 1;
        w.startDialing(u"Tele"_s);
        services.calls.clear();
        return w;
    }
    void store(const QString& key, const IniValue& value)
    {
        ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, key, value).ok());
    }
    QString stored(const QString& key) const
    {
        return settings.ReadIni(u"Configuration"_s, key, u"missing"_s);
    }
    QStringList lines() const
    {
        QStringList all;
        for (int i = 0; i < window->List1->count(); ++i)
            all << window->List1->item(i)->text();
        return all;
    }

    TempFolder temp;
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    ProfileFile profile { temp.file(u"Ringtally.ini"_s) };
    SettingsFile settings { profile, danish };
    StringTable strings = StringTable::english();
    ProgramState state;
    FakeClock clock;
    ScriptedPrompter prompter;
    FakeDialControl control;
    FakeDialUpNetwork network;
    RecordingServices services;
    std::unique_ptr<Dialup> window;
};

TEST_F(DialupTest, StatusTextsSetTheStatusLineSoundAndHangUpByTheTable)
{
    struct Case {
        qint32 value;
        QString text;
        QString danishLine; // "before": the line is left as it was
        QStringList calls;
        int hangUps;
    };
    const QList<Case> cases {
        { 0, u"Open Port"_s, u"Åbner port"_s, {}, 0 },
        { 4, u"All Devices Connected"_s, u"before"_s, {}, 0 },
        { 14, u"Authenticated :-)"_s, u"Brugernavn og password accepteret"_s, {}, 0 },
        { 4099, u"PasswordExpired"_s, u"before"_s, {}, 0 },
        { 8192, u"Connected"_s, u"Tilsluttet"_s, {}, 0 },
        { 680, u"No dial tone."_s, u"No dial tone."_s, { u"sound Error"_s }, 0 },
        { 760, u"The line is in use."_s, u"The line is in use."_s, { u"sound Error"_s }, 0 },
        { 700, u"Unknown error!"_s, u"Unknown error!"_s, { u"sound Error"_s }, 0 },
        { 800, u"RAS Error 800"_s, u"Der opstod en fejl under opkaldet"_s, {}, 1 },
    };
    for (const int language : { 0, 1 }) {
        for (const Case& c : cases) {
            Dialup& w = make(language);
            control.hangUps = 0;
            services.calls.clear();
            w.Stat->setText(u"before"_s);
            EXPECT_EQ(w.GetStatus(c.value), c.text) << c.value;
            // In English the line is the text itself.
            const QString line = language > 0 ? c.text : c.danishLine;
            EXPECT_EQ(w.Stat->text(), line) << c.value << " language " << language;
            if (line != u"before"_s) {
                EXPECT_EQ(w.windowTitle(), line);
            }
            EXPECT_EQ(services.calls, c.calls) << c.value;
            EXPECT_EQ(control.hangUps, c.hangUps) << c.value;
        }
    }
}

TEST_F(DialupTest, ADisconnectWithoutErrorIsListedAndBoxedOnce)
{
    Dialup& w = dialing();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.Stat->text(), u"Åbner port"_s);
    prompter.answerNext(PromptAnswer::Ok);
    emit control.RasDial_Status(RasConnState::Disconnected, 0);
    EXPECT_EQ(lines(),
        (QStringList {
            u"Calling Tele at 555"_s, u"Open Port"_s, u"Disconnected"_s, u"Unable to connect Open Port"_s }));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].text, u"Disconnected!!!"_s);
    EXPECT_EQ(control.hangUps, 1);

    // What the control says after the dial ended is not the dial's.
    emit control.RasDial_Status(RasConnState::Disconnected, 0);
    EXPECT_EQ(lines().size(), 4);
}

TEST_F(DialupTest, AFailedDialShowsTheErrorOnceAndAnUnknownOneHangsUp)
{
    struct Case {
        qint32 error;
        QString text, line;
        int sounds, hangUps;
    };
    for (const Case& c : { Case { 680, u"No dial tone."_s, u"No dial tone."_s, 1, 1 },
             Case { 800, u"RAS Error 800"_s, u"Der opstod en fejl under opkaldet"_s, 0, 2 } }) {
        Dialup& w = dialing();
        control.hangUps = 0;
        emit control.RasDial_Status(RasConnState::Disconnected, c.error);
        EXPECT_EQ(lines().mid(2), (QStringList { c.text, u"Unable to connect "_s + c.text }));
        EXPECT_EQ(w.Stat->text(), c.line);
        EXPECT_EQ(services.calls.count(u"sound Error"_s), c.sounds);
        EXPECT_EQ(control.hangUps, c.hangUps);
        EXPECT_TRUE(prompter.shown().isEmpty());
    }
}

TEST_F(DialupTest, CallAgainRedialsInASeriesAndStartsANewOneAfterFive)
{
    Dialup& w = dialing();
    clock.advanceMs(7000);
    QTest::mouseClick(w.Call_again, Qt::LeftButton);
    QTest::mouseClick(w.Call_again, Qt::LeftButton);
    EXPECT_EQ(lines().mid(2),
        (QStringList { u"**********"_s, u"1. redial"_s, u"Open Port"_s, u"**********"_s, u"2. redial"_s,
            u"Open Port"_s }));
    EXPECT_EQ(w.RedialCount(), 3);
    EXPECT_EQ(control.dials.size(), 3);
    EXPECT_EQ(state.meter.CallStart, QDateTime(QDate(2026, 1, 5), QTime(12, 0, 7)));
    EXPECT_EQ(services.calls.count(u"startMeter"_s), 2);

    for (int press = 3; press <= 5; ++press)
        w.Call_again_Click();
    EXPECT_EQ(w.RedialCount(), 6);
    w.Call_again_Click();
    EXPECT_EQ(lines(), QStringList { u"Open Port"_s });
    EXPECT_EQ(w.RedialCount(), 1);
}

TEST_F(DialupTest, ABusyLineCountsDownRedialsAndGivesUp)
{
    Dialup& w = dialing(2, 1);
    for (int busy = 1; busy <= 3; ++busy) {
        emit control.RasDial_Status(RasConnState::Disconnected, 676);
        ASSERT_TRUE(w.Reconnect.isActive()) << busy;
        w.Reconnect_Timer();
        if (busy == 3)
            break;
        // Each busy answer counts down from the whole interval.
        EXPECT_EQ(w.Stat->text(), u"Prøver igen om 1 sekunder"_s);
        w.Reconnect_Timer();
        EXPECT_EQ(w.Stat->text(), u"Prøver igen om 0 sekunder"_s);
        w.Reconnect_Timer();
        EXPECT_FALSE(w.Reconnect.isActive());
        EXPECT_EQ(lines().mid(lines().size() - 3),
            (QStringList { u"**********"_s, u"%1. redial"_s.arg(busy), u"Open Port"_s }));
    }
    EXPECT_EQ(w.Stat->text(), u"Opkald opgivet"_s);
    EXPECT_FALSE(w.Reconnect.isActive());
    EXPECT_EQ(control.dials.size(), 3);
    EXPECT_TRUE(services.calls.contains(u"stopMeter"_s));
}

TEST_F(DialupTest, BusyRedialsEndAlsoBeyondASeriesOfFive)
{
    Dialup& w = dialing(7, 0);
    for (int tick = 0; tick < 100 && !w.Stat->text().startsWith(u"Opkald"); ++tick) {
        if (!w.Reconnect.isActive())
            emit control.RasDial_Status(RasConnState::Disconnected, 676);
        w.Reconnect_Timer();
    }
    EXPECT_EQ(w.Stat->text(), u"Opkald opgivet"_s);
    EXPECT_EQ(control.dials.size(), 8);
}

TEST_F(DialupTest, HangingUpOrClosingEndsTheCallWithoutALog)
{
    for (const bool close : { false, true }) {
        Dialup& w = dialing(1, 5);
        emit control.RasDial_Status(RasConnState::Disconnected, 676);
        control.hangUps = 0;
        if (close)
            w.close();
        else
            QTest::mouseClick(w.Hang_up, Qt::LeftButton);
        EXPECT_EQ(services.calls, (QStringList { u"sound Error"_s, u"HangUpAll"_s, u"LaegPaa NoLog"_s }));
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(w.Reconnect.isActive());
        EXPECT_EQ(w.RedialCount(), 6);
        EXPECT_EQ(control.hangUps, 1);
        EXPECT_NE(stored(u"Dialup Top Cord"_s), u"missing"_s);
        ASSERT_TRUE(settings.DeleteIni(u"Configuration"_s, u"Dialup Top Cord"_s, false).ok());
    }
}

TEST_F(DialupTest, TheConnectedTickHidesTheWindowBeforeTheStartList)
{
    for (const quint8 autoLog : { 0, 1 }) {
        Dialup& w = dialing();
        state.settings.AutoLogOnHangup = autoLog;
        emit control.RasDial_Status(RasConnState::Connected, 0);
        ASSERT_TRUE(w.Timer1.isActive());
        services.calls.clear();
        w.Timer1_Timer();
        EXPECT_EQ(services.calls,
            (QStringList { u"sound Connect"_s, u"caption Ringtally - Online"_s, u"RunStartList 1 0"_s }));
        EXPECT_FALSE(services.windowShownAtStartList);
        EXPECT_FALSE(w.Timer1.isActive());
        EXPECT_EQ(w.Disconnected.isActive(), autoLog != 0);
        EXPECT_EQ(stored(u"Dialup Left Cord"_s), QString::number(w.x() * 15));
    }
}

TEST_F(DialupTest, TheLineWatchLogsACallWhoseLineDropped)
{
    Dialup& w = dialing();
    w.setLineWatch(true);
    w.Disconnected_Timer();
    services.online = false;
    w.Disconnected_Timer();
    EXPECT_EQ(services.calls, QStringList { u"LaegPaa Log"_s });
    EXPECT_FALSE(w.Disconnected.isActive());
}

TEST_F(DialupTest, ADoubleClickCopiesTheDetailListLineByLine)
{
    Dialup& w = dialing();
    w.Details_Click();
    QTest::mouseDClick(w.List1->viewport(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"Calling Tele at 555\r\nOpen Port\r\n"_s);
}

TEST_F(DialupTest, DetailsOpenAndCloseInTheWindowsLanguageAndStayAsLeft)
{
    Dialup& english = make(1);
    EXPECT_EQ(english.OpkStat->text(), u"Call state:"_s);
    EXPECT_EQ(english.Details->text(), u"&Details >>>"_s);
    const int closedHeight = english.height();
    QTest::mouseClick(english.Details, Qt::LeftButton);
    EXPECT_EQ(english.Details->text(), u"<<< &Details"_s);
    EXPECT_GT(english.height(), closedHeight);
    EXPECT_EQ(stored(u"Dialup Detail visible"_s), u"1"_s);

    Dialup& danish = make(0);
    EXPECT_TRUE(danish.detailsOpen());
    EXPECT_EQ(danish.Details->text(), u" <<< &Detaljer"_s);
    danish.Details_Click();
    EXPECT_EQ(danish.Details->text(), u"&Detaljer >>>"_s);
    EXPECT_EQ(stored(u"Dialup Detail visible"_s), u"0"_s);
}

} // namespace
} // namespace ringtally
