#include "platform/linux/LinkBytes.h"

#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;

class LinkBytesTest : public ::testing::Test {
protected:
    // The interface's counters as the kernel shows them; a negative one is missing.
    void set(const QString& interface, qint64 received, qint64 sent)
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

    test::TempFolder root;
    LinkBytes bytes { root.path() };
};

TEST_F(LinkBytesTest, CountsFromTheCallsStartAndNeverGoesDown)
{
    set(u"ppp0"_s, 5000, 700);
    bytes.start(u"ppp0"_s);
    struct Step {
        qint64 received, sent; // the kernel's counters
        ByteCounts expected; // since the start
    };
    const Step steps[] = {
        { 5000, 700, { 0, 0 } },
        { 6500, 900, { 1500, 200 } },
        { 100, 50, { 1600, 250 } }, // the interface was replaced: its counters start again
        { -1, -1, { 1600, 250 } }, // gone for a moment
        { 400, 80, { 1900, 280 } },
    };
    for (const Step& step : steps) {
        set(u"ppp0"_s, step.received, step.sent);
        EXPECT_EQ(bytes.read(), step.expected) << step.received;
    }
    // The link moves to another interface, which counts on from its own counters.
    set(u"wwan0"_s, 10'000, 20'000);
    bytes.follow(u"wwan0"_s);
    set(u"wwan0"_s, 10'100, 20'010);
    EXPECT_EQ(bytes.read(), (ByteCounts { 2000, 290 }));
    // A new call starts from zero; a name that would leave the folder reads nothing.
    bytes.start(u"../../etc"_s);
    EXPECT_EQ(bytes.read(), (ByteCounts {}));
}

} // namespace
} // namespace ringtally
