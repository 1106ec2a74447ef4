#include "core/ProgramFolder.h"

#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace ringtally;
using ringtally::test::TempFolder;

namespace {

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~ScopedEnvironment() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

} // namespace

TEST(ProgramFolder, ASettingsFileBesideTheProgramMakesAPortableInstall)
{
    TempFolder executable;
    TempFolder data;
    const ScopedEnvironment xdg("XDG_DATA_HOME", data.path().toUtf8());
    EXPECT_EQ(ProgramFolder::locate(executable.path()).path(), data.file(QStringLiteral("ringtally")));

    QFile settings(executable.file(QStringLiteral("Ringtally.ini")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.close();
    const ProgramFolder portable = ProgramFolder::locate(executable.path());
    EXPECT_EQ(portable.path(), executable.path());
    EXPECT_EQ(portable.settingsFile(), executable.file(QStringLiteral("Ringtally.ini")));
    EXPECT_EQ(
        portable.file(QStringLiteral("Ringtally.log")), executable.file(QStringLiteral("Ringtally.log")));
}

TEST(ProgramFolder, WithoutAUsableDataHomeTheFolderIsUnderHome)
{
    TempFolder home;
    TempFolder executable;
    const ScopedEnvironment homeVariable("HOME", home.path().toUtf8());
    const QString expected = home.file(QStringLiteral(".local/share/ringtally"));
    {
        const ScopedEnvironment unset("XDG_DATA_HOME", QByteArray());
        EXPECT_EQ(ProgramFolder::locate(executable.path()).path(), expected);
    }
    {
        const ScopedEnvironment relative("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(ProgramFolder::locate(executable.path()).path(), expected);
    }
}
