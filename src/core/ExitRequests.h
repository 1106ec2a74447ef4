#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace ringtally {

/// Turns the requests to end the program from outside it (SIGTERM, SIGINT, SIGHUP, and the
/// desktop session ending) into one signal on the user-interface thread, so the program can
/// run its exit sequence: hang up, log a running call, remove the tray icon. One object per
/// process; it installs the signal handlers it is made with and puts the defaults back when it
/// goes.
class ExitRequests : public QObject {
    Q_OBJECT
public:
    explicit ExitRequests(QObject* parent = nullptr);
    ~ExitRequests() override;

    /// Asks for the exit sequence as the signals do; the program's own exit command can come
    /// through here too, so the sequence runs once whichever request comes first.
    void request();

signals:
    /// The first request to end the program. Emitted once: after it the default handlers are
    /// back, so a second signal ends a program whose exit sequence hangs.
    void exitRequested();

private:
    void readSignalPipe();
    void restoreDefaultHandlers();

    std::unique_ptr<QSocketNotifier> notifier_;
    bool requested_ = false;
};

} // namespace ringtally
