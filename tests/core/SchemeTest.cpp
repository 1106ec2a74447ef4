#include "core/Scheme.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace ringtally;

TEST(SchemeTest, FreshSchemeIsSwitchedOffWithThreeEmptyPeriodsPerDay)
{
    const Scheme scheme;
    EXPECT_TRUE(scheme.Name.isEmpty());
    EXPECT_EQ(scheme.DUNName, QStringLiteral("None"));
    for (const QString& datum : scheme.DUNData)
        EXPECT_TRUE(datum.isEmpty());
    EXPECT_EQ(scheme.ReducedPriceAfter, 0);
    for (const DayTariff& day : scheme.Days) {
        EXPECT_EQ(day.NumberOfPeriods, 3);
        for (int k = 0; k < kPeriodCount; ++k) {
            EXPECT_EQ(day.PeriodStart[k], QStringLiteral("00:00"));
            EXPECT_EQ(day.CallFee[k], 0.0);
            EXPECT_EQ(day.MinBeforeCallFee[k], 0);
        }
        for (const double price : day.MinutePrice)
            EXPECT_EQ(price, 0.0);
    }
}

TEST(SchemeTest, KeysJoinFieldDayTypeAndIndexAsTheSettingsFileHasThem)
{
    EXPECT_EQ(dayTypeKeyName(0), QStringLiteral("Monday_Friday"));
    EXPECT_EQ(dayTypeKeyName(1), QStringLiteral("Saturday"));
    EXPECT_EQ(dayTypeKeyName(2), QStringLiteral("Sunday"));

    EXPECT_EQ(SchemeKeys::name(0), QStringLiteral("0,name"));
    EXPECT_EQ(SchemeKeys::dunName(2), QStringLiteral("2,DUN_Name"));
    EXPECT_EQ(SchemeKeys::reducedPriceAfter(1), QStringLiteral("1,Reduced_price_after_(min)"));
    EXPECT_EQ(SchemeKeys::dunData(2, 1), QStringLiteral("2,DUNData1"));
    EXPECT_EQ(SchemeKeys::numberOfPeriods(0, 2), QStringLiteral("0,Number_of_PeriodsSunday"));
    EXPECT_EQ(SchemeKeys::periodStart(0, 0, 0), QStringLiteral("0,PeriodMonday_Friday_0"));
    EXPECT_EQ(SchemeKeys::callFee(1, 1, 2), QStringLiteral("1,Call_feeSaturday_2"));
    EXPECT_EQ(SchemeKeys::minBeforeCallFee(2, 2, 1), QStringLiteral("2,Min_before_call_feeSunday_1"));
    EXPECT_EQ(SchemeKeys::minutePrice(0, 0, 3), QStringLiteral("0,Minute_PriceMonday_Friday_3"));
    EXPECT_EQ(SchemeKeys::minutePrice(1, 2, 5), QStringLiteral("1,Minute_PriceSunday_5"));
}

TEST(SchemeTest, EveryKeyOfEverySchemeIsDistinctAndStartsWithItsScheme)
{
    QSet<QString> keys;
    int written = 0;
    auto add = [&](int s, const QString& key) {
        EXPECT_TRUE(key.startsWith(QString::number(s) + QLatin1Char(','))) << key.toStdString();
        keys.insert(key);
        ++written;
    };
    for (int s = 0; s < kSchemeCount; ++s) {
        add(s, SchemeKeys::name(s));
        add(s, SchemeKeys::dunName(s));
        add(s, SchemeKeys::reducedPriceAfter(s));
        for (int j = 0; j < 3; ++j)
            add(s, SchemeKeys::dunData(s, j));
        for (int d = 0; d < kDayTypeCount; ++d) {
            add(s, SchemeKeys::numberOfPeriods(s, d));
            for (int k = 0; k < kPeriodCount; ++k) {
                add(s, SchemeKeys::periodStart(s, d, k));
                add(s, SchemeKeys::callFee(s, d, k));
                add(s, SchemeKeys::minBeforeCallFee(s, d, k));
            }
            for (int k = 0; k < kMinutePriceCount; ++k)
                add(s, SchemeKeys::minutePrice(s, d, k));
        }
    }
    // Per scheme: 6 scheme-wide keys, and per day type 1 + 3 x 3 period keys + 6 minute prices.
    EXPECT_EQ(written, 3 * (6 + 3 * (1 + 9 + 6)));
    EXPECT_EQ(keys.size(), written);
}
