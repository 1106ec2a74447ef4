#pragma once

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ringtally::test {

/// An Xvfb server of the program's own on a free display, which DISPLAY names while the server runs;
/// the server ends with this object. Needs no test framework, so benchmarks use it too.
class XvfbServer {
public:
    XvfbServer()
    {
        int fds[2];
        const std::string fd = ::pipe2(fds, O_CLOEXEC) == 0 ? std::to_string(fds[1]) : std::string();
        if (fd.empty() || (pid_ = ::fork()) < 0) {
            error_ = "Cannot start a process for Xvfb";
            return;
        }
        if (pid_ == 0) {
            // The server goes with the program, also where that dies without running destructors.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            // Xvfb writes the display number it took to fd once it takes connections. Without -noreset
            // it would start afresh whenever its last client leaves, refusing connections meanwhile.
            ::fcntl(fds[1], F_SETFD, 0);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
                "tcp", "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        // Xvfb writes the number and the line end one after the other; 20 s at most for each byte.
        std::string number;
        char c = 0;
        pollfd ready { fds[0], POLLIN, 0 };
        while (::poll(&ready, 1, 20'000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        const bool started = c == '\n' && !number.empty();
        ::close(fds[0]);
        if (!started) {
            int status = 0;
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
            error_ = WIFEXITED(status) && WEXITSTATUS(status) == 127
                ? "Cannot run Xvfb: is the xvfb package installed?"
                : "Xvfb took no display within 20 seconds (wait status " + std::to_string(status) + ")";
            return;
        }
        ::setenv("DISPLAY", (":" + number).c_str(), 1);
    }
    ~XvfbServer()
    {
        if (pid_ > 0 && ::kill(pid_, SIGTERM) == 0 && ::waitpid(pid_, nullptr, 0) == pid_)
            ::unsetenv("DISPLAY");
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    /// Empty when the server runs, else why it does not.
    const std::string& error() const { return error_; }

private:
    pid_t pid_ = -1;
    std::string error_;
};

} // namespace ringtally::test
