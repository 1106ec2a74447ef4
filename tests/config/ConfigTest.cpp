#include "config/Config.h"

#include "config/HolidayList.h"
#include "config/ListsPage.h"
#include "config/MiscPage.h"
#include "config/Save.h"
#include "config/SchemePage.h"
#include "config/SoundChooser.h"
#include "core/IniDocument.h"
#include "help/HelpTopics.h"
#include "tools/PriceTool.h"
#include "tray/EventSounds.h"
#include "tray/FileRegistry.h"
#include "tray/RegistryRoutines.h"

#include "fakes/FakeSoundPlayer.h"
#include "support/ConfigWorld.h"
#include "support/SampleSettings.h"

#include "platform/FileAccess.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

#include <gtest/gtest.h>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;

// The whole window, shown for a window of its owner.
class ConfigWindowTest : public ::testing::Test, public ConfigWorld {
protected:
    FileRegistry store { folder.file(QString::fromUtf16(FileRegistry::kFileName)) };
    RegistryRoutines registry { store, prompter };
    FakeSoundPlayer player;
    EventSounds sounds { registry, player, folder };
    QWidget owner;
    std::optional<bool> runProgramsInList;
    Config config { context, sounds, registry, [this](bool run) { runProgramsInList = run; } };
};

// Over a settings file with every setting and list filled.
class ConfigTest : public ConfigWindowTest {
protected:
    ConfigTest()
    {
        network.setEntries({ u"provider-0"_s, u"provider-1"_s, u"provider-2"_s });
        Settings stored = sampleSettings();
        stored.Language = 0;
        stored.AutoConnectCount = 1;
        stored.NumberOfDUN = 1;
        EXPECT_TRUE(settings.SaveSettings(stored).ok());
        const std::pair<QString, QStringList> lists[] = {
            { u"Autolog"_s, { u"1A=provider-1"_s, u"1B="_s + stored.Schemes[1].Name, u"1C=1"_s } },
            { u"AutoConnect"_s,
                { u"1A=Browser"_s, u"1B="_s + stored.Schemes[0].Name, u"1C=1"_s, u"1D=1"_s, u"1E=0"_s } },
            { u"Runprogs"_s,
                { u"Nr.0 data 0=\"/usr/bin/mail\" "_s, u"Nr.0 data 1=1"_s, u"Nr.0 data 2=0"_s,
                    u"Nr.0 data 3=Mail"_s } },
        };
        for (const auto& [section, entries] : lists) {
            for (const QString& entry : entries)
                EXPECT_TRUE(
                    settings.WriteIni(section, entry.section(u'=', 0, 0), entry.section(u'=', 1)).ok());
        }
        for (const auto& [key, value] : { std::pair { u"Number of progs "_s, 1 }, { u"Run progs "_s, 1 } })
            EXPECT_TRUE(settings.WriteIni(u"Configuration"_s, key, value).ok());
        settings.LoadSettings(state.settings);
        owner.show();
        config.showConfig(&owner);
    }
};

TEST_F(ConfigTest, OkWithoutEditsStoresWhatWasStoredAndGivesTheMainWindowBack)
{
    EXPECT_FALSE(owner.isEnabled());
    const Settings before = state.settings;
    const QStringList keys = { u"Autolog/1A"_s, u"AutoConnect/1D"_s, u"Runprogs/Nr.0 data 0"_s,
        u"Runprogs/Nr.0 data 3"_s, u"Configuration/Number of progs "_s };
    QStringList values;
    for (const QString& key : keys)
        values.append(settings.ReadIni(key.section(u'/', 0, 0), key.section(u'/', 1), u"-"_s));

    // Minimised, the window comes back when asked for again.
    config.setWindowState(Qt::WindowMinimized);
    config.showConfig(&owner);
    EXPECT_FALSE(config.isMinimized());
    QTest::mouseClick(config.Okay, Qt::LeftButton);
    EXPECT_FALSE(config.isVisible());
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_EQ(runProgramsInList, true);
    Settings after = stored();
    after.TaskBarType = before.TaskBarType;
    EXPECT_EQ(after, before);
    for (qsizetype n = 0; n < keys.size(); ++n)
        EXPECT_EQ(settings.ReadIni(keys[n].section(u'/', 0, 0), keys[n].section(u'/', 1), u"-"_s), values[n])
            << keys[n].toStdString();
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_F(ConfigTest, F1OnEachListAndLimitOpensItsPlaceInTheHelp)
{
    const std::pair<QWidget*, QString> places[] = {
        { config.listsPage->Autolog[1], u"config-lists.html#autolog"_s },
        { config.listsPage->AutoConnect[0], u"config-lists.html#auto-connect"_s },
        { config.listsPage->Runprogs[0], u"config-lists.html#start-list"_s },
        { config.miscPage->MaxMonthData, u"config-misc.html#data-limit"_s },
        { config.miscPage->HangUpAtLimit[1], u"config-misc.html#hang-up-at-limit"_s },
    };
    for (const auto& [widget, place] : places)
        EXPECT_EQ(helpPageFor(helpTopicAt(widget)), place) << place.toStdString();
}

TEST_F(ConfigTest, OkWritesTheHolidayListAsEditedAndTheDanishListAsNoSection)
{
    config.showPage(3);
    HolidayList& h = *config.listsPage->holidayList;
    EXPECT_EQ(helpPageFor(helpTopicAt(h.ruleEdit)), u"config-lists.html#holidays"_s);
    h.lines->setCurrentItem(h.lines->topLevelItem(1)); // "Påske+1 Dag 1"
    QTest::mouseClick(h.removeButton, Qt::LeftButton);
    type(h.ruleEdit, u"24.12"_s);
    type(h.nameEdit, u"Juleaftensdag"_s);
    QTest::mouseClick(h.addButton, Qt::LeftButton);
    QTest::mouseClick(config.Okay, Qt::LeftButton);
    const auto holidaySection = [this] {
        const IniDocument ini = IniDocument::parse(contentsOf(profile.path()));
        QStringList lines;
        for (const QString& key : ini.keys(u"Holidays"_s))
            lines.append(key + u'=' + ini.value(u"Holidays"_s, key).value_or(QString()));
        return lines;
    };
    EXPECT_EQ(
        holidaySection(), (QStringList { u"Count=2"_s, u"1=01.01 Nytårsdag"_s, u"2=24.12 Juleaftensdag"_s }));

    config.showConfig(&owner);
    config.showPage(3);
    QTest::mouseClick(h.danishButton, Qt::LeftButton);
    QTest::mouseClick(config.Okay, Qt::LeftButton);
    EXPECT_EQ(holidaySection(), QStringList());
    EXPECT_EQ(stored().Holidays, danishHolidays());
}

TEST_F(ConfigTest, CancelAfterEditsOnEveryPageLeavesTheFileAsItWas)
{
    const QByteArray before = contentsOf(profile.path());
    type(config.schemePage->AOrdnNavn, u"Ny ordning"_s);
    config.showPage(2);
    config.miscPage->SplashScreen->click();
    config.showPage(3);
    config.listsPage->Runprogs[0]->setCurrentRow(0);
    config.listsPage->onRemoveProgramClicked();
    // Closing the window is cancelling it.
    config.close();
    EXPECT_FALSE(config.isVisible());
    EXPECT_EQ(contentsOf(profile.path()), before);
    config.showConfig(&owner);
    EXPECT_EQ(config.schemePage->AOrdnNavn->text(), state.settings.Schemes[0].Name);
    EXPECT_EQ(config.listsPage->Runprogs[0]->count(), 1);
}

TEST_F(ConfigTest, TheWindowEditsACopyAndNeverTouchesTheRunningCallsCounters)
{
    // A call runs: its start zeroed the day in memory, and the total holds a call not yet saved.
    const QString name = state.settings.Schemes[0].Name;
    state.settings.LastCallPrice = 0;
    state.settings.TotalPrice = 4321;
    const Settings was = stored();
    for (const bool ok : { false, true }) {
        type(config.schemePage->AOrdnNavn, u"Ny ordning"_s);
        leave(config.schemePage->AOrdnNavn);
        EXPECT_EQ(state.settings.Schemes[0].Name, name) << "an edit prices no call before OK";
        QTest::mouseClick(ok ? config.Okay : config.Cancel, Qt::LeftButton);
        EXPECT_EQ(state.settings.Schemes[0].Name, ok ? u"Ny ordning"_s : name);
        EXPECT_EQ(std::pair(state.settings.LastCallPrice, state.settings.TotalPrice), std::pair(0.0, 4321.0));
        config.showConfig(&owner);
    }
    // The counters on disk are the call's owner's to write.
    EXPECT_EQ(
        std::pair(stored().LastCallPrice, stored().TotalPrice), std::pair(was.LastCallPrice, was.TotalPrice));
}

TEST_F(ConfigTest, ARenamedSchemeTakesItsAutologAndAutoConnectEntriesAlong)
{
    // Autolog's entry names scheme 1, auto-connect's scheme 0; scheme 0 is renamed.
    const QString autologScheme = settings.ReadIni(u"Autolog"_s, u"1B"_s, {});
    type(config.schemePage->AOrdnNavn, u"Ny ordning"_s);
    leave(config.schemePage->AOrdnNavn);
    const quint64 replaces = profile.replaceCount();
    QTest::mouseClick(config.Okay, Qt::LeftButton);
    EXPECT_EQ(profile.replaceCount(), replaces + 1) << "every page in one save";
    EXPECT_EQ(settings.ReadIni(u"AutoConnect"_s, u"1B"_s, {}), u"Ny ordning"_s);
    EXPECT_EQ(settings.ReadIni(u"Autolog"_s, u"1B"_s, {}), autologScheme);
}

TEST_F(ConfigTest, TheDoubleClickNeverMovesToASchemeTheUserDidNotChoose)
{
    // It dials scheme 0, whose name is cleared and the window closed with Enter; then the window
    // is opened again and closed with OK untouched.
    state.settings.DoubleClickAction = 4;
    ASSERT_TRUE(settings.SaveSettings(state.settings).ok());
    config.close();
    config.showConfig(&owner);
    type(config.schemePage->AOrdnNavn, QString());
    QTest::keyClick(config.schemePage->AOrdnNavn, Qt::Key_Return);
    ASSERT_FALSE(config.isVisible());
    config.showConfig(&owner);
    QTest::mouseClick(config.Okay, Qt::LeftButton);
    EXPECT_EQ(settings.readInt16(u"Configuration"_s, u"DoubleClick_Action"_s, 0), -1)
        << "opens the main window";
}

// A first run's settings file, and the window as the README's quick start goes through it.
class ConfigQuickStartTest : public ConfigWindowTest {
protected:
    ConfigQuickStartTest()
    {
        network.setEntries({ u"Ringtally Demo"_s });
        settings.LoadSettings(state.settings);
        config.showConfig(&owner);
    }
};

TEST_F(ConfigQuickStartTest, TheReadmesQuickStartGivesACallWithThePriceTyped)
{
    // "give the first scheme a name and a minute price, press "Samme priser alle dage", pick
    // "Ringtally Demo" as its dial-up entry, choose a hotkey on the "Diverse" page, and press OK"
    SchemePage& page = *config.schemePage;
    page.AOrdnNavn->setFocus();
    QTest::keyClicks(page.AOrdnNavn, u"Demo"_s);
    page.AMinPris[0]->setFocus(); // the name field is left
    page.AMinPris[0]->selectAll();
    QTest::keyClicks(page.AMinPris[0], u"0,5"_s);
    page.SamePrices->click();
    page.DUNNames->setCurrentIndex(page.DUNNames->findText(u"Ringtally Demo"_s));
    config.showPage(2);
    config.miscPage->OpkTyperKeyb[0]->setCurrentIndex(1);
    QTest::mouseClick(config.Okay, Qt::LeftButton);
    ASSERT_TRUE(prompter.shown().isEmpty());

    // Ten minutes on a weekday afternoon and on a Sunday night cost what was typed.
    const PriceTool tool(danish);
    for (const QDateTime& start :
        { QDateTime(QDate(2026, 12, 7), QTime(14, 0)), QDateTime(QDate(2026, 12, 13), QTime(23, 0)) })
        EXPECT_EQ(tool.price(stored(), 0, start, 600).priceCents, 500) << start.toString().toStdString();
}

TEST_F(ConfigTest, OkNamesAFieldLeftWithHalfAValueAndStaysOpen)
{
    QLineEdit* price = config.schemePage->AMinPris[0];
    price->selectAll();
    price->insert(u","_s); // a lone decimal mark: on its way to a price, not one yet
    ASSERT_EQ(price->text(), u","_s);
    prompter.answerNext(PromptAnswer::Ok);
    QTest::mouseClick(config.Okay, Qt::LeftButton);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].text, u"\",\" kan ikke bruges i feltet \"Prisen pr. forbundet minut\"."_s);
    EXPECT_TRUE(config.isVisible());
}

TEST_F(ConfigTest, EveryLabelWithAShortcutHasAFieldToGoToInEitherLanguage)
{
    for (const bool english : { false, true }) {
        Config window { ConfigContext { state, settings, network, strings, prompter, danish, folder, clock,
                            english, DisplayWords::make(strings, english) },
            sounds, registry, {} };
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            const QString text = QString(label->text()).remove(u"&&"_s);
            EXPECT_TRUE(!text.contains(u'&') || label->buddy()) << text.toStdString() << " shows its \"&\"";
        }
    }
}

TEST_F(ConfigTest, BackFromItsOwnDialogsTheEditsStayAndThePeriodOrderIsWatchedAgain)
{
    // Each dialog keeps the edits by clearing ResetOnActivate before it shows; the window takes
    // the focus back when the dialog goes, and from then on the order warnings speak again.
    SchemePage& page = *config.schemePage;
    type(page.AOrdnNavn, u"Ny ordning"_s);
    bool chooserShown = false;
    const std::function<void()> visits[] = {
        [&] { page.LoadCmd->click(), config.tariffDialog->Cancel->click(); },
        [&] { page.SaveCmd->click(), config.tariffDialog->Cancel->click(); },
        [&] { config.listsPage->onAddProgramClicked(), config.listsPage->addProg().Cancel->click(); },
        [&] { // the sound chooser runs its own event loop: it is closed from inside
            QTimer::singleShot(0, [&chooserShown] {
                if (auto* chooser = qobject_cast<SoundChooser*>(QApplication::activeModalWidget()))
                    chooserShown = true, chooser->close();
            });
            config.miscPage->Sounds->click();
            EXPECT_TRUE(chooserShown);
        },
    };
    for (const auto& visit : visits) {
        page.AntalPerioder->setCurrentIndex(2);
        page.onPeriodCountChanged();
        page.TakstperTimer[0]->setCurrentIndex(9);
        page.TakstperTimer[1]->setCurrentIndex(9);
        visit();
        EXPECT_EQ(page.AOrdnNavn->text(), u"Ny ordning"_s);
        QEvent activated(QEvent::WindowActivate); // as the window system gives the focus back
        QApplication::sendEvent(&config, &activated);
        const qsizetype before = prompter.shown().size();
        prompter.answerNext(PromptAnswer::Ok);
        QTest::keyClick(page.TakstperTimer[1], Qt::Key_Up); // 08 after 09
        ASSERT_EQ(prompter.shown().size(), before + 1);
        EXPECT_EQ(prompter.shown().last().title, u"OBS"_s);
    }
    config.Okay->click();
    EXPECT_EQ(settings.ReadIni(u"Schemes"_s, u"0,name"_s, QString()), u"Ny ordning"_s);
}

TEST_F(ConfigTest, AFailedSaveSaysWhyAndKeepsTheWindowWithItsEdits)
{
    type(config.schemePage->AOrdnNavn, u"Ny ordning"_s);
    // The folder gives way to a file: no write can succeed, not even as root.
    ASSERT_TRUE(QDir(folder.path()).removeRecursively());
    writePlain(folder.path(), {});
    const auto restore = qScopeGuard([this] { QFile::remove(folder.path()), QDir().mkpath(folder.path()); });
    prompter.answerNext(PromptAnswer::Ok);
    config.Okay->click();
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].title, u"Filfejl:"_s);
    EXPECT_TRUE(config.isVisible());
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_EQ(config.schemePage->AOrdnNavn->text(), u"Ny ordning"_s);
}

} // namespace
} // namespace ringtally::test
