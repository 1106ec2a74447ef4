#include "core/ProgramFolder.h"

#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace ringtally;
using ringtally::test::ScopedEnvironment;
using ringtally::test::TempFolder;

TEST(ProgramFolder, ASettingsFileBesideTheProgramMakesAPortableInstall)
{
    TempFolder executable;
    TempFolder data;
    const ScopedEnvironment xdg("XDG_DATA_HOME", data.path().toUtf8());
    EXPECT_EQ(ProgramFolder::locate(executable.path()).path(), data.file(QStringLiteral("ringtally")));

    ringtally::test::writePlain(executable.file(QStringLiteral("Ringtally.ini")), {});
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

TEST(ProgramFolder, TheShippedFilesAreFoundInTheBuildTreeTheInstallOrTheDataFolders)
{
    TempFolder root;
    for (const char* folder : { "build/src/data", "usr/bin", "usr/share/ringtally", "xdg/ringtally", "bare" })
        ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromLatin1(folder)));
    struct Case {
        const char* executable;
        QByteArray dataDirs;
        const char* found; // under root; nullptr for none
    };
    const QByteArray xdg = root.file(QStringLiteral("xdg")).toUtf8();
    const Case cases[] = {
        { "build/src", "/nowhere", "build/src/data" },
        { "usr/bin", "/nowhere", "usr/share/ringtally" },
        { "bare", "relative:/nowhere:" + xdg, "xdg/ringtally" },
        { "bare", "/nowhere", nullptr },
    };
    for (const Case& c : cases) {
        const ScopedEnvironment dataDirs("XDG_DATA_DIRS", c.dataDirs);
        EXPECT_EQ(ProgramFolder::shippedData(root.file(QString::fromLatin1(c.executable))),
            c.found ? root.file(QString::fromLatin1(c.found)) : QString())
            << c.executable;
    }
}
