#include "history/Totals.h"

#include <algorithm>

namespace ringtally {

namespace {

// The day a billing month starts in the calendar month of year and month.
QDate startIn(int year, int month, int startDay)
{
    const QDate first(year, month, 1);
    return first.addDays(std::min(startDay, first.daysInMonth()) - 1);
}

void add(Tally& tally, const Tally& more)
{
    tally.calls += more.calls;
    tally.minutes += more.minutes;
    tally.priceCents += more.priceCents;
    tally.receivedBytes += more.receivedBytes;
    tally.sentBytes += more.sentBytes;
}

// A part as a tally of no calls: a part without bytes in the log adds none.
Tally partTally(const CallPart& part)
{
    return { 0, part.minutes, part.priceCents, std::max<qint64>(0, part.receivedBytes),
        std::max<qint64>(0, part.sentBytes) };
}

// What a month of days comes to at the pace of so much in the days elapsed, rounded half up.
qint64 atPace(qint64 sum, qint64 daysElapsed, qint64 days)
{
    return (2 * sum * days + daysElapsed) / (2 * daysElapsed);
}

} // namespace

BillingMonth billingMonthOf(const QDate& date, int startDay)
{
    startDay = std::clamp(startDay, 1, 31);
    QDate first = startIn(date.year(), date.month(), startDay);
    if (date < first) {
        const QDate before = date.addMonths(-1);
        first = startIn(before.year(), before.month(), startDay);
    }
    const QDate next = QDate(first.year(), first.month(), 1).addMonths(1);
    return { first, startIn(next.year(), next.month(), startDay).addDays(-1) };
}

Totals totalsOf(std::span<const Call> calls, int billingStartDay,
    const std::function<bool(const Call&)>& include, const std::function<bool(const QDate&)>& includeDay)
{
    Totals totals;
    totals.billingStartDay = std::clamp(billingStartDay, 1, 31);
    for (const Call& call : calls) {
        if (include && !include(call))
            continue;
        Tally counted;
        for (const CallPart& part : call.parts) {
            if (includeDay && !includeDay(part.end.date()))
                continue;
            add(counted, partTally(part));
            add(totals.days[part.end.date()], partTally(part));
        }
        counted.calls = 1;
        add(totals.all, counted);
        add(totals.schemes[call.scheme], counted);
        if (!includeDay || includeDay(call.end.date()))
            ++totals.days[call.end.date()].calls;
    }
    // Days come in order, so each billing month is worked out once.
    BillingMonth month;
    Tally* monthTally = nullptr;
    for (const auto& [day, tally] : totals.days) {
        if (!monthTally || day > month.last) {
            month = billingMonthOf(day, totals.billingStartDay);
            monthTally = &totals.months[month.first];
        }
        add(*monthTally, tally);
        add(totals.years[day.year()], tally);
    }
    return totals;
}

qint64 monthBytes(std::span<const Call> calls, const QDate& day, int startDay, const QString& scheme)
{
    const BillingMonth month = billingMonthOf(day, startDay);
    const Totals totals = totalsOf(calls, startDay,
        [&](const Call& call) { return call.scheme == scheme && call.end.date() >= month.first; });
    const auto found = totals.months.find(month.first);
    return found == totals.months.end() ? 0 : found->second.bytes();
}

MonthEstimate estimateMonth(const Totals& totals, const QDate& today)
{
    MonthEstimate estimate;
    estimate.month = billingMonthOf(today, totals.billingStartDay);
    estimate.daysElapsed = int(estimate.month.first.daysTo(today)) + 1;
    const auto end = totals.days.upper_bound(today);
    for (auto it = totals.days.lower_bound(estimate.month.first); it != end; ++it) {
        estimate.spentCents += it->second.priceCents;
        estimate.bytes += it->second.bytes();
    }
    estimate.estimateCents = atPace(estimate.spentCents, estimate.daysElapsed, estimate.month.days());
    estimate.estimateBytes = atPace(estimate.bytes, estimate.daysElapsed, estimate.month.days());
    return estimate;
}

} // namespace ringtally
