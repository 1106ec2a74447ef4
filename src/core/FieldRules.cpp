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

} // namespace ringtally::FieldRules
