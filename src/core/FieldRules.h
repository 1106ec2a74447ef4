#pragma once

#include <QStringView>

namespace ringtally {

/// The rules every price and minutes value meets, wherever it comes from: a field the user types
/// or pastes into, or a tariff file.
namespace FieldRules {

/// The highest price: four digits before the decimal mark and three after it.
inline constexpr double kMaxPrice = 9999.999;
inline constexpr int kPriceWholeDigits = 4;
inline constexpr int kPriceDecimals = 3;
/// The highest number of minutes a counter holds.
inline constexpr int kMaxMinutes = 32767;

/// How far a field's text meets its rule as the user edits it.
enum class Verdict {
    Acceptable, // a value
    Intermediate, // on the way to one: empty, or digits ending in a decimal mark
    Invalid, // never one: a sign, a letter, too many digits, more than the highest value
};

/// A price as people write it: digits, then either decimal mark and up to three decimals.
Verdict checkPrice(QStringView text);
/// Whole minutes from 0 to kMaxMinutes.
Verdict checkMinutes(QStringView text);

} // namespace FieldRules

} // namespace ringtally
