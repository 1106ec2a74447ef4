// The NetworkManager backend against python-dbusmock's NetworkManager on a bus of the test's own,
// standing in for the system bus.

#include "platform/linux/NetworkManagerErrors.h"
#include "platform/linux/NetworkManagerNetwork.h"
#include "platform/linux/SystemDialUpNetwork.h"

#include "fakes/FakeDialUpNetwork.h"

#include "support/PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

// QtDBus keeps a little of a connection to a bus that has gone away (for every test of this
// program).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libQt6DBus.so\nleak:libdbus-1.so\n";
}

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using Setting = QMap<QString, QVariantMap>;

const QString kNm = u"org.freedesktop.NetworkManager"_s;
const QString kMock = u"org.freedesktop.DBus.Mock"_s;

class NetworkManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qDBusRegisterMetaType<Setting>();
        ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon cannot run";
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, bus.address);
        mock.setProcessEnvironment(environment);
        mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock.start(u"/usr/bin/python3"_s,
            { u"-m"_s, u"dbusmock"_s, u"--system"_s, u"--template"_s, u"networkmanager"_s });
        ASSERT_TRUE(mock.waitForStarted(10'000)) << "python3-dbusmock is not installed";
        ASSERT_TRUE(QTest::qWaitFor([&] { return test.interface()->isServiceRegistered(kNm); }))
            << "the NetworkManager mock did not come up";
        // The modem; the mock deactivates connections through its devices.
        QDBusMessage device
            = QDBusMessage::createMethodCall(kNm, u"/org/freedesktop"_s, kMock, u"AddEthernetDevice"_s);
        device << u"wwan0"_s << u"wwan0"_s << 30;
        const QDBusMessage added = test.call(device);
        ASSERT_EQ(added.type(), QDBusMessage::ReplyMessage) << added.errorMessage().toStdString();
    }
    void TearDown() override
    {
        mock.kill();
        mock.waitForFinished();
    }

    QDBusMessage call(
        const QString& path, const QString& interface, const QString& method, const QVariantList& arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(kNm, path, interface, method);
        message.setArguments(arguments);
        return test.call(message);
    }
    QString addProfile(const QString& id, const QString& type, int metered = 0)
    {
        Setting setting { { u"connection"_s,
            { { u"id"_s, id }, { u"type"_s, type }, { u"metered"_s, metered },
                { u"autoconnect"_s, false } } } };
        const QDBusMessage reply = call(u"/org/freedesktop/NetworkManager/Settings"_s,
            u"org.freedesktop.NetworkManager.Settings"_s, u"AddConnection"_s,
            { QVariant::fromValue(setting) });
        return reply.arguments().value(0).value<QDBusObjectPath>().path();
    }
    // Another program (the desktop's applet) brings the profile up; returns the active connection.
    QString activate(const QString& profile, const QString& device = u"/"_s)
    {
        const QDBusMessage reply = call(u"/org/freedesktop/NetworkManager"_s, kNm, u"ActivateConnection"_s,
            { QVariant::fromValue(QDBusObjectPath(profile)), QVariant::fromValue(QDBusObjectPath(device)),
                QVariant::fromValue(QDBusObjectPath(u"/"_s)) });
        return reply.arguments().value(0).value<QDBusObjectPath>().path();
    }
    void emitSignal(const QString& path, const QString& interface, const QString& name,
        const QString& signature, const QVariantList& arguments)
    {
        QVariantList wrapped;
        for (const QVariant& argument : arguments)
            wrapped.append(QVariant::fromValue(QDBusVariant(argument)));
        call(path, kMock, u"EmitSignal"_s, { interface, name, signature, wrapped });
    }

    test::PrivateBus bus;
    QDBusConnection test = bus.connect(u"test"_s);
    QProcess mock;
};

TEST_F(NetworkManagerTest, WithoutNetworkManagerThereIsNothingAndNothingComplains)
{
    mock.kill();
    mock.waitForFinished();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !test.interface()->isServiceRegistered(kNm); }));
    const NetworkManagerNetwork network(bus.connect(u"program"_s));
    EXPECT_TRUE(network.entryNames().value().isEmpty());
    EXPECT_TRUE(network.activeConnections().value().empty());
    EXPECT_FALSE(network.isOnline());
    // Nor without any bus.
    const NetworkManagerNetwork none(QDBusConnection(u"none"_s));
    EXPECT_TRUE(none.entryNames().value().isEmpty());
}

TEST_F(NetworkManagerTest, PaidForProfilesAreEntriesAndAnyoneActivatingThemIsOnline)
{
    const QString mobile = addProfile(u"Telia mobil"_s, u"gsm"_s);
    addProfile(u"Hjemme"_s, u"802-11-wireless"_s);
    addProfile(u"Telefonens hotspot"_s, u"802-11-wireless"_s, 1);
    addProfile(u"Fiber"_s, u"802-3-ethernet"_s, 2);
    NetworkManagerNetwork network(bus.connect(u"program"_s));
    EXPECT_EQ(network.entryNames().value(), QStringList({ u"Telia mobil"_s, u"Telefonens hotspot"_s }));

    // Activated by another program: online, as the watch asks it, once the signals are heard.
    const QString active = activate(mobile);
    ASSERT_FALSE(active.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return network.isOnline(); }));
    const std::vector<DialUpConnection> up = network.activeConnections().value();
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].entryName, u"Telia mobil"_s);
    EXPECT_EQ(network.currentEntryName(), u"Telia mobil"_s);

    // Hung up by the program: NetworkManager is asked, and the line is gone, told once.
    QSignalSpy changed(&network, &NetworkManagerNetwork::connectionStateChanged);
    ASSERT_TRUE(network.hangUp(up[0]).ok());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !network.isOnline(); }));
    QTest::qWait(200);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][1].toUInt(), quint32(NetworkManagerNetwork::Deactivated));
    EXPECT_TRUE(network.activeConnections().value().empty());
}

TEST_F(NetworkManagerTest, AProfileNamedAsAPeerIsToldApartAndDialedByNetworkManager)
{
    const QString mobile = addProfile(u"Telia mobil"_s, u"gsm"_s);
    addProfile(u"Hotspot"_s, u"802-11-wireless"_s, 1);
    NetworkManagerNetwork managed(bus.connect(u"program"_s));
    test::FakeDialUpNetwork peers;
    peers.setEntries({ u"Telia mobil"_s, u"Modem"_s });
    const SystemDialUpNetwork system(peers, managed);
    EXPECT_EQ(system.entryNames().value(),
        QStringList({ u"Telia mobil"_s, u"Modem"_s, u"Telia mobil (NetworkManager)"_s, u"Hotspot"_s }));
    for (const auto& [entry, managedEntry] : { std::pair { u"Telia mobil"_s, false }, { u"Modem"_s, false },
             { u"Telia mobil (NetworkManager)"_s, true }, { u"Hotspot"_s, true } })
        EXPECT_EQ(system.isManaged(entry), managedEntry) << entry.toStdString();
    // Its connection is listed under the name it has in the list.
    activate(mobile);
    ASSERT_TRUE(QTest::qWaitFor([&] { return system.isOnline(); }));
    ASSERT_EQ(system.activeConnections().value().size(), 1u);
    EXPECT_EQ(system.activeConnections().value()[0].entryName, u"Telia mobil (NetworkManager)"_s);
    EXPECT_EQ(system.currentEntryName(), u"Telia mobil (NetworkManager)"_s);
}

TEST_F(NetworkManagerTest, ADialReportsTheStatesAndAFailureItsReason)
{
    const QString mobile = addProfile(u"Telia mobil"_s, u"gsm"_s);
    NetworkManagerNetwork network(bus.connect(u"program"_s));
    NetworkManagerDialControl control(network);
    QSignalSpy states(&control, &DialControl::statusChanged);

    control.setEntryName(u"Ukendt"_s);
    EXPECT_EQ(control.StartDial(), NetworkManagerError::NoSuchProfile);

    control.setEntryName(u"Telia mobil"_s);
    ASSERT_EQ(control.StartDial(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return control.ConnState() == RasConnState::Connected; }));
    control.HangUp();
    ASSERT_TRUE(QTest::qWaitFor([&] { return control.ConnState() == RasConnState::Disconnected; }));
    EXPECT_EQ(states.last()[1].toInt(), 0);

    // The next dial connects too.
    ASSERT_EQ(control.StartDial(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return control.ConnState() == RasConnState::Connected; }));
    const QString active = network.activeConnections().value().empty()
        ? QString()
        : u"/org/freedesktop/NetworkManager/ActiveConnection/"_s
            + QString::number(
                NetworkManagerNetwork::kFirstHandle - network.activeConnections().value()[0].handle);
    ASSERT_FALSE(active.isEmpty());
    // NetworkManager starts over and gives up: the missing PIN is the dial's error.
    states.clear();
    for (const quint32 state : { 1u, 4u })
        emitSignal(active, u"org.freedesktop.NetworkManager.Connection.Active"_s, u"StateChanged"_s, u"uu"_s,
            { state, 9u });
    ASSERT_TRUE(QTest::qWaitFor([&] { return states.size() == 2; }));
    EXPECT_EQ(states[0][0].toInt(), RasConnState::ConnectDevice);
    EXPECT_EQ(states[1][0].toInt(), RasConnState::Disconnected);
    EXPECT_EQ(states[1][1].toInt(), NetworkManagerError::kConnectionReason + 9);

    // The errors' words, in both languages.
    const struct {
        qint32 error;
        const char* danish;
        const char* english;
    } texts[] = {
        { NetworkManagerError::kConnectionReason + 9, "PIN-kode", "PIN" },
        { NetworkManagerError::kDeviceReason + 45, "SIM-kort", "SIM card" },
        { NetworkManagerError::kDeviceReason + 23, "optaget", "busy" },
        { NetworkManagerError::kDeviceReason + 32, "signal", "signal" },
        { NetworkManagerError::NotAuthorised, "ikke lov", "not allowed" },
        { NetworkManagerError::kConnectionReason + 6, "i tide", "in time" },
    };
    for (const auto& text : texts) {
        EXPECT_TRUE(network.errorText(text.error, false).contains(QString::fromUtf8(text.danish)))
            << text.error;
        EXPECT_TRUE(network.errorText(text.error, true).contains(QString::fromUtf8(text.english)))
            << text.error;
    }
    EXPECT_TRUE(network.errorText(676, false).isEmpty());
}

} // namespace
} // namespace ringtally
