#pragma once

#include "platform/DialControl.h"
#include "platform/DialUpNetwork.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>

#include <map>
#include <vector>

namespace ringtally {

/// The links NetworkManager brings up that are paid for by time or volume: its connection
/// profiles of type gsm, cdma, bluetooth or pppoe, and any profile marked metered. They are
/// dial-up entries named by the profile's id; an active connection of one is online, whoever
/// activated it. What NetworkManager says is followed through its signals and kept, so that the
/// connection watch's question each second costs no message on the bus. Without NetworkManager on
/// the bus (or without a system bus) there are no entries and no connections, and nothing
/// complains.
class NetworkManagerNetwork : public QObject, public DialUpNetwork, protected QDBusContext {
    Q_OBJECT

public:
    /// An active connection's handle is this less its number (".../ActiveConnection/7" is -1007):
    /// pppd's handles are process ids, the simulated line's is -1.
    static constexpr qint64 kFirstHandle = -1000;
    /// NetworkManager's NMActiveConnectionState.
    enum State : quint32 { Unknown = 0, Activating = 1, Activated = 2, Deactivating = 3, Deactivated = 4 };

    explicit NetworkManagerNetwork(
        QDBusConnection bus = QDBusConnection::systemBus(), QObject* parent = nullptr);

    /// The paid-for profiles' ids, in NetworkManager's order.
    Result<QStringList> entryNames() const override;
    /// The activated connections of paid-for profiles.
    Result<std::vector<DialUpConnection>> activeConnections() const override;
    /// Deactivates the connection.
    Status hangUp(const DialUpConnection& connection) override;
    bool isOnline() const override;
    QString currentEntryName() const override;
    QString errorText(qint32 error, bool english) const override;
    /// The counters of the first activated connection's interface. Its interface is asked of
    /// NetworkManager only when the last one's counters cannot be read: the meter asks each tick.
    std::optional<LinkCounters> linkCounters() const override;

    /// What a profile's id is followed by where it is listed beside a pppd peer of the same name.
    static QString listedSuffix() { return QStringLiteral(" (NetworkManager)"); }
    /// The profile's object path for an entry (its id, or its id followed by listedSuffix());
    /// empty for an entry that is not one.
    QString profilePath(const QString& entryName) const;
    /// The network interface of the entry's active connection (its device's IpInterface); empty
    /// while it has none.
    QString interfaceOf(const QString& entryName) const;
    /// The ModemManager modem behind the entry's active connection (its device's Udi); empty when
    /// it has none.
    QString modemOf(const QString& entryName) const;
    /// The state of an active connection; Deactivated for one that has gone.
    State state(const QString& activePath) const;
    /// The failure reason the last device of the active connection gave (NMDeviceStateReason), 0
    /// for none.
    quint32 deviceFailure(const QString& activePath) const;

    /// Asks NetworkManager to activate the profile; the reply is the active connection's path.
    QDBusPendingCall activate(const QString& profilePath);
    /// Asks NetworkManager to deactivate the active connection.
    Status deactivate(const QString& activePath);

signals:
    /// An active connection changed its state, or appeared or went (Deactivated).
    void connectionStateChanged(const QString& activePath, quint32 state, quint32 reason);
    /// An active connection's devices changed: its interface and modem may be others now.
    void devicesChanged(const QString& activePath);

private slots:
    void readProfiles();
    void readActiveConnections();
    void onActiveStateChanged(quint32 state, quint32 reason);
    void onDeviceStateChanged(quint32 newState, quint32 oldState, quint32 reason);
    void onPropertiesChanged(
        const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    struct Profile {
        QString path;
        QString id;
    };
    struct Active {
        QString profilePath;
        State state = Unknown;
        QStringList devices;
    };

    QVariantMap properties(const QString& path, const QString& interface) const;
    const Profile* profileAt(const QString& path) const;
    const Active* activeOf(const QString& entryName) const;
    void setState(const QString& activePath, State state, quint32 reason);

    QDBusConnection bus_;
    std::vector<Profile> profiles_; // the paid-for ones
    std::map<QString, Active> active_; // by path, every active connection of a paid-for profile
    std::map<QString, quint32> deviceFailures_; // by device path, the last failure's reason
    mutable QString countedInterface_; // the interface linkCounters read last
};

/// Dials an entry of NetworkManagerNetwork: activates its profile, as the desktop does (its
/// secret agent answers for passwords and PINs), and reports NetworkManager's states as the dial's:
/// activating as ConnectDevice, activated as Connected, deactivated as Disconnected with the
/// failure's error (NetworkManagerErrors.h).
class NetworkManagerDialControl : public DialControl {
    Q_OBJECT

public:
    explicit NetworkManagerDialControl(NetworkManagerNetwork& network, QObject* parent = nullptr);

    qint32 StartDial() override;
    void HangUp() override;
    qint32 ConnState() const override { return state_; }

private:
    void follow(const QString& activePath, quint32 state, quint32 reason);
    void report(qint32 state, qint32 error);

    NetworkManagerNetwork& network_;
    QString active_; // the active connection of this dial
    bool dialing_ = false; // an activation was asked for and not answered yet
    bool hangUpAsked_ = false; // HangUp came before the activation's answer
    qint32 state_ = RasConnState::Disconnected;
};

} // namespace ringtally
