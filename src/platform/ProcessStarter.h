#pragma once

#include <QString>

#include <optional>

namespace ringtally {

/// The show states a started program's window is asked for, as the start list stores them once
/// mapped: hidden 0, normal 1, minimized 2, maximized 3.
enum class ShowState : int { Hidden = 0, Normal = 1, Minimized = 2, Maximized = 3 };

/// Why a program could not be started: the system's error number and its description.
struct StartFailure {
    int number = 0;
    QString description;
};

/// Starts programs from a command line, as the start list stores them.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;

    /// Starts commandLine (a program, double-quoted when its path has blanks, then its
    /// parameters) without waiting for it, its window shown as showState asks where the platform
    /// lets a starter say so. "Start x" opens x with the desktop's handler instead. Returns why it
    /// failed, or nothing once the program is on its way.
    virtual std::optional<StartFailure> start(const QString& commandLine, int showState) = 0;
};

} // namespace ringtally
