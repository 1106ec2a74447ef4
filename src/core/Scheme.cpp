#include "core/Scheme.h"

namespace ringtally {

namespace {

bool inRange(int value, int count)
{
    return value >= 0 && value < count;
}

QString schemePrefix(int s)
{
    Q_ASSERT(inRange(s, kSchemeCount));
    return QString::number(s) + QLatin1Char(',');
}

// The day type's name follows the field name directly; only the index is set off by an underscore.
QString dayKey(int s, QLatin1String field, int d, int k, int count)
{
    Q_ASSERT(inRange(k, count));
    return schemePrefix(s) + field + dayTypeKeyName(d) + QLatin1Char('_') + QString::number(k);
}

} // namespace

QString dayTypeKeyName(int dayType)
{
    static const std::array<QString, kDayTypeCount + 1> names { QStringLiteral("Monday_Friday"),
        QStringLiteral("Saturday"), QStringLiteral("Sunday"), QStringLiteral("Holiday") };
    Q_ASSERT(inRange(dayType, kDayTypeCount + 1));
    return inRange(dayType, kDayTypeCount + 1) ? names[static_cast<std::size_t>(dayType)] : QString();
}

namespace SchemeKeys {

QString holidaysOwnTariff(int s)
{
    return schemePrefix(s) + QLatin1String("Holidays_own_tariff");
}

QString firstBlock(int s)
{
    return schemePrefix(s) + QLatin1String("First_block");
}

QString billingStep(int s)
{
    return schemePrefix(s) + QLatin1String("Billing_step");
}

QString pricePerMB(int s)
{
    return schemePrefix(s) + QLatin1String("Price_per_MB");
}

QString dataStepKB(int s)
{
    return schemePrefix(s) + QLatin1String("Data_step_KB");
}

QString allowanceMB(int s)
{
    return schemePrefix(s) + QLatin1String("Allowance_MB");
}

QString minimumPrice(int s)
{
    return schemePrefix(s) + QLatin1String("Minimum_price");
}

QString name(int s)
{
    return schemePrefix(s) + QLatin1String("name");
}

QString dunName(int s)
{
    return schemePrefix(s) + QLatin1String("DUN_Name");
}

QString reducedPriceAfter(int s)
{
    return schemePrefix(s) + QLatin1String("Reduced_price_after_(min)");
}

QString dunData(int s, int j)
{
    Q_ASSERT(inRange(j, static_cast<int>(std::tuple_size_v<decltype(Scheme::DUNData)>)));
    return schemePrefix(s) + QLatin1String("DUNData") + QString::number(j);
}

QString numberOfPeriods(int s, int d)
{
    return schemePrefix(s) + QLatin1String("Number_of_Periods") + dayTypeKeyName(d);
}

QString periodStart(int s, int d, int k)
{
    return dayKey(s, QLatin1String("Period"), d, k, kPeriodCount);
}

QString callFee(int s, int d, int k)
{
    return dayKey(s, QLatin1String("Call_fee"), d, k, kPeriodCount);
}

QString minBeforeCallFee(int s, int d, int k)
{
    return dayKey(s, QLatin1String("Min_before_call_fee"), d, k, kPeriodCount);
}

QString minutePrice(int s, int d, int k)
{
    return dayKey(s, QLatin1String("Minute_Price"), d, k, kMinutePriceCount);
}

} // namespace SchemeKeys

} // namespace ringtally
