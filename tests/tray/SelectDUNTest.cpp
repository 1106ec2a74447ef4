#include "tray/SelectDUN.h"

#include "launcher/StartList.h"
#include "localisation/StringTable.h"

#include "fakes/ScriptedPrompter.h"
#include "support/WatchWorld.h"

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

// The selection window that the watch shows for the line "Net", which is in no autolog entry, with
// the schemes A and C. The fixture plays the main window, whose check box is RunProgramsInList.
class SelectDUNTest : public ::testing::Test, public WatchWorld, public StartListGate {
protected:
    SelectDUNTest()
    {
        state.settings.Schemes[1].Name.clear();
        state.settings.Schemes[2].Name = u"C"_s;
        add(WatchKeys::Autolog, u"Work"_s);
        lineUp(u"Net"_s);
    }
    bool RunProgramsInList() const override { return ticked; }
    void showSelectionWindow() override
    {
        WatchWorld::showSelectionWindow();
        window.ask();
    }
    void choose(int downs)
    {
        for (int n = 0; n < downs; ++n)
            QTest::keyClick(window.OpkTyper, Qt::Key_Down);
    }
    QString autolog(const QString& key) const { return settings.ReadIni(u"Autolog"_s, key, u"-"_s); }

    bool ticked = false;
    ScriptedPrompter prompter;
    const StringTable strings = StringTable::english();
    SelectDUN window { state, settings, ras, *this, *this, prompter, strings };
};

TEST_F(SelectDUNTest, EachShowingStartsFreshAndAskingAgainKeepsTheChoice)
{
    ticked = true;
    tick();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.DUNCon->text(), u"Net"_s);
    EXPECT_EQ(window.OpkTyper->count(), 3); // " --- " and the named schemes, A and C
    choose(2);
    EXPECT_TRUE(window.LaunchProgs->isEnabled() && window.LaunchProgs->isChecked()); // as the main window's
    EXPECT_EQ(tick(), QStringList { u"Select"_s }); // still unanswered: asked again
    EXPECT_EQ(window.OpkTyper->currentText(), u"C"_s);
    window.close(); // closed without OK: the next tick asks afresh
    tick();
    EXPECT_EQ(window.OpkTyper->currentText(), u" --- "_s);
    EXPECT_FALSE(window.LaunchProgs->isEnabled() || window.LaunchProgs->isChecked());
}

TEST_F(SelectDUNTest, OkStoresTheAnswerAndTheWatchKeepsToIt)
{
    const std::tuple<QString, int, bool, QString, QString, QString> cases[] = {
        // the line, downs, the main window's check box, stored scheme and start list, what the tick and OK do
        { u"Net"_s, 2, true, u"C"_s, u"1"_s, u"Select, Dial 2 1 1"_s }, // metered at once
        { u"Dsl"_s, 1, false, u"A"_s, u"0"_s, u"Select, Dial 0 1 0"_s },
        { u"Other"_s, 0, true, u" --- "_s, u"0"_s, u"Select"_s }, // never to be logged
    };
    int entry = 1; // Work's
    for (const auto& [line, downs, checkBox, scheme, launch, expected] : cases) {
        setOnline(false);
        ticked = checkBox;
        lineUp(line);
        tick();
        choose(downs);
        QTest::mouseClick(window.OK, Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(events.join(u", "), expected);
        const QString n = QString::number(++entry);
        EXPECT_EQ(settings.ReadIni(u"Configuration"_s, u"Number_of_DUN"_s, u"-"_s), n);
        EXPECT_EQ((QStringList { autolog(n + u'A'), autolog(n + u'B'), autolog(n + u'C') }),
            (QStringList { line, scheme, launch }));
        EXPECT_EQ(tick(), QStringList()) << line.toStdString(); // answered: not asked again
    }
}

TEST_F(SelectDUNTest, AFailedSaveIsShownAfterMeteringStarts)
{
    QFile::setPermissions(profile.path(), QFileDevice::ReadOwner);
    prompter.answerNext(PromptAnswer::Ok);
    prompter.whileOpen = [&] { EXPECT_EQ(events, QStringList { u"Dial 0 1 0"_s }); };
    window.ask();
    choose(1);
    QTest::mouseClick(window.OK, Qt::LeftButton);
    EXPECT_EQ(prompter.shown().value(0).title, u"Filfejl:"_s); // a second box would fail the test
    EXPECT_TRUE(prompter.shown().value(0).text.startsWith(u"Fejl nr. 75 opstod\n"_s));
    EXPECT_EQ(state.settings.NumberOfDUN, 1); // the next answer takes the same entry
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
