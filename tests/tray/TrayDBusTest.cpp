// The real program on an X server inside a private session bus, with a status-notifier watcher of
// the test's own standing in for a desktop panel: the program must register its tray item there,
// and its menu must be readable and work over D-Bus, as a panel reads and triggers it.

#include "support/ProgramRun.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;

/// The watcher a panel runs: it takes the items' registrations and says a host shows them.
class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    QStringList items() const { return items_; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString& service)
    {
        items_.append(service);
        emit StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString&) { }

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    QStringList items_;
};

/// One entry of a dbusmenu layout and the entries under it.
struct MenuNode {
    int id = 0;
    QVariantMap properties;
    QList<MenuNode> children;

    QString label() const { return properties.value(u"label"_s).toString().remove(u'_'); }
    bool visible() const { return properties.value(u"visible"_s, true).toBool(); }
    const MenuNode* find(const QString& text) const
    {
        if (label() == text)
            return this;
        for (const MenuNode& child : children) {
            if (const MenuNode* found = child.find(text))
                return found;
        }
        return nullptr;
    }
};

const QDBusArgument& operator>>(const QDBusArgument& argument, MenuNode& node)
{
    argument.beginStructure();
    argument >> node.id >> node.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        MenuNode childNode;
        child.variant().value<QDBusArgument>() >> childNode;
        node.children.append(childNode);
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

class TrayDBusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(run.xvfb.error().empty()) << run.xvfb.error();
        bus.setProgram(u"dbus-daemon"_s);
        bus.setArguments({ u"--session"_s, u"--nofork"_s, u"--nopidfile"_s, u"--print-address=1"_s });
        bus.start();
        ASSERT_TRUE(bus.waitForStarted(10'000)) << "Cannot run dbus-daemon: is the dbus package installed?";
        while (!bus.canReadLine() && bus.waitForReadyRead(10'000)) { }
        address = QString::fromUtf8(bus.readLine()).trimmed();
        ASSERT_FALSE(address.isEmpty());
        connection.emplace(QDBusConnection::connectToBus(address, u"panel"_s));
        ASSERT_TRUE(connection->isConnected());
        ASSERT_TRUE(connection->registerObject(u"/StatusNotifierWatcher"_s, &watcher,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
                | QDBusConnection::ExportAllProperties));
        ASSERT_TRUE(connection->registerService(u"org.kde.StatusNotifierWatcher"_s));
        run.environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    }
    void TearDown() override
    {
        connection.reset();
        QDBusConnection::disconnectFromBus(u"panel"_s);
        bus.kill();
        bus.waitForFinished();
    }

    test::ProgramRun run;
    QProcess bus;
    QString address;
    std::optional<QDBusConnection> connection;
    Watcher watcher;
};

TEST_F(TrayDBusTest, TheProgramRegistersItsItemAndItsMenuWorksOverDBus)
{
    QSignalSpy registered(&watcher, &Watcher::StatusNotifierItemRegistered);
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(registered.wait(30'000)) << "the program registered no tray item";
    const QString service = registered.first().first().toString();

    QDBusInterface item(service, u"/StatusNotifierItem"_s, u"org.kde.StatusNotifierItem"_s, *connection);
    ASSERT_TRUE(item.isValid()) << item.lastError().message().toStdString();
    EXPECT_EQ(item.property("Status").toString(), u"Active"_s);
    const QString menuPath = item.property("Menu").value<QDBusObjectPath>().path();
    ASSERT_FALSE(menuPath.isEmpty());

    const QDBusMessage layout = connection->call(
        QDBusMessage::createMethodCall(service, menuPath, u"com.canonical.dbusmenu"_s, u"GetLayout"_s)
        << 0 << -1 << QStringList());
    ASSERT_EQ(layout.type(), QDBusMessage::ReplyMessage) << layout.errorMessage().toStdString();
    MenuNode root;
    layout.arguments().at(1).value<QDBusArgument>() >> root;
    // Offline: the hang-up items are hidden, the other commands are there.
    const MenuNode* hangUp = root.find(u"Læg på"_s);
    const MenuNode* close = root.find(u"Afslut programmet"_s);
    ASSERT_TRUE(hangUp && close && root.find(u"Andet"_s));
    EXPECT_FALSE(hangUp->visible());
    EXPECT_TRUE(close->visible());

    // The panel's click on "Afslut programmet" ends the program, its icon taken away first.
    QSignalSpy finished(&run.program, &QProcess::finished);
    connection->call(
        QDBusMessage::createMethodCall(service, menuPath, u"com.canonical.dbusmenu"_s, u"Event"_s)
        << close->id << u"clicked"_s << QVariant::fromValue(QDBusVariant(0)) << 0u);
    ASSERT_TRUE(finished.wait(20'000)) << "the program did not end";
    EXPECT_EQ(run.program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.program.exitCode(), 0);
}

} // namespace
} // namespace ringtally

#include "TrayDBusTest.moc"
