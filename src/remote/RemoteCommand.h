#pragma once

#include <optional>

namespace ringtally {

/// The command-line commands that talk to the running program over the session bus and end:
///   --dial N|cheapest     dial scheme 1..3, or the one that is cheapest now
///   --hang-up [--no-log]  hang up the metered call, logged unless --no-log
///   --status [--json]     one line: "offline", or "online <scheme> <call time> <call price>";
///                         with --json every figure as a JSON object
///   --show-log            open the log viewer
/// Nothing when argv asks for none of them, and the program starts as usual. Otherwise runs the
/// command without any window and returns the exit code: 0 done, 1 the program is not running,
/// 2 the command line is wrong, 3 the program refused (says why).
std::optional<int> runRemoteCommand(int& argc, char** argv);

/// What the program answers on the command line without starting: --help (the usage, in Danish
/// where the locale is Danish, else in English), --version, an option it does not know (says so,
/// exit 2), and a start without a graphical desktop (no DISPLAY, WAYLAND_DISPLAY or chosen Qt
/// platform: says so, exit 1). Nothing when the program is to start. version is "major.minor.patch".
std::optional<int> answerWithoutStarting(int argc, char** argv, const char* version);

/// What a second start does: asks the running program to show its main window (its status window
/// while a call is metered). True when a running program answered, also one still starting; false
/// when none runs on the session bus (or there is no bus). Makes the QCoreApplication it needs when
/// there is none yet.
bool bringRunningProgramForward(int& argc, char** argv);

} // namespace ringtally
