#include "platform/FileAccess.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace ringtally {

namespace {

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

Error fileError(const QString& what, const QString& path, int error)
{
    return Error { QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), reason(error)) };
}

// Changed only by tests, before they touch any file.
qint64 stampGranularityNs = 1;

qint64 coarse(qint64 ns)
{
    return ns - ns % stampGranularityNs;
}

FileStamp stampOf(const struct stat& st)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<quint64>(st.st_dev);
    stamp.inode = static_cast<quint64>(st.st_ino);
    stamp.size = static_cast<qint64>(st.st_size);
    stamp.modifiedNs = coarse(qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec);
    stamp.changedNs = coarse(qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec);
    return stamp;
}

// Closes a descriptor on every way out of a scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) { }
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// The file a path names in the end, so that replacing a symbolic link replaces its target and
// keeps the link (settings kept in a dotfiles folder, say).
QString resolveLinks(const QString& path)
{
    QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

// A save writes a temporary named temporaryPrefix and kRandomPart, whose X's mkostemp turns into
// letters and digits.
constexpr char kRandomPart[] = "XXXXXX";

QByteArray temporaryPrefix(const QFileInfo& file)
{
    return '.' + QFile::encodeName(file.fileName()) + '.';
}

bool isLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Removes the temporaries that killed saves of the file left in its folder: regular files named as
// a save names them, last written at least a minute before now. A save running in another process
// holds its temporary for a moment only, so the minute leaves it alone; should one take longer,
// its rename fails and it reports that, with the settings file as it was.
void removeLeftovers(int folderFd, const QByteArray& prefix, const timespec& now)
{
    constexpr auto randomLength = qsizetype(std::size(kRandomPart) - 1);
    constexpr time_t kAgeSeconds = 60;
    DIR* folder = ::fdopendir(::dup(folderFd)); // fdopendir takes over the descriptor it gets
    if (!folder)
        return;
    while (const dirent* entry = ::readdir(folder)) {
        const QByteArrayView name(entry->d_name);
        if (name.size() != prefix.size() + randomLength || !name.startsWith(prefix)
            || !std::all_of(name.end() - randomLength, name.end(), isLetterOrDigit))
            continue;
        struct stat st { };
        if (::fstatat(folderFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)
            || st.st_mtim.tv_sec > now.tv_sec - kAgeSeconds)
            continue;
        // A leftover that stays takes room only; the save it follows has succeeded.
        ::unlinkat(folderFd, entry->d_name, 0);
    }
    ::closedir(folder);
}

Descriptor openFolder(const QString& folder)
{
    return Descriptor(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// A change of a folder's entries lasts only once the folder is synced. A folder with write and
// search permission only cannot be opened to sync it, and some file systems do not sync folders
// (EINVAL): both count as synced.
bool folderSynced(const Descriptor& dir)
{
    return dir.get() < 0 || ::fsync(dir.get()) == 0 || errno == EINVAL;
}

WriteFaultForTests writeFault;

// The error number the test's fault gives the operation on path, if any.
std::optional<int> injectedFault(const QString& path)
{
    return writeFault ? writeFault(path) : std::nullopt;
}

} // namespace

WriteFaultForTests setWriteFaultForTests(WriteFaultForTests fault)
{
    return std::exchange(writeFault, std::move(fault));
}

qint64 setStampGranularityForTests(qint64 granularityNs)
{
    return std::exchange(stampGranularityNs, std::max<qint64>(granularityNs, 1));
}

Result<FileStamp> stampFile(const QString& path)
{
    struct stat st { };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return FileStamp {};
        return fileError(QStringLiteral("Cannot examine"), path, errno);
    }
    return stampOf(st);
}

Result<FileContents> readWholeFile(const QString& path)
{
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return FileContents {};
        return fileError(QStringLiteral("Cannot read"), path, errno);
    }
    struct stat st { };
    if (::fstat(fd.get(), &st) != 0)
        return fileError(QStringLiteral("Cannot read"), path, errno);
    if (S_ISDIR(st.st_mode))
        return fileError(QStringLiteral("Cannot read"), path, EISDIR);

    FileContents contents;
    contents.stamp = stampOf(st);
    contents.bytes.reserve(static_cast<qsizetype>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fileError(QStringLiteral("Cannot read"), path, errno);
        }
        if (n == 0)
            break;
        contents.bytes.append(buffer, n);
    }
    return contents;
}

Result<FileStamp> replaceFileAtomically(const QString& requestedPath, const QByteArray& bytes)
{
    const QString path = resolveLinks(requestedPath);
    if (const std::optional<int> error = injectedFault(path))
        return fileError(QStringLiteral("Cannot write"), path, *error);
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    if (!QDir().mkpath(folder))
        return Error { QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(folder)) };

    struct stat existing { };
    if (::stat(QFile::encodeName(path).constData(), &existing) == 0) {
        // The owner took write permission away: honour it also where the folder would let a
        // rename through (and for root, whom the kernel lets write anyway).
        if ((existing.st_mode & S_IWUSR) == 0)
            return fileError(QStringLiteral("Cannot write"), path, EACCES);
    }

    QByteArray tempName = QFile::encodeName(folder) + '/' + temporaryPrefix(info) + kRandomPart;
    // mkstemp creates the file readable and writable by its owner only.
    Descriptor fd(::mkostemp(tempName.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return fileError(QStringLiteral("Cannot write a temporary file in"), folder, errno);

    auto fail = [&](int error) {
        ::unlink(tempName.constData());
        return fileError(QStringLiteral("Cannot write"), path, error);
    };
    if (!writeAll(fd.get(), bytes.constData(), bytes.size()))
        return fail(errno);
    if (::fsync(fd.get()) != 0)
        return fail(errno);
    struct stat written { };
    if (::fstat(fd.get(), &written) != 0)
        return fail(errno);
    if (::close(fd.release()) != 0)
        return fail(errno);
    if (::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0)
        return fail(errno);
    // Until the folder is synced a power loss can bring the old file back after a save that
    // reported success.
    const Descriptor dir(openFolder(folder));
    if (!folderSynced(dir))
        return fileError(QStringLiteral("Cannot write"), path, errno);
    if (dir.get() >= 0)
        removeLeftovers(dir.get(), temporaryPrefix(info), written.st_mtim);
    // rename changes the file's ctime on some file systems; take the stamp the next look will see.
    Result<FileStamp> stamp = stampFile(path);
    if (!stamp)
        return stampOf(written);
    return stamp;
}

Status renameFile(const QString& from, const QString& to)
{
    if (const std::optional<int> error = injectedFault(to))
        return fileError(QStringLiteral("Cannot write"), to, *error);
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return fileError(QStringLiteral("Cannot write"), to, errno);
    const Descriptor dir(openFolder(QFileInfo(to).absolutePath()));
    if (!folderSynced(dir))
        return fileError(QStringLiteral("Cannot write"), to, errno);
    return Status::success();
}

Status removeFile(const QString& path)
{
    if (const std::optional<int> error = injectedFault(path))
        return fileError(QStringLiteral("Cannot remove"), path, *error);
    if (::unlink(QFile::encodeName(path).constData()) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return Status::success();
        return fileError(QStringLiteral("Cannot remove"), path, errno);
    }
    const Descriptor dir(openFolder(QFileInfo(path).absolutePath()));
    if (!folderSynced(dir))
        return fileError(QStringLiteral("Cannot remove"), path, errno);
    return Status::success();
}

AppendOutcome appendToFile(const QString& path, const QByteArray& bytes)
{
    AppendOutcome outcome;
    if (const std::optional<int> error = injectedFault(path)) {
        outcome.opened = fileError(QStringLiteral("Cannot open"), path, *error);
        outcome.written
            = Error { QStringLiteral("Nothing was written to %1").arg(QDir::toNativeSeparators(path)) };
        return outcome;
    }
    Descriptor fd(
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600));
    if (fd.get() < 0) {
        outcome.opened = fileError(QStringLiteral("Cannot open"), path, errno);
        outcome.written
            = Error { QStringLiteral("Nothing was written to %1").arg(QDir::toNativeSeparators(path)) };
        return outcome;
    }
    struct stat before { };
    if (::fstat(fd.get(), &before) != 0) {
        outcome.written = fileError(QStringLiteral("Cannot write"), path, errno);
        return outcome;
    }
    if (!writeAll(fd.get(), bytes.constData(), bytes.size()) || ::fsync(fd.get()) != 0) {
        outcome.written = fileError(QStringLiteral("Cannot write"), path, errno);
        // Take back what was written of the bytes (part of a line on a full disk), so the file
        // keeps whole lines and the next line is not glued to the fragment.
        if (::ftruncate(fd.get(), before.st_size) != 0) {
            outcome.written = Error { QStringLiteral("%1; what was written cannot be taken back: %2")
                                          .arg(outcome.written.message(), reason(errno)) };
        }
    } else if (::close(fd.release()) != 0) {
        outcome.written = fileError(QStringLiteral("Cannot write"), path, errno);
    }
    return outcome;
}

} // namespace ringtally
