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
    /// and the data the call log holds for it, and the data of its calls that the log names
    /// schemeName (what the scheme's data allowance has been used for); a log that cannot be read
    /// is reported to the user and counts as nothing spent or used.
    virtual LoggedMonth loggedMonth(const QDate& day, int startDay, const QString& schemeName) = 0;
    /// Shows the monthly price warning without waiting for it to be closed.
    virtual void showMonthPriceWarning() = 0;
    /// Shows the monthly data warning (its share of the limit or all of it, as
    /// MeterState::DataWarnLevel says) without waiting for it to be closed.
    virtual void showDataWarning() { }
};

} // namespace ringtally
