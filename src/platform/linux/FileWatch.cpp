#include "platform/FileWatch.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace ringtally {

namespace {

constexpr uint32_t kEvents = IN_CLOSE_WRITE | IN_MODIFY | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE
    | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

} // namespace

FileWatch::FileWatch(QString path) : path_(std::move(path))
{
}

FileWatch::~FileWatch()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileWatch::arm()
{
    if (fd_ < 0)
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0)
        return false;
    // The folder is watched, not the file: the file is replaced by renaming a new one over it.
    // A settings file that is a link is watched where it really lives.
    QFileInfo info(path_);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        info = QFileInfo(info.canonicalFilePath());
    name_ = QFile::encodeName(info.fileName());
    watch_ = ::inotify_add_watch(fd_, QFile::encodeName(info.absolutePath()).constData(), kEvents);
    return watch_ >= 0;
}

bool FileWatch::mayHaveChanged()
{
    if (watch_ < 0) {
        // Not watched yet (or any more): whatever happened before the watch starts is unknown.
        arm();
        return true;
    }
    bool changed = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length <= 0)
            break; // EAGAIN: no more events
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & (IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT))
                changed = true;
            if (event->mask & IN_IGNORED) {
                watch_ = -1; // the folder is gone; watch again once it is back
                changed = true;
            }
            if (event->len > 0 && std::strcmp(event->name, name_.constData()) == 0)
                changed = true;
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    return changed;
}

} // namespace ringtally
