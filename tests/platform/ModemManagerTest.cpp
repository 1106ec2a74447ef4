// ModemManager's modems read from a python-dbusmock stand-in on a bus of the test's own.

#include "platform/linux/ModemManagerModems.h"

#include "support/PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;

class ModemManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon cannot run";
        environment.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, bus.address);
        mock.setProcessEnvironment(environment);
        mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock.start(u"/usr/bin/python3"_s,
            { u"-m"_s, u"dbusmock"_s, u"--system"_s, u"-m"_s, u"org.freedesktop.ModemManager1"_s,
                u"/org/freedesktop/ModemManager1"_s, u"org.freedesktop.ModemManager1"_s });
        ASSERT_TRUE(mock.waitForStarted(10'000)) << "python3-dbusmock is not installed";
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return test.interface()->isServiceRegistered(u"org.freedesktop.ModemManager1"_s); }));
    }
    void TearDown() override
    {
        mock.kill();
        mock.waitForFinished();
    }
    // Runs Python with the bus as `mm`, the mock's main object.
    void python(const QString& code)
    {
        QProcess run;
        run.setProcessEnvironment(environment);
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(u"/usr/bin/python3"_s,
            { u"-c"_s,
                u"import dbus\nbus = dbus.SystemBus()\nmm = bus.get_object('org.freedesktop.ModemManager1', "
                "'/org/freedesktop/ModemManager1')\n"_s
                    + code });
        ASSERT_TRUE(run.waitForFinished(20'000) && run.exitCode() == 0) << code.toStdString();
    }

    test::PrivateBus bus;
    QDBusConnection test = bus.connect(u"test"_s);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QProcess mock;
};

TEST_F(ModemManagerTest, TheModemsOperatorSignalAndRoamingAreFollowed)
{
    const QString modem = u"/org/freedesktop/ModemManager1/Modem/3"_s;
    python(u"mm.AddObject('/org/freedesktop/ModemManager1/Modem/3', 'org.freedesktop.ModemManager1.Modem', "
           "{'SignalQuality': dbus.Struct((dbus.UInt32(70), True), signature='ub')}, [], "
           "dbus_interface='org.freedesktop.DBus.Mock')\n"
           "m = bus.get_object('org.freedesktop.ModemManager1', '/org/freedesktop/ModemManager1/Modem/3')\n"
           "m.AddProperties('org.freedesktop.ModemManager1.Modem.Modem3gpp', {'OperatorName': 'Telia DK', "
           "'RegistrationState': dbus.UInt32(1)}, dbus_interface='org.freedesktop.DBus.Mock')\n"_s);
    ModemManagerModems modems(bus.connect(u"program"_s));
    ASSERT_TRUE(modems.state(modem).has_value());
    EXPECT_EQ(*modems.state(modem), (ModemState { u"Telia DK"_s, false, 70 }));
    EXPECT_EQ(modems.state(QString()), modems.state(modem)); // the only one
    EXPECT_FALSE(modems.state(u"/org/freedesktop/ModemManager1/Modem/4"_s).has_value());

    // Over the border: roaming, with another operator.
    QSignalSpy changed(&modems, &ModemManagerModems::changed);
    python(
        u"m = bus.get_object('org.freedesktop.ModemManager1', '/org/freedesktop/ModemManager1/Modem/3')\n"
        "p = 'org.freedesktop.ModemManager1.Modem.Modem3gpp'\n"
        "m.Set(p, 'OperatorName', 'Telenor SE', dbus_interface='org.freedesktop.DBus.Properties')\n"
        "m.Set(p, 'RegistrationState', dbus.UInt32(5), dbus_interface='org.freedesktop.DBus.Properties')\n"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return modems.state(modem) && modems.state(modem)->roaming; }));
    EXPECT_EQ(modems.state(modem)->operatorName, u"Telenor SE"_s);
    EXPECT_GE(changed.count(), 1);

    // Without ModemManager there is no modem.
    mock.kill();
    mock.waitForFinished();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !modems.state(modem).has_value(); }));
}

} // namespace
} // namespace ringtally
