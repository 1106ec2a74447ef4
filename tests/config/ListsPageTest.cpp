#include "config/ListsPage.h"

#include "config/HolidayList.h"
#include "core/IniDocument.h"
#include "platform/FileAccess.h"
#include "support/ConfigWorld.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include <tuple>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using namespace test;

// A never-logged connection, an auto-connect entry that only meters, a start-list line with
// parameters and one without a title line; a section a row, its lines between bars.
const char kStoredLists[] = R"([Configuration]|Number_of_DUN=2|Number of progs =2|Run progs =1
[Schemes]|0,name=Cheap|2,name=Night
[Autolog]|1A=Work|1B=Cheap|1C=1|2A=Home|2B=" --- "|2C=0
[AutoConnect]|Count=1|1A=Mail|1B=Night|1C=0|1D=1|1E=0
[Runprogs]|Nr.0 data 0=""/usr/bin/mail" -x"|Nr.0 data 1=1|Nr.0 data 2=2|Nr.0 data 3=Mail
|Nr.1 data 0=""/opt/clock" "|Nr.1 data 1=0|Nr.1 data 2=0|Nr.1 data 3=
)";
QByteArray listsFile()
{
    return QByteArray(kStoredLists).replace('|', '\n');
}

class ListsPageTest : public ::testing::Test, public ConfigWorld {
protected:
    void SetUp() override { network.setEntries({ u"Work"_s, u"Home"_s, u"Demo"_s }); }

    // Writes the lists, loads them and fills a page in the chosen language.
    ListsPage& open(bool english = false)
    {
        page.reset();
        EXPECT_TRUE(replaceFileAtomically(temp.file(u"Ringtally.ini"_s), listsFile()).ok());
        settings.LoadSettings(state.settings);
        context.english = english;
        context.words = DisplayWords::make(strings, english);
        page.emplace(context);
        page->fill();
        return *page;
    }
    IniDocument stored() const
    {
        return IniDocument::parse(readWholeFile(temp.file(u"Ringtally.ini"_s)).valueOr({}).bytes);
    }
    // A section's lines as "key=value", in order.
    static QStringList entries(const IniDocument& ini, const QString& section)
    {
        QStringList texts;
        for (const QString& key : ini.keys(section))
            texts.append(key + u'=' + ini.value(section, key).value_or(u"?"_s));
        return texts;
    }

    std::optional<ListsPage> page;
};

TEST_F(ListsPageTest, FillShowsTheWordsAndStoreWritesTheSameKeysBack)
{
    const IniDocument before = IniDocument::parse(listsFile());
    for (const bool english : { false, true }) {
        ListsPage& p = open(english);
        const QString yes = english ? u"yes"_s : u"ja"_s, no = english ? u"no"_s : u"nej"_s;
        EXPECT_EQ(p.AutologListeLbl->text(), english ? u"A&utolog list"_s : u"&Autolog liste"_s);
        EXPECT_EQ(
            lines(p.Autolog[1]) + lines(p.Autolog[2]), (QStringList { u"Cheap"_s, u" --- "_s, yes, no }));
        EXPECT_EQ(lines(p.AutoConnect[2]) + lines(p.AutoConnect[3]), (QStringList { no, yes }));
        EXPECT_EQ(lines(p.Runprogs[0]), (QStringList { uR"("/usr/bin/mail" -x)"_s, uR"("/opt/clock" )"_s }));
        EXPECT_EQ(lines(p.AutoDUNName), (QStringList { u"Work"_s, u"Home"_s, u"Demo"_s }));
        EXPECT_EQ(p.AutoDUNName->currentIndex(), -1);
        EXPECT_TRUE(p.RunProgsOnConnect->isChecked());
        state.settings.NumberOfDUN = state.settings.AutoConnectCount = 9;

        ASSERT_TRUE(p.store().ok());
        const IniDocument after = stored();
        for (const QString& section : before.sectionNames())
            EXPECT_EQ(entries(after, section), entries(before, section));
        EXPECT_EQ(state.settings.NumberOfDUN, 2);
        EXPECT_EQ(state.settings.AutoConnectCount, 1);
    }
}

TEST_F(ListsPageTest, StoreDeletesEmptiedListsAndEndsALineAtAColumnHoldingNeitherWord)
{
    ListsPage& p = open();
    p.Runprogs[0]->setCurrentRow(0);
    EXPECT_EQ(p.StartstateLbl->text(), u"Startes maksimeret"_s);
    p.Autolog[1]->setCurrentRow(0);
    for (QPushButton* remove : { p.Remove, p.Remove, p.removeAutologButton, p.removeAutologButton })
        QTest::mouseClick(remove, Qt::LeftButton);
    for (QLabel* label : { p.StartTimeLbl, p.StartstateLbl, p.DisconnectStateLbl })
        EXPECT_EQ(label->text(), u"-"_s);
    EXPECT_EQ(p.LogEdit->currentIndex(), -1);
    p.AutoConnect[3]->item(0)->setText(u"Ja"_s); // the words match exactly

    ASSERT_TRUE(p.store().ok());
    const IniDocument after = stored();
    EXPECT_EQ(after.keys(u"Runprogs"_s) + after.keys(u"Autolog"_s), QStringList());
    EXPECT_EQ(after.value(u"Configuration"_s, u"Number of progs "_s), u"0"_s);
    EXPECT_EQ(after.value(u"Configuration"_s, u"Number_of_DUN"_s), u"0"_s);
    EXPECT_EQ(entries(after, u"AutoConnect"_s),
        (QStringList { u"Count=1"_s, u"1A=Mail"_s, u"1B=Night"_s, u"1C=0"_s }));
    EXPECT_EQ(state.settings.NumberOfDUN, 0);
}

TEST_F(ListsPageTest, StoredValuesShowAsTheirWords)
{
    const DisplayWords& da = context.words;
    EXPECT_EQ(yesNoWord(u"2"_s, da) + yesNoWord(QString(), da), u"nejnej"_s); // only "1" is yes
    const std::array<QString, 6> cases[] = {
        { u"0"_s, u"0"_s, u"Mail"_s, u"når forbindelsen opnås"_s, u"Startes i normal tilstand"_s,
            u"Programmet lukkes"_s },
        { u"1"_s, u"1"_s, u""_s, u"når der ringes op"_s, u"Startes minimeret"_s,
            u"Programmet lukkes ikke"_s },
        { u"7"_s, u"2"_s, u" "_s, u"når der ringes op"_s, u"Startes maksimeret"_s, u"Programmet lukkes"_s },
    };
    for (const auto& [time, startState, title, timeWord, stateWord, closeWord] : cases) {
        EXPECT_EQ(startTimeWord(time, da), timeWord);
        EXPECT_EQ(startStateWord(startState, da), stateWord);
        EXPECT_EQ(closingWord(title, da), closeWord);
    }
}

TEST_F(ListsPageTest, EditRowsAddOnlyWhenCompleteAndWriteIntoTheSelectedLine)
{
    ListsPage& p = open();
    p.AutoDUNName->setCurrentIndex(2);
    p.LogEdit->setCurrentIndex(2);
    QTest::mouseClick(p.addAutologButton, Qt::LeftButton); // "start programs?" not chosen: nothing added
    p.StartProgsEdit->setCurrentIndex(1);
    QTest::mouseClick(p.addAutologButton, Qt::LeftButton);
    EXPECT_EQ(lines(p.Autolog[0]) + lines(p.Autolog[1]).mid(2),
        (QStringList { u"Work"_s, u"Home"_s, u"Demo"_s, u" --- "_s }));

    // Choosing a line loads the edit row; a choice there changes that line at once.
    p.Autolog[1]->setCurrentRow(0);
    EXPECT_EQ(p.LogEdit->currentText(), u"Cheap"_s);
    p.LogEdit->setCurrentIndex(p.LogEdit->findText(u" --- "_s));
    EXPECT_EQ(p.Autolog[1]->item(0)->text(), u" --- "_s);

    // A connection this system does not have shows no entry rather than another one.
    network.setEntries({ u"Home"_s });
    p.fill();
    p.Autolog[0]->setCurrentRow(0);
    EXPECT_EQ(p.AutoDUNName->currentIndex(), -1);

    // The title follows the typing; emptied and left, the line goes from all five columns.
    p.AutoConnect[0]->setCurrentRow(0);
    QTest::keyClicks(p.AutoConnectEditTitel, u"er"_s);
    EXPECT_EQ(p.AutoConnect[0]->item(0)->text(), u"Mailer"_s);
    type(p.AutoConnectEditTitel, QString());
    leave(p.AutoConnectEditTitel);
    for (const QListWidget* column : p.AutoConnect)
        EXPECT_EQ(column->count(), 0);

    p.AutoConnectEditTitel->setText(u"Chat"_s);
    for (size_t i = 1; i <= 4; ++i)
        p.AutoConnectEdit[i]->setCurrentIndex(i == 1 ? 1 : 0);
    QTest::mouseClick(p.addAutoConnectButton, Qt::LeftButton);
    EXPECT_EQ(lines(p.AutoConnect[1]) + lines(p.AutoConnect[4]), (QStringList { u"Night"_s, u"ja"_s }));
}

TEST_F(ListsPageTest, SchemeCombosFollowTheNamesAndKeepAChoiceThatStillExists)
{
    ListsPage& p = open();
    p.LogEdit->setCurrentIndex(1);
    p.AutoConnectEdit[1]->setCurrentIndex(0);
    state.settings.Schemes[0].Name = u"Day"_s;
    state.settings.Schemes[1].Name = u"Evening"_s;
    p.refillSchemeCombos();
    EXPECT_EQ(lines(p.LogEdit), (QStringList { u"Day"_s, u"Evening"_s, u"Night"_s, u" --- "_s }));
    EXPECT_EQ(p.LogEdit->currentText(), u"Night"_s);
    EXPECT_EQ(lines(p.AutoConnectEdit[1]), (QStringList { u"Day"_s, u"Evening"_s, u"Night"_s }));
    EXPECT_EQ(p.AutoConnectEdit[1]->currentIndex(), -1); // "Cheap" is gone
}

// The holiday list as a user drives it, from the Danish list a file without holidays gives.
TEST_F(ListsPageTest, HolidaysAreAddedChangedRemovedAndPutBackFromTheEditRowAndStoredAsShown)
{
    HolidayList& h = *open().holidayList;
    page->show();
    const auto shown = [&h] {
        QStringList texts;
        for (int i = 0; i < h.lines->topLevelItemCount(); ++i)
            texts.append(h.lines->topLevelItem(i)->text(0) + u' ' + h.lines->topLevelItem(i)->text(1));
        return texts;
    };
    const auto edit = [&h](const QString& rule, const QString& name) {
        type(h.ruleEdit, rule);
        type(h.nameEdit, name);
    };
    EXPECT_EQ(shown().mid(2, 4),
        (QStringList { u"Påske-2 Langfredag"_s, u"Påske Påskedag"_s, u"Påske+1 2. påskedag"_s,
            u"Påske+39 Kristi himmelfartsdag"_s }));

    // What cannot be used is refused with the reason, by the button or by Enter.
    edit(u"31.04"_s, u"Forkert"_s);
    QTest::mouseClick(h.addButton, Qt::LeftButton);
    EXPECT_EQ(h.messageLabel->text(), u"Datoen 31.04 findes ikke."_s);
    edit(u"e+39"_s, u"Himmelfart"_s);
    QTest::keyClick(h.nameEdit, Qt::Key_Return);
    EXPECT_EQ(h.messageLabel->text(), u"Påske+39 står allerede på listen som Kristi himmelfartsdag."_s);
    EXPECT_EQ(shown().size(), 10);

    // Enter adds a line and empties the row for the next.
    edit(u"5.6"_s, u"Grundlovsdag"_s);
    QTest::keyClick(h.nameEdit, Qt::Key_Return);
    EXPECT_EQ(shown().last(), u"05.06 Grundlovsdag"_s);
    EXPECT_EQ(h.ruleEdit->text() + h.nameEdit->text() + h.messageLabel->text(), QString());

    // The clicked line shows its days: Easter Sunday is 5 April 2026 and 28 March 2027.
    QTreeWidgetItem* ascension = h.lines->topLevelItem(5);
    h.lines->scrollToItem(ascension);
    QTest::mouseClick(h.lines->viewport(), Qt::LeftButton, {}, h.lines->visualItemRect(ascension).center());
    EXPECT_EQ(h.ruleEdit->text() + u'|' + h.daysLabel->text(), u"Påske+39|2026: 14.05 · 2027: 06.05"_s);
    type(h.nameEdit, u"Kr. himmelfart"_s);
    QTest::mouseClick(h.changeButton, Qt::LeftButton);
    EXPECT_EQ(shown()[5], u"Påske+39 Kr. himmelfart"_s);
    QTest::mouseClick(h.removeButton, Qt::LeftButton);
    EXPECT_EQ(shown()[5], u"Påske+49 Pinsedag"_s);
    EXPECT_FALSE(h.removeButton->isEnabled());

    std::vector<Holiday> edited = danishHolidays();
    edited.erase(edited.begin() + 5);
    edited.push_back({ u"Grundlovsdag"_s, 5, 6, 0 });
    ASSERT_TRUE(page->store().ok());
    EXPECT_EQ(state.settings.Holidays, edited);
    QTest::mouseClick(h.danishButton, Qt::LeftButton);
    ASSERT_TRUE(page->store().ok());
    EXPECT_EQ(state.settings.Holidays, danishHolidays());
}

// The add/edit program dialog over the page, on a folder of programs of every kind.
class AddProgTest : public ListsPageTest {
protected:
    void SetUp() override
    {
        ListsPageTest::SetUp();
        QDir(programs.path()).mkdir(u"sub"_s);
        for (const QString& name : { u"app.desktop"_s, u"notes.txt"_s, u"old.lnk"_s, u"run.sh"_s, u"tool"_s })
            EXPECT_TRUE(replaceFileAtomically(programs.file(name), {}).ok());
        QFile::setPermissions(
            programs.file(u"tool"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        dialog = &open().addProg();
        ASSERT_TRUE(dialog->setFolder(programs.path()));
    }
    void pick(const QString& name)
    {
        const QList<QListWidgetItem*> found = dialog->fileList->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        dialog->fileList->setCurrentItem(found.front());
    }

    TempFolder programs;
    AddProg* dialog = nullptr;
};

TEST_F(AddProgTest, TheFileTypeChoosesTheFilesShown)
{
    const QStringList shown[] = { { u"run.sh"_s, u"tool"_s }, { u"app.desktop"_s, u"old.lnk"_s },
        { u"app.desktop"_s, u"notes.txt"_s, u"old.lnk"_s, u"run.sh"_s, u"tool"_s } };
    for (int type = 0; type < 3; ++type) {
        dialog->fileTypeBox->setCurrentIndex(type);
        EXPECT_EQ(lines(dialog->fileList), shown[type]) << type;
    }
    EXPECT_EQ(dialog->folderList->item(dialog->folderList->count() - 1)->text().trimmed(), u"sub"_s);
}

TEST_F(AddProgTest, APickedFileAndItsParametersMakeTheCommandLineAndAShortcutStartsNormal)
{
    EXPECT_EQ(programPath(u"/"_s, u"run.sh"_s), u"/run.sh"_s); // the root gives no doubled "/"
    EXPECT_TRUE(isShortcut(uR"("/mnt/c/Start.LNK" )"_s));

    state.ResetOnActivate = true;
    page->onAddProgramClicked();
    EXPECT_FALSE(state.ResetOnActivate);
    EXPECT_TRUE(dialog->isVisible());
    dialog->fileTypeBox->setCurrentIndex(int(FileType::AllFiles));
    dialog->StartState->setCurrentIndex(2);
    pick(u"app.desktop"_s);
    EXPECT_FALSE(dialog->StartState->isEnabled());
    EXPECT_EQ(dialog->StartState->currentIndex(), 0);
    pick(u"tool"_s);
    EXPECT_TRUE(dialog->StartState->isEnabled());
    const QString quoted = u'"' + programs.file(u"tool"_s) + u'"';
    EXPECT_EQ(dialog->Commandline->text(), quoted + u' ');
    QTest::keyClicks(dialog->CommandlineParameter, u"-a b"_s);
    EXPECT_EQ(dialog->Commandline->text(), quoted + u" -a b"_s);
    dialog->StartTime->setCurrentIndex(1);
    dialog->Titleline->setText(u"Tool"_s);
    QTest::mouseClick(dialog->OK, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    QStringList added;
    for (const QListWidget* column : page->Runprogs)
        added.append(lines(column).last());
    EXPECT_EQ(added, (QStringList { quoted + u" -a b"_s, u"1"_s, u"0"_s, u"Tool"_s }));
}

TEST_F(AddProgTest, EditingSplitsTheLineAndOkUnchangedStoresItAgain)
{
    const std::tuple<QString, QString, bool> cases[] = {
        // command line, parameters, file found
        { u'"' + programs.file(u"tool"_s) + uR"(" -x "y z")"_s, uR"(-x "y z")"_s, true },
        { uR"("/gone/prog" )"_s, QString(), false },
    };
    for (const auto& [commandLine, parameters, fileFound] : cases) {
        page->Runprogs[0]->item(0)->setText(commandLine);
        page->Runprogs[0]->setCurrentRow(0);
        state.ResetOnActivate = true;
        page->onProgramLineDoubleClicked();
        EXPECT_FALSE(state.ResetOnActivate);
        EXPECT_TRUE(dialog->editing());
        EXPECT_EQ(dialog->CommandlineParameter->text(), parameters);
        EXPECT_EQ(dialog->Commandline->text(), commandLine);
        EXPECT_EQ(dialog->fileList->currentRow() >= 0, fileFound);
        EXPECT_EQ(
            dialog->StartTime->currentText() + dialog->StartState->currentText() + dialog->Titleline->text(),
            u"når der ringes opmaksimeret tilstandMail"_s);
        QTest::mouseClick(dialog->OK, Qt::LeftButton);
        EXPECT_EQ(lines(page->Runprogs[0]), (QStringList { commandLine, uR"("/opt/clock" )"_s }));
    }
    // A program that has gone keeps its path when the parameters change.
    page->onProgramLineDoubleClicked();
    QTest::keyClicks(dialog->CommandlineParameter, u"-v"_s);
    EXPECT_EQ(dialog->Commandline->text(), uR"("/gone/prog" -v)"_s);
}

TEST_F(AddProgTest, AStoredStartTimeOrStateWithNoItemStaysUntilItsComboIsChanged)
{
    page->Runprogs[1]->item(0)->setText(u"5"_s);
    page->Runprogs[2]->item(0)->setText(u"7"_s);
    page->Runprogs[0]->setCurrentRow(0);
    page->onProgramLineDoubleClicked();
    EXPECT_EQ(dialog->StartTime->currentIndex() + dialog->StartState->currentIndex(), 0);
    QTest::mouseClick(dialog->OK, Qt::LeftButton);
    EXPECT_EQ(page->Runprogs[1]->item(0)->text() + page->Runprogs[2]->item(0)->text(), u"57"_s);

    page->onProgramLineDoubleClicked();
    dialog->StartState->setCurrentIndex(1);
    QTest::mouseClick(dialog->OK, Qt::LeftButton);
    EXPECT_EQ(page->Runprogs[1]->item(0)->text() + page->Runprogs[2]->item(0)->text(), u"51"_s);
}

TEST_F(AddProgTest, AnEmptyCommandLineIsWarnedAboutAndAddsNothing)
{
    page->onAddProgramClicked();
    prompter.answerNext(PromptAnswer::Ok);
    QTest::mouseClick(dialog->OK, Qt::LeftButton);
    ASSERT_EQ(prompter.shown().size(), 1);
    const Prompt& box = prompter.shown()[0];
    EXPECT_EQ(box.title + u'|' + box.text, u"Advarsel!|Du har ikke valgt et program!"_s);
    EXPECT_EQ(box.icon, PromptIcon::Exclamation);
    EXPECT_EQ(page->Runprogs[0]->count(), 2);
    EXPECT_TRUE(dialog->isVisible());
}

} // namespace
} // namespace ringtally
