#include "platform/linux/PppPeersDialUpNetwork.h"

#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;

void writeFile(const QString& path)
{
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly)) << path.toStdString();
}

TEST(PppPeersDialUpNetworkTest, ListsPeerFilesSortedAndSkipsEverythingElse)
{
    TempFolder folder;
    for (const char* name : { "provider", "Work", "cybercity", "telenor-isdn", "provider~", "provider.bak",
             "provider.orig", "isp.dpkg-old", "isp.dpkg-new", "isp.dpkg-dist", "isp.rpmnew", "isp.rpmsave",
             "isp.swp", ".hidden" })
        writeFile(folder.file(QString::fromLatin1(name)));
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"chatscripts"_s));
    writeFile(folder.file(u"chatscripts/inside"_s));
    // A link to a peer file is an entry; a dangling one or one to a folder is not.
    ASSERT_TRUE(QFile::link(folder.file(u"provider"_s), folder.file(u"linked"_s)));
    ASSERT_TRUE(QFile::link(folder.file(u"gone"_s), folder.file(u"dangling"_s)));
    ASSERT_TRUE(QFile::link(folder.file(u"chatscripts"_s), folder.file(u"folderlink"_s)));

    const Result<QStringList> names = PppPeersDialUpNetwork(folder.path()).entryNames();

    ASSERT_TRUE(names.ok()) << names.message().toStdString();
    EXPECT_EQ(names.value(),
        QStringList({ u"cybercity"_s, u"linked"_s, u"provider"_s, u"telenor-isdn"_s, u"Work"_s }));
}

TEST(PppPeersDialUpNetworkTest, MissingFolderHasNoEntriesButAFileInItsPlaceIsAnError)
{
    TempFolder folder;
    const QString path = folder.file(u"peers"_s);
    const Result<QStringList> missing = PppPeersDialUpNetwork(path).entryNames();
    ASSERT_TRUE(missing.ok()) << missing.message().toStdString();
    EXPECT_TRUE(missing.value().isEmpty());

    writeFile(path);
    const Result<QStringList> names = PppPeersDialUpNetwork(path).entryNames();
    ASSERT_FALSE(names.ok());
    EXPECT_TRUE(names.message().contains(path)) << names.message().toStdString();
    EXPECT_TRUE(names.message().contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))))
        << names.message().toStdString();
}

TEST(PppPeersDialUpNetworkTest, UnreadableFolderIsAnError)
{
    TempFolder folder;
    const QString path = folder.file(u"peers"_s);
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"peers"_s));
    // The way to the folder is open to everyone, the folder itself to no one; the listing runs as
    // an ordinary user, as permissions do not stop root.
    QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) | QFileDevice::ExeOther);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));
    const int status = runUnprivileged([&] {
        const Result<QStringList> names = PppPeersDialUpNetwork(path).entryNames();
        return !names.ok() && names.message().contains(path) ? 0 : 1;
    });

    // Gives the folder its permissions back so that it can be removed.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(status, 0);
}

} // namespace
} // namespace ringtally::test
