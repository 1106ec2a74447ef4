#include "platform/linux/PppPeersDialUpNetwork.h"

#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace ringtally::test {
namespace {

void writeFile(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_GT(file.write("connect \"/usr/sbin/chat -v -f /etc/chatscripts/isp\"\n"), 0);
}

TEST(PppPeersDialUpNetworkTest, ListsPeerFilesSortedAndSkipsEverythingElse)
{
    TempFolder folder;
    for (const char* name : { "provider", "Work", "cybercity", "telenor-isdn", "provider~", "provider.bak",
             "provider.orig", "isp.dpkg-old", "isp.dpkg-new", "isp.dpkg-dist", "isp.rpmnew", "isp.rpmsave",
             "isp.swp", ".hidden", ".provider.swp" })
        writeFile(folder.file(QString::fromLatin1(name)));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("chatscripts")));
    writeFile(folder.file(QStringLiteral("chatscripts/inside")));
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("provider")), folder.file(QStringLiteral("linked"))));
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("gone")), folder.file(QStringLiteral("dangling"))));
    ASSERT_TRUE(
        QFile::link(folder.file(QStringLiteral("chatscripts")), folder.file(QStringLiteral("folderlink"))));

    const Result<QStringList> names = PppPeersDialUpNetwork(folder.path()).entryNames();

    ASSERT_TRUE(names.ok()) << names.message().toStdString();
    const QStringList expected { QStringLiteral("cybercity"), QStringLiteral("linked"),
        QStringLiteral("provider"), QStringLiteral("telenor-isdn"), QStringLiteral("Work") };
    EXPECT_EQ(names.value(), expected);
}

TEST(PppPeersDialUpNetworkTest, MissingFolderHasNoEntries)
{
    TempFolder folder;
    const Result<QStringList> names
        = PppPeersDialUpNetwork(folder.file(QStringLiteral("peers"))).entryNames();
    ASSERT_TRUE(names.ok()) << names.message().toStdString();
    EXPECT_TRUE(names.value().isEmpty());
}

TEST(PppPeersDialUpNetworkTest, FileInPlaceOfTheFolderIsAnError)
{
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("peers"));
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
    const QString path = folder.file(QStringLiteral("peers"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("peers")));
    writeFile(folder.file(QStringLiteral("peers/provider")));
    // The way to the folder is open to everyone; the folder itself to no one.
    QFile::setPermissions(folder.path(),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
            | QFileDevice::ExeOther);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));

    // Permissions do not stop root, so the listing runs as an ordinary user.
    const int status = runUnprivileged([&] {
        const Result<QStringList> names = PppPeersDialUpNetwork(path).entryNames();
        return !names.ok() && names.message().contains(path) ? 0 : 1;
    });

    // Give the folder back its permissions so that it can be removed.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(status, 0);
}

} // namespace
} // namespace ringtally::test
