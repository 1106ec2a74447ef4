#pragma once

#include <QString>

namespace ringtally {

/// The roots of the registry's key trees, by the numbers the program uses for them.
enum class RootKey : quint32 {
    HKEY_CURRENT_USER = 0x80000001,
    HKEY_LOCAL_MACHINE = 0x80000002,
    HKEY_USERS = 0x80000003, // where the event sounds live
};

/// A registry call's result code, numbered as the program shows it in its error boxes.
enum class RegistryCode : int {
    Success = 0,
    NotFound = 2, // the key or the value does not exist
    AccessDenied = 5, // the store cannot be written, or the key was opened for reading only
    InvalidHandle = 6, // no open key has this handle (0 included), or the root is unknown
    InvalidParameter = 87, // a key path, value name or value type the store cannot hold
    StoreFailed = 1016, // the store's file could not be read or written
};

/// What a result code means, in words that can be shown to the user.
inline QString describe(RegistryCode code)
{
    switch (code) {
    case RegistryCode::Success:
        return QStringLiteral("The operation completed successfully.");
    case RegistryCode::NotFound:
        return QStringLiteral("The registry key or value does not exist.");
    case RegistryCode::AccessDenied:
        return QStringLiteral("The registry cannot be changed: access is denied.");
    case RegistryCode::InvalidHandle:
        return QStringLiteral("The registry key is not open.");
    case RegistryCode::InvalidParameter:
        return QStringLiteral("The registry cannot hold this key, value name or value type.");
    case RegistryCode::StoreFailed:
        return QStringLiteral("The registry's file could not be read or written.");
    }
    return QStringLiteral("Unknown registry error %1.").arg(static_cast<int>(code));
}

/// An open key; 0 is never one.
using RegistryKey = quint32;

/// The only value type the store holds: a string.
constexpr int REG_SZ = 1;

/// The registry values the program keeps (its event sounds): keys under a root, each with an
/// optional unnamed default value and named values, all strings. Key paths are separated by
/// backslashes; key and value names compare without regard to letter case.
class Registry {
public:
    enum class Access { Read, Write };

    virtual ~Registry() = default;

    /// Opens the key for writing, creating it and any missing keys above it first.
    virtual RegistryCode createKey(RootKey root, const QString& path, RegistryKey& key) = 0;
    /// Opens an existing key; key is 0 when this fails.
    virtual RegistryCode openKey(RootKey root, const QString& path, Access access, RegistryKey& key) = 0;
    /// Reads the value named name (empty: the key's default value) of an open key.
    virtual RegistryCode queryValue(RegistryKey key, const QString& name, QString& value) = 0;
    /// Stores value as the value named name (empty: the default value) of a key opened for writing.
    virtual RegistryCode setValue(RegistryKey key, const QString& name, int type, const QString& value) = 0;
    /// Closes an open key.
    virtual RegistryCode closeKey(RegistryKey key) = 0;
};

} // namespace ringtally
