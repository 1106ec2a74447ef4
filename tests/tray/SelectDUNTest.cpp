#include "tray/SelectDUN.h"

#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "launcher/StartList.h"
#include "launcher/WindowTitles.h"
#include "localisation/StringTable.h"
#include "tray/ConnectionWatch.h"
#include "tray/Dialer.h"
#include "tray/RasServices.h"
#include "tray/WatchServices.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDialUpNetwork.h"
#include "fakes/FakeKeyState.h"
#include "fakes/FakeWindowList.h"
#include "fakes/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using namespace test;

// The selection window and the watch that shows it, for the line "Net", which is in no autolog
// entry (entry 1 is another connection's). The fixture plays the main window: its check box
// RunProgramsInList, and Dial, which meters a live line at once.
class SelectDUNTest : public ::testing::Test, public Dialer, public WatchServices, public StartListGate {
protected:
    SelectDUNTest()
    {
        state.settings.Schemes[0].Name = u"A"_s;
        state.settings.Schemes[2].Name = u"C"_s;
        state.settings.NumberOfDUN = 1;
        EXPECT_TRUE(settings.WriteIni(u"Autolog"_s, u"1A"_s, u"Work"_s).ok());
        network.setConnections({ { 1, u"Net"_s } });
    }
    void Dial(qint16 scheme, bool alreadyOnline, quint8 startPrograms) override
    {
        dials.append(u"%1 %2 %3"_s.arg(scheme).arg(int(alreadyOnline)).arg(startPrograms));
        state.meter.GlblOnline = 1;
    }
    bool RunProgramsInList() const override { return ticked; }
    bool splashVisible() const override { return false; }
    bool dialWindowVisible() const override { return false; }
    void PopupHangup_Click() override { }
    void LaegPaa(const QString&) override { }
    void showSelectionWindow() override { window.ask(); }

    void choose(int downs)
    {
        for (int n = 0; n < downs; ++n)
            QTest::keyClick(window.OpkTyper, Qt::Key_Down);
    }
    QString autolog(const QString& key) const { return settings.ReadIni(u"Autolog"_s, key, u"-"_s); }

    bool ticked = false;
    QStringList dials;
    TempFolder temp;
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    ProfileFile profile { temp.file(u"Ringtally.ini"_s) };
    SettingsFile settings { profile, danish };
    ProgramState state;
    FakeClock clock;
    FakeDialUpNetwork network;
    RasServices ras { network, clock };
    ScriptedPrompter prompter;
    const StringTable strings = StringTable::english();
    SelectDUN window { state, settings, ras, *this, *this, prompter, strings };
    FakeWindowList windows;
    WindowTitles titles { windows };
    FakeKeyState keys;
    ConnectionWatch watch { state, settings, ras, titles, keys, *this, *this };
};

TEST_F(SelectDUNTest, EachShowingStartsFreshAndAskingAgainKeepsTheChoice)
{
    watch.KeyBoardDetect_Timer();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.DUNCon->text(), u"Net"_s);
    EXPECT_FALSE(window.DUNCon->isEnabled());
    QStringList items;
    for (int i = 0; i < window.OpkTyper->count(); ++i)
        items.append(window.OpkTyper->itemText(i));
    EXPECT_EQ(items, (QStringList { u" --- "_s, u"A"_s, u"C"_s }));
    choose(2);
    watch.KeyBoardDetect_Timer(); // still unanswered: asked again
    EXPECT_EQ(window.OpkTyper->currentText(), u"C"_s);
    window.close(); // closed without OK: the next tick asks afresh
    watch.KeyBoardDetect_Timer();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.OpkTyper->currentText(), u" --- "_s);
    EXPECT_FALSE(window.LaunchProgs->isEnabled() || window.LaunchProgs->isChecked());
}

TEST_F(SelectDUNTest, AChosenSchemeOffersTheStartListAsTheMainWindowHasIt)
{
    window.ask();
    for (const bool checkBox : { true, false }) {
        ticked = checkBox;
        choose(1);
        EXPECT_TRUE(window.LaunchProgs->isEnabled());
        EXPECT_EQ(window.LaunchProgs->isChecked(), checkBox);
        QTest::keyClick(window.OpkTyper, Qt::Key_Up); // back to " --- "
        EXPECT_FALSE(window.LaunchProgs->isEnabled() || window.LaunchProgs->isChecked()) << checkBox;
    }
}

TEST_F(SelectDUNTest, OkStoresTheAnswerAndTheWatchKeepsToIt)
{
    struct Case {
        int downs;
        QString scheme, launch;
        QStringList dials;
    };
    const Case cases[] = {
        { 2, u"C"_s, u"1"_s, { u"2 1 1"_s } }, // metered at once
        { 0, u" --- "_s, u"0"_s, {} }, // never to be logged
    };
    for (const Case& c : cases) {
        state.settings.NumberOfDUN = 1;
        state.meter.GlblOnline = 0;
        dials.clear();
        ticked = true;
        watch.KeyBoardDetect_Timer();
        choose(c.downs);
        QTest::mouseClick(window.OK, Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(state.settings.NumberOfDUN, 2);
        EXPECT_EQ(settings.ReadIni(u"Configuration"_s, u"Number_of_DUN"_s, u"-"_s), u"2"_s);
        EXPECT_EQ((QStringList { autolog(u"2A"_s), autolog(u"2B"_s), autolog(u"2C"_s) }),
            (QStringList { u"Net"_s, c.scheme, c.launch }));
        watch.KeyBoardDetect_Timer(); // answered: not asked again
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(dials, c.dials) << c.scheme.toStdString();
    }
}

TEST_F(SelectDUNTest, AFailedSaveIsShownAndMeteringStillStarts)
{
    QFile::setPermissions(profile.path(), QFileDevice::ReadOwner);
    prompter.answerNext(PromptAnswer::Ok);
    window.ask();
    choose(1);
    QTest::mouseClick(window.OK, Qt::LeftButton);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].title, u"Filfejl:"_s);
    EXPECT_TRUE(prompter.shown()[0].text.startsWith(u"Fejl nr. 75 opstod\n"_s));
    EXPECT_EQ(state.settings.NumberOfDUN, 1); // the next answer takes the same entry
    EXPECT_EQ(dials, QStringList { u"0 1 0"_s });
}

TEST_F(SelectDUNTest, TextsInTheChosenLanguage)
{
    const QStringList danish { u"Vælg venligst ordning"_s, u"Netværk via modem forbindelse"_s,
        u"skal logges med:"_s, u"&Start programmer i start listen"_s, u"&OK"_s };
    const QStringList english { u"Please select a scheme!"_s, u"DUN connection"_s, u"should be logged with"_s,
        u"&Launch progs in the launch list"_s, u"&Okay"_s };
    for (const quint8 language : { 0, 1 }) {
        state.settings.Language = language;
        const SelectDUN w(state, settings, ras, *this, *this, prompter, strings);
        const QStringList texts { w.windowTitle(), w.DunConLbl->text(), w.LogWithLbl->text(),
            w.LaunchProgs->text(), w.OK->text() };
        EXPECT_EQ(texts, language == 0 ? danish : english);
    }
}

} // namespace
} // namespace ringtally
