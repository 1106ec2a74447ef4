#include "metering/CallCheckpoint.h"

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;

namespace {

// 1 minute 30 seconds at 0,50 and a fee of 0,25, after 59 minutes and 10,00 earlier today.
CallCheckpoint sample()
{
    CallCheckpoint c { QDateTime(QDate(2026, 1, 5), QTime(12, 1, 30)), QDate(2026, 1, 5), u"Tele = 2"_s, {},
        { 30, 1, 100, 60, 1100, 6031, 100150 } };
    std::tie(c.texts.NuvTimer, c.texts.NuvMinutter, c.texts.NuvPris, c.texts.DagTimer, c.texts.DagMinutter,
        c.texts.DagPris, c.texts.TotTimer, c.texts.TotMinutter, c.texts.TotPris)
        = std::tuple(
            u"00"_s, u"01"_s, u"1,00"_s, u"01"_s, u"00"_s, u"11,00"_s, u"100"_s, u"31"_s, u"1001,50"_s);
    return c;
}

const QByteArray kSampleText
    = "Version=1\nMoment=2026-01-05T12:01:30\nDay=2026-01-05\nScheme=Tele = 2\n"
      "NuvTimer=00\nNuvMinutter=01\nNuvPris=1,00\nDagTimer=01\nDagMinutter=00\n"
      "DagPris=11,00\nTotTimer=100\nTotMinutter=31\nTotPris=1001,50\nCallSeconds=30\n"
      "CallMinutes=1\nCallPriceCents=100\nDayMinutes=60\nDayPriceCents=1100\n"
      "TotalMinutes=6031\nTotalPriceCents=100150\nEnd\n";

} // namespace

TEST(CallCheckpoint, IsWrittenAsKeyValueLinesAndReadBack)
{
    EXPECT_EQ(sample().serialize(), kSampleText);
    const Result<CallCheckpoint> read = CallCheckpoint::parse(kSampleText);
    ASSERT_TRUE(read.ok()) << read.message().toStdString();
    EXPECT_EQ(read.value(), sample());
    QByteArray crlf = kSampleText;
    EXPECT_TRUE(CallCheckpoint::parse(crlf.replace("\n", "\r\n")).ok()); // edited on another system
    // A price in another locale's decimal mark reads too.
    EXPECT_TRUE(CallCheckpoint::parse(QByteArray(kSampleText).replace("NuvPris=1,00", "NuvPris=1.00")).ok());
}

TEST(CallCheckpoint, ATornOrBadlyEditedFileIsRefusedWithTheReason)
{
    // Cut anywhere before its last line end, the file is refused.
    for (qsizetype length = 0; length < kSampleText.size() - 1; ++length)
        EXPECT_FALSE(CallCheckpoint::parse(kSampleText.first(length)).ok()) << length;
    for (const auto& [from, to] : {
             std::pair { "Version=1", "Version=2" },
             { "Moment=2026-01-05T12:01:30", "Moment=yesterday" },
             { "Day=2026-01-05", "Day=" },
             { "Scheme=Tele = 2\n", "" },
             { "NuvPris=1,00", "NuvPris=9,00" }, // the text, not the figure
             { "DagMinutter=00", "DagMinutter=30" },
             { "TotalPriceCents=100150", "TotalPriceCents=1001,50" },
             { "CallSeconds=30\n", "CallSeconds 30\n" },
         }) {
        const Result<CallCheckpoint> read = CallCheckpoint::parse(QByteArray(kSampleText).replace(from, to));
        EXPECT_FALSE(read.ok()) << to;
        EXPECT_FALSE(read.message().isEmpty()) << to;
    }
}
