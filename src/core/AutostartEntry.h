#pragma once

#include "platform/Result.h"

#include <QString>

namespace ringtally {

/// The entry in the user's autostart folder that starts the program when the user logs in: a
/// desktop entry file, as the XDG autostart rules have it.
class AutostartEntry {
public:
    /// The user's entry: $XDG_CONFIG_HOME/autostart/ringtally.desktop, or under ~/.config when
    /// XDG_CONFIG_HOME is unset or not an absolute path.
    static AutostartEntry forUser();

    explicit AutostartEntry(QString path) : path_(std::move(path)) { }

    const QString& path() const { return path_; }
    /// Whether the entry starts something at login: the file is there and not switched off
    /// (Hidden=true, or X-GNOME-Autostart-enabled=false, as a desktop's own settings leave it).
    bool isOn() const;
    /// Writes the entry, starting program (an absolute path), creating the folder when missing; an
    /// entry that is there already is switched on, its other keys kept as the user has them.
    Status write(const QString& program) const;
    /// Removes the entry; an entry that is not there is no failure.
    Status remove() const;

    /// program as one argument of an Exec value, quoted and escaped where the desktop entry rules
    /// want it.
    static QString execValue(const QString& program);

private:
    QString path_;
};

} // namespace ringtally
