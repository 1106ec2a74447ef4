// The whole road of a call in the real program on an X server of the test's own, over the
// simulated line: dialed by a hotkey and hung up by it, a busy line redialed and given up, and a
// connection brought up from outside and metered by autolog, whose program was killed, logged at
// the next start. (A call metered by autolog until its line drops is the tray's D-Bus test's, over
// NetworkManager.) Keys are pressed with XTest and windows looked for with xdotool, as a user's
// desktop would.

#include "core/NumberFormat.h"
#include "core/ProfileFile.h"
#include "core/SettingsFile.h"

#include "support/ProgramRun.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;

constexpr int kWaitMs = 20'000;

class CallRoadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(run.xvfb.error().empty()) << run.xvfb.error();
        // One scheme on the simulated line at 6 kr a minute all day, every day; Ctrl+Shift+F1
        // dials it.
        settings.LoadSettings(stored);
        Scheme& demo = stored.Schemes[0];
        demo.Name = u"Demo"_s;
        demo.DUNName = u"Ringtally Demo"_s;
        demo.DUNData = { QString(), QString(), u"12345678"_s };
        for (DayTariff& day : demo.Days)
            day = { .NumberOfPeriods = 1, .MinutePrice = { 6.0 } };
        stored.KeyboardShortcut = { 1, 0, 0 };
        stored.AutoLogOnHangup = 1;
    }

    void start(const QList<std::pair<QString, QString>>& configuration = {})
    {
        ASSERT_TRUE(settings.SaveSettings(stored).ok());
        for (const auto& [key, value] : configuration)
            ASSERT_TRUE(settings.WriteIni(u"Configuration"_s, key, value).ok());
        ASSERT_TRUE(run.start());
        // Up: without a tray on this server, the main window shows.
        ASSERT_TRUE(test::waitUntil([] { return test::windowShown(u"Ringtally"_s); }));
    }
    // Presses Ctrl+Shift+F1 for a second and a half: a tick sees it held however late it comes on a
    // busy machine, and it acts once. (A tap between two ticks is the key state's own test.)
    void pressHotkey()
    {
        ASSERT_TRUE(test::xdotool({ u"keydown"_s, u"ctrl+shift+F1"_s }));
        QTest::qWait(1'500);
        ASSERT_TRUE(test::xdotool({ u"keyup"_s, u"ctrl+shift+F1"_s }));
    }
    QString lineState() const
    {
        QFile file(run.runtime + u"/ringtally/demo-line"_s);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readLine()).trimmed() : u"down"_s;
    }
    // The simulated line's entry logged with the scheme when another dialer brings it up.
    void addAutologEntry()
    {
        stored.NumberOfDUN = 1;
        for (const auto& [key, value] :
            { std::pair { u"1A"_s, u"Ringtally Demo"_s }, { u"1B"_s, u"Demo"_s }, { u"1C"_s, u"0"_s } })
            ASSERT_TRUE(settings.WriteIni(u"Autolog"_s, key, value).ok());
    }
    bool demoLine(const QString& command) const
    {
        return test::succeeds(QStringLiteral(RINGTALLY_DEMO_LINE_TOOL), { command }, run.environment);
    }
    QStringList logLines() const
    {
        return QString::fromUtf8(test::contentsOf(run.folder + u"/Ringtally.log"_s))
            .split(u"\r\n"_s, Qt::SkipEmptyParts);
    }
    // One call-end line for the scheme, whose price matches the totals saved with it.
    void expectLoggedAndCounted(const QString& scheme)
    {
        ASSERT_TRUE(test::waitUntil([this] { return !logLines().isEmpty(); })) << "no call was logged";
        ASSERT_TRUE(run.end());
        const QStringList lines = logLines();
        ASSERT_EQ(lines.size(), 1) << lines.join(u'\n').toStdString();
        EXPECT_TRUE(lines[0].contains(scheme)) << lines[0].toStdString();
        Settings after;
        settings.LoadSettings(after);
        EXPECT_GT(after.TotalPrice, 0) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(format.formatFixed(after.TotalPrice, 2))) << lines[0].toStdString();
        EXPECT_EQ(after.LastCallPrice, after.TotalPrice);
        EXPECT_FALSE(QFile::exists(checkpoint));
    }

    test::ProgramRun run;
    const NumberFormat format { QLocale::c() };
    ProfileFile profile { run.folder + u"/Ringtally.ini"_s };
    SettingsFile settings { profile, format };
    Settings stored;
    const QString checkpoint = run.folder + u"/Ringtally.call"_s;
};

TEST_F(CallRoadsTest, AHotkeyDialsTheSchemeAndAgainHangsUpAndLogs)
{
    start();
    pressHotkey();
    // The dial window follows the line's states and goes once the line is up.
    ASSERT_TRUE(test::waitUntil([this] { return lineState() == u"up"_s; })) << "the line never came up";
    ASSERT_TRUE(test::waitUntil([] { return test::windowShown(u"Ringtally - Online"_s); }));
    EXPECT_TRUE(test::waitUntil([] { return !test::windowShown(u"Tilsluttet"_s); }));
    QTest::qWait(3'000); // metered on the real clock
    pressHotkey();
    EXPECT_TRUE(test::waitUntil([this] { return lineState() == u"down"_s; }));
    expectLoggedAndCounted(u"Demo"_s);
}

TEST_F(CallRoadsTest, ABusyLineIsRedialedAndThenGivenUp)
{
    stored.Schemes[0].DUNData[2] = u"0"_s; // the simulated line answers busy
    start({ { u"Redial number"_s, u"2"_s }, { u"Redial interval"_s, u"1"_s } });
    pressHotkey();
    ASSERT_TRUE(test::waitUntil([] { return test::windowShown(u"Opkald opgivet"_s); }, 40'000))
        << "the dial was not given up";
    EXPECT_EQ(lineState(), u"down"_s);
    // The user hangs up in the dial window, which logs nothing.
    ASSERT_TRUE(test::xdotool({ u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Opkald opgivet$"_s,
        u"windowfocus"_s, u"--sync"_s, u"key"_s, u"alt+l"_s }));
    EXPECT_TRUE(test::waitUntil([] { return !test::windowShown(u"Opkald opgivet"_s); }));
    ASSERT_TRUE(run.end());
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(CallRoadsTest, ACallCutShortByAKillIsLoggedAndCountedAtTheNextStart)
{
    addAutologEntry();
    start();
    ASSERT_TRUE(demoLine(u"up"_s));
    ASSERT_TRUE(test::waitUntil([] { return test::windowShown(u"Ringtally - Online"_s); }))
        << "autolog did not start";
    // The call's first tick keeps it on disk; then the program is killed (SIGKILL), as a crash
    // or a power loss would end it.
    ASSERT_TRUE(test::waitUntil([this] { return QFile::exists(checkpoint); })) << "no checkpoint";
    run.program.kill();
    ASSERT_TRUE(run.program.waitForFinished(kWaitMs));
    ASSERT_TRUE(demoLine(u"down"_s));
    EXPECT_TRUE(logLines().isEmpty());

    ASSERT_TRUE(run.start());
    ASSERT_TRUE(test::waitUntil([] { return test::windowShown(u"Afbrudt opkald"_s); }))
        << "the user was not told";
    ASSERT_TRUE(test::xdotool({ u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Afbrudt opkald$"_s,
        u"windowfocus"_s, u"--sync"_s }));
    ASSERT_TRUE(test::xdotool({ u"key"_s, u"Return"_s }));
    ASSERT_TRUE(test::waitUntil([] { return test::windowShown(u"Ringtally"_s); }));
    expectLoggedAndCounted(u"Demo"_s);
    // The demo line's bytes up to the last checkpoint follow the mark.
    EXPECT_TRUE(QRegularExpression(u",\"recovered\",\\d+,\\d+$"_s).match(logLines().value(0)).hasMatch())
        << logLines().value(0).toStdString();
}

TEST_F(CallRoadsTest, AFirstRunEndsOnASignalAtTheLanguageWindowAndWhenAskedToEndWhenReady)
{
    // The first run waits at the language window, which refuses to close: a logout must end it all
    // the same, and so must a start that was asked to end once it is up.
    for (const bool whenReady : { false, true }) {
        test::writePlain(run.folder + u"/Ringtally.ini"_s, "[Configuration]\nSplash=0\n");
        if (whenReady)
            run.program.setArguments({ u"--exit-when-ready"_s });
        ASSERT_TRUE(run.start());
        if (!whenReady) {
            ASSERT_TRUE(test::waitUntil([] { return test::windowShown(u"Welcome to Ringtally!"_s); }));
            run.program.terminate();
        }
        ASSERT_TRUE(run.program.waitForFinished(kWaitMs)) << whenReady;
        EXPECT_EQ(
            std::pair(run.program.exitStatus(), run.program.exitCode()), std::pair(QProcess::NormalExit, 0));
    }
}

} // namespace
} // namespace ringtally
