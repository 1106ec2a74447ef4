#include "dialing/Dialup.h"

#include "dialing/DialupServices.h"
#include "localisation/StringTable.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDialControl.h"
#include "fakes/FakeDialUpNetwork.h"
#include "fakes/ScriptedPrompter.h"
#include "support/SettingsWorld.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using namespace test;

// The test plays the program around the window: what the window asks of it lands in `calls`, in order.
class DialupTest : public ::testing::Test, public SettingsWorld, public DialupServices {
protected:
    void HangUpAll() override { calls << u"HangUpAll"_s; }
    bool IsOnline() const override { return online; }
    void playEventSound(const QString& event) override { calls << u"sound "_s + event; }
    void RunStartList(bool connected, bool force) override
    {
        const QString shown = window->isVisible() ? u" shown"_s : QString();
        calls << u"RunStartList %1 %2%3"_s.arg(int(connected)).arg(int(force)).arg(shown);
    }
    void hangUp(bool log) override { calls << u"hangUp %1"_s.arg(log); }
    // As the call's owner: the one call of the test runs while the meter does.
    void dialConnected() override { state.meter.phase = CallPhase::Connected; }
    void dialingAgain() override { state.meter.phase = CallPhase::Dialing; }
    quint64 currentCall() const override { return 1; }
    bool callRunning(quint64 call) const override { return call == 1 && state.meter.GlblOnline == 1; }
    void startMeterTimer() override { calls << u"startMeter"_s; }
    void stopMeterTimer() override { calls << u"stopMeter"_s; }
    void setStatusCaption(const QString& caption) override { calls << u"caption "_s + caption; }

    Dialup& make(int language = 0)
    {
        state.settings.Language = quint8(language);
        network.knowErrors({ { 676, { u"Linjen er optaget."_s, u"The line is busy."_s } },
            { 760, { u"Linjen er i brug."_s, u"The line is in use."_s } } });
        control.setPhoneNumber(u"555"_s);
        window = std::make_unique<Dialup>(state, settings, control, network, *this, prompter, clock, strings);
        calls.clear();
        control.dials.clear();
        control.hangUps = 0;
        return *window;
    }
    // A dial under way, as the main window starts it.
    Dialup& dialing(int redialNumber = 0, int redialInterval = 0, int language = 0)
    {
        EXPECT_TRUE(settings.WriteIni(u"Configuration"_s, u"Redial number"_s, redialNumber).ok());
        EXPECT_TRUE(settings.WriteIni(u"Configuration"_s, u"Redial interval"_s, redialInterval).ok());
        Dialup& w = make(language);
        state.meter.GlblOnline = 1;
        state.meter.phase = CallPhase::Dialing;
        w.startDialing(u"Tele"_s);
        EXPECT_TRUE(w.isVisible());
        calls.clear();
        return w;
    }
    QString stored(const QString& key) const { return settings.ReadIni(u"Configuration"_s, key, {}); }
    QStringList lines() const
    {
        QStringList all;
        for (int i = 0; i < window->detailList->count(); ++i)
            all << window->detailList->item(i)->text();
        return all;
    }

    StringTable strings = StringTable::english();
    FakeClock clock;
    ScriptedPrompter prompter;
    FakeDialControl control;
    FakeDialUpNetwork network;
    QStringList calls;
    bool online = true;
    std::unique_ptr<Dialup> window;
};

TEST_F(DialupTest, StatusTextsSetTheStatusLineSoundAndHangUpByTheTable)
{
    // value, text, Danish status line ("before": left as is; English shows the text), calls, hang-ups
    const std::tuple<qint32, QString, QString, QStringList, int> cases[] = {
        { 0, u"Open Port"_s, u"Åbner port"_s, {}, 0 },
        { 4, u"All Devices Connected"_s, u"before"_s, {}, 0 },
        { 760, u"The line is in use."_s, u"Linjen er i brug."_s, { u"sound Error"_s }, 0 }, // the network's
        { 700, u"Unknown error!"_s, u"Ukendt fejl!"_s, { u"sound Error"_s }, 0 }, // the system's
        { 800, u"RAS Error 800"_s, u"Der opstod en fejl under opkaldet"_s, {}, 1 },
    };
    for (const int language : { 0, 1 }) {
        for (const auto& [value, text, danishLine, asked, hangUps] : cases) {
            Dialup& w = make(language);
            w.Stat->setText(u"before"_s);
            EXPECT_EQ(w.GetStatus(value), text);
            const QString line = language > 0 ? text : danishLine;
            EXPECT_EQ(w.Stat->text(), line) << value << " language " << language;
            EXPECT_EQ(w.windowTitle(), line == u"before"_s ? u"Ringer op..."_s : line);
            EXPECT_EQ(calls, asked) << value;
            EXPECT_EQ(control.hangUps, hangUps) << value;
        }
    }
}

TEST_F(DialupTest, AnEndedDialListsItsErrorOnceAndOnlyAPlainDisconnectShowsABox)
{
    const std::tuple<qint32, QStringList, int, int> cases[] = {
        // error, the lines it adds, sounds, hang-ups
        { 0, { u"Disconnected"_s, u"Unable to connect Open Port"_s }, 0, 1 },
        { 676, { u"The line is busy."_s, u"Unable to connect The line is busy."_s }, 1, 1 },
        { 800, { u"RAS Error 800"_s, u"Unable to connect RAS Error 800"_s }, 0, 2 },
    };
    // The box runs every timer in its event loop: the dial is wound up before it shows.
    prompter.whileOpen = [&] {
        EXPECT_EQ(lines().size(), 4);
        EXPECT_EQ(control.hangUps, 1);
    };
    prompter.answerNext(PromptAnswer::Ok); // for the first case; any other box fails the test
    for (const auto& [error, added, sounds, hangUps] : cases) {
        dialing();
        emit control.statusChanged(RasConnState::Disconnected, error);
        emit control.statusChanged(RasConnState::Disconnected, 0); // after the dial: not the dial's
        EXPECT_EQ(lines(), QStringList({ u"Calling Tele at 555"_s, u"Open Port"_s }) + added) << error;
        EXPECT_EQ(calls.count(u"sound Error"_s), sounds);
        EXPECT_EQ(control.hangUps, hangUps);
        EXPECT_EQ(prompter.unusedAnswers(), 0);
    }
    EXPECT_EQ(prompter.shown().value(0).text, u"Forbindelsen blev afbrudt!!!"_s);
}

TEST_F(DialupTest, CallAgainRedialsInASeriesAndStartsANewOneAfterFive)
{
    Dialup& w = dialing();
    clock.advanceMs(7000);
    QTest::mouseClick(w.Call_again, Qt::LeftButton);
    QTest::mouseClick(w.Call_again, Qt::LeftButton);
    EXPECT_EQ(lines().mid(2).join(u','), u"**********,1. redial,Open Port,**********,2. redial,Open Port"_s);
    EXPECT_EQ(control.dials.size(), 3);
    EXPECT_EQ(state.meter.CallStart, QDateTime(QDate(2026, 1, 5), QTime(12, 0, 7)));
    for (int press = 3; press <= 6; ++press)
        w.onCallAgainClicked();
    EXPECT_EQ(lines(), QStringList { u"Open Port"_s });
    EXPECT_EQ(w.RedialCount(), 1);
    EXPECT_EQ(calls.count(u"startMeter"_s), 6); // the new series too
}

TEST_F(DialupTest, EachBusyAnswerCountsDownAfreshAndTheRedialsEndAtTheRedialNumber)
{
    // Seven redials run on beyond a series of five; any language above zero is English.
    const struct {
        int number, interval, language;
        QString oneSecond, seconds, givenUp;
    } cases[] = {
        { 2, 1, 0, u"Prøver igen om 1 sekund"_s, u"Prøver igen om %1 sekunder"_s, u"Opkald opgivet"_s },
        { 7, 0, 0, {}, u"Prøver igen om %1 sekunder"_s, u"Opkald opgivet"_s },
        { 1, 2, 2, u"Trying again in 1 second"_s, u"Trying again in %1 seconds"_s, u"Dial given up"_s },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.number << " redials, language " << c.language);
        Dialup& w = dialing(c.number, c.interval, c.language);
        for (int busy = 1; busy <= c.number; ++busy) {
            emit control.statusChanged(RasConnState::Disconnected, 676);
            ASSERT_TRUE(w.Reconnect.isActive());
            for (int left = c.interval; left >= 0; --left) {
                w.countDownToRedial();
                EXPECT_EQ(w.Stat->text(), left == 1 ? c.oneSecond : c.seconds.arg(left));
            }
            w.countDownToRedial();
            EXPECT_FALSE(w.Reconnect.isActive());
            EXPECT_EQ(lines().last(3).join(u','), u"**********,%1. redial,Open Port"_s.arg(busy));
        }
        calls.clear();
        emit control.statusChanged(RasConnState::Disconnected, 676);
        w.countDownToRedial();
        EXPECT_EQ(w.Stat->text(), c.givenUp);
        EXPECT_FALSE(w.Reconnect.isActive());
        EXPECT_EQ(calls, (QStringList { u"sound Error"_s, u"stopMeter"_s }));
        EXPECT_EQ(control.dials.size(), c.number + 1);
    }
}

TEST_F(DialupTest, HangingUpOrClosingEndsTheCallWithoutALog)
{
    for (const bool close : { false, true }) {
        Dialup& w = dialing(1, 5);
        emit control.statusChanged(RasConnState::Disconnected, 676); // counting down
        if (close)
            w.close();
        else
            QTest::mouseClick(w.Hang_up, Qt::LeftButton);
        EXPECT_EQ(calls, (QStringList { u"sound Error"_s, u"hangUp 0"_s }));
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(w.Reconnect.isActive());
        EXPECT_EQ(w.RedialCount(), 6); // Call again starts a new series
        EXPECT_EQ(control.hangUps, 1); // the busy dial's end; the call's end hangs up the rest
        EXPECT_FALSE(stored(u"Dialup Top Cord"_s).isEmpty());
        ASSERT_TRUE(settings.DeleteIni(u"Configuration"_s, u"Dialup Top Cord"_s, false).ok());
    }
}

TEST_F(DialupTest, TheConnectedTickHidesTheWindowBeforeTheStartListAndWatchesTheLine)
{
    for (const quint8 autoLog : { 0, 1 }) {
        Dialup& w = dialing();
        state.settings.AutoLogOnHangup = autoLog;
        emit control.statusChanged(RasConnState::Connected, 0);
        ASSERT_TRUE(w.lineUpTimer.isActive());
        w.onLineUp();
        EXPECT_EQ(calls,
            (QStringList { u"sound Connect"_s, u"caption Ringtally - Online"_s, u"RunStartList 1 0"_s }));
        EXPECT_FALSE(w.lineUpTimer.isActive());
        EXPECT_EQ(w.Disconnected.isActive(), autoLog != 0);
        EXPECT_EQ(stored(u"Dialup Left Cord"_s), QString::number(w.x() * 15));
    }
    // The line watch logs the call once its line has dropped, and stops first.
    calls.clear();
    window->checkLineDropped();
    online = false;
    window->checkLineDropped();
    EXPECT_EQ(calls, QStringList { u"hangUp 1"_s });
}

TEST_F(DialupTest, DetailsOpenAndCloseInTheWindowsLanguageStayAsLeftAndCopyOnADoubleClick)
{
    Dialup& english = make(1);
    const int closedHeight = english.height();
    QTest::mouseClick(english.Details, Qt::LeftButton);
    EXPECT_EQ(english.Details->text(), u"<<< &Details"_s);
    EXPECT_GT(english.height(), closedHeight);
    EXPECT_EQ(stored(u"Dialup Detail visible"_s), u"1"_s);
    Dialup& danish = dialing();
    EXPECT_EQ(danish.Details->text(), u" <<< &Detaljer"_s);
    QTest::mouseDClick(danish.detailList->viewport(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"Calling Tele at 555\r\nOpen Port\r\n"_s);
    danish.toggleDetails();
    EXPECT_EQ(danish.Details->text(), u"&Detaljer >>>"_s);
    EXPECT_EQ(stored(u"Dialup Detail visible"_s), u"0"_s);
}

TEST_F(DialupTest, TheWindowKeepsInsideTheScreensFreeAreaAndItsListFollowsTheNewestLine)
{
    // By default it opens at the bottom right of what the panels leave, and opening the list
    // there grows it upwards.
    Dialup& w = dialing();
    const QRect room = w.screen()->availableGeometry();
    EXPECT_EQ(w.frameGeometry().bottomRight(), room.bottomRight());
    QTest::mouseClick(w.Details, Qt::LeftButton);
    EXPECT_EQ(w.frameGeometry().bottomRight(), room.bottomRight());

    for (int i = 0; i < 20; ++i)
        emit control.statusChanged(0, 0);
    const QScrollBar* bar = w.detailList->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    // A place stored on a larger screen is brought back onto this one.
    for (const QString& key : { u"Dialup Left Cord"_s, u"Dialup Top Cord"_s })
        ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, key, 99999).ok());
    EXPECT_TRUE(room.contains(dialing().frameGeometry()));
}

} // namespace
} // namespace ringtally
