#pragma once

#include "platform/DialControl.h"

#include <QProcess>
#include <QTimer>

namespace ringtally {

/// Dials an entry by running "pppd call <entry> nodetach" and turning what pppd logs into connection
/// states: OpenPort when pppd runs, PortOpened when chat talks to the modem, ConnectDevice when it
/// dials, DeviceConnected when the serial connection is established, Authenticate when PPP starts on
/// it, Authenticated when we have proved who we are, Connected when IP (or IPv6) is up, and
/// Disconnected when pppd ends, with the error of why (PppErrors.h). States are never skipped up to
/// Authenticate: a connect script that logs nothing still gives PortOpened and ConnectDevice, just
/// before DeviceConnected.
///
/// What the dial takes from the properties; an empty one leaves the peer file's own setting:
/// - UserName: the option "user <name>", after the peer file's options, so it wins over them.
/// - Password: pppd's passwordfd plugin reads it from a pipe that only pppd inherits. It never goes
///   into a command line, an environment or a file. pppd loads a plugin only from a privileged
///   source, so the peer file must have the line "plugin passwordfd.so"; without it the dial fails
///   with PppError::NoPasswordPlugin.
/// - PhoneNumber: the number goes into pppd's environment as kPhoneVariable, and the option
///   "connect" replaces the peer file's connect script with a Hayes dialogue through chat that
///   dials it. pppd lets only root replace a connect script a peer file sets; for anyone else the
///   peer file must have no connect line of its own (PppError::ConnectScriptFixed otherwise).
///
/// pppd must not redial behind the program's back ("nopersist"), and logs to our pipe ("logfd 1")
/// whatever log file the peer file names; the system log still gets everything.
class PppdDialControl : public DialControl {
    Q_OBJECT

public:
    /// How long HangUp lets pppd close the link (LCP's goodbye, the modem hanging up) before it is
    /// killed.
    static constexpr int kKillAfterMs = 15000;
    /// How long the program's end gives pppd to end by itself before it is killed.
    static constexpr int kExitWaitMs = 1000;
    /// The environment variable that carries the phone number to the connect script.
    static constexpr char kPhoneVariable[] = "RINGTALLY_PHONE_NUMBER";

    /// systemRoot is for tests: the folder that stands for / where pppd is looked for in
    /// /usr/sbin and /sbin after PATH; killAfterMs: see kKillAfterMs.
    explicit PppdDialControl(
        QString systemRoot = QString(), int killAfterMs = kKillAfterMs, QObject* parent = nullptr);
    /// Hangs up a dial still running: pppd gets kExitWaitMs (at most killAfterMs) to end, then it
    /// is killed.
    ~PppdDialControl() override;
    PppdDialControl(const PppdDialControl&) = delete;
    PppdDialControl& operator=(const PppdDialControl&) = delete;

    /// Starts pppd without a shell. Errors at once: PortInUse while a dial of ours runs, NoSuchEntry
    /// without an entry name, BadPhoneNumber, NotInstalled or NotAllowed when pppd cannot be run.
    qint32 StartDial() override;
    /// Sends pppd SIGTERM, and SIGKILL should it still run killAfterMs later. Disconnected follows
    /// with error 0, whatever pppd's exit status.
    void HangUp() override;
    qint32 ConnState() const override { return state_; }

private:
    void readOutput();
    void handleLine(QStringView line);
    void advanceTo(qint32 state);
    void ended(int exitCode, QProcess::ExitStatus exitStatus);
    void finish(qint32 error);

    QString systemRoot_;
    int killAfterMs_;
    QProcess* process_ = nullptr; // the running pppd, if any
    qint32 state_ = RasConnState::Disconnected;
    qint32 reported_ = 0; // the error pppd's output named last
    bool hangingUp_ = false;
    QTimer killTimer_;
};

} // namespace ringtally
