#pragma once

#include "core/TariffRules.h"
#include "platform/Result.h"

#include <QString>

#include <vector>

namespace ringtally {

/// A holiday's rule as the holiday list shows it and the user writes it: "25.12" for a fixed date;
/// "Påske", "Påske+39" or "Påske-3" from Easter ("Easter", "Easter+39" in English).
QString shownRule(const Holiday& holiday, bool english);

/// The holiday the user typed for line `line` of list (-1 for a new line): a rule in a form
/// shownRule writes, in either language and any letter case, or as the settings keep it ("E+39"),
/// blanks around the sign allowed; and a name, trimmed, that is not empty. A rule that names no day,
/// a date the calendar lacks, an offset out of range, an empty name and a rule another line has
/// already are refused with the reason, in English when english.
Result<Holiday> typedHoliday(
    const QString& rule, const QString& name, const std::vector<Holiday>& list, int line, bool english);

/// The days holiday falls on in year and the year after, as "2026: 14.05 · 2027: 06.05"; a dash for
/// a year in which it marks no day (29.02 in a common year).
QString daysOf(const Holiday& holiday, int year);

} // namespace ringtally
