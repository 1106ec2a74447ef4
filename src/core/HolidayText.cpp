#include "core/HolidayText.h"

#include <QRegularExpression>
#include <QStringList>

#include <cstdlib>

namespace ringtally {

using namespace Qt::StringLiterals;

namespace {

bool sameRule(const Holiday& a, const Holiday& b)
{
    return a.day == b.day && a.month == b.month && (a.month != 0 || a.easterOffset == b.easterOffset);
}

} // namespace

QString shownRule(const Holiday& holiday, bool english)
{
    if (holiday.month != 0)
        return holiday.ruleText();
    const QString easter = english ? u"Easter"_s : u"Påske"_s;
    if (holiday.easterOffset == 0)
        return easter;
    return easter + (holiday.easterOffset < 0 ? u'-' : u'+')
        + QString::number(std::abs(holiday.easterOffset));
}

Result<Holiday> typedHoliday(
    const QString& rule, const QString& name, const std::vector<Holiday>& list, int line, bool english)
{
    static const QRegularExpression fromEaster(u"^(?:påske|easter|e)(?:\\s*([+-])\\s*(\\d+))?$"_s);
    static const QRegularExpression fixed(u"^(\\d{1,2})\\.(\\d{1,2})\\.?$"_s);
    // "Påske" may come with its "å" as an "a" and a combining ring, and a minus sign pasted from a text.
    const QString text
        = rule.normalized(QString::NormalizationForm_C).toLower().trimmed().replace(u'−', u'-');
    const auto pick
        = [english](const QString& danish, const QString& inEnglish) { return english ? inEnglish : danish; };

    Holiday holiday { name.trimmed(), 0, 0, 0 };
    if (const QRegularExpressionMatch m = fromEaster.match(text); m.hasMatch()) {
        bool small = true;
        const int days = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt(&small);
        holiday.easterOffset = m.captured(1) == u"-"_s ? -days : days;
        if (!small || holiday.easterOffset < kEarliestEasterOffset
            || holiday.easterOffset > kLatestEasterOffset) {
            const QString earliest = shownRule({ {}, 0, 0, kEarliestEasterOffset }, english);
            const QString latest = shownRule({ {}, 0, 0, kLatestEasterOffset }, english);
            return Error { pick(u"%1 ligger for langt fra påske; brug fra %2 til %3."_s,
                u"%1 is too far from Easter; use %2 to %3."_s)
                               .arg(rule.trimmed(), earliest, latest) };
        }
    } else if (const QRegularExpressionMatch m = fixed.match(text); m.hasMatch()) {
        holiday.day = m.captured(1).toInt();
        holiday.month = m.captured(2).toInt();
        // A leap year has every date there is.
        if (!QDate(2024, holiday.month, holiday.day).isValid())
            return Error {
                pick(u"Datoen %1 findes ikke."_s, u"There is no date %1."_s).arg(holiday.ruleText())
            };
    } else {
        const QString example = pick(u"en dato som 25.12 eller en dag regnet fra påske som Påske+39"_s,
            u"a date such as 25.12 or a day counted from Easter such as Easter+39"_s);
        if (text.isEmpty())
            return Error { pick(u"Skriv %1."_s, u"Type %1."_s).arg(example) };
        return Error { pick(u"„%1“ siger ikke, hvilken dag det er; skriv %2."_s,
            u"\"%1\" does not say which day it is; type %2."_s)
                           .arg(rule.trimmed(), example) };
    }
    if (holiday.name.isEmpty())
        return Error { pick(u"Skriv helligdagens navn."_s, u"Type the holiday's name."_s) };

    for (size_t other = 0; other < list.size(); ++other) {
        if (int(other) != line && sameRule(list[other], holiday))
            return Error { pick(
                u"%1 står allerede på listen som %2."_s, u"%1 is on the list already, as %2."_s)
                               .arg(shownRule(holiday, english), list[other].name) };
    }
    return holiday;
}

QString daysOf(const Holiday& holiday, int year)
{
    QStringList shown;
    for (const int y : { year, year + 1 }) {
        const QDate day = holiday.in(y);
        shown.append(QString::number(y) + u": "_s + (day.isValid() ? day.toString(u"dd.MM"_s) : u"–"_s));
    }
    return shown.join(u" · "_s);
}

} // namespace ringtally
