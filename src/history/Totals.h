#pragma once

#include "history/CallHistory.h"

#include <QDate>
#include <QString>

#include <functional>
#include <map>
#include <span>

namespace ringtally {

/// Calls, minutes, spending and data of some stretch of time or of a scheme.
struct Tally {
    qint64 calls = 0;
    qint64 minutes = 0;
    qint64 priceCents = 0;
    qint64 receivedBytes = 0; // of the parts whose bytes the log holds
    qint64 sentBytes = 0;

    /// The data, received and sent.
    qint64 bytes() const { return receivedBytes + sentBytes; }
    bool operator==(const Tally&) const = default;
};

/// A billing month: from its first day to its last, both included.
struct BillingMonth {
    QDate first;
    QDate last;

    /// Its number of days.
    int days() const { return int(first.daysTo(last)) + 1; }
    bool operator==(const BillingMonth&) const = default;
};

/// The billing month that holds date when billing months start on startDay (1..31; a value
/// outside is taken as the nearest). In a month shorter than startDay the billing month starts
/// on the month's last day: with startDay 31, 28 February 2026 to 30 March.
BillingMonth billingMonthOf(const QDate& date, int startDay);

/// The totals of a set of calls. Each part of a call counts on the day it ended, as the meter's
/// day figures do (the 23:59 split starts the next day's figures from zero), so a day's total is
/// what that day's lines add up to; a call is counted once, on the day of its end. Months and
/// years sum their days: months by billing month, years by calendar year.
struct Totals {
    int billingStartDay = 1;
    Tally all;
    std::map<QDate, Tally> days; // by the day a part ended
    std::map<QDate, Tally> months; // by the first day of the billing month
    std::map<int, Tally> years;
    std::map<QString, Tally> schemes; // whole calls by their scheme name
};

/// The totals of the calls that include accepts (all of them when include is empty), with billing
/// months starting on billingStartDay; of their parts, only those that ended on a day includeDay
/// accepts (all when it is empty) count, as a date range shows them.
Totals totalsOf(std::span<const Call> calls, int billingStartDay = 1,
    const std::function<bool(const Call&)>& include = {},
    const std::function<bool(const QDate&)>& includeDay = {});

/// The bytes (received and sent) of the calls named scheme in the billing month that holds day,
/// months starting on startDay: what the scheme's data allowance has been used for.
qint64 monthBytes(std::span<const Call> calls, const QDate& day, int startDay, const QString& scheme);

/// The spending and data of a billing month so far and where they are heading.
struct MonthEstimate {
    BillingMonth month; // the billing month that holds today
    int daysElapsed = 0; // from its first day up to today, both included
    qint64 spentCents = 0; // spent on those days
    qint64 estimateCents = 0; // spentCents / daysElapsed * month.days(), rounded half up
    qint64 bytes = 0; // received and sent on those days, of the parts whose bytes the log holds
    qint64 estimateBytes = 0; // bytes / daysElapsed * month.days(), rounded half up
};

/// This billing month's spending and data up to and including today, and the month's end at the
/// same pace: the figure per day elapsed, today counted as a whole day, times the days of the month.
MonthEstimate estimateMonth(const Totals& totals, const QDate& today);

} // namespace ringtally
