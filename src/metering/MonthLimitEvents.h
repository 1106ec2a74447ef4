#pragma once

#include "core/ProgramState.h"

#include <QDate>

namespace ringtally {

/// What the monthly limit needs outside the meter: the call log's spending in a billing month, and
/// the warning. The meter's windows implement it; the what-if tool has no log and passes none.
class MonthLimitEvents {
public:
    virtual ~MonthLimitEvents() = default;

    /// The billing month that holds day, months starting on startDay (1..31), with the spending
    /// the call log holds for it; a log that cannot be read is reported to the user and counts as
    /// no spending.
    virtual LoggedMonth loggedMonth(const QDate& day, int startDay) = 0;
    /// Shows the monthly price warning without waiting for it to be closed.
    virtual void showMonthPriceWarning() = 0;
};

} // namespace ringtally
