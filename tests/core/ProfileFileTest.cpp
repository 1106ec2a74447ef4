#include "core/ProfileFile.h"

#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <limits>

#include <gtest/gtest.h>

using namespace ringtally;
using ringtally::test::TempFolder;

namespace {

void writePlain(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kSection = QStringLiteral("Configuration");

} // namespace

TEST(ProfileFile, AMissingFileGivesDefaultsAndTheFirstWriteCreatesIt)
{
    TempFolder temp;
    const QString path = temp.file(QStringLiteral("ringtally/Ringtally.ini"));
    ProfileFile profile(path);
    EXPECT_EQ(profile.ReadIni(kSection, QStringLiteral("Splash"), QStringLiteral("1")), QStringLiteral("1"));
    EXPECT_TRUE(profile.readStatus().ok());
    EXPECT_FALSE(QFile::exists(path));

    ASSERT_TRUE(profile.WriteIni(kSection, QStringLiteral("Splash"), QStringLiteral("0")).ok());
    EXPECT_EQ(contentsOf(path), QByteArray("[Configuration]\nSplash=0\n"));
    EXPECT_EQ(profile.ReadIni(QStringLiteral("CONFIGURATION"), QStringLiteral("splash"), QStringLiteral("1")),
        QStringLiteral("0"));
}

TEST(ProfileFile, LongValuesAreCutTo254Characters)
{
    TempFolder temp;
    ProfileFile profile(temp.file(QStringLiteral("Ringtally.ini")));
    const QString longTitle = QString(300, u'x');
    ASSERT_TRUE(profile.WriteIni(QStringLiteral("Runprogs"), QStringLiteral("Nr.0 data 3"), longTitle).ok());
    EXPECT_EQ(profile.ReadIni(QStringLiteral("Runprogs"), QStringLiteral("Nr.0 data 3"), QString()),
        QString(254, u'x'));
    // The file keeps the whole value; only reading cuts.
    EXPECT_TRUE(contentsOf(profile.path()).contains(longTitle.toUtf8()));
    // A cut never splits a character outside the basic plane.
    const QString clef = QString::fromUtf16(u"\U0001D11E");
    ASSERT_TRUE(profile.WriteIni(QStringLiteral("S"), QStringLiteral("k"), QString(253, u'a') + clef).ok());
    EXPECT_EQ(profile.ReadIni(QStringLiteral("S"), QStringLiteral("k"), QString()), QString(253, u'a'));
}

TEST(ProfileFile, AHandEditIsSeenByTheNextRead)
{
    // Edits of the same size share a stamp where the file system keeps coarse times (FAT, network
    // file systems, kernels before 6.13); here stamps keep no times at all.
    const qint64 fine = setStampGranularityForTests(std::numeric_limits<qint64>::max());
    const auto restore = qScopeGuard([fine] { setStampGranularityForTests(fine); });
    TempFolder temp;
    const QString path = temp.file(QStringLiteral("Ringtally.ini"));
    ProfileFile profile(path);
    ASSERT_TRUE(profile.WriteIni(QStringLiteral("Total"), QStringLiteral("Hours"), QStringLiteral("1")).ok());
    ASSERT_EQ(
        profile.ReadIni(QStringLiteral("Total"), QStringLiteral("Hours"), QString()), QStringLiteral("1"));

    // An editor that writes in place, same size as before.
    writePlain(path, "[Total]\nHours=2\n");
    EXPECT_EQ(
        profile.ReadIni(QStringLiteral("Total"), QStringLiteral("Hours"), QString()), QStringLiteral("2"));

    // An editor that writes a new file and renames it over the old one.
    writePlain(temp.file(QStringLiteral("edit.tmp")), "[Total]\nHours=33\n");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(temp.file(QStringLiteral("edit.tmp")), path));
    EXPECT_EQ(
        profile.ReadIni(QStringLiteral("Total"), QStringLiteral("Hours"), QString()), QStringLiteral("33"));

    // A write starts from the edited file, so the hand edit is not undone.
    writePlain(path, "[Total]\nHours=44\n");
    ASSERT_TRUE(
        profile.WriteIni(QStringLiteral("Total"), QStringLiteral("Minutes"), QStringLiteral("4")).ok());
    EXPECT_EQ(contentsOf(path), QByteArray("[Total]\nHours=44\nMinutes=4\n"));

    // The file removed: defaults again.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(profile.ReadIni(QStringLiteral("Total"), QStringLiteral("Hours"), QStringLiteral("0")),
        QStringLiteral("0"));
}

TEST(ProfileFile, DeletingKeysAndSections)
{
    TempFolder temp;
    const QString path = temp.file(QStringLiteral("Ringtally.ini"));
    writePlain(path, "[AutoConnect]\nCount=2\n1A=mail\n2A=news\n[Autolog]\n1A=isp\n");
    ProfileFile profile(path);
    ASSERT_TRUE(profile.DeleteIni(QStringLiteral("autoconnect"), QStringLiteral("2a"), false).ok());
    EXPECT_EQ(contentsOf(path), QByteArray("[AutoConnect]\nCount=2\n1A=mail\n[Autolog]\n1A=isp\n"));
    ASSERT_TRUE(profile.DeleteIni(QStringLiteral("AutoConnect"), QString(), true).ok());
    EXPECT_EQ(contentsOf(path), QByteArray("[Autolog]\n1A=isp\n"));
    EXPECT_EQ(profile.ReadIni(QStringLiteral("AutoConnect"), QStringLiteral("1A"), QStringLiteral("-")),
        QStringLiteral("-"));
}

TEST(ProfileFile, OneReplacePerUpdateAndNoneWithoutAChange)
{
    TempFolder temp;
    ProfileFile profile(temp.file(QStringLiteral("Ringtally.ini")));
    const Status status = profile.update([](IniDocument& document) {
        for (int i = 0; i < 50; ++i) {
            if (Status s
                = document.setValue(QStringLiteral("S"), QStringLiteral("k%1").arg(i), QString::number(i));
                !s.ok())
                return s;
        }
        return Status::success();
    });
    ASSERT_TRUE(status.ok());
    EXPECT_EQ(profile.replaceCount(), 1u);
    ASSERT_TRUE(profile.WriteIni(QStringLiteral("s"), QStringLiteral("K7"), QStringLiteral("7")).ok());
    ASSERT_TRUE(profile.DeleteIni(QStringLiteral("Missing"), QString(), true).ok());
    EXPECT_EQ(profile.replaceCount(), 1u);
}

TEST(ProfileFile, AFailedEditWritesNothing)
{
    TempFolder temp;
    const QString path = temp.file(QStringLiteral("Ringtally.ini"));
    writePlain(path, "[S]\nk=1\n");
    ProfileFile profile(path);
    const Status status = profile.update([](IniDocument& document) {
        EXPECT_TRUE(document.setValue(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("2")).ok());
        return document.setValue(QStringLiteral("S"), QStringLiteral("bad=key"), QStringLiteral("3"));
    });
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(contentsOf(path), QByteArray("[S]\nk=1\n"));
    EXPECT_EQ(profile.ReadIni(QStringLiteral("S"), QStringLiteral("k"), QString()), QStringLiteral("1"));
}

TEST(ProfileFile, AWriteFailureIsReturnedAndTheCachedCopyStaysTrue)
{
    TempFolder temp;
    const QString path = temp.file(QStringLiteral("Ringtally.ini"));
    writePlain(path, "[Total]\nPrice=100\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    ProfileFile profile(path);
    const Status status
        = profile.WriteIni(QStringLiteral("Total"), QStringLiteral("Price"), QStringLiteral("200"));
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.message().contains(QDir::toNativeSeparators(path)));
    // Reads show what the file holds, not the write that failed.
    EXPECT_EQ(
        profile.ReadIni(QStringLiteral("Total"), QStringLiteral("Price"), QString()), QStringLiteral("100"));
}

TEST(ProfileFile, AFileThatCannotBeReadIsNeverOverwritten)
{
    TempFolder temp;
    // A folder where the file should be cannot be read as a file, even by root.
    const QString path = temp.file(QStringLiteral("Ringtally.ini"));
    ASSERT_TRUE(QDir().mkpath(path));
    ProfileFile profile(path);
    EXPECT_EQ(profile.ReadIni(QStringLiteral("Total"), QStringLiteral("Price"), QStringLiteral("0,00")),
        QStringLiteral("0,00"));
    EXPECT_FALSE(profile.readStatus().ok());
    const Status status
        = profile.WriteIni(QStringLiteral("Total"), QStringLiteral("Price"), QStringLiteral("1"));
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.message().contains(QStringLiteral("could not be read")));
}

TEST(ProfileFile, AReaderSeesTheFileAppearInAFolderThatDidNotExist)
{
    TempFolder temp;
    const QString path = temp.file(QStringLiteral("later/Ringtally.ini"));
    const ProfileFile reader(path);
    EXPECT_EQ(reader.ReadIni(QStringLiteral("Total"), QStringLiteral("Hours"), QStringLiteral("0")),
        QStringLiteral("0"));

    ProfileFile writer(path);
    ASSERT_TRUE(writer.WriteIni(QStringLiteral("Total"), QStringLiteral("Hours"), QStringLiteral("1")).ok());
    EXPECT_EQ(
        reader.ReadIni(QStringLiteral("Total"), QStringLiteral("Hours"), QString()), QStringLiteral("1"));
    // Several quick changes of the same size, each seen by the next read.
    for (const char* hours : { "2", "3", "4" }) {
        ASSERT_TRUE(
            writer.WriteIni(QStringLiteral("Total"), QStringLiteral("Hours"), QString::fromLatin1(hours))
                .ok());
        EXPECT_EQ(reader.ReadIni(QStringLiteral("Total"), QStringLiteral("Hours"), QString()),
            QString::fromLatin1(hours));
        writePlain(path, QByteArray("[Total]\nHours=") + hours + "9\n");
        EXPECT_EQ(reader.ReadIni(QStringLiteral("Total"), QStringLiteral("Hours"), QString()),
            QString::fromLatin1(hours) + u'9');
    }
}
