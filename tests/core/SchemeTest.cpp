#include "core/Scheme.h"

#include <gtest/gtest.h>

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
