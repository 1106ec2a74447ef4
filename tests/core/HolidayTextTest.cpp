#include "core/HolidayText.h"

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;

namespace {

const std::vector<Holiday> kChristmasAndAscension { { u"Juledag"_s, 25, 12, 0 },
    { u"Kristi himmelfartsdag"_s, 0, 0, 39 } };

QString outcome(const QString& rule, const QString& name = u"Dag"_s, int line = -1, bool english = false)
{
    const Result<Holiday> holiday = typedHoliday(rule, name, kChristmasAndAscension, line, english);
    return holiday ? shownRule(holiday.value(), english) + u' ' + holiday.value().name : holiday.message();
}

} // namespace

TEST(HolidayText, TheFormsPeopleWriteReadAsTheirRuleInEitherLanguage)
{
    const std::tuple<QString, QString, QString> cases[] = {
        // typed, shown in Danish, shown in English
        { u"1.5"_s, u"01.05"_s, u"01.05"_s }, { u"05.06."_s, u"05.06"_s, u"05.06"_s },
        { u"29.02"_s, u"29.02"_s, u"29.02"_s }, { u"Påske"_s, u"Påske"_s, u"Easter"_s },
        { u" påske + 49 "_s, u"Påske+49"_s, u"Easter+49"_s },
        { u"PÅSKE-80"_s, u"Påske-80"_s, u"Easter-80"_s },
        { u"Easter+250"_s, u"Påske+250"_s, u"Easter+250"_s }, { u"E-3"_s, u"Påske-3"_s, u"Easter-3"_s },
        { u"Pa\u030Aske−2"_s, u"Påske-2"_s, u"Easter-2"_s }, // "a" and a combining ring; a minus sign
    };
    for (const auto& [typed, danish, english] : cases) {
        EXPECT_EQ(outcome(typed, u" Fridag "_s), danish + u" Fridag"_s) << typed.toStdString();
        EXPECT_EQ(outcome(typed, u"Fridag"_s, -1, true), english + u" Fridag"_s) << typed.toStdString();
    }
}

TEST(HolidayText, ARuleOrNameThatCannotBeUsedIsRefusedWithTheReason)
{
    const std::pair<QString, QString> cases[] = {
        { u"31.04"_s, u"Datoen 31.04 findes ikke."_s },
        { u"1.13"_s, u"Datoen 01.13 findes ikke."_s },
        { u"Påske+251"_s, u"Påske+251 ligger for langt fra påske; brug fra Påske-80 til Påske+250."_s },
        { u"E-81"_s, u"E-81 ligger for langt fra påske; brug fra Påske-80 til Påske+250."_s },
        { u"Påske+99999999999"_s,
            u"Påske+99999999999 ligger for langt fra påske; brug fra Påske-80 til Påske+250."_s },
        { u"Jul"_s,
            u"„Jul“ siger ikke, hvilken dag det er; skriv en dato som 25.12 eller en dag regnet fra påske "
            u"som Påske+39."_s },
        { u" "_s, u"Skriv en dato som 25.12 eller en dag regnet fra påske som Påske+39."_s },
    };
    for (const auto& [typed, reason] : cases)
        EXPECT_EQ(outcome(typed), reason) << typed.toStdString();
    EXPECT_EQ(outcome(u"5.6"_s, u"  "_s), u"Skriv helligdagens navn."_s);
    EXPECT_EQ(outcome(u"31.4"_s, u"Dag"_s, -1, true), u"There is no date 31.04."_s);
    EXPECT_EQ(outcome(u"Easter+300"_s, u"Dag"_s, -1, true),
        u"Easter+300 is too far from Easter; use Easter-80 to Easter+250."_s);
}

TEST(HolidayText, ARuleAnotherLineHasIsRefusedButALineMayKeepItsOwn)
{
    EXPECT_EQ(outcome(u"25.12"_s), u"25.12 står allerede på listen som Juledag."_s);
    EXPECT_EQ(outcome(u"e+39"_s, u"Dag"_s, -1, true),
        u"Easter+39 is on the list already, as Kristi himmelfartsdag."_s);
    EXPECT_EQ(
        outcome(u"e+39"_s, u"Dag"_s, 0), u"Påske+39 står allerede på listen som Kristi himmelfartsdag."_s);
    EXPECT_EQ(outcome(u"Påske+39"_s, u"Himmelfart"_s, 1), u"Påske+39 Himmelfart"_s);
    EXPECT_EQ(outcome(u"Påske"_s), u"Påske Dag"_s); // another offset from Easter is another rule
}

TEST(HolidayText, TheDaysShownAreThoseOfTheYearAndTheNext)
{
    // Easter Sunday fell on 5 April 2026 and on 28 March 2027; 2028 is a leap year.
    EXPECT_EQ(daysOf({ u"Langfredag"_s, 0, 0, -2 }, 2026), u"2026: 03.04 · 2027: 26.03"_s);
    EXPECT_EQ(daysOf({ u"Skuddag"_s, 29, 2, 0 }, 2027), u"2027: – · 2028: 29.02"_s);
}
