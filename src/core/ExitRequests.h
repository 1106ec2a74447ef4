#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace ringtally {

/// Turns the requests to end the program from outside it (SIGTERM, SIGINT, SIGHUP, and the
/// event loop ending with the desktop session) into one signal on the user-interface thread, so
/// the program can run its exit sequence: hang up, log a running call, remove the tray icon. A
/// session that is only saved is no request. One object per process; it installs the signal
/// handlers it is made with and puts the defaults back when it goes.
class ExitRequests : public QObject {
    Q_OBJECT
public:
    explicit ExitRequests(QObject* parent = nullptr);
    ~ExitRequests() override;

    /// Asks for the exit sequence as the signals do; the program's own exit command can come
    /// through here too, so the sequence runs once whichever request comes first.
    void request();

    /// Whether the program has been asked to end: it ends once the request is handled, also where
    /// the event loop had not begun yet.
    bool requested() const { return requested_; }

signals:
    /// The first request to end the program. Emitted once; later signals are ignored, so that a
    /// second signal never kills a program in the middle of logging its call.
    void exitRequested();

private:
    void readSignalPipe();
    void restoreDefaultHandlers();

    std::unique_ptr<QSocketNotifier> notifier_;
    bool requested_ = false;
};

} // namespace ringtally
