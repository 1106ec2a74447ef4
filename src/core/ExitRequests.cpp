#include "core/ExitRequests.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace ringtally {

namespace {

constexpr std::array kSignals { SIGTERM, SIGINT, SIGHUP };

// The pair of connected sockets: the handler writes into [0], the notifier reads [1]. A signal
// handler may only call async-signal-safe functions, so it writes one byte and nothing else.
std::array<int, 2> signalPipe { -1, -1 };

void onSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // A full socket already holds a wake-up, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

ExitRequests::ExitRequests(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalPipe.data()) == 0) {
        notifier_ = std::make_unique<QSocketNotifier>(signalPipe[1], QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, &ExitRequests::readSignalPipe);
        struct sigaction action { };
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : kSignals)
            ::sigaction(signal, &action, nullptr);
    }
    // Without the socket pair the signals keep their default: they still end the program,
    // only without its exit sequence. The session manager's commitDataRequest comes at a save of
    // the session too, not only at its end: the session's end ends the event loop.
    if (auto* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &ExitRequests::request);
}

ExitRequests::~ExitRequests()
{
    restoreDefaultHandlers();
    notifier_.reset();
    for (int& fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void ExitRequests::readSignalPipe()
{
    std::array<char, 16> bytes {};
    while (::read(signalPipe[1], bytes.data(), bytes.size()) > 0) { }
    request();
}

void ExitRequests::request()
{
    if (requested_)
        return;
    requested_ = true;
    emit exitRequested();
}

void ExitRequests::restoreDefaultHandlers()
{
    if (!notifier_)
        return;
    for (const int signal : kSignals)
        ::signal(signal, SIG_DFL);
}

} // namespace ringtally
