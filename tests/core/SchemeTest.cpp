#include "core/Scheme.h"

#include <gtest/gtest.h>

#include <QSet>

#include <algorithm>

using namespace ringtally;

TEST(SchemeTest, FreshSchemeIsSwitchedOffWithThreeFreePeriodsFromMidnight)
{
    const Scheme scheme;
    EXPECT_TRUE(scheme.Name.isEmpty());
    EXPECT_EQ(scheme.DUNName, QStringLiteral("None"));
    const auto zero = [](double value) { return value == 0; };
    for (const DayTariff& day : scheme.Days) {
        EXPECT_EQ(day.NumberOfPeriods, 3);
        EXPECT_TRUE(
            std::ranges::all_of(day.PeriodStart, [](const QString& start) { return start == u"00:00"; }));
        EXPECT_TRUE(std::ranges::all_of(day.CallFee, zero) && std::ranges::all_of(day.MinutePrice, zero));
    }
}

TEST(SchemeTest, KeysJoinFieldDayTypeAndIndexAsTheSettingsFileHasThemAndAreAllDistinct)
{
    EXPECT_EQ(SchemeKeys::name(0), QStringLiteral("0,name"));
    EXPECT_EQ(SchemeKeys::dunName(2), QStringLiteral("2,DUN_Name"));
    EXPECT_EQ(SchemeKeys::reducedPriceAfter(1), QStringLiteral("1,Reduced_price_after_(min)"));
    EXPECT_EQ(SchemeKeys::dunData(2, 1), QStringLiteral("2,DUNData1"));
    EXPECT_EQ(SchemeKeys::numberOfPeriods(0, 2), QStringLiteral("0,Number_of_PeriodsSunday"));
    EXPECT_EQ(SchemeKeys::periodStart(0, 0, 0), QStringLiteral("0,PeriodMonday_Friday_0"));
    EXPECT_EQ(SchemeKeys::callFee(1, 1, 2), QStringLiteral("1,Call_feeSaturday_2"));
    EXPECT_EQ(SchemeKeys::minBeforeCallFee(2, 2, 1), QStringLiteral("2,Min_before_call_feeSunday_1"));
    EXPECT_EQ(SchemeKeys::minutePrice(1, 2, 5), QStringLiteral("1,Minute_PriceSunday_5"));

    // Every key of every scheme is distinct.
    QSet<QString> keys;
    for (int s = 0; s < kSchemeCount; ++s) {
        keys << SchemeKeys::name(s) << SchemeKeys::dunName(s) << SchemeKeys::reducedPriceAfter(s);
        for (int j = 0; j < 3; ++j)
            keys << SchemeKeys::dunData(s, j);
        for (int d = 0; d < kDayTypeCount; ++d) {
            keys << SchemeKeys::numberOfPeriods(s, d);
            for (int k = 0; k < kPeriodCount; ++k)
                keys << SchemeKeys::periodStart(s, d, k) << SchemeKeys::callFee(s, d, k)
                     << SchemeKeys::minBeforeCallFee(s, d, k);
            for (int k = 0; k < kMinutePriceCount; ++k)
                keys << SchemeKeys::minutePrice(s, d, k);
        }
    }
    // Per scheme: 6 scheme-wide keys, and per day type 1 + 3 x 3 period keys + 6 minute prices.
    EXPECT_EQ(keys.size(), 3 * (6 + 3 * (1 + 9 + 6)));
}
