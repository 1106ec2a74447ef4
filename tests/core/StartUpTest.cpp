#include "core/StartUp.h"
#include "core/SingleInstance.h"
#include "core/Welcome.h"
#include "metering/Twips.h"

#include "fakes/FakeClock.h"
#include "fakes/ScriptedPrompter.h"
#include "support/SettingsWorld.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using test::FakeClock;
using test::ScriptedPrompter;

// The start-up routine on a temporary settings file and a clock 0.4 s into a second.
class StartUpTest : public ::testing::Test, public test::SettingsWorld {
protected:
    std::unique_ptr<StartUp> start()
    {
        return std::make_unique<StartUp>(instance, settings, memory, clock, prompter,
            ProgramVersion { 1, 5, 3 }, [this] { ++mainWindowLoads; });
    }
    void store(const QString& key, const IniValue& value)
    {
        ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, key, value).ok());
    }

    Settings memory;
    FakeClock clock { QDateTime(QDate(2026, 1, 5), QTime(12, 0, 0, 400)) };
    ScriptedPrompter prompter;
    SingleInstance instance { temp.file(u"ringtally.lock"_s) };
    int mainWindowLoads = 0;
};

TEST_F(StartUpTest, FirstRunWaitsForTheLanguageAndTheNextRunGoesStraightOn)
{
    auto first = start();
    ASSERT_TRUE(first->run());
    EXPECT_EQ(clock.now().time(), QTime(12, 0, 1)) << "the wait for the paint ends at the next second";
    EXPECT_TRUE(first->splashVisible());
    EXPECT_TRUE(first->splash()->Hideme.isActive());
    EXPECT_TRUE(first->splash()->blinkTimer.isActive());
    Welcome* welcome = first->welcome();
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(mainWindowLoads, 0);
    EXPECT_FALSE(welcome->close()) << "only a choice closes the language window";
    // The flags, 37 by 28 and 56 by 28 pixels, are drawn sharp for a screen of scale 2.
    for (const auto& [button, size] :
        { std::pair { welcome->LangSel[0], QSize(37, 28) }, { welcome->LangSel[1], QSize(56, 28) } }) {
        EXPECT_EQ(button->iconSize(), size);
        const QPixmap flag = button->icon().pixmap(size, 2.0);
        EXPECT_EQ(flag.size(), size * 2);
        EXPECT_EQ(flag.devicePixelRatio(), 2.0);
    }

    QTest::mouseClick(welcome->LangSel[1], Qt::LeftButton);
    EXPECT_EQ(settings.ReadIni(u"Configuration"_s, u"Language"_s, {}), u"1"_s);
    EXPECT_EQ(memory.Language, 1);
    EXPECT_EQ(mainWindowLoads, 1);
    first->splash()->onHideTimeout();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(first->welcome(), nullptr);
    EXPECT_EQ(first->splash(), nullptr);
    first.reset();

    store(u"First run?"_s, 0); // as the main window's load stores it
    auto second = start();
    ASSERT_TRUE(second->run());
    EXPECT_EQ(second->welcome(), nullptr);
    EXPECT_EQ(mainWindowLoads, 2);
}

TEST_F(StartUpTest, SplashSettingZeroLoadsTheSplashWithoutShowingIt)
{
    store(u"First run?"_s, 0);
    store(u"Splash"_s, 0);
    auto routine = start();
    const qint64 before = clock.steadyMs();
    ASSERT_TRUE(routine->run());
    ASSERT_NE(routine->splash(), nullptr);
    EXPECT_FALSE(routine->splashVisible());
    EXPECT_EQ(clock.steadyMs(), before); // nothing to paint, so no wait for it
    EXPECT_FALSE(routine->splash()->blinkTimer.isActive()); // and no blinking to wake the program
    EXPECT_EQ(mainWindowLoads, 1);
}

TEST_F(StartUpTest, ASecondInstanceEndsAtOnceWithoutAWindowOrAMessage)
{
    SingleInstance running(temp.file(u"ringtally.lock"_s));
    ASSERT_TRUE(running.acquire());
    auto routine = start();
    EXPECT_FALSE(routine->run());
    EXPECT_EQ(clock.eventRuns(), 0);
    EXPECT_EQ(mainWindowLoads, 0);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(StartUpTest, SplashTexts)
{
    const std::pair<QString, QString> cases[]
        = { { u"0"_s, u"Danish"_s }, { u" 1 "_s, u"English"_s }, { u"A"_s, u"-"_s }, { u"2"_s, QString() } };
    for (const auto& [stored, word] : cases) {
        store(u"Language"_s, stored);
        Splash splash(settings, ProgramVersion { 1, 5, 3 });
        EXPECT_EQ(splash.Loading->text(), u"Initialising "_s + word + u" version, please wait..."_s);
        EXPECT_EQ(splash.titleLabel->text(), u"Ringtally 1.5 (3)"_s);
        EXPECT_EQ(splash.versionLabel->text(), u"Ringtally 1.5 (3)"_s);
        EXPECT_EQ(splash.height(), twipsToPixels(1890));
        EXPECT_EQ(splash.Author->geometry().right(), splash.versionLabel->geometry().right());
        splash.show();
        splash.onBlink();
        EXPECT_TRUE(splash.Loading->isHidden());
        splash.onBlink();
        EXPECT_FALSE(splash.Loading->isHidden());
    }
}

} // namespace
} // namespace ringtally
