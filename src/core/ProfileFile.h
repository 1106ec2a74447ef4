#pragma once

#include "core/IniDocument.h"
#include "platform/FileAccess.h"
#include "platform/FileWatch.h"
#include "platform/Result.h"

#include <QString>

#include <functional>
#include <optional>

namespace ringtally {

/// The settings file as private-profile access: read a key with a default, write a key, delete a
/// key or a section. Reads are served from a parsed copy that is read again whenever the file on
/// disk changes (a watch on its folder says when to look); every change replaces the whole file
/// atomically.
class ProfileFile {
public:
    /// Longest value a read returns; longer values are cut, as the original buffer did.
    static constexpr int kMaxValueLength = 254;

    explicit ProfileFile(QString path);
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    /// The file's path.
    const QString& path() const { return path_; }

    /// The key's value (cut to kMaxValueLength characters), or defaultValue when the file, the
    /// section or the key is missing.
    QString ReadIni(const QString& section, const QString& key, const QString& defaultValue) const;
    /// As ReadIni, but the whole value: for values stored longer than a read returns (a scrambled
    /// dial-up datum takes two to eight hex digits a character).
    QString readWhole(const QString& section, const QString& key, const QString& defaultValue) const;
    /// Sets the key's value; the file is created by the first write.
    Status WriteIni(const QString& section, const QString& key, const QString& value);
    /// Removes the whole section when wholeSection is true, else the one key.
    Status DeleteIni(const QString& section, const QString& key, bool wholeSection);
    /// Applies every change edit makes to the file's current content in one replace of the file.
    /// Nothing is written when edit fails or changes nothing.
    Status update(const std::function<Status(IniDocument&)>& edit);
    /// Runs body with every change it makes (and reads of them) held in memory, then writes them
    /// in one replace of the file when body succeeds; when body fails, or the write does, the file
    /// and its reads are as they were before.
    Status transaction(const std::function<Status()>& body);

    /// The outcome of the last reading of the file; while it is a failure, reads give the last
    /// content read successfully (or defaults) and writes are refused, so that content the program
    /// could not read is never overwritten.
    Status readStatus() const;
    /// How many times the file was replaced (each replace syncs once).
    quint64 replaceCount() const { return replaceCount_; }

private:
    enum class Freshness { TrustWatch, LookAtFile };
    void refresh(Freshness freshness = Freshness::TrustWatch) const;
    const IniDocument& current() const { return pending_ ? *pending_ : document_; }

    QString path_;
    mutable FileWatch watch_;
    mutable IniDocument document_;
    std::optional<IniDocument> pending_; // a transaction's changes, not yet written
    mutable FileStamp stamp_;
    mutable bool loaded_ = false;
    mutable Status readStatus_;
    quint64 replaceCount_ = 0;
};

} // namespace ringtally
