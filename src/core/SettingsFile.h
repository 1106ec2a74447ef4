#pragma once

#include "core/NumberFormat.h"
#include "core/ProfileFile.h"
#include "core/Settings.h"

#include <QDate>
#include <QString>

#include <variant>

namespace ringtally {

/// A value to store in the settings file, converted to text by the file's rules: whole numbers as
/// decimal text, fractions in the user's number format, Booleans as "True"/"False", dates as
/// NumberFormat::formatDate.
class IniValue {
public:
    IniValue(const QString& text) : value_(text) { } // NOLINT: implicit by design
    IniValue(const char16_t* text) : value_(QString::fromUtf16(text)) { } // NOLINT
    IniValue(int number) : value_(qint64(number)) { } // NOLINT
    IniValue(long number) : value_(qint64(number)) { } // NOLINT
    IniValue(long long number) : value_(qint64(number)) { } // NOLINT
    IniValue(unsigned number) : value_(qint64(number)) { } // NOLINT
    IniValue(double number) : value_(number) { } // NOLINT
    IniValue(float number) : value_(number) { } // NOLINT
    IniValue(bool flag) : value_(flag) { } // NOLINT
    IniValue(const QDate& date) : value_(date) { } // NOLINT
    IniValue(const char*) = delete; // would silently become a bool; use QStringLiteral

    /// The text stored for this value.
    QString text(const NumberFormat& format) const;

private:
    std::variant<QString, qint64, double, float, bool, QDate> value_;
};

/// The settings file as the program uses it: keys read with a default and converted, keys
/// written from values, and the in-memory settings loaded and saved as a whole.
class SettingsFile {
public:
    SettingsFile(ProfileFile& file, const NumberFormat& format);

    const NumberFormat& numberFormat() const { return format_; }
    ProfileFile& profile() { return file_; }

    /// The key's text, or defaultValue when it is missing.
    QString ReadIni(const QString& section, const QString& key, const QString& defaultValue) const;
    /// Stores the value as text.
    Status WriteIni(const QString& section, const QString& key, const IniValue& value);
    /// Removes the whole section when wholeSection is true, else the one key.
    Status DeleteIni(const QString& section, const QString& key, bool wholeSection);

    /// Typed reads: the key's value converted, or def when the key is missing, empty or does not
    /// convert (a hand-edited file), or lies outside the type's range.
    qint16 readInt16(const QString& section, const QString& key, qint16 def) const;
    quint8 readByte(const QString& section, const QString& key, quint8 def) const;
    double readFraction(const QString& section, const QString& key, double def) const;
    QDate readDate(const QString& section, const QString& key, const QDate& def) const;

    /// Reads every in-memory setting and the three schemes.
    void LoadSettings(Settings& settings) const;
    /// Reads every setting again except the day and total counters, which the running program
    /// keeps in memory: they may hold a call whose save failed, and only the program writes them.
    void reloadSettings(Settings& settings) const;
    /// Whether a save writes the day and total counters too.
    enum class Counters { Write, Keep };
    /// Writes every in-memory setting and the three schemes back in one replace of the file; with
    /// Counters::Keep the day and total counters stay as the file has them (they follow the call
    /// log, and only the call's owner writes them).
    Status SaveSettings(const Settings& settings, Counters counters = Counters::Write);

private:
    ProfileFile& file_;
    const NumberFormat& format_;
};

} // namespace ringtally
