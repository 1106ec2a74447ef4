#pragma once

#include "core/ProgramState.h"

#include <QDate>

namespace ringtally {

/// What the monthly limit and the data allowance need outside the meter: the call log's spending
/// and data in a billing month, and the warning. The meter's windows implement it; the what-if tool has no
/// log and passes none.
class MonthLimitEvents {
public:
    virtual ~MonthLimitEvents() = default;

    /// The billing month that holds day, months starting on startDay (1..31), with the spending
    /// the call log holds for it; a log that cannot be read is reported to the user and counts as
    /// no spending.
    virtual LoggedMonth loggedMonth(const QDate& day, int startDay) = 0;
    /// The bytes (received and sent) of the billing month's calls that the log names schemeName:
    /// what the data allowance has been used for; a log that cannot be read counts as none.
    virtual qint64 loggedMonthBytes(const QDate& day, int startDay, const QString& schemeName)
    {
        Q_UNUSED(day);
        Q_UNUSED(startDay);
        Q_UNUSED(schemeName);
        return 0;
    }
    /// Shows the monthly price warning without waiting for it to be closed.
    virtual void showMonthPriceWarning() = 0;
    /// Shows the monthly data warning (its share of the limit or all of it, as
    /// MeterState::DataWarnLevel says) without waiting for it to be closed.
    virtual void showDataWarning() { }
};

} // namespace ringtally
