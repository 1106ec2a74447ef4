#include "core/AutostartEntry.h"

#include "platform/linux/DesktopEntry.h"

#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;

TEST(AutostartEntry, TheUsersEntryIsInTheConfigFolder)
{
    TempFolder home;
    const ScopedEnvironment homeVariable("HOME", home.path().toUtf8());
    const QString underHome = home.file(u".config/autostart/ringtally.desktop"_s);
    const std::pair<QByteArray, QString> cases[] = {
        { "/elsewhere/config", u"/elsewhere/config/autostart/ringtally.desktop"_s },
        { QByteArray(), underHome },
        { "relative/config", underHome },
    };
    for (const auto& [configHome, path] : cases) {
        const ScopedEnvironment variable("XDG_CONFIG_HOME", configHome);
        EXPECT_EQ(AutostartEntry::forUser().path(), path);
    }
}

TEST(AutostartEntry, TheEntryStartsExactlyTheProgram)
{
    TempFolder temp;
    const AutostartEntry entry(temp.file(u"autostart/ringtally.desktop"_s)); // the folder is made
    const std::pair<QString, QString> cases[] = {
        { u"/usr/bin/ringtally"_s, u"/usr/bin/ringtally"_s },
        { u"/home/jens hansen/ringtally"_s, u"\"/home/jens hansen/ringtally\""_s },
        // In quotes $ and " take a backslash, and the file's own escapes double it.
        { u"/opt/$HOME/a\"b"_s, u"\"/opt/\\\\$HOME/a\\\\\"b\""_s },
        { u"/opt/100%/ringtally"_s, u"/opt/100%%/ringtally"_s },
    };
    for (const auto& [program, exec] : cases) {
        EXPECT_EQ(AutostartEntry::execValue(program), exec);
        ASSERT_TRUE(entry.write(program).ok());
        const Result<DesktopEntry> read = DesktopEntry::read(entry.path());
        ASSERT_TRUE(read.ok()) << read.message().toStdString();
        EXPECT_EQ(read.value().command, QStringList { program });
        EXPECT_TRUE(entry.isOn());
    }
}

TEST(AutostartEntry, AnEntrySwitchedOffOrGoneIsOff)
{
    TempFolder temp;
    const AutostartEntry entry(temp.file(u"ringtally.desktop"_s));
    const std::pair<QByteArray, bool> cases[] = {
        { "[Desktop Entry]\nExec=ringtally\nHidden=true\n", false },
        { "[Desktop Entry]\nExec=ringtally\nX-GNOME-Autostart-enabled = false\n", false },
        { "[Desktop Entry]\nExec=ringtally\nHidden=false\n[Desktop Action x]\nHidden=true\n", true },
    };
    for (const auto& [contents, on] : cases) {
        writePlain(entry.path(), contents);
        EXPECT_EQ(entry.isOn(), on) << contents.constData();
    }
    ASSERT_TRUE(entry.remove().ok());
    EXPECT_FALSE(QFile::exists(entry.path()));
    EXPECT_FALSE(entry.isOn());
    EXPECT_TRUE(entry.remove().ok());
}

} // namespace
} // namespace ringtally::test
