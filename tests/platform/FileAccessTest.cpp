#include "platform/FileAccess.h"

#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace ringtally;
using ringtally::test::contentsOf;
using ringtally::test::TempFolder;
using ringtally::test::writePlain;

namespace {

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(FileAccess, ReplaceCreatesTheFolderAndAnOwnerOnlyFile)
{
    TempFolder temp;
    const QString path = temp.file(QStringLiteral("new/deeper/Ringtally.ini"));
    const Result<FileStamp> stamp = replaceFileAtomically(path, "[Total]\nHours=1\n");
    ASSERT_TRUE(stamp.ok()) << stamp.message().toStdString();
    EXPECT_EQ(contentsOf(path), QByteArray("[Total]\nHours=1\n"));
    struct stat st { };
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // What replace reports is what a look at the file sees, so the next read needs no reparse.
    EXPECT_EQ(stampFile(path).value(), stamp.value());
    // Nothing else is left in the folder.
    EXPECT_EQ(
        entriesOf(temp.file(QStringLiteral("new/deeper"))), QStringList({ QStringLiteral("Ringtally.ini") }));
}

TEST(FileAccess, ReplaceChangesTheStampAndKeepsALinkALink)
{
    TempFolder temp;
    const QString target = temp.file(QStringLiteral("real.ini"));
    const QString link = temp.file(QStringLiteral("Ringtally.ini"));
    writePlain(target, "old");
    ASSERT_TRUE(QFile::link(target, link));
    const FileStamp before = stampFile(target).value();

    ASSERT_TRUE(replaceFileAtomically(link, "new content").ok());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contentsOf(target), QByteArray("new content"));
    EXPECT_NE(stampFile(target).value(), before);
}

TEST(FileAccess, MissingFilesReadAsEmptyAndFoldersAsErrors)
{
    TempFolder temp;
    const Result<FileContents> missing = readWholeFile(temp.file(QStringLiteral("none.ini")));
    ASSERT_TRUE(missing.ok());
    EXPECT_FALSE(missing.value().stamp.exists);
    EXPECT_TRUE(missing.value().bytes.isEmpty());
    EXPECT_FALSE(stampFile(temp.file(QStringLiteral("none.ini"))).value().exists);

    const Result<FileContents> folder = readWholeFile(temp.path());
    EXPECT_FALSE(folder.ok());
    EXPECT_TRUE(folder.message().contains(QDir::toNativeSeparators(temp.path())));
}

TEST(FileAccess, AFolderThatCannotBeCreatedIsAnError)
{
    TempFolder temp;
    writePlain(temp.file(QStringLiteral("a file")), "x");
    const Result<FileStamp> result
        = replaceFileAtomically(temp.file(QStringLiteral("a file/sub/Ringtally.ini")), "x");
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.message().isEmpty());
}

TEST(FileAccess, AReadOnlyFolderIsAnErrorAndLeavesTheFileAlone)
{
    TempFolder temp;
    const QString folder = temp.file(QStringLiteral("settings"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath(QStringLiteral("Ringtally.ini"));
    writePlain(path, "kept");
    // Readable by everyone, writable by nobody but root (and not even that when not root).
    QFile::setPermissions(temp.path(),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
            | QFileDevice::ExeOther);
    QFile::setPermissions(folder,
        QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);

    const int status = ringtally::test::runUnprivileged([&] {
        const Result<FileStamp> result = replaceFileAtomically(path, "lost");
        return result.ok() ? 1 : (result.message().contains(QStringLiteral("settings")) ? 0 : 2);
    });
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(contentsOf(path), QByteArray("kept"));
    EXPECT_EQ(entriesOf(folder), QStringList({ QStringLiteral("Ringtally.ini") }));
}

TEST(FileAccess, AFullDiskLeavesTheOldFileAndTheLogWhole)
{
    TempFolder temp;
    const QString path = temp.file(QStringLiteral("Ringtally.ini"));
    const QString log = temp.file(QStringLiteral("Ringtally.log"));
    writePlain(path, "kept");
    writePlain(log, "first\r\n");
    // A file-size limit fails writes the way a full disk does, without needing a full disk; the
    // line is larger than the room left, so part of it is written before the write fails.
    const int status = ringtally::test::runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { 4096, 4096 };
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        const bool replaced = replaceFileAtomically(path, QByteArray(100'000, 'x')).ok();
        const bool appended = appendToFile(log, QByteArray(10'000, 'x') + "\r\n").written.ok();
        return replaced || appended ? 1 : 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(contentsOf(path), QByteArray("kept"));
    EXPECT_EQ(contentsOf(log), QByteArray("first\r\n"));
    EXPECT_EQ(entriesOf(temp.path()),
        QStringList({ QStringLiteral("Ringtally.ini"), QStringLiteral("Ringtally.log") }));
    ASSERT_TRUE(appendToFile(log, "second\r\n").written.ok());
    EXPECT_EQ(contentsOf(log), QByteArray("first\r\nsecond\r\n"));
}

TEST(FileAccess, ASaveRemovesTheOldTemporariesOfKilledSavesOfTheSameFileOnly)
{
    TempFolder temp;
    const QStringList leftovers
        = { QStringLiteral(".Ringtally.ini.Ab3xYz"), QStringLiteral(".Ringtally.ini.000000") };
    QStringList kept = { QStringLiteral(".Ringtally.ini.Folder"), QStringLiteral(".Ringtally.ini.Ab3xY"),
        QStringLiteral(".Ringtally.ini.Ab3xYz7"), QStringLiteral(".Ringtally.ini.Ab-xYz"),
        QStringLiteral(".Other.ini.Ab3xYz"), QStringLiteral("Ringtally.ini.Ab3xYz") };
    ASSERT_TRUE(QDir(temp.path()).mkdir(kept.front()));
    const timespec twoMinutesAgo[2] = { { 0, UTIME_OMIT }, { ::time(nullptr) - 120, 0 } };
    for (const QString& name : leftovers + kept) {
        if (name != kept.front())
            writePlain(temp.file(name), "partial");
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(temp.file(name)).constData(), twoMinutesAgo, 0), 0);
    }
    // A fresh one may belong to a save running now.
    writePlain(temp.file(QStringLiteral(".Ringtally.ini.Fresh1")), "partial");

    ASSERT_TRUE(replaceFileAtomically(temp.file(QStringLiteral("Ringtally.ini")), "new").ok());
    kept += { QStringLiteral(".Ringtally.ini.Fresh1"), QStringLiteral("Ringtally.ini") };
    kept.sort();
    QStringList entries = entriesOf(temp.path());
    entries.sort();
    EXPECT_EQ(entries, kept);
}
