#pragma once

#include "platform/Registry.h"

#include <QString>

#include <concepts>

namespace ringtally {

class Prompter;

/// A value to store in the registry: a string as it stands, a whole number as its decimal text.
class RegistryText {
public:
    RegistryText(const QString& text) : text_(text) { } // NOLINT: a string converts
    template <std::integral Number> RegistryText(Number number) : text_(QString::number(number)) { } // NOLINT
    RegistryText(bool) = delete; // a flag is no number: say which text it stands for

    const QString& text() const { return text_; }

private:
    QString text_;
};

/// The program's registry routines: keys and string values by path under a root key, over the
/// Registry seam. Writing a value reports its failures in message boxes; reading never does.
class RegistryRoutines {
public:
    RegistryRoutines(Registry& registry, Prompter& prompter);

    /// Creates the key and any missing keys above it (an existing key is opened) and closes it
    /// again; the outcome is not examined.
    void CreateNewKey(const QString& keyPath, RootKey rootKey);
    /// Sets the value named valueName (empty: the default value) of the key. A key that cannot be
    /// opened for writing shows "RegOpenKey error - " and the code, a value that cannot be set
    /// "SetValue error - " and the code, each in a box of its own; the program goes on regardless.
    void SetKeyValue(
        const QString& keyPath, const QString& valueName, const RegistryText& value, RootKey rootKey);
    /// Stores value under valueName in the open key as type (REG_SZ); returns the result code.
    RegistryCode SetValueEx(
        RegistryKey handle, const QString& valueName, int type, const RegistryText& value);
    /// The value named valueName (empty: the default value) of the key, or an empty string when the
    /// key or the value is missing or cannot be read.
    QString QueryValue(const QString& keyPath, const QString& valueName, RootKey rootKey);
    /// Reads valueName of the open key into value; returns the result code.
    RegistryCode QueryValueEx(RegistryKey handle, const QString& valueName, QString& value);

private:
    void showError(const QString& what, RegistryCode code);

    Registry& registry_;
    Prompter& prompter_;
};

} // namespace ringtally
