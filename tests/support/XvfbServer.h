#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ringtally::test {

/// An Xvfb server of the program's own, started on a free display that DISPLAY names while the
/// server runs, and ended with this object. Needs no test framework, so benchmarks use it too.
class XvfbServer {
public:
    XvfbServer()
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            error_ = "Cannot make a pipe for Xvfb";
            return;
        }
        const std::string fd = std::to_string(fds[1]);
        pid_ = ::fork();
        if (pid_ == 0) {
            // Should the program die without its destructors, the server goes too.
            const pid_t parent = ::getppid();
            if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != parent)
                ::_exit(126);
            // Xvfb writes the display number it took to this descriptor once it takes connections.
            // Without -noreset it would start afresh whenever its last client leaves, refusing
            // connections meanwhile.
            ::fcntl(fds[1], F_SETFD, 0);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
                "tcp", "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        if (pid_ > 0)
            error_ = awaitDisplay(fds[0]);
        else
            error_ = "Cannot start a process for Xvfb";
        ::close(fds[0]);
        if (!error_.empty())
            return;
        if (const char* old = std::getenv("DISPLAY"))
            oldDisplay_ = old;
        ::setenv("DISPLAY", display_.c_str(), 1);
    }

    ~XvfbServer()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        if (oldDisplay_.empty())
            ::unsetenv("DISPLAY");
        else
            ::setenv("DISPLAY", oldDisplay_.c_str(), 1);
    }

    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    /// Empty when the server runs, else why it does not.
    const std::string& error() const { return error_; }

private:
    std::string awaitDisplay(int fd)
    {
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + seconds(20);
        std::string number;
        while (number.empty() || number.back() != '\n') {
            const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
            pollfd ready { fd, POLLIN, 0 };
            const int polled = left > 0 ? ::poll(&ready, 1, int(left)) : 0;
            if (polled < 0 && errno == EINTR)
                continue;
            char c = 0;
            if (polled <= 0 || ::read(fd, &c, 1) != 1) {
                ::kill(pid_, SIGKILL);
                int status = 0;
                ::waitpid(pid_, &status, 0);
                pid_ = -1;
                if (polled == 0)
                    return "Xvfb took no display within 20 seconds";
                if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
                    return "Cannot run Xvfb: is the xvfb package installed?";
                return "Xvfb ended before it took a display (status " + std::to_string(status) + ")";
            }
            number += c;
        }
        number.pop_back();
        display_ = ":" + number;
        return {};
    }

    pid_t pid_ = -1;
    std::string display_;
    std::string oldDisplay_;
    std::string error_;
};

} // namespace ringtally::test
