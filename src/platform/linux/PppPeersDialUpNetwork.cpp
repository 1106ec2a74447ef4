#include "platform/linux/PppPeersDialUpNetwork.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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

} // namespace

PppPeersDialUpNetwork::PppPeersDialUpNetwork(QString peersFolder) : peersFolder_(std::move(peersFolder))
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

} // namespace ringtally
