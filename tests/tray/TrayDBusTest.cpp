// The real program on an X server inside a private session bus, with a status-notifier watcher of
// the test's own standing in for a desktop panel: the program must register its tray item there,
// and its menu must be readable and work over D-Bus, as a panel reads and triggers it.

#include "core/ProfileFile.h"

#include "support/PrivateBus.h"
#include "support/ProgramRun.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

// QtDBus keeps a little of a connection to a bus that has gone away; the leak checker of the
// sanitizer build is told so.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libQt6DBus.so\n";
}

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
        ASSERT_TRUE(connection.isConnected()) << "Cannot run dbus-daemon: is the dbus package installed?";
        ASSERT_TRUE(connection.registerObject(u"/StatusNotifierWatcher"_s, &watcher,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
                | QDBusConnection::ExportAllProperties));
        run.environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus.address);
    }

    // The panel comes up.
    void showTray() { ASSERT_TRUE(connection.registerService(u"org.kde.StatusNotifierWatcher"_s)); }
    // Starts the program, unless it runs, and waits for its tray item; the panel comes up first
    // unless trayLater, and then once the program has shown its main window for want of a tray.
    void startAndFindItem(bool trayLater = false)
    {
        QSignalSpy registered(&watcher, &Watcher::StatusNotifierItemRegistered);
        if (!trayLater) {
            ASSERT_NO_FATAL_FAILURE(showTray());
        }
        ASSERT_TRUE(run.start());
        if (trayLater) {
            // Its name on the bus comes before it looks for a tray: the window is what shows it
            // has found none.
            ASSERT_TRUE(test::waitUntil([] { return test::windowShown(u"Ringtally"_s); }))
                << "no main window without a tray";
            ASSERT_NO_FATAL_FAILURE(showTray());
        }
        ASSERT_TRUE(registered.wait(30'000)) << "the program registered no tray item";
        service = registered.first().first().toString();
        QDBusInterface item(service, u"/StatusNotifierItem"_s, u"org.kde.StatusNotifierItem"_s, connection);
        ASSERT_TRUE(item.isValid()) << item.lastError().message().toStdString();
        menuPath = item.property("Menu").value<QDBusObjectPath>().path();
        ASSERT_FALSE(menuPath.isEmpty());
    }
    // The tray menu as a panel reads it, every level, after telling the program it is about to
    // show it.
    MenuNode menu() const
    {
        connection.call(
            QDBusMessage::createMethodCall(service, menuPath, u"com.canonical.dbusmenu"_s, u"AboutToShow"_s)
            << 0);
        const QDBusMessage layout = connection.call(
            QDBusMessage::createMethodCall(service, menuPath, u"com.canonical.dbusmenu"_s, u"GetLayout"_s)
            << 0 << -1 << QStringList());
        MenuNode root;
        if (layout.type() == QDBusMessage::ReplyMessage)
            layout.arguments().at(1).value<QDBusArgument>() >> root;
        return root;
    }
    void activate() const
    {
        connection.call(QDBusMessage::createMethodCall(
                            service, u"/StatusNotifierItem"_s, u"org.kde.StatusNotifierItem"_s, u"Activate"_s)
            << 0 << 0);
    }
    void click(const MenuNode& item) const
    {
        connection.call(
            QDBusMessage::createMethodCall(service, menuPath, u"com.canonical.dbusmenu"_s, u"Event"_s)
            << item.id << u"clicked"_s << QVariant::fromValue(QDBusVariant(0)) << 0u);
    }

    test::ProgramRun run;
    test::PrivateBus bus;
    QDBusConnection connection = bus.connect(u"panel"_s);
    Watcher watcher;
    QString service;
    QString menuPath;
};

TEST_F(TrayDBusTest, TheProgramRegistersItsItemAndItsMenuWorksOverDBus)
{
    ASSERT_NO_FATAL_FAILURE(startAndFindItem());
    QDBusInterface item(service, u"/StatusNotifierItem"_s, u"org.kde.StatusNotifierItem"_s, connection);
    EXPECT_EQ(item.property("Status").toString(), u"Active"_s);
    // Offline: the hang-up items are hidden, the other commands are there.
    const MenuNode root = menu();
    const MenuNode* hangUp = root.find(u"Læg på"_s);
    const MenuNode* close = root.find(u"Afslut programmet"_s);
    ASSERT_TRUE(hangUp && close && root.find(u"Andet"_s));
    EXPECT_FALSE(hangUp->visible());
    EXPECT_TRUE(close->visible());

    // The panel's click on "Afslut programmet" ends the program, its icon taken away first.
    QSignalSpy finished(&run.program, &QProcess::finished);
    click(*close);
    ASSERT_TRUE(finished.wait(20'000)) << "the program did not end";
    EXPECT_EQ(run.program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.program.exitCode(), 0);
}

TEST_F(TrayDBusTest, APanelThatComesLaterGetsTheIconAndTwoQuickActivationsAreADoubleClick)
{
    // The double click dials the first scheme, on the simulated line.
    run.writeSettings("DoubleClick_Action=4\n[Schemes]\n0,name=Demo\n0,DUN_Name=Ringtally Demo\n"
                      "0,Number_of_PeriodsMonday_Friday=1\n");
    // Without a tray at the start the main window shows; the tray that comes then gets the icon.
    ASSERT_NO_FATAL_FAILURE(startAndFindItem(true));
    // One activation shows the status window. Then two at once: the first hides it again, the
    // second is a double click.
    activate();
    ASSERT_TRUE(test::waitUntil([] { return test::windowShown(u"Ringtally - Offline"_s); }));
    activate();
    activate();
    QDBusInterface ringtally(
        u"dk.ringtally.Ringtally"_s, u"/dk/ringtally/Ringtally"_s, u"dk.ringtally.Ringtally1"_s, connection);
    EXPECT_TRUE(test::waitUntil([&] { return ringtally.property("Online").toBool(); }))
        << "the double click did not dial";
}

TEST_F(TrayDBusTest, ASecondStartShowsTheRunningProgramAndEnds)
{
    ASSERT_NO_FATAL_FAILURE(startAndFindItem());
    ASSERT_FALSE(test::windowShown(u"Ringtally"_s));
    QProcess second;
    second.setProcessEnvironment(run.environment);
    second.start(QStringLiteral(RINGTALLY_PROGRAM), {});
    ASSERT_TRUE(second.waitForFinished(20'000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(test::waitUntil([] { return test::windowShown(u"Ringtally"_s); }));
    EXPECT_EQ(run.program.state(), QProcess::Running);
}

TEST_F(TrayDBusTest, ASchemeTypedIntoTheConfigurationWindowIsOfferedInTheMenu)
{
    // One period a day, and the weekend's price already stored, so that today's price is the one
    // typed whatever day the test runs.
    run.writeSettings("[Schemes]\n0,DUN_Name=Ringtally Demo\n0,Number_of_PeriodsMonday_Friday=1\n"
                      "0,Number_of_PeriodsSaturday=1\n0,Number_of_PeriodsSunday=1\n"
                      "0,Minute_PriceSaturday_0=0.5\n0,Minute_PriceSunday_0=0.5\n");
    ASSERT_NO_FATAL_FAILURE(startAndFindItem());
    const MenuNode offline = menu();
    const MenuNode* open = offline.find(u"Opsætning"_s);
    ASSERT_TRUE(open);
    click(*open);

    // The user types the name and the minute price, and presses Enter for OK.
    const QStringList window { u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, u"^Opsætning$"_s };
    for (const QStringList& keys :
        { window + QStringList { u"windowfocus"_s, u"--sync"_s, u"key"_s, u"alt+n"_s },
            { u"type"_s, u"Demo"_s }, { u"key"_s, u"alt+i"_s }, { u"type"_s, u"0.5"_s },
            { u"key"_s, u"Return"_s } })
        ASSERT_TRUE(test::xdotool(keys)) << keys.join(u' ').toStdString();
    ProfileFile stored(run.folder + u"/Ringtally.ini"_s);
    ASSERT_TRUE(
        test::waitUntil([&] { return stored.ReadIni(u"Schemes"_s, u"0,name"_s, QString()) == u"Demo"_s; }));
    EXPECT_EQ(stored.ReadIni(u"Schemes"_s, u"0,Minute_PriceMonday_Friday_0"_s, QString()), u"0.5"_s);
    const MenuNode withScheme = menu();
    const MenuNode* dial = withScheme.find(u"Demo (0.5)"_s);
    ASSERT_TRUE(dial);
    EXPECT_TRUE(dial->visible());
}

// A mobile broadband profile of NetworkManager, whose modem ModemManager drives, on a system bus
// of the test's own with python-dbusmock standing in for both: listed, dialed from the tray menu,
// metered with the modem's operator and roaming, and logged with its bytes when NetworkManager
// takes it down. The modem's interface is the loopback, whose counters every machine has.
TEST_F(TrayDBusTest, AMobileProfileIsDialedFromTheMenuMeteredAndLoggedWithItsBytes)
{
    test::PrivateBus systemBus;
    ASSERT_FALSE(systemBus.address.isEmpty());
    run.environment.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, systemBus.address);
    // The two services, and the Python that sets them up as their own tools would.
    QProcess networkManager, modemManager;
    for (auto& [mock, arguments] :
        { std::pair { &networkManager, QStringList { u"--template"_s, u"networkmanager"_s } },
            { &modemManager,
                { u"-m"_s, u"org.freedesktop.ModemManager1"_s, u"/org/freedesktop/ModemManager1"_s,
                    u"org.freedesktop.ModemManager1"_s } } }) {
        mock->setProcessEnvironment(run.environment);
        mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock->start(u"/usr/bin/python3"_s, QStringList { u"-m"_s, u"dbusmock"_s, u"--system"_s } + arguments);
        ASSERT_TRUE(mock->waitForStarted(10'000)) << "python3-dbusmock is not installed";
    }
    const auto stopMocks = qScopeGuard([&] {
        for (QProcess* process : { &networkManager, &modemManager }) {
            process->kill();
            process->waitForFinished();
        }
    });
    const auto python = [&](const QString& code) {
        QProcess script;
        script.setProcessEnvironment(run.environment);
        script.setProcessChannelMode(QProcess::ForwardedChannels);
        script.start(u"/usr/bin/python3"_s,
            { u"-c"_s,
                u"import dbus, time\nbus = dbus.SystemBus()\n"
                "for name in ('org.freedesktop.NetworkManager', 'org.freedesktop.ModemManager1'):\n"
                "    while not bus.name_has_owner(name): time.sleep(0.05)\n"
                "nm = bus.get_object('org.freedesktop.NetworkManager', '/org/freedesktop/NetworkManager')\n"
                "mock = 'org.freedesktop.DBus.Mock'\n"_s
                    + code });
        return script.waitForFinished(30'000) && script.exitCode() == 0;
    };
    // Another program takes the line down.
    const auto takeDown = [&] {
        return python(u"active = nm.Get('org.freedesktop.NetworkManager', 'ActiveConnections', "
                      "dbus_interface='org.freedesktop.DBus.Properties')[0]\n"
                      "nm.DeactivateConnection(active, dbus_interface='org.freedesktop.NetworkManager')\n"_s);
    };
    ASSERT_TRUE(python(
        u"mm = bus.get_object('org.freedesktop.ModemManager1', '/org/freedesktop/ModemManager1')\n"
        "mm.AddObject('/org/freedesktop/ModemManager1/Modem/0', 'org.freedesktop.ModemManager1.Modem', "
        "{'SignalQuality': dbus.Struct((dbus.UInt32(55), True), signature='ub')}, [], dbus_interface=mock)\n"
        "m = bus.get_object('org.freedesktop.ModemManager1', '/org/freedesktop/ModemManager1/Modem/0')\n"
        "m.AddProperties('org.freedesktop.ModemManager1.Modem.Modem3gpp', {'OperatorName': 'Telenor SE', "
        "'RegistrationState': dbus.UInt32(5)}, dbus_interface=mock)\n"
        "root = bus.get_object('org.freedesktop.NetworkManager', '/org/freedesktop')\n"
        "device = root.AddEthernetDevice('wwan0', 'wwan0', dbus.UInt32(100), dbus_interface=mock)\n"
        "dev = bus.get_object('org.freedesktop.NetworkManager', device)\n"
        "dev.UpdateProperties('org.freedesktop.NetworkManager.Device', {'IpInterface': 'lo'}, "
        "dbus_interface=mock)\n"
        "dev.AddProperty('org.freedesktop.NetworkManager.Device', 'Udi', "
        "'/org/freedesktop/ModemManager1/Modem/0', dbus_interface=mock)\n"
        "settings = bus.get_object('org.freedesktop.NetworkManager', "
        "'/org/freedesktop/NetworkManager/Settings')\n"
        "settings.AddConnection({'connection': {'id': 'Telia mobil', 'type': 'gsm', 'uuid': 'a1', "
        "'autoconnect': False}}, dbus_interface='org.freedesktop.NetworkManager.Settings')\n"_s));

    run.writeSettings("Number_of_DUN=1\n[Schemes]\n0,name=Mobil\n0,DUN_Name=Telia mobil\n"
                      "0,Number_of_PeriodsMonday_Friday=1\n0,Number_of_PeriodsSaturday=1\n"
                      "0,Number_of_PeriodsSunday=1\n[Autolog]\n1A=Telia mobil\n1B=Mobil\n1C=1\n");
    ASSERT_NO_FATAL_FAILURE(startAndFindItem());
    const MenuNode offline = menu();
    const MenuNode* dial = nullptr;
    for (const MenuNode& item : offline.children)
        dial = item.label().startsWith(u"Mobil"_s) ? &item : dial;
    ASSERT_TRUE(dial) << "the scheme is not offered";
    click(*dial);
    QDBusInterface ringtally(
        u"dk.ringtally.Ringtally"_s, u"/dk/ringtally/Ringtally"_s, u"dk.ringtally.Ringtally1"_s, connection);
    ASSERT_TRUE(test::waitUntil([&] { return ringtally.property("Online").toBool(); }))
        << "the profile was not dialed";

    // NetworkManager names the connection's device, behind which ModemManager's modem roams.
    ASSERT_TRUE(python(u"active = nm.Get('org.freedesktop.NetworkManager', 'ActiveConnections', "
                       "dbus_interface='org.freedesktop.DBus.Properties')[0]\n"
                       "bus.get_object('org.freedesktop.NetworkManager', active).UpdateProperties("
                       "'org.freedesktop.NetworkManager.Connection.Active', {'Devices': "
                       "dbus.Array(['/org/freedesktop/NetworkManager/Devices/wwan0'], signature='o')}, "
                       "dbus_interface=mock)\n"_s));
    EXPECT_TRUE(test::waitUntil([&] {
        return ringtally.property("Operator").toString() == u"Telenor SE"_s
            && ringtally.property("Roaming").toBool();
    }));
    ASSERT_TRUE(test::waitUntil([] { return test::windowShown(u"Roaming"_s); })) << "no roaming warning";
    // The user reads it and presses Enter.
    ASSERT_TRUE(test::xdotool({ u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Roaming$"_s,
                    u"windowfocus"_s, u"--sync"_s })
        && test::xdotool({ u"key"_s, u"Return"_s }));
    ASSERT_TRUE(test::waitUntil([] { return !test::windowShown(u"Roaming"_s); }));
    EXPECT_EQ(ringtally.property("SignalPercent").toInt(), 55);
    // 60,000 bytes through the loopback come in and go out on it.
    ASSERT_TRUE(python(u"import socket\ns = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)\n"
                       "for i in range(10): s.sendto(b'x' * 6000, ('127.0.0.1', 9))\n"_s));
    EXPECT_TRUE(test::waitUntil([&] {
        return ringtally.property("ReceivedBytes").toLongLong() >= 60'000
            && ringtally.property("SentBytes").toLongLong() >= 60'000;
    }));
    QProcess status;
    status.setProcessEnvironment(run.environment);
    status.start(QStringLiteral(RINGTALLY_PROGRAM), { u"--status"_s, u"--json"_s });
    ASSERT_TRUE(status.waitForFinished(20'000));
    const QString json = QString::fromUtf8(status.readAllStandardOutput());
    EXPECT_TRUE(QRegularExpression(u"\"receivedBytes\":\\d+.*\"sentBytes\":\\d+"_s).match(json).hasMatch())
        << json.toStdString();
    EXPECT_TRUE(json.contains(u"\"operator\":\"Telenor SE\""_s)) << json.toStdString();

    // Another program takes the line down: the call is logged once, its bytes at the line's end.
    ASSERT_TRUE(takeDown());
    ASSERT_TRUE(test::waitUntil([&] { return !ringtally.property("Online").toBool(); }))
        << "the drop was not noticed";
    QFile log(run.folder + u"/Ringtally.log"_s);
    ASSERT_TRUE(test::waitUntil([&] { return log.exists() && log.size() > 0; }));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).trimmed().split(u'\n');
    ASSERT_EQ(lines.size(), 1);
    const QRegularExpressionMatch logged
        = QRegularExpression(u"^#[-0-9: ]+#,\"Mobil\",.*,(\\d+),(\\d+)\\s*$"_s).match(lines[0]);
    ASSERT_TRUE(logged.hasMatch()) << lines[0].toStdString();
    EXPECT_GE(logged.captured(1).toLongLong(), 60'000);
    EXPECT_GE(logged.captured(2).toLongLong(), 60'000);

    // The desktop's network menu brings the profile up: metered by the autolog list, and logged
    // once when it goes down again.
    ASSERT_TRUE(python(
        u"settings = bus.get_object('org.freedesktop.NetworkManager', "
        "'/org/freedesktop/NetworkManager/Settings')\n"
        "profile = settings.ListConnections(dbus_interface='org.freedesktop.NetworkManager.Settings')[0]\n"
        "nm.ActivateConnection(profile, '/', '/', dbus_interface='org.freedesktop.NetworkManager')\n"_s));
    ASSERT_TRUE(test::waitUntil([&] {
        return ringtally.property("Online").toBool()
            && ringtally.property("CurrentSchemeName").toString() == u"Mobil"_s;
    })) << "the line another program brought up was not metered";
    ASSERT_TRUE(takeDown());
    ASSERT_TRUE(test::waitUntil([&] { return !ringtally.property("Online").toBool(); }));
    log.close();
    ASSERT_TRUE(test::waitUntil([&] {
        QFile again(log.fileName());
        return again.open(QIODevice::ReadOnly) && again.readAll().trimmed().split('\n').size() == 2;
    })) << "the second call was not logged once";
}

} // namespace
} // namespace ringtally

#include "TrayDBusTest.moc"
