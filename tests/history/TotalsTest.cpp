#include "history/Totals.h"

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;

namespace {

const auto day = [](const char* text) { return QDate::fromString(QString::fromLatin1(text), Qt::ISODate); };

CallPart part(const char* end, qint64 minutes, qint64 cents, bool split = false)
{
    return { QDateTime::fromString(QString::fromLatin1(end), Qt::ISODate), minutes, cents, split, 0 };
}

Call call(const QString& scheme, const std::vector<CallPart>& parts)
{
    Call c { {}, parts.back().end, scheme, 0, 0, parts, false, 0 };
    for (const CallPart& p : parts)
        c.minutes += p.minutes, c.priceCents += p.priceCents;
    return c;
}

// Five calls; the one on "Nat" runs over midnight into 15 February.
const std::vector<Call> calls {
    call(u"Mobil"_s, { part("2025-12-31T20:00:00", 60, 1000) }),
    call(u"Tele"_s, { part("2026-02-10T10:20:00", 20, 500) }),
    call(u"Nat"_s, { part("2026-02-14T23:59:00", 30, 300, true), part("2026-02-15T00:40:00", 41, 410) }),
    call(u"Tele"_s, { part("2026-02-15T12:00:00", 10, 250) }),
    call(u"Tele"_s, { part("2026-03-02T08:00:00", 5, 125) }),
};

} // namespace

TEST(Totals, EachPartCountsOnItsOwnDayAndACallOnceOnTheDayItEnds)
{
    const Totals totals = totalsOf(calls, 15);
    EXPECT_EQ(totals.all, (Tally { 5, 166, 2585 }));
    EXPECT_EQ(totals.days,
        (std::map<QDate, Tally> { { day("2025-12-31"), { 1, 60, 1000 } },
            { day("2026-02-10"), { 1, 20, 500 } }, { day("2026-02-14"), { 0, 30, 300 } },
            { day("2026-02-15"), { 2, 51, 660 } }, { day("2026-03-02"), { 1, 5, 125 } } }));
    EXPECT_EQ(totals.months,
        (std::map<QDate, Tally> { { day("2025-12-15"), { 1, 60, 1000 } },
            { day("2026-01-15"), { 1, 50, 800 } }, { day("2026-02-15"), { 3, 56, 785 } } }));
    EXPECT_EQ(totals.years, (std::map<int, Tally> { { 2025, { 1, 60, 1000 } }, { 2026, { 4, 106, 1585 } } }));
    EXPECT_EQ(totals.schemes,
        (std::map<QString, Tally> {
            { u"Mobil"_s, { 1, 60, 1000 } }, { u"Nat"_s, { 1, 71, 710 } }, { u"Tele"_s, { 3, 35, 875 } } }));

    const Totals tele = totalsOf(calls, 1, [](const Call& c) { return c.scheme == u"Tele"_s; });
    EXPECT_EQ(tele.all, (Tally { 3, 35, 875 })); // the Tele calls only
}

TEST(Totals, TheMonthsEndIsTheSpendingPerDayElapsedTimesTheDaysOfTheMonth)
{
    for (const auto& [startDay, today, daysElapsed, spent, estimate] :
        { std::tuple { 15, "2026-03-02", 16, 785, 1374 }, // 785 / 16 * 28 = 1373.75
            std::tuple { 1, "2026-02-15", 15, 1460, 2725 }, // 1460 / 15 * 28 = 2725.33
            std::tuple { 1, "2026-02-14", 14, 800, 1600 } }) { // the 15th is not yet spent
        const MonthEstimate month = estimateMonth(totalsOf(calls, startDay), day(today));
        EXPECT_EQ(std::tuple(month.daysElapsed, month.spentCents, month.estimateCents),
            std::tuple(daysElapsed, qint64(spent), qint64(estimate)))
            << today;
    }
}

TEST(Totals, ABillingMonthStartsOnTheChosenDayOrTheLastDayOfAShorterMonth)
{
    for (const auto& [date, startDay, first, last] :
        { std::tuple { "2026-02-10", 1, "2026-02-01", "2026-02-28" },
            std::tuple { "2028-02-10", 1, "2028-02-01", "2028-02-29" },
            std::tuple { "2026-02-14", 15, "2026-01-15", "2026-02-14" },
            std::tuple { "2026-02-15", 15, "2026-02-15", "2026-03-14" },
            std::tuple { "2026-01-05", 15, "2025-12-15", "2026-01-14" },
            std::tuple { "2026-02-27", 31, "2026-01-31", "2026-02-27" },
            std::tuple { "2026-02-28", 31, "2026-02-28", "2026-03-30" },
            std::tuple { "2026-03-31", 31, "2026-03-31", "2026-04-29" } })
        EXPECT_EQ(billingMonthOf(day(date), startDay), (BillingMonth { day(first), day(last) }))
            << date << " " << startDay;
}
