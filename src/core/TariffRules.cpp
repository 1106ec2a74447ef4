#include "core/TariffRules.h"

#include <QRegularExpression>

#include <algorithm>

namespace ringtally {

QDate Holiday::in(int year) const
{
    if (month == 0)
        return easterSunday(year).addDays(easterOffset);
    return QDate(year, month, day);
}

QString Holiday::ruleText() const
{
    if (month == 0)
        return QStringLiteral("E%1%2")
            .arg(easterOffset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
            .arg(std::abs(easterOffset));
    return QStringLiteral("%1.%2").arg(day, 2, 10, QLatin1Char('0')).arg(month, 2, 10, QLatin1Char('0'));
}

std::optional<Holiday> Holiday::fromRule(const QString& rule, const QString& name)
{
    static const QRegularExpression easter(QStringLiteral("^[Ee]([+-]\\d{1,3})$"));
    static const QRegularExpression fixed(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.?$"));
    const QString text = rule.trimmed();
    if (const QRegularExpressionMatch m = easter.match(text); m.hasMatch()) {
        const int offset = m.captured(1).toInt();
        if (offset < kEarliestEasterOffset || offset > kLatestEasterOffset)
            return std::nullopt;
        return Holiday { name, 0, 0, offset };
    }
    if (const QRegularExpressionMatch m = fixed.match(text); m.hasMatch()) {
        const int day = m.captured(1).toInt();
        const int month = m.captured(2).toInt();
        // A leap year has every day a fixed holiday can name.
        if (!QDate(2024, month, day).isValid())
            return std::nullopt;
        return Holiday { name, day, month, 0 };
    }
    return std::nullopt;
}

QDate easterSunday(int year)
{
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

bool isHoliday(const QDate& date, const std::vector<Holiday>& holidays)
{
    return std::any_of(holidays.begin(), holidays.end(), [&](const Holiday& holiday) {
        // An offset from Easter may reach into the next or the last year.
        if (holiday.month == 0) {
            for (const int year : { date.year() - 1, date.year(), date.year() + 1 }) {
                if (holiday.in(year) == date)
                    return true;
            }
            return false;
        }
        return holiday.month == date.month() && holiday.day == date.day();
    });
}

std::vector<Holiday> danishHolidays()
{
    return {
        { QStringLiteral("Nytårsdag"), 1, 1, 0 },
        { QStringLiteral("Skærtorsdag"), 0, 0, -3 },
        { QStringLiteral("Langfredag"), 0, 0, -2 },
        { QStringLiteral("Påskedag"), 0, 0, 0 },
        { QStringLiteral("2. påskedag"), 0, 0, 1 },
        { QStringLiteral("Kristi himmelfartsdag"), 0, 0, 39 },
        { QStringLiteral("Pinsedag"), 0, 0, 49 },
        { QStringLiteral("2. pinsedag"), 0, 0, 50 },
        { QStringLiteral("Juledag"), 25, 12, 0 },
        { QStringLiteral("2. juledag"), 26, 12, 0 },
    };
}

qint64 chargedSeconds(qint64 elapsed, int firstBlock, int step)
{
    if (elapsed <= 0)
        return 0;
    if (elapsed <= firstBlock)
        return firstBlock;
    return firstBlock + (elapsed - firstBlock + step - 1) / step * step;
}

qint64 chargedBytes(qint64 bytes, qint64 allowanceLeft, qint64 stepKB)
{
    const qint64 over = std::max<qint64>(0, bytes - allowanceLeft);
    const qint64 step = std::max<qint64>(1, stepKB) * kBytesPerKB;
    return (over + step - 1) / step * step;
}

} // namespace ringtally
