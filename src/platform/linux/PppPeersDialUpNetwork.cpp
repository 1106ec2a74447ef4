#include "platform/linux/PppPeersDialUpNetwork.h"

#include "platform/linux/InterfaceCounters.h"
#include "platform/linux/PppErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <net/if.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ringtally {

namespace {

Error folderError(const QString& folder, int error)
{
    return Error { QStringLiteral("Cannot read the dial-up entries folder %1: %2")
                       .arg(QDir::toNativeSeparators(folder), QString::fromLocal8Bit(std::strerror(error))) };
}

// Files that editors and package managers leave beside a peer file; dialing one by mistake
// would use an outdated or half-edited configuration.
bool isLeftover(const QString& name)
{
    static constexpr std::array<QLatin1String, 9> endings {
        QLatin1String("~"),
        QLatin1String(".bak"),
        QLatin1String(".orig"),
        QLatin1String(".dpkg-old"),
        QLatin1String(".dpkg-new"),
        QLatin1String(".dpkg-dist"),
        QLatin1String(".rpmnew"),
        QLatin1String(".rpmsave"),
        QLatin1String(".swp"),
    };
    return std::any_of(
        endings.begin(), endings.end(), [&name](QLatin1String ending) { return name.endsWith(ending); });
}

// Closes the directory stream on every way out.
class DirStream {
public:
    explicit DirStream(DIR* dir) : dir_(dir) { }
    ~DirStream()
    {
        if (dir_)
            ::closedir(dir_);
    }
    DirStream(const DirStream&) = delete;
    DirStream& operator=(const DirStream&) = delete;
    DIR* get() const { return dir_; }

private:
    DIR* dir_;
};

// The interface type of a PPP link in /sys/class/net/<interface>/type, whatever pppd's ifname
// option named the interface.
constexpr int kArphrdPpp = 512;

// The first line of a small system file; empty where it cannot be read.
QString firstLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(file.readLine()).trimmed();
}

// The peer that pppd's arguments (its program name first) dial.
QString peerOf(const QStringList& arguments)
{
    static const QString peersPath = QStringLiteral("/etc/ppp/peers/");
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == u"call")
            return arguments[i + 1];
        if (arguments[i] == u"file" && arguments[i + 1].startsWith(peersPath))
            return arguments[i + 1].mid(peersPath.size());
    }
    return QString();
}

} // namespace

PppPeersDialUpNetwork::PppPeersDialUpNetwork(QString systemRoot)
    : systemRoot_(std::move(systemRoot)), peersFolder_(systemRoot_ + QStringLiteral("/etc/ppp/peers"))
{
}

Result<QStringList> PppPeersDialUpNetwork::entryNames() const
{
    const DirStream dir(::opendir(QFile::encodeName(peersFolder_).constData()));
    if (!dir.get()) {
        // Without pppd installed there is no peers folder: simply no entries yet.
        if (errno == ENOENT)
            return QStringList();
        return folderError(peersFolder_, errno);
    }

    QStringList names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            if (errno != 0)
                return folderError(peersFolder_, errno);
            break;
        }
        if (entry->d_name[0] == '.')
            continue;
        // Follows symbolic links: a link to a peer file kept elsewhere is an entry too.
        struct stat st { };
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (!isLeftover(name))
            names.append(name);
    }

    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

Result<std::vector<DialUpConnection>> PppPeersDialUpNetwork::activeConnections() const
{
    std::vector<DialUpConnection> connections;
    for (const Link& link : upLinks()) {
        if (link.pid > 0)
            connections.push_back({ link.pid, link.entryName });
    }
    return connections;
}

Status PppPeersDialUpNetwork::hangUp(const DialUpConnection& connection)
{
    // kill() takes 0 and negative numbers for whole process groups, ours among them.
    if (connection.handle <= 0)
        return Error { QStringLiteral("There is no pppd process %1 to hang up.").arg(connection.handle) };
    // A pppd that has ended has hung up; its pid may be another program's by now.
    if (pppdCommandLine(connection.handle).isEmpty())
        return Status::success();
    if (!startableByUs(connection.handle))
        return Error {
            QStringLiteral("The connection of pppd process %1 is another user's.").arg(connection.handle)
        };
    if (::kill(pid_t(connection.handle), SIGTERM) != 0 && errno != ESRCH)
        return Error { QStringLiteral("Cannot hang up the connection of pppd process %1: %2")
                           .arg(connection.handle)
                           .arg(QString::fromLocal8Bit(std::strerror(errno))) };
    return Status::success();
}

bool PppPeersDialUpNetwork::isOnline() const
{
    return !upLinks().empty();
}

QString PppPeersDialUpNetwork::currentEntryName() const
{
    const std::vector<Link> links = upLinks();
    return links.empty() ? QString() : links.front().entryName;
}

QString PppPeersDialUpNetwork::errorText(qint32 error, bool english) const
{
    return pppErrorText(error, english);
}

std::optional<LinkCounters> PppPeersDialUpNetwork::linkCounters() const
{
    if (std::optional<LinkCounters> counters = readInterfaceCounters(systemRoot_, countedInterface_))
        return counters;
    const std::vector<Link> links = upLinks();
    countedInterface_ = links.empty() ? QString() : links.front().interface;
    return readInterfaceCounters(systemRoot_, countedInterface_);
}

bool PppPeersDialUpNetwork::startableByUs(qint64 pid) const
{
    // pppd runs set-user-id root: the real user is the one who started it.
    QFile file(systemRoot_ + QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("Uid:")) {
            const QList<QByteArray> ids = line.mid(4).simplified().split(' ');
            bool ok = false;
            const uint realUid = ids.value(0).toUInt(&ok);
            return ok && (::getuid() == 0 || realUid == ::getuid());
        }
    }
    return false;
}

std::vector<PppPeersDialUpNetwork::Link> PppPeersDialUpNetwork::upLinks() const
{
    // Only a dial-up entry's link is a line: a VPN's pppd (pptp, l2tp) dials no peer of ours.
    const Result<QStringList> entries = entryNames();
    const QDir net(systemRoot_ + QStringLiteral("/sys/class/net"));
    // The entries are links to the devices' folders.
    QStringList interfaces = net.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(interfaces.begin(), interfaces.end(), [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    std::vector<Link> links;
    for (const QString& interface : std::as_const(interfaces)) {
        bool ok = false;
        // A PPP interface's operstate says "unknown" when it is up; its flags say up.
        const uint flags = firstLine(net.filePath(interface + QStringLiteral("/flags"))).toUInt(&ok, 0);
        if (firstLine(net.filePath(interface + QStringLiteral("/type"))) != QString::number(kArphrdPpp) || !ok
            || (flags & IFF_UP) == 0)
            continue;
        Link link;
        // pppd 2.5 keeps its pid files in a folder of its own; 2.4 in /run.
        for (const QString& folder : { QStringLiteral("/run/pppd/"), QStringLiteral("/run/") }) {
            const qint64 pid
                = firstLine(systemRoot_ + folder + interface + QStringLiteral(".pid")).toLongLong();
            // A pid file that a pppd left behind names another program, or none.
            if (const QStringList arguments = pppdCommandLine(pid); !arguments.isEmpty()) {
                link = { pid, peerOf(arguments), interface };
                break;
            }
        }
        if (link.pid > 0 && entries.ok() && entries.value().contains(link.entryName)
            && startableByUs(link.pid))
            links.push_back(link);
    }
    return links;
}

QStringList PppPeersDialUpNetwork::pppdCommandLine(qint64 pid) const
{
    if (pid <= 0)
        return QStringList();
    QFile file(systemRoot_ + QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return QStringList();
    QStringList arguments;
    for (const QByteArray& argument : file.readAll().split('\0'))
        arguments.append(QFile::decodeName(argument));
    if (arguments.isEmpty() || QFileInfo(arguments.front()).fileName() != u"pppd")
        return QStringList();
    return arguments;
}

} // namespace ringtally
