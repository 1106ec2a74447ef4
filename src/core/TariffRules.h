#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace ringtally {

/// The days a holiday may lie from Easter Sunday: however early or late Easter falls (22 March to
/// 25 April), the day stays in Easter's own year.
inline constexpr int kEarliestEasterOffset = -80;
inline constexpr int kLatestEasterOffset = 250;

/// A public holiday: a fixed day of the year (29 February marks nothing in a common year), or a
/// number of days from Easter Sunday (Gregorian), kEarliestEasterOffset to kLatestEasterOffset.
struct Holiday {
    QString name;
    int day = 0; // 1..31 for a fixed date
    int month = 0; // 1..12 for a fixed date; 0 for one counted from Easter
    int easterOffset = 0;

    /// The day it falls on in year; invalid where it falls on none (29 February of a common year).
    QDate in(int year) const;
    /// The rule as the settings keep it: "24.12" for a fixed date, "E+39" or "E-3" from Easter.
    QString ruleText() const;
    /// A rule as ruleText writes it (blanks around it allowed); nothing for anything else, or a day
    /// or offset out of range.
    static std::optional<Holiday> fromRule(const QString& rule, const QString& name);

    bool operator==(const Holiday&) const = default;
};

/// Easter Sunday of year in the Gregorian calendar (the anonymous Gregorian algorithm).
QDate easterSunday(int year);

/// Whether date is one of the holidays.
bool isHoliday(const QDate& date, const std::vector<Holiday>& holidays);

/// The Danish public holidays: New Year's Day, Maundy Thursday, Good Friday, Easter Sunday and
/// Monday, Ascension Day, Whit Sunday and Monday, Christmas Day and Boxing Day.
std::vector<Holiday> danishHolidays();

/// The seconds a call of elapsed whole seconds is charged in blocks: none for none, the first block
/// for up to its length, then whole steps (each charged from its first second).
qint64 chargedSeconds(qint64 elapsed, int firstBlock, int step);

/// The bytes charged of bytes used when allowanceLeft bytes are free, in whole steps of stepKB
/// kilobytes (1 KB = 1024 bytes), each charged from its first byte.
qint64 chargedBytes(qint64 bytes, qint64 allowanceLeft, qint64 stepKB);

inline constexpr qint64 kBytesPerKB = 1024;
inline constexpr qint64 kBytesPerMB = 1024 * 1024;

} // namespace ringtally
