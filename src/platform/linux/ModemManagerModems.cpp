#include "platform/linux/ModemManagerModems.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

const QString kService = u"org.freedesktop.ModemManager1"_s;
const QString kRoot = u"/org/freedesktop/ModemManager1"_s;
const QString kModem = u"org.freedesktop.ModemManager1.Modem"_s;
const QString kModem3gpp = u"org.freedesktop.ModemManager1.Modem.Modem3gpp"_s;

// MMModem3gppRegistrationState: roaming, roaming for SMS only, roaming without CSFB.
bool roams(uint registration)
{
    return registration == 5 || registration == 7 || registration == 10;
}

} // namespace

ModemManagerModems::ModemManagerModems(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus))
{
    if (!bus_.isConnected())
        return;
    bus_.connect(kService, kRoot, u"org.freedesktop.DBus.ObjectManager"_s, u"InterfacesAdded"_s, this,
        SLOT(readModems()));
    bus_.connect(kService, kRoot, u"org.freedesktop.DBus.ObjectManager"_s, u"InterfacesRemoved"_s, this,
        SLOT(readModems()));
    bus_.connect(kService, QString(), u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s, this,
        SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
    auto* watcher = new QDBusServiceWatcher(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &ModemManagerModems::readModems);
    readModems();
}

void ModemManagerModems::readModems()
{
    const std::map<QString, ModemState> before = std::exchange(modems_, {});
    const QDBusMessage reply = bus_.call(QDBusMessage::createMethodCall(kService, kRoot,
                                             u"org.freedesktop.DBus.ObjectManager"_s, u"GetManagedObjects"_s),
        QDBus::Block, 2000);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        // a{oa{sa{sv}}}
        const auto objects = reply.arguments().first().value<QDBusArgument>();
        objects.beginMap();
        while (!objects.atEnd()) {
            QDBusObjectPath modemPath;
            QMap<QString, QVariantMap> interfaces;
            objects.beginMapEntry();
            objects >> modemPath >> interfaces;
            objects.endMapEntry();
            if (!interfaces.contains(kModem))
                continue;
            for (auto it = interfaces.cbegin(); it != interfaces.cend(); ++it)
                take(modemPath.path(), it.key(), it.value());
        }
        objects.endMap();
    }
    for (const auto& [modemPath, state] : modems_) {
        const auto old = before.find(modemPath);
        if (old == before.end() || !(old->second == state))
            emit changed(modemPath);
    }
    for (const auto& [modemPath, state] : before) {
        if (!modems_.count(modemPath))
            emit changed(modemPath);
    }
}

void ModemManagerModems::take(
    const QString& modemPath, const QString& interface, const QVariantMap& properties)
{
    ModemState& modem = modems_[modemPath];
    if (interface == kModem3gpp) {
        if (properties.contains(u"OperatorName"_s))
            modem.operatorName = properties.value(u"OperatorName"_s).toString();
        if (properties.contains(u"RegistrationState"_s))
            modem.roaming = roams(properties.value(u"RegistrationState"_s).toUInt());
    } else if (interface == kModem && properties.contains(u"SignalQuality"_s)) {
        // (ub): the percentage, and whether it was measured lately.
        const auto quality = properties.value(u"SignalQuality"_s).value<QDBusArgument>();
        uint percent = 0;
        bool recent = false;
        quality.beginStructure();
        quality >> percent >> recent;
        quality.endStructure();
        modem.signalPercent = int(percent);
    }
}

void ModemManagerModems::onPropertiesChanged(
    const QString& interface, const QVariantMap& changed, const QStringList&)
{
    const QString modemPath = message().path();
    const auto it = modems_.find(modemPath);
    if (it == modems_.end() || (interface != kModem && interface != kModem3gpp))
        return;
    const ModemState before = it->second;
    take(modemPath, interface, changed);
    if (!(modems_[modemPath] == before))
        emit this->changed(modemPath);
}

std::optional<ModemState> ModemManagerModems::state(const QString& modemPath) const
{
    if (modemPath.isEmpty()) {
        if (modems_.size() == 1)
            return modems_.begin()->second;
        return std::nullopt;
    }
    const auto it = modems_.find(modemPath);
    if (it == modems_.end())
        return std::nullopt;
    return it->second;
}

} // namespace ringtally
