#pragma once

#include "remote/RemoteService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>

namespace ringtally::test {

/// A session bus of the test's own (address empty when dbus-daemon cannot run), and the test's
/// named connections to it; all go with the test.
class PrivateBus {
public:
    PrivateBus()
    {
        daemon.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                QStringLiteral("--print-address=1") });
        while (daemon.waitForStarted(10'000) && !daemon.canReadLine() && daemon.waitForReadyRead(10'000)) { }
        address = QString::fromUtf8(daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString& name : names_)
            QDBusConnection::disconnectFromBus(name);
        daemon.kill();
        daemon.waitForFinished();
    }
    QDBusConnection connect(const QString& name)
    {
        names_.append(name);
        return QDBusConnection::connectToBus(address, name);
    }

    QProcess daemon;
    QString address;

private:
    QStringList names_;
};

/// Hears the program's signals as a panel would: one line each, the name and the arguments.
class SignalRecorder : public QObject {
    Q_OBJECT

public:
    bool listen(QDBusConnection bus)
    {
        bool all = true;
        for (const char* name : { "CallStarted", "Tick", "CallEnded" })
            all = all
                && bus.connect(RemoteService::kServiceName, RemoteService::kObjectPath,
                    RemoteService::kInterfaceName, QString::fromLatin1(name), this,
                    SLOT(record(QDBusMessage)));
        return all;
    }
    QStringList heard;

public slots:
    void record(const QDBusMessage& message)
    {
        QStringList words { message.member() };
        for (const QVariant& argument : message.arguments())
            words.append(argument.toString());
        heard.append(words.join(u' '));
    }
};

} // namespace ringtally::test
