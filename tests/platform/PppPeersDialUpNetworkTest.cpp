#include "platform/linux/PppPeersDialUpNetwork.h"

#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;

void writeFile(const QString& path, const QByteArray& content = {})
{
    QDir().mkpath(QFileInfo(path).path());
    writePlain(path, content);
}

TEST(PppPeersDialUpNetworkTest, ListsPeerFilesSortedAndSkipsEverythingElse)
{
    TempFolder root;
    ASSERT_TRUE(QDir(root.path()).mkpath(u"etc/ppp/peers"_s));
    const QDir folder(root.file(u"etc/ppp/peers"_s));
    for (const char* name : { "provider", "Work", "cybercity", "telenor-isdn", "provider~", "provider.bak",
             "provider.orig", "isp.dpkg-old", "isp.dpkg-new", "isp.dpkg-dist", "isp.rpmnew", "isp.rpmsave",
             "isp.swp", ".hidden" })
        writeFile(folder.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"chatscripts"_s));
    writeFile(folder.filePath(u"chatscripts/inside"_s));
    // A link to a peer file is an entry; a dangling one or one to a folder is not.
    ASSERT_TRUE(QFile::link(folder.filePath(u"provider"_s), folder.filePath(u"linked"_s)));
    ASSERT_TRUE(QFile::link(folder.filePath(u"gone"_s), folder.filePath(u"dangling"_s)));
    ASSERT_TRUE(QFile::link(folder.filePath(u"chatscripts"_s), folder.filePath(u"folderlink"_s)));

    const Result<QStringList> names = PppPeersDialUpNetwork(root.path()).entryNames();

    ASSERT_TRUE(names.ok()) << names.message().toStdString();
    EXPECT_EQ(names.value(),
        QStringList({ u"cybercity"_s, u"linked"_s, u"provider"_s, u"telenor-isdn"_s, u"Work"_s }));
}

TEST(PppPeersDialUpNetworkTest, MissingFolderHasNoEntriesButAFileInItsPlaceIsAnError)
{
    TempFolder folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath(u"etc/ppp"_s));
    const QString path = folder.file(u"etc/ppp/peers"_s);
    const Result<QStringList> missing = PppPeersDialUpNetwork(folder.path()).entryNames();
    ASSERT_TRUE(missing.ok()) << missing.message().toStdString();
    EXPECT_TRUE(missing.value().isEmpty());

    writeFile(path);
    const Result<QStringList> names = PppPeersDialUpNetwork(folder.path()).entryNames();
    ASSERT_FALSE(names.ok());
    EXPECT_TRUE(names.message().contains(path)) << names.message().toStdString();
    EXPECT_TRUE(names.message().contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))))
        << names.message().toStdString();
}

TEST(PppPeersDialUpNetworkTest, UnreadableFolderIsAnError)
{
    TempFolder folder;
    const QString path = folder.file(u"etc/ppp/peers"_s);
    ASSERT_TRUE(QDir(folder.path()).mkpath(u"etc/ppp/peers"_s));
    // The way to the folder is open to everyone, the folder itself to no one; the listing runs as
    // an ordinary user, as permissions do not stop root.
    QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) | QFileDevice::ExeOther);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));
    const int status = runUnprivileged([&] {
        const Result<QStringList> names = PppPeersDialUpNetwork(folder.path()).entryNames();
        return !names.ok() && names.message().contains(path) ? 0 : 1;
    });

    // Gives the folder its permissions back so that it can be removed.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(status, 0);
}

TEST(PppPeersDialUpNetworkTest, SeesTheLinksThatAreUpWhoeverDialedThemAndHangsThemUpInOrder)
{
    TempFolder root;
    // Real processes stand for the pppds, so that the signal each gets can be seen.
    QProcess home, work, vpn;
    const QByteArray owner = QByteArray::number(::getuid());
    for (QProcess* pppd : { &home, &work, &vpn }) {
        pppd->start(u"sleep"_s, { u"60"_s });
        ASSERT_TRUE(pppd->waitForStarted());
    }
    const auto link = [&](const char* name, QByteArray type, QString pidFile, qint64 pid,
                          QByteArray cmdline) {
        const QString net = u"sys/class/net/%1/"_s.arg(QLatin1String(name));
        writeFile(root.file(net + u"type"_s), type);
        writeFile(root.file(net + u"flags"_s), "0x1091\n"); // up
        writeFile(root.file(pidFile), QByteArray::number(pid) + '\n');
        writeFile(root.file(u"proc/%1/cmdline"_s.arg(pid)), cmdline);
        writeFile(root.file(u"proc/%1/status"_s.arg(pid)), "Name:\tpppd\nUid:\t" + owner + "\t0\t0\t0\n");
    };
    for (const char* peer : { "home", "work" })
        writeFile(root.file(u"etc/ppp/peers/"_s + QLatin1String(peer)), "/dev/ttyS0\n");
    // pppd 2.4 dialed with "call", 2.5 with "file"; one whose pid file a gone pppd left; no PPP.
    link("ppp10", "512", u"run/ppp10.pid"_s, work.processId(), "pppd\0file\0/etc/ppp/peers/work\0"_ba);
    link("ppp2", "512", u"run/pppd/ppp2.pid"_s, home.processId(), "/usr/sbin/pppd\0call\0home\0"_ba);
    link("ppp11", "512", u"run/ppp11.pid"_s, 1, "/sbin/init");
    link("eth0", "1", u"run/eth0.pid"_s, 1, "/sbin/init");
    // A VPN's pppd dials no entry: neither a line nor ever hung up.
    link("ppp3", "512", u"run/ppp3.pid"_s, vpn.processId(),
        "/usr/sbin/pppd\0pty\0pptp vpn --nolaunchpppd\0"_ba);
    PppPeersDialUpNetwork network(root.path());
    const auto connections = [&network] {
        std::vector<std::pair<qint64, QString>> listed;
        const Result<std::vector<DialUpConnection>> active = network.activeConnections();
        for (const DialUpConnection& connection : active.value())
            listed.emplace_back(connection.handle, connection.entryName);
        return listed;
    };
    EXPECT_EQ(connections(),
        (std::vector<std::pair<qint64, QString>> {
            { home.processId(), u"home"_s }, { work.processId(), u"work"_s } }));
    EXPECT_TRUE(network.isOnline());
    EXPECT_EQ(network.currentEntryName(), u"home"_s);

    // QProcess gives the signal that ended a process as its exit code.
    for (QProcess* pppd : { &home, &work }) {
        EXPECT_FALSE(pppd->waitForFinished(0));
        EXPECT_TRUE(network.hangUp({ pppd->processId(), {} }).ok());
        EXPECT_TRUE(pppd->waitForFinished(10'000));
        EXPECT_EQ(std::make_pair(pppd->exitStatus(), pppd->exitCode()),
            std::make_pair(QProcess::CrashExit, SIGTERM));
    }
    // 0 would be our own process group.
    EXPECT_FALSE(network.hangUp({ 0, {} }).ok());

    for (const char* name : { "ppp2", "ppp10", "ppp11" })
        writeFile(root.file(u"sys/class/net/%1/flags"_s.arg(QLatin1String(name))), "0x1090\n");
    EXPECT_TRUE(connections().empty());
    EXPECT_FALSE(network.isOnline()) << "the VPN's link is still up, and is no line";
    EXPECT_FALSE(vpn.waitForFinished(0)) << "the VPN's pppd got no signal";
    EXPECT_TRUE(network.currentEntryName().isEmpty());
}

} // namespace
} // namespace ringtally::test
