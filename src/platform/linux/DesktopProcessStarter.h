#pragma once

#include "platform/ProcessStarter.h"

#include <QStringList>

namespace ringtally {

/// Starts programs on a Linux desktop. A command line is split into the program and its
/// arguments by its double quotes, without a shell. "Start x" opens x with the desktop's handler
/// (xdg-open); a desktop entry file (".desktop", the desktop's shortcut) is started as the desktop
/// starts it. The window state is not handed on: X11 gives a starter no say in the first state
/// of another program's window.
class DesktopProcessStarter : public ProcessStarter {
public:
    std::optional<StartFailure> start(const QString& commandLine, int showState) override;

private:
    std::optional<StartFailure> open(const QString& target);
    std::optional<StartFailure> startProgram(const QString& program, const QStringList& arguments);
};

} // namespace ringtally
