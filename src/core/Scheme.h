#pragma once

#include <QString>

#include <array>
#include <optional>

namespace ringtally {

/// The day types a tariff distinguishes; the value is the index into Scheme::Days, except for
/// Holiday, which is Scheme::HolidayDay.
enum class DayType { MondayFriday = 0, Saturday = 1, Sunday = 2, Holiday = 3 };

inline constexpr int kSchemeCount = 3;
inline constexpr int kDayTypeCount = 3;
inline constexpr int kPeriodCount = 3;
inline constexpr int kMinutePriceCount = 6; // 0..2 normal price of periods 1..3, 3..5 reduced price

/// One day type's tariff: up to three periods, each with its start, call fee and minute prices.
struct DayTariff {
    std::array<QString, kPeriodCount> PeriodStart { QStringLiteral("00:00"), QStringLiteral("00:00"),
        QStringLiteral("00:00") };
    quint8 NumberOfPeriods = 3;
    std::array<double, kPeriodCount> CallFee {};
    std::array<qint16, kPeriodCount> MinBeforeCallFee {};
    std::array<double, kMinutePriceCount> MinutePrice {};

    bool operator==(const DayTariff&) const = default;
};

/// One way of going online that the user pays for: a named tariff and the dial-up entry, user
/// name, password and phone number it dials with. An empty Name switches the scheme off.
struct Scheme {
    QString Name;
    QString DUNName = QStringLiteral("None");
    std::array<QString, 3> DUNData; // 0 user name, 1 password, 2 phone number; clear text
    qint16 ReducedPriceAfter = 0;
    std::array<DayTariff, kDayTypeCount> Days;
    // Holidays (the settings' list) priced by their own day type; otherwise as the weekday they
    // fall on.
    bool HolidaysOwnTariff = false;
    // The holiday day type; none while the settings have no keys for it: holidays then price as
    // Sundays.
    std::optional<DayTariff> HolidayDay = std::nullopt;
    // Billing in blocks: the first block and each step after it, in seconds (1..3600); 1 and 1
    // charge every second.
    qint16 FirstBlockSeconds = 1;
    qint16 StepSeconds = 1;
    // Data: the price of a MB (0..9999.999), charged in steps of DataStepKB kilobytes (1..1048576),
    // after AllowanceMB megabytes free per billing month (0..10000000).
    double PricePerMB = 0;
    qint32 DataStepKB = 1;
    qint32 AllowanceMB = 0;
    // The least a call costs (0..9999.99); 0 for no minimum.
    double MinimumPrice = 0;

    /// The day type's tariff that prices a day that isHoliday says (or not) is a holiday, and whose
    /// weekday type is weekdayType (0..2).
    const DayTariff& dayTariff(int weekdayType, bool holiday) const
    {
        if (holiday && HolidaysOwnTariff)
            return HolidayDay ? *HolidayDay : Days[size_t(DayType::Sunday)];
        return Days[size_t(weekdayType)];
    }

    bool operator==(const Scheme&) const = default;
};

/// The day type's name as used in settings keys: "Monday_Friday", "Saturday", "Sunday", and
/// "Holiday" for DayType::Holiday.
QString dayTypeKeyName(int dayType);

/// Keys of the "Schemes" section; s is the scheme index 0..2, d the day type 0..2, k the index of
/// the period (0..2) or of the minute price (0..5), j the index of the dial-up datum (0..2).
namespace SchemeKeys {
inline const QString Section = QStringLiteral("Schemes");
QString name(int s);
QString dunName(int s);
QString reducedPriceAfter(int s);
QString dunData(int s, int j);
QString numberOfPeriods(int s, int d);
QString periodStart(int s, int d, int k);
QString callFee(int s, int d, int k);
QString minBeforeCallFee(int s, int d, int k);
QString minutePrice(int s, int d, int k);
QString holidaysOwnTariff(int s);
QString firstBlock(int s);
QString billingStep(int s);
QString pricePerMB(int s);
QString dataStepKB(int s);
QString allowanceMB(int s);
QString minimumPrice(int s);
} // namespace SchemeKeys

} // namespace ringtally
