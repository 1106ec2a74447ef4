#include "core/FieldRules.h"

#include <QString>

namespace ringtally::FieldRules {

namespace {

bool allDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

Verdict checkPrice(QStringView text)
{
    if (text.isEmpty())
        return Verdict::Intermediate;
    const qsizetype mark = text.indexOf(u',') >= 0 ? text.indexOf(u',') : text.indexOf(u'.');
    const QStringView whole = mark < 0 ? text : text.first(mark);
    const QStringView decimals = mark < 0 ? QStringView() : text.sliced(mark + 1);
    if (!allDigits(whole) || !allDigits(decimals) || whole.size() > kPriceWholeDigits
        || decimals.size() > kPriceDecimals)
        return Verdict::Invalid;
    if (whole.isEmpty() && decimals.isEmpty())
        return Verdict::Intermediate; // a lone mark
    return Verdict::Acceptable;
}

Verdict checkMinutes(QStringView text)
{
    if (text.isEmpty())
        return Verdict::Intermediate;
    if (!allDigits(text) || text.size() > 5 || text.toInt() > kMaxMinutes)
        return Verdict::Invalid;
    return Verdict::Acceptable;
}

std::optional<double> price(QStringView text)
{
    if (checkPrice(text) != Verdict::Acceptable)
        return std::nullopt;
    QString number = text.toString();
    number.replace(u',', u'.');
    if (number.endsWith(u'.'))
        number.chop(1);
    if (number.startsWith(u'.'))
        number.prepend(u'0');
    return number.toDouble();
}

} // namespace ringtally::FieldRules
