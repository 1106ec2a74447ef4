#pragma once

#include "platform/ModemState.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>

#include <map>
#include <optional>

namespace ringtally {

/// ModemManager's modems, read only: their objects come from its object manager, their properties
/// are followed through its signals. Without ModemManager (or a system bus) there are none.
class ModemManagerModems : public QObject, protected QDBusContext {
    Q_OBJECT

public:
    explicit ModemManagerModems(
        QDBusConnection bus = QDBusConnection::systemBus(), QObject* parent = nullptr);

    /// The modem at path (an NetworkManager device's Udi), or, with an empty path, the only modem
    /// there is; nothing when there is no such modem.
    std::optional<ModemState> state(const QString& modemPath) const;

signals:
    /// A modem's state changed, or a modem came or went.
    void changed(const QString& modemPath);

private slots:
    void readModems();
    void onPropertiesChanged(
        const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    void take(const QString& modemPath, const QString& interface, const QVariantMap& properties);

    QDBusConnection bus_;
    std::map<QString, ModemState> modems_;
};

} // namespace ringtally
