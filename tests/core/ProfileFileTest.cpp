#include "core/ProfileFile.h"

#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <limits>

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;
using ringtally::test::contentsOf;
using ringtally::test::TempFolder;
using ringtally::test::writePlain;

namespace {

// A key's value, "-" when it is missing.
QString read(const ProfileFile& profile, const QString& section, const QString& key)
{
    return profile.ReadIni(section, key, u"-"_s);
}

class ProfileFileTest : public ::testing::Test {
protected:
    TempFolder temp;
    const QString path = temp.file(u"Ringtally.ini"_s);
};

} // namespace

TEST_F(ProfileFileTest, AMissingFileOrFolderGivesDefaultsUntilTheFileAppears)
{
    const QString later = temp.file(u"later/Ringtally.ini"_s);
    const ProfileFile reader(later);
    EXPECT_EQ(read(reader, u"Total"_s, u"Hours"_s), u"-"_s);
    EXPECT_TRUE(reader.readStatus().ok());
    EXPECT_FALSE(QFile::exists(later));

    // The first write creates the folder and the file.
    ProfileFile writer(later);
    ASSERT_TRUE(writer.WriteIni(u"Total"_s, u"Hours"_s, u"1"_s).ok());
    EXPECT_EQ(contentsOf(later), QByteArray("[Total]\nHours=1\n"));
    EXPECT_EQ(read(writer, u"TOTAL"_s, u"hours"_s), u"1"_s);
    EXPECT_EQ(read(reader, u"Total"_s, u"Hours"_s), u"1"_s);
    // Several quick changes of the same size, each seen by the next read.
    for (const QString& hours : { u"2"_s, u"3"_s, u"4"_s }) {
        ASSERT_TRUE(writer.WriteIni(u"Total"_s, u"Hours"_s, hours).ok());
        EXPECT_EQ(read(reader, u"Total"_s, u"Hours"_s), hours);
        writePlain(later, "[Total]\nHours=" + hours.toLatin1() + "9\n");
        EXPECT_EQ(read(reader, u"Total"_s, u"Hours"_s), hours + u'9');
    }
}

TEST_F(ProfileFileTest, LongValuesAreCutTo254Characters)
{
    ProfileFile profile(path);
    const QString longTitle = QString(300, u'x');
    ASSERT_TRUE(profile.WriteIni(u"Runprogs"_s, u"Nr.0 data 3"_s, longTitle).ok());
    EXPECT_EQ(read(profile, u"Runprogs"_s, u"Nr.0 data 3"_s), QString(254, u'x'));
    // The file keeps the whole value; only reading cuts.
    EXPECT_TRUE(contentsOf(path).contains(longTitle.toUtf8()));
    // A cut never splits a character outside the basic plane.
    ASSERT_TRUE(
        profile.WriteIni(u"S"_s, u"k"_s, QString(253, u'a') + QString::fromUtf16(u"\U0001D11E")).ok());
    EXPECT_EQ(read(profile, u"S"_s, u"k"_s), QString(253, u'a'));
}

TEST_F(ProfileFileTest, AHandEditIsSeenByTheNextRead)
{
    // Edits of the same size share a stamp where the file system keeps coarse times (FAT, network
    // file systems, kernels before 6.13); here stamps keep no times at all.
    const qint64 fine = setStampGranularityForTests(std::numeric_limits<qint64>::max());
    const auto restore = qScopeGuard([fine] { setStampGranularityForTests(fine); });
    ProfileFile profile(path);
    ASSERT_TRUE(profile.WriteIni(u"Total"_s, u"Hours"_s, u"1"_s).ok());
    ASSERT_EQ(read(profile, u"Total"_s, u"Hours"_s), u"1"_s);

    // An editor that writes in place, same size as before.
    writePlain(path, "[Total]\nHours=2\n");
    EXPECT_EQ(read(profile, u"Total"_s, u"Hours"_s), u"2"_s);
    // An editor that writes a new file and renames it over the old one.
    writePlain(temp.file(u"edit.tmp"_s), "[Total]\nHours=33\n");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(temp.file(u"edit.tmp"_s), path));
    EXPECT_EQ(read(profile, u"Total"_s, u"Hours"_s), u"33"_s);
    // A write starts from the edited file, so the hand edit is not undone.
    writePlain(path, "[Total]\nHours=44\n");
    ASSERT_TRUE(profile.WriteIni(u"Total"_s, u"Minutes"_s, u"4"_s).ok());
    EXPECT_EQ(contentsOf(path), QByteArray("[Total]\nHours=44\nMinutes=4\n"));
    // The file removed: defaults again.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(read(profile, u"Total"_s, u"Hours"_s), u"-"_s);
}

TEST_F(ProfileFileTest, DeletingKeysAndSections)
{
    writePlain(path, "[AutoConnect]\nCount=2\n1A=mail\n2A=news\n[Autolog]\n1A=isp\n");
    ProfileFile profile(path);
    ASSERT_TRUE(profile.DeleteIni(u"autoconnect"_s, u"2a"_s, false).ok());
    EXPECT_EQ(contentsOf(path), QByteArray("[AutoConnect]\nCount=2\n1A=mail\n[Autolog]\n1A=isp\n"));
    ASSERT_TRUE(profile.DeleteIni(u"AutoConnect"_s, QString(), true).ok());
    EXPECT_EQ(contentsOf(path), QByteArray("[Autolog]\n1A=isp\n"));
    EXPECT_EQ(read(profile, u"AutoConnect"_s, u"1A"_s), u"-"_s);
}

TEST_F(ProfileFileTest, OneReplacePerUpdateNoneWithoutAChangeAndNothingWrittenByAFailedEdit)
{
    ProfileFile profile(path);
    const Status fifty = profile.update([](IniDocument& document) {
        Status s = Status::success();
        for (int i = 0; i < 50 && s.ok(); ++i)
            s = document.setValue(u"S"_s, u"k%1"_s.arg(i), QString::number(i));
        return s;
    });
    ASSERT_TRUE(fifty.ok());
    EXPECT_EQ(profile.replaceCount(), 1u);
    ASSERT_TRUE(profile.WriteIni(u"s"_s, u"K7"_s, u"7"_s).ok());
    ASSERT_TRUE(profile.DeleteIni(u"Missing"_s, QString(), true).ok());
    EXPECT_EQ(profile.replaceCount(), 1u);

    const QByteArray before = contentsOf(path);
    const Status failed = profile.update([](IniDocument& document) {
        EXPECT_TRUE(document.setValue(u"S"_s, u"k1"_s, u"2"_s).ok());
        return document.setValue(u"S"_s, u"bad=key"_s, u"3"_s);
    });
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(contentsOf(path), before);
    EXPECT_EQ(read(profile, u"S"_s, u"k1"_s), u"1"_s);
    EXPECT_EQ(profile.replaceCount(), 1u);

    // A transaction's writes are read back inside it and written once at its end; when it fails,
    // none of them is.
    for (const bool fails : { true, false }) {
        const Status done = profile.transaction([&] {
            EXPECT_TRUE(profile.WriteIni(u"S"_s, u"k1"_s, u"10"_s).ok());
            EXPECT_TRUE(profile.WriteIni(u"S"_s, u"k2"_s, u"20"_s).ok());
            EXPECT_EQ(read(profile, u"S"_s, u"k2"_s), u"20"_s);
            return fails ? Status(Error { u"a page refused"_s }) : Status::success();
        });
        EXPECT_EQ(done.ok(), !fails);
        EXPECT_EQ(read(profile, u"S"_s, u"k1"_s), fails ? u"1"_s : u"10"_s);
        EXPECT_EQ(profile.replaceCount(), fails ? 1u : 2u);
    }
}

TEST_F(ProfileFileTest, WritesFailWithoutTouchingWhatTheFileHolds)
{
    // A file that cannot be written: the failure names it, and reads show what the file holds,
    // not the write that failed.
    writePlain(path, "[Total]\nPrice=100\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    ProfileFile profile(path);
    Status status = profile.WriteIni(u"Total"_s, u"Price"_s, u"200"_s);
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.message().contains(QDir::toNativeSeparators(path)));
    EXPECT_EQ(read(profile, u"Total"_s, u"Price"_s), u"100"_s);

    // A file that cannot be read (a folder in its place, unreadable even by root) is never
    // overwritten.
    const QString folder = temp.file(u"Folder.ini"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    ProfileFile unreadable(folder);
    EXPECT_EQ(read(unreadable, u"Total"_s, u"Price"_s), u"-"_s);
    EXPECT_FALSE(unreadable.readStatus().ok());
    status = unreadable.WriteIni(u"Total"_s, u"Price"_s, u"1"_s);
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.message().contains(u"could not be read"_s));
}
