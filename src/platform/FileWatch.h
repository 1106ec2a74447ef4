#pragma once

#include <QByteArray>
#include <QString>

namespace ringtally {

/// Tells cheaply whether a file may have changed since the last time it was asked, so a cached
/// copy of it can be trusted without looking at the file before every read. Where the system
/// cannot watch the file (its folder does not exist yet, no watches left), every ask says it may.
class FileWatch {
public:
    explicit FileWatch(QString path);
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    /// True when the file may have changed (been written, replaced, created or removed) since
    /// the previous call.
    bool mayHaveChanged();
    /// True while the file is watched, so that mayHaveChanged tells of real events only.
    bool isWatching() const { return watch_ >= 0; }

private:
    bool arm();

    QString path_;
    QByteArray name_;
    int fd_ = -1;
    int watch_ = -1;
};

} // namespace ringtally
