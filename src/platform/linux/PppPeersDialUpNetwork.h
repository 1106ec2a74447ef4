#pragma once

#include "platform/DialUpNetwork.h"

#include <QString>

namespace ringtally {

/// The dial-up networking of a Linux system through pppd. An entry is a pppd peer file in
/// /etc/ppp/peers, named as the entry is named. A connection is a PPP interface that is up
/// (IFF_UP) whose pppd dials an entry and was started by this user (or any user, for root):
/// by this program, pon, or another dialer. A VPN's PPP link (pptp, l2tp) dials no entry and
/// another user's pppd is none of ours: neither is a line, and neither is ever hung up. Its handle is the
/// pid of its pppd, from the pid file pppd writes for the interface in /run (pppd 2.4) or
/// /run/pppd (2.5); its entry is the peer that pppd's command line names ("call <peer>", or
/// "file /etc/ppp/peers/<peer>"). Every read goes to the system afresh.
class PppPeersDialUpNetwork : public DialUpNetwork {
public:
    /// systemRoot is for tests: the folder that stands for /, holding etc/ppp/peers, run,
    /// sys/class/net and proc.
    explicit PppPeersDialUpNetwork(QString systemRoot = QString());

    /// The peer files' names, sorted without regard to case; hidden files and editor or package
    /// leftovers are not entries. A missing folder has no entries; an unreadable one is an error.
    Result<QStringList> entryNames() const override;
    /// The lines that are up, in the order of their interfaces (ppp0, ppp1, ..., ppp10).
    Result<std::vector<DialUpConnection>> activeConnections() const override;
    /// Sends the connection's pppd SIGTERM, on which it closes the link and ends. A pppd that has
    /// ended already is no error; one of another user's is, and gets no signal.
    Status hangUp(const DialUpConnection& connection) override;
    /// Whether any line is up.
    bool isOnline() const override;
    /// The entry of the first line that is up; empty when none is.
    QString currentEntryName() const override;
    /// The texts of the dial errors in PppErrors.h.
    QString errorText(qint32 error, bool english) const override;
    /// The counters of the first line's interface. The interface is looked for again only when the
    /// last one's counters cannot be read: the meter asks each tick.
    std::optional<LinkCounters> linkCounters() const override;

private:
    struct Link {
        qint64 pid = 0; // of its pppd; 0 where not known
        QString entryName;
        QString interface;
    };
    // The lines that are up, in the order of their interfaces' names.
    std::vector<Link> upLinks() const;
    // Whether the user could have started the process: its real user is ours, or we are root.
    bool startableByUs(qint64 pid) const;
    // pppd's arguments, its program first; none where pid is no process, or one that is no pppd.
    QStringList pppdCommandLine(qint64 pid) const;

    QString systemRoot_;
    QString peersFolder_;
    mutable QString countedInterface_; // the interface linkCounters read last
};

} // namespace ringtally
