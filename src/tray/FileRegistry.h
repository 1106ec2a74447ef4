#pragma once

#include "core/IniDocument.h"
#include "platform/Registry.h"
#include "platform/Result.h"

#include <QHash>
#include <QString>

namespace ringtally {

/// The registry as a small INI file beside the settings file: one section per key, named by its
/// root and path ("[HKEY_USERS\.Default\AppEvents\...]"), "@" for the key's default value and
/// each named value under its own name. A key also exists when a key below it does. The file is
/// read at every call, so hand edits count at once, and replaced atomically at every change, as
/// the settings file is; it is created readable and writable by its owner only.
class FileRegistry : public Registry {
public:
    static constexpr const char16_t* kFileName = u"Ringtally.reg";

    explicit FileRegistry(QString path);

    /// The store file's path.
    const QString& path() const { return path_; }

    RegistryCode createKey(RootKey root, const QString& path, RegistryKey& key) override;
    RegistryCode openKey(RootKey root, const QString& path, Access access, RegistryKey& key) override;
    RegistryCode queryValue(RegistryKey key, const QString& name, QString& value) override;
    RegistryCode setValue(RegistryKey key, const QString& name, int type, const QString& value) override;
    RegistryCode closeKey(RegistryKey key) override;

private:
    struct OpenedKey {
        QString section;
        Access access = Access::Read;
    };

    Result<IniDocument> load() const;
    RegistryCode save(const IniDocument& document) const;
    bool mayWrite() const;
    RegistryKey remember(const QString& section, Access access);

    QString path_;
    QHash<RegistryKey, OpenedKey> opened_;
    RegistryKey nextKey_ = 1;
};

} // namespace ringtally
