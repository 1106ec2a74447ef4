#include "config/Config.h"
#include "config/ListsPage.h"
#include "config/Save.h"
#include "config/SoundChooser.h"
#include "core/Welcome.h"
#include "diagnostics/Stat.h"
#include "help/HelpWindow.h"
#include "history/LogViewer.h"
#include "metering/PriceWarn.h"
#include "tray/About.h"

#include "fakes/ScriptedPrompter.h"
#include "support/ProgramWorld.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <map>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;

// The texts of window that share a letter Alt reaches: of its visible buttons and check boxes,
// labels that lead to a field, and menu-bar items; a dialog of its own is another window.
QStringList clashes(QWidget& window, const QString& name)
{
    QStringList texts;
    const auto shown = [&window](QWidget* w) { return w->window() == &window && w->isVisibleTo(&window); };
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
        texts << (shown(button) ? button->text() : QString());
    for (QLabel* label : window.findChildren<QLabel*>())
        texts << (label->buddy() && shown(label) ? label->text() : QString());
    for (QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        for (QAction* item : bar->actions())
            texts << (shown(bar) && item->isVisible() ? item->text() : QString());
    }
    std::map<QKeySequence, QStringList> byKey;
    for (const QString& text : texts) {
        if (const QKeySequence key = QKeySequence::mnemonic(text); !key.isEmpty())
            byKey[key] << text;
    }
    QStringList found;
    for (const auto& [key, sharing] : byKey)
        found << (sharing.size() > 1 ? name + u": "_s + sharing.join(u" / "_s) : QString());
    found.removeAll(QString());
    return found;
}

class WindowKeysTest : public ::testing::TestWithParam<int> { };

TEST_P(WindowKeysTest, EveryWindowGivesEachLetterToOneControl)
{
    const int language = GetParam();
    const bool english = language == 1;
    Outside outside;
    {
        ProfileFile profile(outside.folder.settingsFile());
        SettingsFile settings(profile, outside.danish);
        ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, u"Language"_s, language).ok());
        ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, u"Dialup Detail visible"_s, 1).ok());
        ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, u"First run?"_s, 0).ok());
    }
    ScriptedPrompter prompter;
    ProgramWorld world(outside, prompter);
    QStringList found;
    const auto check = [&found](QWidget& window, const QString& name) {
        window.show();
        found << clashes(window, name);
        window.hide();
    };

    // The windows speak the language asked for.
    EXPECT_EQ(world.frm.hideButton->text(), english ? u"Hide &window"_s : u"&Skjul vindue"_s);
    check(world.frm, u"main window"_s);
    check(world.dialup, u"dial window"_s);
    check(world.meter.dialStatus(), u"status window"_s);
    check(world.selection, u"scheme selection"_s);
    check(world.meter.priceWarn(), u"price warning"_s);

    Config config(
        ConfigContext { world.state, world.settings, outside.network, world.strings, prompter, outside.danish,
            outside.folder, outside.clock, english, DisplayWords::make(world.strings, english) },
        world.sounds, world.registry, {});
    config.show();
    for (size_t page = 0; page < config.Framevalg.size(); ++page) {
        config.Framevalg[page]->click();
        found << clashes(config, u"configuration page %1"_s.arg(page + 1));
    }
    config.hide();
    config.listsPage->addProg().openForAdd();
    found << clashes(config.listsPage->addProg(), u"program dialog"_s);
    config.listsPage->addProg().hide();
    config.tariffDialog->open(0, 0, Save::Mode::Gem);
    found << clashes(*config.tariffDialog, u"tariff file dialog"_s);
    config.tariffDialog->hide();
    SoundChooser sounds(world.sounds, world.registry, english);
    check(sounds, u"sound chooser"_s);

    LogViewer viewer(
        outside.folder.file(u"Ringtally.log"_s), world.settings, outside.danish, outside.clock, english);
    check(viewer, u"log viewer"_s);
    HelpWindow help(language);
    check(help, u"help"_s);
    About about(world.strings, english);
    check(about, u"about box"_s);
    Stat stat(world.state, world.meter.engine(), outside.clock, outside.danish);
    check(stat, u"state window"_s);
    Settings memory;
    Welcome welcome(world.settings, memory, prompter, [] {});
    check(welcome, u"language window"_s);

    EXPECT_EQ(found, QStringList {}) << found.join(u"; "_s).toStdString();
}

INSTANTIATE_TEST_SUITE_P(DanishAndEnglish, WindowKeysTest, ::testing::Values(0, 1));

} // namespace
} // namespace ringtally::test
