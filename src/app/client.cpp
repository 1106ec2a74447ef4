// `ringtally`, the command users and panels run: it answers the command line and talks to the
// running program over the session bus with QtCore and QtDBus alone, so that a panel asking for
// the status every second never loads the GUI libraries. Only to start the program does it hand
// over, by exec, to the tray program beside it.

#include "remote/RemoteCommand.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <unistd.h>

using namespace ringtally;

namespace {

// The tray program: "ringtally-tray" in this program's own folder, installed or in the build.
std::string trayProgram()
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return "ringtally-tray";
    std::string path(self, size_t(length));
    return path.substr(0, path.rfind('/') + 1) + "ringtally-tray";
}

} // namespace

int main(int argc, char** argv)
{
    // A command for the running program (--status, --dial, ...) is sent to it, and this start ends.
    if (const std::optional<int> exitCode = runRemoteCommand(argc, argv))
        return *exitCode;
    // --help, --version, an unknown option, or no desktop to show anything on.
    if (const std::optional<int> exitCode = answerWithoutStarting(argc, argv, RINGTALLY_VERSION))
        return *exitCode;
    // --log-viewer opens the running program's log viewer; with none running, the program starts
    // and opens it once it is up.
    if (std::any_of(
            argv + 1, argv + argc, [](const char* arg) { return std::strcmp(arg, "--log-viewer") == 0; })) {
        char program[] = "ringtally";
        char showLog[] = "--show-log";
        char* asked[] = { program, showLog, nullptr };
        int count = 2;
        if (const std::optional<int> exitCode = runRemoteCommand(count, asked); exitCode && *exitCode != 1)
            return *exitCode;
    } else if (bringRunningProgramForward(argc, argv)) {
        // A second start shows the running program instead.
        return 0;
    }
    const std::string tray = trayProgram();
    execv(tray.c_str(), argv);
    std::fprintf(stderr, "ringtally: %s: %s\n", tray.c_str(), std::strerror(errno));
    return 1;
}
