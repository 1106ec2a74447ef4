#include "core/ProfileFile.h"

#include <QDir>

namespace ringtally {

ProfileFile::ProfileFile(QString path) : path_(std::move(path)), watch_(path_)
{
}

void ProfileFile::refresh(Freshness freshness) const
{
    // The watch is asked before the file is looked at, so a change made while it is being read
    // shows up at the next read. Writing alone never starts the watch: a process that only
    // writes (or a short-lived object) does not pay for one.
    const bool watching = watch_.isWatching();
    const bool mayHaveChanged
        = freshness == Freshness::TrustWatch || watching ? watch_.mayHaveChanged() : true;
    const bool cacheUsable = loaded_ && readStatus_.ok();
    if (freshness == Freshness::TrustWatch && !mayHaveChanged && cacheUsable)
        return;
    Result<FileStamp> stamp = stampFile(path_);
    if (!stamp) {
        readStatus_ = stamp.status();
        return;
    }
    // The stamp is trusted only where no watch saw a change: an edit of the same size within the
    // file system's time granularity leaves every field of it as it was.
    if (cacheUsable && !(watching && mayHaveChanged) && stamp.value() == stamp_)
        return;
    Result<FileContents> contents = readWholeFile(path_);
    if (!contents) {
        readStatus_ = contents.status();
        return;
    }
    document_ = IniDocument::parse(contents.value().bytes);
    stamp_ = contents.value().stamp;
    loaded_ = true;
    readStatus_ = Status::success();
}

QString ProfileFile::ReadIni(const QString& section, const QString& key, const QString& defaultValue) const
{
    refresh();
    std::optional<QString> value = current().value(section, key);
    if (!value)
        return defaultValue;
    if (value->size() > kMaxValueLength) {
        qsizetype length = kMaxValueLength;
        if (value->at(length - 1).isHighSurrogate())
            --length; // never leave half a character
        value->truncate(length);
    }
    return *value;
}

QString ProfileFile::readWhole(const QString& section, const QString& key, const QString& defaultValue) const
{
    refresh();
    return current().value(section, key).value_or(defaultValue);
}

Status ProfileFile::update(const std::function<Status(IniDocument&)>& edit)
{
    refresh(Freshness::LookAtFile);
    if (!readStatus_.ok()) {
        return Error { QStringLiteral("%1 was not changed, because it could not be read: %2")
                           .arg(QDir::toNativeSeparators(path_), readStatus_.message()) };
    }
    // Inside a transaction the edit waits in memory for the transaction's one write.
    if (pending_) {
        IniDocument changed = *pending_;
        if (Status status = edit(changed); !status.ok())
            return status;
        pending_ = std::move(changed);
        return Status::success();
    }
    IniDocument changed = document_;
    changed.markSaved();
    if (Status status = edit(changed); !status.ok())
        return status;
    if (!changed.isModified())
        return Status::success();

    ++replaceCount_;
    Result<FileStamp> written = replaceFileAtomically(path_, changed.serialize());
    if (!written)
        return written.status();
    changed.markSaved();
    document_ = std::move(changed);
    stamp_ = written.value();
    loaded_ = true;
    return Status::success();
}

Status ProfileFile::transaction(const std::function<Status()>& body)
{
    refresh(Freshness::LookAtFile);
    if (!readStatus_.ok() || pending_)
        return body();
    pending_ = document_;
    pending_->markSaved();
    Status result = body();
    IniDocument changed = std::move(*pending_);
    pending_.reset();
    if (!result.ok())
        return result;
    return update([&changed](IniDocument& document) {
        document = changed;
        return Status::success();
    });
}

Status ProfileFile::WriteIni(const QString& section, const QString& key, const QString& value)
{
    return update([&](IniDocument& document) { return document.setValue(section, key, value); });
}

Status ProfileFile::DeleteIni(const QString& section, const QString& key, bool wholeSection)
{
    return update([&](IniDocument& document) {
        if (wholeSection)
            document.removeSection(section);
        else
            document.removeKey(section, key);
        return Status::success();
    });
}

Status ProfileFile::readStatus() const
{
    refresh();
    return readStatus_;
}

} // namespace ringtally
