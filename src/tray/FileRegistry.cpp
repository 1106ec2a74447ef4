#include "tray/FileRegistry.h"

#include "platform/FileAccess.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace ringtally {

namespace {

// The name under which a key's default (unnamed) value is kept, as .reg files write it.
const QString kDefaultValueName = QStringLiteral("@");

// What a store that does not exist yet starts with, for whoever opens the file by hand.
constexpr char kNewStoreHeader[]
    = "; Ringtally's registry values. Each [section] is a key, named by its root and path;\n"
      "; @ is the key's default value.\n";

std::optional<QString> rootName(RootKey root)
{
    switch (root) {
    case RootKey::HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case RootKey::HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case RootKey::HKEY_USERS:
        return QStringLiteral("HKEY_USERS");
    }
    return std::nullopt;
}

// The key's section name, or the code that tells why the key cannot be named.
RegistryCode sectionFor(RootKey root, const QString& path, QString& section)
{
    const std::optional<QString> name = rootName(root);
    if (!name)
        return RegistryCode::InvalidHandle;
    // A key name cannot be empty, and a section name cannot hold what ends a section header or a line.
    if (path.startsWith(u'\\') || path.endsWith(u'\\') || path.contains(QStringLiteral("\\\\"))
        || path.contains(u']') || path.contains(u'\n') || path.contains(u'\r'))
        return RegistryCode::InvalidParameter;
    section = path.isEmpty() ? *name : *name + u'\\' + path;
    return RegistryCode::Success;
}

bool keyExists(const IniDocument& document, const QString& section)
{
    if (!section.contains(u'\\'))
        return true; // a root
    const QString below = section + u'\\';
    const QStringList sections = document.sectionNames();
    return std::any_of(sections.begin(), sections.end(), [&](const QString& name) {
        return name.compare(section, Qt::CaseInsensitive) == 0 || name.startsWith(below, Qt::CaseInsensitive);
    });
}

// The entry name of a value, or nothing for a name that would be read back as another value's.
std::optional<QString> entryName(const QString& valueName)
{
    if (valueName.isEmpty())
        return kDefaultValueName;
    if (valueName == kDefaultValueName)
        return std::nullopt;
    return valueName;
}

} // namespace

FileRegistry::FileRegistry(QString path) : path_(std::move(path))
{
}

Result<IniDocument> FileRegistry::load() const
{
    Result<FileContents> contents = readWholeFile(path_);
    if (!contents)
        return Error { contents.message() };
    if (!contents.value().stamp.exists)
        return IniDocument::parse(kNewStoreHeader);
    return IniDocument::parse(contents.value().bytes);
}

bool FileRegistry::mayWrite() const
{
    // The owner-write bit counts also for root, as it does for the settings file.
    const QFileInfo file(path_);
    if (file.exists() && !file.permission(QFileDevice::WriteOwner))
        return false;
    const QFileInfo folder(file.absolutePath());
    return !folder.exists() || folder.isWritable();
}

RegistryCode FileRegistry::save(const IniDocument& document) const
{
    if (replaceFileAtomically(path_, document.serialize()))
        return RegistryCode::Success;
    return mayWrite() ? RegistryCode::StoreFailed : RegistryCode::AccessDenied;
}

RegistryKey FileRegistry::remember(const QString& section, Access access)
{
    const RegistryKey key = nextKey_++;
    opened_.insert(key, OpenedKey { section, access });
    return key;
}

RegistryCode FileRegistry::createKey(RootKey root, const QString& path, RegistryKey& key)
{
    key = 0;
    QString section;
    if (const RegistryCode named = sectionFor(root, path, section); named != RegistryCode::Success)
        return named;
    Result<IniDocument> document = load();
    if (!document)
        return RegistryCode::StoreFailed;
    if (!mayWrite())
        return RegistryCode::AccessDenied;
    if (!keyExists(document.value(), section)) {
        IniDocument changed = std::move(document).value();
        // IniDocument adds a section only together with an entry: add one and take it away again,
        // which leaves the key's section without values, as a new key is.
        if (!changed.setValue(section, kDefaultValueName, QString()))
            return RegistryCode::InvalidParameter;
        changed.removeKey(section, kDefaultValueName);
        if (const RegistryCode saved = save(changed); saved != RegistryCode::Success)
            return saved;
    }
    key = remember(section, Access::Write);
    return RegistryCode::Success;
}

RegistryCode FileRegistry::openKey(RootKey root, const QString& path, Access access, RegistryKey& key)
{
    key = 0;
    QString section;
    if (const RegistryCode named = sectionFor(root, path, section); named != RegistryCode::Success)
        return named;
    const Result<IniDocument> document = load();
    if (!document)
        return RegistryCode::StoreFailed;
    if (!keyExists(document.value(), section))
        return RegistryCode::NotFound;
    if (access == Access::Write && !mayWrite())
        return RegistryCode::AccessDenied;
    key = remember(section, access);
    return RegistryCode::Success;
}

RegistryCode FileRegistry::queryValue(RegistryKey key, const QString& name, QString& value)
{
    const auto opened = opened_.constFind(key);
    if (opened == opened_.cend())
        return RegistryCode::InvalidHandle;
    const std::optional<QString> entry = entryName(name);
    if (!entry)
        return RegistryCode::InvalidParameter;
    const Result<IniDocument> document = load();
    if (!document)
        return RegistryCode::StoreFailed;
    const std::optional<QString> found = document.value().value(opened->section, *entry);
    if (!found)
        return RegistryCode::NotFound;
    value = *found;
    return RegistryCode::Success;
}

RegistryCode FileRegistry::setValue(RegistryKey key, const QString& name, int type, const QString& value)
{
    const auto opened = opened_.constFind(key);
    if (opened == opened_.cend())
        return RegistryCode::InvalidHandle;
    if (opened->access != Access::Write)
        return RegistryCode::AccessDenied;
    const std::optional<QString> entry = entryName(name);
    // The file would turn a line break into a blank: refuse rather than store another value.
    if (type != REG_SZ || !entry || value.contains(u'\n') || value.contains(u'\r'))
        return RegistryCode::InvalidParameter;
    Result<IniDocument> document = load();
    if (!document)
        return RegistryCode::StoreFailed;
    IniDocument changed = std::move(document).value();
    if (!changed.setValue(opened->section, *entry, value))
        return RegistryCode::InvalidParameter;
    return changed.isModified() ? save(changed) : RegistryCode::Success;
}

RegistryCode FileRegistry::closeKey(RegistryKey key)
{
    return opened_.remove(key) ? RegistryCode::Success : RegistryCode::InvalidHandle;
}

} // namespace ringtally
