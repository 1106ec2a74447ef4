#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace ringtally {

/// What identifies one version of a file on disk: when any field differs, the file has changed.
struct FileStamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

/// A whole file's bytes with the stamp of the version that was read.
struct FileContents {
    QByteArray bytes;
    FileStamp stamp;
};

/// Keeps the times in stamps only in whole multiples of granularityNs, as a file system with coarse
/// timestamps does; 1, the default, keeps them as the system gives them. For tests: where the
/// system keeps fine timestamps, two versions of a file never share a stamp. Returns the old value.
qint64 setStampGranularityForTests(qint64 granularityNs);

/// For tests: asked before every write, replace and removal below with the file's path; an error it
/// returns is that operation's result, and the disk is left untouched, as on a full or failing disk.
/// An empty function (the default) lets every operation through. Returns the old one.
using WriteFaultForTests = std::function<std::optional<int>(const QString& path)>;
WriteFaultForTests setWriteFaultForTests(WriteFaultForTests fault);

/// The stamp of the file at path now; a missing file gives a stamp with exists false.
Result<FileStamp> stampFile(const QString& path);

/// Reads the whole file; a missing file gives empty bytes and a stamp with exists false.
Result<FileContents> readWholeFile(const QString& path);

/// Replaces the file at path with bytes so that a crash at any moment leaves the old file or the
/// new one: a temporary file in the same folder, written, synced once, then renamed over the old,
/// and the folder synced, so that the new file is there to stay once this returns. Temporaries of
/// the file that killed saves left behind, a minute old or older, go.
/// The folder is created when missing. A new file is readable and writable by its owner only.
/// A file whose owner-write permission is off counts as read-only and is not replaced.
/// Returns the stamp of the new file.
Result<FileStamp> replaceFileAtomically(const QString& path, const QByteArray& bytes);

/// Renames the file at from to to, replacing a file there, and syncs the folder.
Status renameFile(const QString& from, const QString& to);

/// Removes the file and syncs its folder, so that it stays gone after a power loss; a missing file
/// is no failure.
Status removeFile(const QString& path);

} // namespace ringtally

namespace ringtally {

/// How an append went: whether the file could be opened (or created), and whether the bytes were
/// then written and synced.
struct AppendOutcome {
    Status opened;
    Status written;
};

/// Appends bytes to the file, creating it (readable and writable by its owner only) when missing,
/// and syncs it, so an appended line survives a crash right after. When the bytes cannot all be
/// written and synced, the file is cut back to its old length: it never keeps part of them.
AppendOutcome appendToFile(const QString& path, const QByteArray& bytes);

} // namespace ringtally
