#include "platform/linux/InterfaceCounters.h"
#include "core/CallBytes.h"

#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;

// The interface's counters as the kernel shows them; a negative one is missing.
void setCounters(const test::TempFolder& root, const QString& interface, qint64 received, qint64 sent)
{
    const QString folder = root.file(u"sys/class/net/"_s + interface + u"/statistics"_s);
    QDir().mkpath(folder);
    for (const auto& [name, value] : { std::pair { u"rx_bytes"_s, received }, { u"tx_bytes"_s, sent } }) {
        QFile file(folder + u'/' + name);
        if (value < 0) {
            file.remove();
            continue;
        }
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(value) + '\n');
    }
}

TEST(CallBytesTest, CountsFromTheCallsStartAndNeverGoesDown)
{
    test::TempFolder root;
    const auto read = [&](const QString& interface) { return readInterfaceCounters(root.path(), interface); };
    CallBytes bytes;
    // Not known until the link's counters read once.
    bytes.start(read(u"ppp0"_s));
    EXPECT_EQ(bytes.total(), std::nullopt);
    setCounters(root, u"ppp0"_s, 5000, 700);
    bytes.update(read(u"ppp0"_s));
    struct Step {
        qint64 received, sent; // the kernel's counters
        ByteCounts expected; // since the first reading
    };
    const Step steps[] = {
        { 5000, 700, { 0, 0 } },
        { 6500, 900, { 1500, 200 } },
        { 100, 50, { 1600, 250 } }, // the interface was replaced: its counters start again
        { -1, 60, { 1600, 250 } }, // a counter gone for a moment: the reading fails
        { 400, 80, { 1900, 280 } },
    };
    for (const Step& step : steps) {
        setCounters(root, u"ppp0"_s, step.received, step.sent);
        bytes.update(read(u"ppp0"_s));
        EXPECT_EQ(bytes.total(), step.expected) << step.received;
    }
    // The link moves to another interface, which counts on from its own counters.
    setCounters(root, u"wwan0"_s, 10'000, 20'000);
    bytes.update(read(u"wwan0"_s));
    setCounters(root, u"wwan0"_s, 10'100, 20'010);
    bytes.update(read(u"wwan0"_s));
    EXPECT_EQ(bytes.total(), (ByteCounts { 2000, 290 }));
    // A part after a 23:59 split counts from zero, from the last reading.
    bytes.restartPart();
    setCounters(root, u"wwan0"_s, 10'150, 20'010);
    bytes.update(read(u"wwan0"_s));
    EXPECT_EQ(bytes.total(), (ByteCounts { 50, 0 }));
    // A name that would leave the folder of interfaces reads nothing.
    setCounters(root, u"x"_s, 1, 1);
    EXPECT_EQ(readInterfaceCounters(root.file(u"sys"_s), u"../sys/class/net/x"_s), std::nullopt);
}

} // namespace
} // namespace ringtally
