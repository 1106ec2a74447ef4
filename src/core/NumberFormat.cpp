#include "core/NumberFormat.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace ringtally {

namespace {

// Digits with at most one '.' between them and an optional sign: what remains of a number once
// the locale's marks are taken out. No exponent, no blanks inside.
std::optional<double> parsePlain(const QString& text)
{
    QByteArray ascii;
    ascii.reserve(text.size());
    int points = 0;
    int digits = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if ((c == u'-' || c == u'+') && i == 0) {
            ascii.append(char(c.unicode()));
        } else if (c == u'.') {
            if (++points > 1)
                return std::nullopt;
            ascii.append('.');
        } else if (c >= u'0' && c <= u'9') {
            ++digits;
            ascii.append(char(c.unicode()));
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    const char* first = ascii.constData();
    if (*first == '+')
        ++first;
    double value = 0;
    const auto [end, error] = std::from_chars(first, ascii.constData() + ascii.size(), value);
    if (error != std::errc() || end != ascii.constData() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The integer part is grouped by mark when every group after the first has three digits.
bool isValidGrouping(QStringView integerPart, QStringView mark)
{
    if (mark.isEmpty())
        return false;
    if (integerPart.startsWith(u'-') || integerPart.startsWith(u'+'))
        integerPart = integerPart.sliced(1);
    const QList<QStringView> groups = integerPart.split(mark);
    // A grouped number never starts with a zero: "0,125" is a fraction in any locale.
    if (groups.size() < 2 || groups.front().isEmpty() || groups.front().size() > 3
        || groups.front().front() == u'0')
        return false;
    for (qsizetype i = 1; i < groups.size(); ++i) {
        if (groups[i].size() != 3)
            return false;
    }
    return true;
}

// The order of day, month and year ("d", "M", "y") in the locale's short date form when that form
// separates them with "/" ("Mdy" for "M/d/yy"); empty otherwise.
QString slashDateOrder(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(u'/'))
        return {};
    QString order;
    for (const QChar c : format) {
        if ((c == u'd' || c == u'M' || c == u'y') && !order.contains(c))
            order += c;
    }
    return order.size() == 3 ? order : QString();
}

// A year of two digits lies in 1930..2029; one of four is as written; any other is no year.
int fullYear(QStringView digits)
{
    const int year = digits.toInt();
    if (digits.size() == 4)
        return year;
    if (digits.size() == 2)
        return year + (year < 30 ? 2000 : 1900);
    return -1;
}

} // namespace

NumberFormat::NumberFormat() : NumberFormat(QLocale::system())
{
}

NumberFormat::NumberFormat(const QLocale& locale)
    : locale_(locale), decimal_(locale.decimalPoint()), slashDateOrder_(slashDateOrder(locale))
{
}

QString NumberFormat::formatFraction(double value) const
{
    if (!std::isfinite(value))
        value = 0;
    if (value == 0)
        value = 0; // no "-0"
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    text.replace(u'.', decimal_);
    return text;
}

QString NumberFormat::formatFixed(double value, int decimals) const
{
    if (!std::isfinite(value))
        value = 0;
    // Round half away from zero on the decimal digits the user sees: a price of 2.125 shows as
    // 2.13 although the binary double lies just below it. The shortest round-trip text is the
    // decimal number the user typed or the program computed, so round that text.
    QString shortest = QString::number(std::fabs(value), 'f', QLocale::FloatingPointShortest);
    const bool negative = std::signbit(value);
    qsizetype point = shortest.indexOf(u'.');
    if (point < 0) {
        point = shortest.size();
        shortest += u'.';
    }
    shortest += QString(decimals + 1, u'0');
    QString digits = shortest.left(point) + shortest.mid(point + 1, decimals);
    const bool roundUp = shortest[point + 1 + decimals] >= u'5';
    if (roundUp) {
        qsizetype i = digits.size() - 1;
        while (i >= 0 && digits[i] == u'9')
            digits[i--] = u'0';
        if (i >= 0)
            digits[i] = QChar(digits[i].unicode() + 1);
        else
            digits.prepend(u'1');
    }
    QString whole = digits.left(digits.size() - decimals);
    QString text = whole;
    if (decimals > 0)
        text += decimal_ + digits.right(decimals);
    const bool isZero = std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c == u'0'; });
    if (negative && !isZero)
        text.prepend(u'-');
    return text;
}

std::optional<double> NumberFormat::parseFraction(const QString& input) const
{
    QString text = input.trimmed();
    // A locale whose decimal mark is neither "," nor "." writes its own.
    if (decimal_ != u"," && decimal_ != u".")
        text.replace(decimal_, QStringLiteral("."));
    // No version of the program writes digit grouping, so a single mark is the decimal mark
    // whatever the locale: "1,125" from a Danish system is not 1125 on an English one. Grouping
    // comes only from hand edits: the same mark repeated, or the other one before the last mark.
    const qsizetype mark = std::max(text.lastIndexOf(u','), text.lastIndexOf(u'.'));
    if (mark < 0)
        return parsePlain(text);
    const QChar decimal = text[mark];
    const QChar group = decimal == u',' ? u'.' : u',';
    if (text.count(decimal) > 1 && !text.contains(group)) {
        if (!isValidGrouping(text, QStringView(&decimal, 1)))
            return std::nullopt;
        return parsePlain(text.remove(decimal));
    }
    QString integerPart = text.left(mark);
    if (integerPart.contains(group)) {
        if (!isValidGrouping(integerPart, QStringView(&group, 1)))
            return std::nullopt;
        integerPart.remove(group);
    }
    return parsePlain(integerPart + u'.' + text.sliced(mark + 1));
}

std::optional<qint64> NumberFormat::parseWhole(const QString& text, qint64 min, qint64 max) const
{
    const std::optional<double> value = parseFraction(text);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value); // the default rounding mode: halves to even
    if (rounded < double(min) || rounded > double(max))
        return std::nullopt;
    return qint64(rounded);
}

QString NumberFormat::formatDate(const QDate& date)
{
    return date.toString(Qt::ISODate);
}

std::optional<QDate> NumberFormat::parseDate(const QString& input) const
{
    const QString text = input.trimmed();
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    static const QRegularExpression slashed(QStringLiteral("^(\\d{1,4})/(\\d{1,4})/(\\d{1,4})$"));
    static const QRegularExpression dayFirst(
        QStringLiteral("^(\\d{1,2})([-./])(\\d{1,2})\\2(\\d{2}|\\d{4})$"));
    if (const auto match = iso.match(text); match.hasMatch()) {
        const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        if (date.isValid())
            return date;
        return std::nullopt;
    }
    // The original platform wrote the locale's short form, so "1/2/2003" from a US system is
    // 2 January; the day-first forms come after it.
    if (const auto match = slashed.match(text); match.hasMatch() && !slashDateOrder_.isEmpty()) {
        int day = 0;
        int month = 0;
        int year = -1;
        for (int i = 0; i < 3; ++i) {
            const QStringView field = match.capturedView(i + 1);
            const QChar part = slashDateOrder_[i];
            if (part == u'y')
                year = fullYear(field);
            else if (field.size() > 2)
                break; // no day or month
            else if (part == u'd')
                day = field.toInt();
            else
                month = field.toInt();
        }
        const QDate date(year, month, day);
        if (year >= 0 && date.isValid())
            return date;
    }
    if (const auto match = dayFirst.match(text); match.hasMatch()) {
        const QDate date(
            fullYear(match.capturedView(4)), match.captured(3).toInt(), match.captured(1).toInt());
        if (date.isValid())
            return date;
    }
    const QDate local = locale_.toDate(text, QLocale::ShortFormat);
    if (local.isValid())
        return local;
    return std::nullopt;
}

} // namespace ringtally
