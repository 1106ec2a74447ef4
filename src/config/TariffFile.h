#pragma once

#include "core/Scheme.h"
#include "platform/Result.h"

#include <QString>

namespace ringtally {

/// A tariff file (".ptf"): the day tariffs of one scheme, all three day types, so that a user can
/// keep several providers' prices and load them into any scheme, or pass them on. It is text, one
/// value per line, lines ended by CR LF: for each day type (Monday-Friday, Saturday, Sunday) the
/// number of periods, then for each of the three periods (also those not in use) the normal and
/// the reduced minute price, the minutes before the call fee, the call fee, the period start in
/// double quotes ("08:00") and the scheme's reduced-price time. Numbers use a period as the
/// decimal separator in every locale. Then, only where the scheme has them, the holiday day type
/// (the line "Holiday day type" and the values of a day type) and the newer rules as "Name=value"
/// lines (holidays' own tariff, billing blocks, the data price, step and allowance, the minimum
/// charge): a scheme that uses none of them writes a tariff file of old, and an old file loads
/// their defaults. Only prices and periods travel: the scheme's name, dial-up entry and account
/// data never go into the file.
namespace TariffFile {

/// Values in a period's group: two minute prices, minutes before the fee, fee, start, reduced time.
inline constexpr int kValuesPerPeriod = 6;
/// Values in a file: 57.
inline constexpr int kValueCount = kDayTypeCount * (1 + kPeriodCount * kValuesPerPeriod);

/// The largest file read as a tariff file: one is a few hundred bytes.
inline constexpr qint64 kLargestFileBytes = 64 * 1024;

/// Replaces the file at path, atomically, with the scheme's day tariffs and reduced-price time.
/// A failure (read-only folder, full disk) leaves any old file as it was and says why, in Danish
/// or, when english, English.
Status write(const QString& path, const Scheme& scheme, bool english = false);

/// Reads the file at path into the scheme's day tariffs and reduced-price time, the reduced-price
/// time's nine copies one over the other so the last one wins. All values are read and checked
/// before the scheme changes: a file that cannot be read, ends early, holds more than a tariff
/// file's values or a value that is not a number, a period count outside 1 to 3, a period start
/// that is not a time of day (HH:MM), a negative number or a price above the highest a field
/// takes is refused with a message naming the file and the line, in Danish or, when english,
/// English, and the scheme stays as it was. What is not a regular file, or is larger than
/// kLargestFileBytes, is refused before anything is read. Reads CR LF and LF line ends, numbers
/// with or without a leading zero, quoted or bare times, and blank lines at the end.
Status read(const QString& path, Scheme& scheme, bool english = false);

} // namespace TariffFile

} // namespace ringtally
