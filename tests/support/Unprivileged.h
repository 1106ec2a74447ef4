#pragma once

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace ringtally::test {

/// Runs body in a child process and returns its exit status, or -1 when it did not exit normally.
/// Limits the child sets (a file-size limit, say) do not reach the test process.
inline int runInChild(const std::function<int()>& body, bool asOrdinaryUser = false)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (asOrdinaryUser && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(99);
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

/// Runs body in a child process as an ordinary user (nobody when the tests run as root, where
/// permission bits would not stop anything).
inline int runUnprivileged(const std::function<int()>& body)
{
    return runInChild(body, true);
}

} // namespace ringtally::test
