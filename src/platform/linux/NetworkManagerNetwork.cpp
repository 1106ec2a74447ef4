#include "platform/linux/NetworkManagerNetwork.h"

#include "platform/linux/InterfaceCounters.h"
#include "platform/linux/NetworkManagerErrors.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

const QString kService = u"org.freedesktop.NetworkManager"_s;
const QString kManagerPath = u"/org/freedesktop/NetworkManager"_s;
const QString kSettingsPath = u"/org/freedesktop/NetworkManager/Settings"_s;
const QString kSettings = u"org.freedesktop.NetworkManager.Settings"_s;
const QString kProfile = u"org.freedesktop.NetworkManager.Settings.Connection"_s;
const QString kActive = u"org.freedesktop.NetworkManager.Connection.Active"_s;
const QString kDevice = u"org.freedesktop.NetworkManager.Device"_s;
const QString kProperties = u"org.freedesktop.DBus.Properties"_s;
constexpr int kTimeoutMs = 2000;

using Setting = QMap<QString, QVariantMap>;

// The kinds of link that are paid for by time or volume, and NM_METERED_YES.
bool paidFor(const Setting& settings)
{
    const QVariantMap connection = settings.value(u"connection"_s);
    static const QStringList kinds { u"gsm"_s, u"cdma"_s, u"bluetooth"_s, u"pppoe"_s };
    return kinds.contains(connection.value(u"type"_s).toString())
        || connection.value(u"metered"_s).toInt() == 1;
}

QStringList paths(const QVariant& value)
{
    QStringList all;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentType() == QDBusArgument::ArrayType) {
        for (const QDBusObjectPath& path : qdbus_cast<QList<QDBusObjectPath>>(argument))
            all.append(path.path());
    } else {
        for (const QDBusObjectPath& path : value.value<QList<QDBusObjectPath>>())
            all.append(path.path());
    }
    return all;
}

QString path(const QVariant& value)
{
    return value.value<QDBusObjectPath>().path();
}

} // namespace

NetworkManagerNetwork::NetworkManagerNetwork(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus))
{
    qDBusRegisterMetaType<Setting>();
    if (!bus_.isConnected())
        return;
    bus_.connect(kService, kSettingsPath, kSettings, u"NewConnection"_s, this, SLOT(readProfiles()));
    bus_.connect(kService, kSettingsPath, kSettings, u"ConnectionRemoved"_s, this, SLOT(readProfiles()));
    bus_.connect(
        kService, QString(), kActive, u"StateChanged"_s, this, SLOT(onActiveStateChanged(quint32, quint32)));
    bus_.connect(kService, QString(), kDevice, u"StateChanged"_s, this,
        SLOT(onDeviceStateChanged(quint32, quint32, quint32)));
    bus_.connect(kService, QString(), kProperties, u"PropertiesChanged"_s, this,
        SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
    // NetworkManager that starts or restarts later is read afresh.
    auto* watcher = new QDBusServiceWatcher(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        readProfiles();
        readActiveConnections();
    });
    readProfiles();
    readActiveConnections();
}

QVariantMap NetworkManagerNetwork::properties(const QString& objectPath, const QString& interface) const
{
    QDBusMessage ask = QDBusMessage::createMethodCall(kService, objectPath, kProperties, u"GetAll"_s);
    ask << interface;
    const QDBusMessage reply = bus_.call(ask, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return qdbus_cast<QVariantMap>(reply.arguments().first());
}

void NetworkManagerNetwork::readProfiles()
{
    profiles_.clear();
    if (!bus_.isConnected() || !bus_.interface()->isServiceRegistered(kService))
        return;
    const QDBusMessage list
        = bus_.call(QDBusMessage::createMethodCall(kService, kSettingsPath, kSettings, u"ListConnections"_s),
            QDBus::Block, kTimeoutMs);
    if (list.type() != QDBusMessage::ReplyMessage || list.arguments().isEmpty())
        return;
    for (const QString& profile : paths(list.arguments().first())) {
        const QDBusReply<Setting> settings
            = bus_.call(QDBusMessage::createMethodCall(kService, profile, kProfile, u"GetSettings"_s),
                QDBus::Block, kTimeoutMs);
        if (settings.isValid() && paidFor(settings.value()))
            profiles_.push_back(
                { profile, settings.value().value(u"connection"_s).value(u"id"_s).toString() });
    }
}

void NetworkManagerNetwork::readActiveConnections()
{
    const QStringList now = bus_.isConnected()
        ? paths(properties(kManagerPath, kService).value(u"ActiveConnections"_s))
        : QStringList();
    // The ones that have gone are deactivated, whether or not their last state was heard; they
    // are told as such before they are forgotten, so their devices' failures can still be asked.
    QStringList gone;
    for (const auto& [activePath, active] : active_) {
        if (!now.contains(activePath))
            gone.append(activePath);
    }
    for (const QString& activePath : gone) {
        setState(activePath, Deactivated, 0);
        active_.erase(activePath);
    }
    for (const QString& activePath : now) {
        if (active_.count(activePath))
            continue;
        const QVariantMap p = properties(activePath, kActive);
        const QString profile = path(p.value(u"Connection"_s));
        if (!profileAt(profile))
            continue;
        const auto state = State(p.value(u"State"_s).toUInt());
        active_[activePath] = { profile, state, paths(p.value(u"Devices"_s)) };
        emit connectionStateChanged(activePath, state, 0);
    }
}

void NetworkManagerNetwork::setState(const QString& activePath, State state, quint32 reason)
{
    const auto it = active_.find(activePath);
    if (it == active_.end() || it->second.state == state)
        return;
    it->second.state = state;
    emit connectionStateChanged(activePath, state, reason);
}

void NetworkManagerNetwork::onActiveStateChanged(quint32 state, quint32 reason)
{
    setState(message().path(), State(state), reason);
}

void NetworkManagerNetwork::onDeviceStateChanged(quint32 newState, quint32, quint32 reason)
{
    // NM_DEVICE_STATE_FAILED: the reason says why, more precisely than the connection's.
    if (newState == 120)
        deviceFailures_[message().path()] = reason;
    else if (newState == 40) // NM_DEVICE_STATE_PREPARE: a new attempt
        deviceFailures_.erase(message().path());
}

void NetworkManagerNetwork::onPropertiesChanged(
    const QString& interface, const QVariantMap& changed, const QStringList&)
{
    if (interface == kService && changed.contains(u"ActiveConnections"_s))
        readActiveConnections();
    else if (interface == kActive && changed.contains(u"State"_s))
        setState(message().path(), State(changed.value(u"State"_s).toUInt()), 0);
    else if (interface == kActive && changed.contains(u"Devices"_s)) {
        if (const auto it = active_.find(message().path()); it != active_.end()) {
            it->second.devices = paths(changed.value(u"Devices"_s));
            countedInterface_.clear();
            emit devicesChanged(it->first);
        }
    }
}

const NetworkManagerNetwork::Profile* NetworkManagerNetwork::profileAt(const QString& profilePath) const
{
    for (const Profile& profile : profiles_) {
        if (profile.path == profilePath)
            return &profile;
    }
    return nullptr;
}

const NetworkManagerNetwork::Active* NetworkManagerNetwork::activeOf(const QString& entryName) const
{
    const QString profile = profilePath(entryName);
    for (const auto& [activePath, active] : active_) {
        if (active.profilePath == profile && active.state != Deactivated)
            return &active;
    }
    return nullptr;
}

Result<QStringList> NetworkManagerNetwork::entryNames() const
{
    QStringList names;
    for (const Profile& profile : profiles_)
        names.append(profile.id);
    return names;
}

Result<std::vector<DialUpConnection>> NetworkManagerNetwork::activeConnections() const
{
    std::vector<DialUpConnection> up;
    for (const auto& [activePath, active] : active_) {
        if (active.state != Activated)
            continue;
        const qint64 number = activePath.section(u'/', -1).toLongLong();
        up.push_back({ kFirstHandle - number, profileAt(active.profilePath)->id });
    }
    return up;
}

Status NetworkManagerNetwork::hangUp(const DialUpConnection& connection)
{
    const qint64 number = kFirstHandle - connection.handle;
    for (const auto& [activePath, active] : active_) {
        if (activePath.section(u'/', -1).toLongLong() == number)
            return deactivate(activePath);
    }
    return Status::success();
}

bool NetworkManagerNetwork::isOnline() const
{
    for (const auto& [activePath, active] : active_) {
        if (active.state == Activated)
            return true;
    }
    return false;
}

QString NetworkManagerNetwork::currentEntryName() const
{
    for (const auto& [activePath, active] : active_) {
        if (active.state == Activated)
            return profileAt(active.profilePath)->id;
    }
    return QString();
}

std::optional<LinkCounters> NetworkManagerNetwork::linkCounters() const
{
    const QString entry = currentEntryName();
    if (entry.isEmpty())
        return std::nullopt;
    if (std::optional<LinkCounters> counters = readInterfaceCounters(QString(), countedInterface_))
        return counters;
    countedInterface_ = interfaceOf(entry);
    return readInterfaceCounters(QString(), countedInterface_);
}

QString NetworkManagerNetwork::errorText(qint32 error, bool english) const
{
    return networkManagerErrorText(error, english);
}

QString NetworkManagerNetwork::profilePath(const QString& entryName) const
{
    // As listed beside a pppd peer of the same name, too.
    const QString suffix = listedSuffix();
    const QString id = entryName.endsWith(suffix) ? entryName.chopped(suffix.size()) : entryName;
    for (const Profile& profile : profiles_) {
        if (profile.id == id)
            return profile.path;
    }
    return QString();
}

QString NetworkManagerNetwork::interfaceOf(const QString& entryName) const
{
    const Active* active = activeOf(entryName);
    if (!active || active->devices.isEmpty())
        return QString();
    return properties(active->devices.first(), kDevice).value(u"IpInterface"_s).toString();
}

QString NetworkManagerNetwork::modemOf(const QString& entryName) const
{
    const Active* active = activeOf(entryName);
    if (!active || active->devices.isEmpty())
        return QString();
    const QString udi = properties(active->devices.first(), kDevice).value(u"Udi"_s).toString();
    return udi.startsWith(u"/org/freedesktop/ModemManager1/"_s) ? udi : QString();
}

NetworkManagerNetwork::State NetworkManagerNetwork::state(const QString& activePath) const
{
    const auto it = active_.find(activePath);
    return it == active_.end() ? Deactivated : it->second.state;
}

quint32 NetworkManagerNetwork::deviceFailure(const QString& activePath) const
{
    const auto it = active_.find(activePath);
    if (it == active_.end())
        return 0;
    for (const QString& device : it->second.devices) {
        if (const auto failure = deviceFailures_.find(device); failure != deviceFailures_.end())
            return failure->second;
    }
    return 0;
}

QDBusPendingCall NetworkManagerNetwork::activate(const QString& profilePath)
{
    QDBusMessage ask
        = QDBusMessage::createMethodCall(kService, kManagerPath, kService, u"ActivateConnection"_s);
    ask << QVariant::fromValue(QDBusObjectPath(profilePath)) << QVariant::fromValue(QDBusObjectPath(u"/"_s))
        << QVariant::fromValue(QDBusObjectPath(u"/"_s));
    // The desktop's secret agent may ask the user for a PIN meanwhile.
    return bus_.asyncCall(ask, 120'000);
}

Status NetworkManagerNetwork::deactivate(const QString& activePath)
{
    QDBusMessage ask
        = QDBusMessage::createMethodCall(kService, kManagerPath, kService, u"DeactivateConnection"_s);
    ask << QVariant::fromValue(QDBusObjectPath(activePath));
    const QDBusMessage reply = bus_.call(ask, QDBus::Block, kTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return Error { reply.errorMessage() };
    // The mock, and a NetworkManager that has already let it go, drop it without a state.
    readActiveConnections();
    return Status::success();
}

NetworkManagerDialControl::NetworkManagerDialControl(NetworkManagerNetwork& network, QObject* parent)
    : DialControl(parent), network_(network)
{
    connect(
        &network_, &NetworkManagerNetwork::connectionStateChanged, this, &NetworkManagerDialControl::follow);
}

qint32 NetworkManagerDialControl::StartDial()
{
    const QString profile = network_.profilePath(EntryName());
    if (profile.isEmpty())
        return NetworkManagerError::NoSuchProfile;
    active_.clear();
    dialing_ = true;
    hangUpAsked_ = false;
    auto* watcher = new QDBusPendingCallWatcher(network_.activate(profile), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        dialing_ = false;
        const QDBusPendingReply<QDBusObjectPath> reply = *call;
        if (reply.isError()) {
            report(RasConnState::Disconnected, networkManagerActivationError(reply.error().name()));
            return;
        }
        active_ = reply.value().path();
        if (hangUpAsked_) {
            (void)network_.deactivate(active_);
            return;
        }
        follow(active_, network_.state(active_), 0);
    });
    report(RasConnState::OpenPort, 0);
    return 0;
}

void NetworkManagerDialControl::HangUp()
{
    if (dialing_) {
        hangUpAsked_ = true;
        return;
    }
    if (!active_.isEmpty() && state_ != RasConnState::Disconnected)
        (void)network_.deactivate(active_);
}

void NetworkManagerDialControl::follow(const QString& activePath, quint32 state, quint32 reason)
{
    if (activePath.isEmpty() || activePath != active_)
        return;
    switch (state) {
    case NetworkManagerNetwork::Activating:
        report(RasConnState::ConnectDevice, 0);
        break;
    case NetworkManagerNetwork::Activated:
        report(RasConnState::Connected, 0);
        break;
    case NetworkManagerNetwork::Deactivated: {
        // The device's reason says more (no SIM, PIN, signal) than the connection's.
        const qint32 device = networkManagerDeviceError(network_.deviceFailure(activePath));
        const bool failed = state_ != RasConnState::Connected;
        report(RasConnState::Disconnected,
            device ? device : (failed ? networkManagerConnectionError(reason) : 0));
        active_.clear();
        break;
    }
    default:
        break;
    }
}

void NetworkManagerDialControl::report(qint32 state, qint32 error)
{
    if (state == state_ && error == 0)
        return;
    state_ = state;
    emit statusChanged(state, error);
}

} // namespace ringtally
