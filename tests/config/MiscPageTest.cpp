#include "config/MiscPage.h"
#include "config/SoundChooser.h"
#include "platform/linux/DesktopEntry.h"
#include "tray/FileRegistry.h"
#include "tray/RegistryRoutines.h"

#include "fakes/FakeSoundPlayer.h"
#include "support/ConfigWorld.h"
#include "support/ScopedEnvironment.h"

#include "platform/FileAccess.h"
#include <QCheckBox>
#include <QComboBox>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolTip>

#include <tuple>

#include <gtest/gtest.h>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;

class MiscPageTest : public ::testing::Test, public ConfigWorld {
protected:
    void name(const QStringList& names)
    {
        for (int i = 0; i < kSchemeCount; ++i)
            state.settings.Schemes[size_t(i)].Name = names[i];
    }
    void store(const QString& key, const QString& value)
    {
        ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, key, value).ok());
    }
    QString ini(const QString& key) const { return settings.ReadIni(u"Configuration"_s, key, u"-"_s); }

    MiscPage page { context };
};

TEST_F(MiscPageTest, EveryControlShowsItsSettingAndStoresItBack)
{
    struct Case {
        quint8 language, autoLog;
        std::array<qint16, 3> keys;
        double maxPrice, maxMonthPrice;
        quint8 billingStart;
        QStringList file; // "Splash", "Dialstat Visible", "Redial interval", "Redial number", "Price in icon"
        QStringList shown; // language, scheme 1's shortcut, price, monthly price, billing start day
        std::array<bool, 7> ticked; // splash, status window, autolog, price warning, redial, monthly, icon
    };
    const Case cases[] = {
        { 1, 0, { 0, 12, 3 }, 12.5, 0, 1, { u"0"_s, u"1"_s, u"7"_s, u"3"_s, u"1"_s },
            { u"English"_s, u"CTRL + SHIFT + F12"_s, u"12,50"_s, QString(), u"1."_s },
            { false, true, false, true, true, false, true } },
        { 0, 1, { 2, 0, 1 }, 0, 350.5, 31, { u"1"_s, u"0"_s, u"30"_s, u"1"_s, u"0"_s },
            { u"Dansk"_s, u"---------------------"_s, QString(), u"350,50"_s, u"31."_s },
            { true, false, true, false, true, true, false } },
    };
    const QStringList keys = { u"Splash"_s, u"Dialstat Visible"_s, u"Redial interval"_s, u"Redial number"_s,
        u"Price in icon"_s };
    for (const Case& c : cases) {
        Settings& s = state.settings;
        name({ u"A"_s, u"B"_s, u"C"_s });
        s.Language = c.language;
        s.KeyboardShortcut = c.keys;
        s.MaxDayPrice = c.maxPrice;
        s.MaxMonthPrice = c.maxMonthPrice;
        s.BillingMonthStart = c.billingStart;
        s.AutoLogOnHangup = c.autoLog;
        for (int k = 0; k < keys.size(); ++k)
            store(keys[k], c.file[k]);
        page.fill();
        EXPECT_EQ(QStringList({ page.LangCmb->currentText(), page.OpkTyperKeyb[1]->currentText(),
                      page.MaxPris->text(), page.MaxMonthPrice->text(), page.BillingStartDay->text() }),
            c.shown);
        EXPECT_EQ((std::array { page.SplashScreen->isChecked(), page.ShowDialStat->isChecked(),
                      page.UseModComPort->isChecked(), page.BrugMaxPris->isChecked(),
                      page.RedialIfBusy->isChecked(), page.UseMaxMonthPrice->isChecked(),
                      page.PriceInIcon->isChecked() }),
            c.ticked);

        const Settings before = s;
        s = Settings { .Schemes = before.Schemes };
        ASSERT_TRUE(settings.DeleteIni(u"Configuration"_s, QString(), true).ok());
        ASSERT_TRUE(page.store().ok());
        EXPECT_EQ(s, before) << c.shown.join(u',').toStdString();
        QStringList written;
        for (const QString& key : keys)
            written.append(ini(key));
        EXPECT_EQ(written, c.file);
    }
}

TEST_F(MiscPageTest, DoubleClickShowsAndStoresTheActionOfTheChosenSchemeAndKeepsItOverARename)
{
    const QString cheapest = u"Den billigste ordning"_s;
    // Scheme names, the stored action, "dial" chosen, the combo's items and choice, the action stored back.
    const std::tuple<QStringList, qint16, bool, QStringList, QString, qint16> cases[] = {
        { { u"A"_s, u"B"_s, u"C"_s }, -1, false, { u"A"_s, u"B"_s, u"C"_s, cheapest }, QString(), -1 },
        { { u"A"_s, u"B"_s, u"C"_s }, 4, true, { u"A"_s, u"B"_s, u"C"_s, cheapest }, u"A"_s, 4 },
        { { u"A"_s, QString(), u"C"_s }, 6, true, { u"A"_s, u"C"_s, cheapest }, u"C"_s, 6 },
        { { u"A"_s, u"B"_s, u"C"_s }, 10, true, { u"A"_s, u"B"_s, u"C"_s, cheapest }, cheapest, 10 },
        // the stored scheme lost its name: no other is chosen in its place, the main window opens
        { { u"A"_s, QString(), u"C"_s }, 5, false, { u"A"_s, u"C"_s, cheapest }, QString(), -1 },
        { { QString(), QString(), QString() }, 10, false, { cheapest }, cheapest, -1 }, // nothing to dial
    };
    for (const auto& [names, stored, dialOption, items, shown, storedBack] : cases) {
        SCOPED_TRACE(stored);
        name(names);
        state.settings.DoubleClickAction = stored;
        page.fill();
        EXPECT_EQ(lines(page.DblClickCall), items);
        EXPECT_EQ(page.DblClickOption[1]->isChecked(), dialOption);
        EXPECT_EQ(page.DblClickCall->isEnabled(), dialOption);
        EXPECT_EQ(page.DblClickCall->currentText(), shown);
        EXPECT_EQ(page.OpkTyperKeyb[1]->isEnabled(), !names[1].isEmpty()); // no name, no shortcut
        EXPECT_EQ(page.OpkTyper[1]->text(), names[1].isEmpty() ? u"Ordning 2"_s : names[1]);
        ASSERT_TRUE(page.store().ok());
        EXPECT_EQ(state.settings.DoubleClickAction, storedBack);
    }
    // The user chooses, and renaming a scheme keeps the choice; a scheme that loses its name is
    // not replaced by another.
    name({ u"A"_s, u"B"_s, QString() });
    state.settings.DoubleClickAction = -1;
    page.fill();
    click(page.DblClickOption[1]);
    EXPECT_EQ(page.DblClickCall->isEnabled() ? page.DblClickCall->currentText() : QString(), u"A"_s);
    QTest::keyClick(page.DblClickCall, Qt::Key_Down);
    name({ u"Ny"_s, u"Bx"_s, QString() }); // the scheme page renames a scheme
    page.refillSchemeCombos();
    EXPECT_EQ(page.DblClickCall->currentText(), u"Bx"_s);
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(state.settings.DoubleClickAction, 5);
    name({ u"Ny"_s, QString(), QString() }); // and clears its name
    page.refillSchemeCombos();
    EXPECT_EQ(page.DblClickCall->currentText(), QString());
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(state.settings.DoubleClickAction, -1); // the main window, not Ny
}

TEST_F(MiscPageTest, RedialIsWrittenWhenTickedAndWrittenOffWhenNot)
{
    store(u"Redial interval"_s, u"7"_s);
    store(u"Redial number"_s, u"3"_s);
    page.fill();
    click(page.RedialIfBusy);
    EXPECT_FALSE(
        page.Redial[0]->isEnabled() || page.Redial[1]->isEnabled() || page.Rediallbl[2]->isEnabled());
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(ini(u"Redial number"_s), u"0"_s);
    EXPECT_EQ(ini(u"Redial interval"_s), u"7"_s); // kept

    page.fill();
    click(page.RedialIfBusy); // unticked, ticked again with 0 tries: 5 of them
    EXPECT_EQ(page.Redial[1]->isEnabled() ? page.Redial[1]->text() : QString(), u"5"_s);
    page.Redial[0]->clear();
    page.onRedialFieldLeft(0);
    EXPECT_EQ(page.Redial[0]->text(), u"0"_s);
    page.Redial[1]->setText(u"0"_s);
    page.onRedialFieldLeft(1); // no tries: no redial
    EXPECT_FALSE(page.RedialIfBusy->isChecked() || page.Redial[1]->isEnabled());
}

TEST_F(MiscPageTest, TheDailyPriceWarningIsOffWhenUntickedOrEmptyAndF1ExplainsIt)
{
    state.settings.MaxDayPrice = 12.5;
    page.fill();
    click(page.BrugMaxPris);
    EXPECT_FALSE(page.MaxPris->isEnabled());
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(page.MaxPris->text(), u"0"_s);
    EXPECT_EQ(state.settings.MaxDayPrice, 0);

    page.fill(); // no warning: unticked and empty
    click(page.BrugMaxPris);
    ASSERT_TRUE(page.store().ok() && state.settings.MaxDayPrice == 0); // ticked and empty
    QTest::keyClicks(page.MaxPris, u"7.5"_s); // either separator, typed as the locale's
    page.onMaxPriceLeft();
    EXPECT_EQ(page.MaxPris->text(), u"7,50"_s);
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(state.settings.MaxDayPrice, 7.5);
    page.show();
    QTest::keyClick(page.MaxPris, Qt::Key_F1); // the field's help
    EXPECT_TRUE(QToolTip::isVisible() && QToolTip::text() == page.maxPriceHelp());
    QToolTip::hideText();
}

TEST_F(MiscPageTest, AStoredMaximumPriceWithMoreDecimalsStaysUntilTheUserChangesIt)
{
    state.settings.MaxDayPrice = 12.3456;
    page.fill();
    EXPECT_EQ(page.MaxPris->text(), u"12,35"_s);
    page.onMaxPriceLeft(); // visited and left as it was
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(state.settings.MaxDayPrice, 12.3456);
    page.MaxPris->selectAll();
    QTest::keyClicks(page.MaxPris, u"12,5"_s);
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(state.settings.MaxDayPrice, 12.5);
    // A monthly limit of four digits, as typed.
    page.UseMaxMonthPrice->setChecked(true);
    page.MaxMonthPrice->selectAll();
    QTest::keyClicks(page.MaxMonthPrice, u"1500"_s);
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(state.settings.MaxMonthPrice, 1500);
}

TEST_F(MiscPageTest, TheDataLimitAndTheHangUpsAtTheLimitsAreUsableOnlyWithTheirLimit)
{
    page.fill();
    for (QWidget* field : std::initializer_list<QWidget*> { page.MaxMonthData, page.DataWarnPercent,
             page.HangUpAtLimit[0], page.HangUpAtLimit[1], page.HangUpAtLimit[2] })
        EXPECT_FALSE(field->isEnabled());
    click(page.UseMaxMonthData);
    EXPECT_TRUE(page.MaxMonthData->isEnabled() && page.HangUpAtLimit[2]->isEnabled());
    page.MaxMonthData->selectAll();
    QTest::keyClicks(page.MaxMonthData, u"5000"_s);
    page.DataWarnPercent->selectAll();
    QTest::keyClicks(page.DataWarnPercent, u"90"_s);
    click(page.HangUpAtLimit[2]);
    click(page.BrugMaxPris);
    click(page.HangUpAtLimit[0]);
    ASSERT_TRUE(page.store().ok());
    const Settings& s = state.settings;
    EXPECT_EQ(std::tuple(s.MaxMonthMB, s.MonthDataWarnPercent, s.HangUpAtDayLimit, s.HangUpAtMonthLimit,
                  s.HangUpAtDataLimit),
        std::tuple(5000, quint8(90), true, false, true));
    // Without its box the limit is none, and the page shows it so again.
    click(page.UseMaxMonthData);
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(s.MaxMonthMB, 0);
    page.fill();
    EXPECT_FALSE(page.UseMaxMonthData->isChecked() || page.HangUpAtLimit[2]->isEnabled());
}

TEST_F(MiscPageTest, StartAtLoginShowsTheAutostartEntryAndWritesOrRemovesItAtOk)
{
    const ScopedEnvironment configHome("XDG_CONFIG_HOME", temp.file(u"config"_s).toUtf8());
    const QString entry = temp.file(u"config/autostart/ringtally.desktop"_s);
    page.fill();
    EXPECT_FALSE(page.StartAtLogin->isChecked());
    click(page.StartAtLogin);
    ASSERT_TRUE(page.store().ok());
    const Result<DesktopEntry> written = DesktopEntry::read(entry);
    ASSERT_TRUE(written.ok()) << written.message().toStdString();
    EXPECT_EQ(written.value().command, QStringList { QCoreApplication::applicationFilePath() });
    page.fill();
    EXPECT_TRUE(page.StartAtLogin->isChecked());

    // The desktop's own settings switch it off, with a delay and a command line of the user's:
    // OK leaves it as it is, and ticking the box switches it on with the user's keys kept.
    const QByteArray users
        = "[Desktop Entry]\nType=Application\nName=Ringtally\nExec=ringtally --log-viewer\n"
          "X-GNOME-Autostart-Delay=10\nHidden=true\n";
    ASSERT_TRUE(replaceFileAtomically(entry, users).ok());
    page.fill();
    EXPECT_FALSE(page.StartAtLogin->isChecked());
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(readWholeFile(entry).valueOr({}).bytes, users);
    click(page.StartAtLogin);
    ASSERT_TRUE(page.store().ok());
    const QByteArray switchedOn = readWholeFile(entry).valueOr({}).bytes;
    EXPECT_TRUE(switchedOn.contains("X-GNOME-Autostart-Delay=10\n") && !switchedOn.contains("Hidden"));
    EXPECT_EQ(
        DesktopEntry::read(entry).value().command, QStringList { QCoreApplication::applicationFilePath() });
    page.fill();
    EXPECT_TRUE(page.StartAtLogin->isChecked());
    click(page.StartAtLogin);
    ASSERT_TRUE(page.store().ok());
    EXPECT_FALSE(QFile::exists(entry));

    writePlain(temp.file(u"blocker"_s), {}); // a file where the folder would be made
    const ScopedEnvironment blocked("XDG_CONFIG_HOME", temp.file(u"blocker/config"_s).toUtf8());
    page.fill();
    click(page.StartAtLogin);
    EXPECT_FALSE(page.store().ok());
}

TEST(SoundChooserTest, ChoicesGoToTheRegistryAtOnceAndPlayAsTheProgramWould)
{
    TempFolder temp;
    FileRegistry store { temp.file(u"Ringtally.reg"_s) }; // no first run: no keys yet
    ScriptedPrompter prompter; // a registry failure would show a box the test does not expect
    RegistryRoutines registry { store, prompter };
    FakeSoundPlayer player;
    EventSounds sounds { registry, player, ProgramFolder(temp.path()) };
    SoundChooser chooser { sounds, registry, false };
    QString answer = u"/home/me/ring.wav"_s;
    chooser.setFileAsker([&](QWidget*, const QString&) { return answer; });
    const auto stored = [&](const QString& event) {
        return registry.QueryValue(EventSounds::eventKey(event), QString(), RootKey::HKEY_USERS);
    };
    chooser.show();

    QTest::mouseClick(chooser.Browse[2], Qt::LeftButton);
    EXPECT_EQ(stored(u"Connect"_s), answer);
    QTest::mouseClick(chooser.Play[2], Qt::LeftButton);
    EXPECT_EQ(player.played, QStringList { answer });

    answer.clear(); // the file dialog cancelled
    QTest::mouseClick(chooser.Browse[2], Qt::LeftButton);
    EXPECT_EQ(stored(u"Connect"_s), u"/home/me/ring.wav"_s);
    QTest::mouseClick(chooser.NoSound[2], Qt::LeftButton);
    EXPECT_EQ(stored(u"Connect"_s), QString());
    EXPECT_FALSE(chooser.Play[2]->isEnabled());
}

} // namespace
} // namespace ringtally::test
