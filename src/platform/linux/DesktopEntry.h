#pragma once

#include "platform/Result.h"

#include <QStringList>

namespace ringtally {

/// What a desktop entry file (".desktop", the desktop's shortcut) starts: a program with its
/// arguments, or for a link the address to open.
struct DesktopEntry {
    QStringList command; // the program and its arguments; empty for a link
    QString url; // what a link opens; empty for an application

    /// Reads the file's [Desktop Entry] group. Only applications and links can be started.
    static Result<DesktopEntry> read(const QString& path);
    /// The Exec value split into the program and its arguments by the desktop entry quoting
    /// rules, field codes expanded for a start without files: %i gives "--icon" and icon, %c the
    /// name, %k the entry's own path, %% a percent sign, every other code nothing.
    static Result<QStringList> splitExec(
        const QString& exec, const QString& name, const QString& icon, const QString& path);
};

} // namespace ringtally
