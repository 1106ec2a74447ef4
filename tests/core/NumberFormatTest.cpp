#include "core/NumberFormat.h"

#include <gtest/gtest.h>

using namespace ringtally;

namespace {

const NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
const NumberFormat english { QLocale(QLocale::English, QLocale::UnitedStates) };

double parsed(const NumberFormat& format, const char16_t* text)
{
    return format.parseFraction(QString::fromUtf16(text)).value_or(-999999);
}

} // namespace

TEST(NumberFormat, FractionsUseTheLocaleSeparatorAndNoGroupingFixedDecimalsRoundHalfAwayFromZero)
{
    for (const auto& [format, value, text] : { std::tuple { &danish, 12.5, u"12,5" },
             { &english, 12.5, u"12.5" }, { &danish, -1.0, u"-1" }, { &danish, 1234567.25, u"1234567,25" },
             { &danish, 0.1 + 0.2, u"0,30000000000000004" }, { &danish, -0.0, u"0" } })
        EXPECT_EQ(format->formatFraction(value), QString::fromUtf16(text)) << value;
    for (const auto& [format, value, decimals, text] : { std::tuple { &danish, 0.0, 2, u"0,00" },
             { &english, 0.0, 2, u"0.00" }, { &danish, 2.125, 2, u"2,13" }, { &danish, 2.124, 2, u"2,12" },
             { &danish, 9.995, 2, u"10,00" }, { &danish, 1234.5, 2, u"1234,50" },
             { &danish, -2.125, 2, u"-2,13" }, { &danish, -0.001, 2, u"0,00" }, { &danish, 59.5, 0, u"60" } })
        EXPECT_EQ(format->formatFixed(value, decimals), QString::fromUtf16(text)) << value;
}

TEST(NumberFormat, ASingleMarkIsTheDecimalMarkInEveryLocaleAndARepeatedOneGroups)
{
    const struct {
        const char16_t* text;
        double value;
    } cases[] = { { u"12,5", 12.5 }, { u" 12.5 ", 12.5 }, { u"0,125", 0.125 }, { u"-0,125", -0.125 },
        { u"1,125", 1.125 }, { u"1.125", 1.125 }, { u"-1", -1 }, { u"+3", 3 }, { u"1.000.000", 1e6 },
        { u"1,000,000", 1e6 }, { u"1.234,5", 1234.5 }, { u"1,234.5", 1234.5 },
        { u"-1.234.567,25", -1234567.25 }, { u"1,234,567.25", 1234567.25 } };
    for (const NumberFormat* format : { &danish, &english }) {
        for (const auto& c : cases)
            EXPECT_EQ(parsed(*format, c.text), c.value) << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(NumberFormat, TextsThatAreNotNumbersDoNotConvert)
{
    for (const NumberFormat* format : { &danish, &english }) {
        for (const char16_t* text : { u"", u"  ", u"abc", u"12,5,3", u"1.2.3", u"1e5", u"12 kr", u"--1",
                 u"1,23,4", u"12.34,5", u"1.234,5,6", u",", u"nan", u"inf", u"1e400" }) {
            EXPECT_FALSE(format->parseFraction(QString::fromUtf16(text)).has_value())
                << QString::fromUtf16(text).toStdString();
        }
    }
}

TEST(NumberFormat, EveryWrittenFractionReadsBackExactlyInEitherLocale)
{
    for (const double value :
        { 0.0, 12.5, -1.0, 0.1, 1.0 / 3.0, 1.125, 4711.125, 0.30000000000000004, 1e15 }) {
        for (const NumberFormat* writer : { &danish, &english }) {
            for (const NumberFormat* reader : { &danish, &english })
                EXPECT_EQ(reader->parseFraction(writer->formatFraction(value)), value) << value;
        }
    }
}

TEST(NumberFormat, WholeNumbersRoundHalvesToEvenAndKeepTheirRange)
{
    EXPECT_EQ(danish.parseWhole(QStringLiteral("-1"), -32768, 32767), -1);
    EXPECT_EQ(danish.parseWhole(QStringLiteral("2,5"), -32768, 32767), 2);
    EXPECT_EQ(danish.parseWhole(QStringLiteral("3,5"), -32768, 32767), 4);
    EXPECT_EQ(danish.parseWhole(QStringLiteral("32767"), -32768, 32767), 32767);
    EXPECT_FALSE(danish.parseWhole(QStringLiteral("32768"), -32768, 32767).has_value());
    EXPECT_FALSE(danish.parseWhole(QStringLiteral("-1"), 0, 255).has_value());
    EXPECT_FALSE(danish.parseWhole(QStringLiteral("two"), 0, 255).has_value());
}

TEST(NumberFormat, DatesInTheirStoredAndCarriedOverForms)
{
    EXPECT_EQ(NumberFormat::formatDate(QDate(1980, 1, 1)), QStringLiteral("1980-01-01"));
    const struct {
        const NumberFormat* format;
        const char16_t* text;
        QDate date; // not a date when invalid
    } cases[] = { { &danish, u"2026-12-06", QDate(2026, 12, 6) },
        { &english, u"2026-12-06", QDate(2026, 12, 6) }, { &danish, u"01-01-80", QDate(1980, 1, 1) },
        { &danish, u"15-03-29", QDate(2029, 3, 15) }, { &danish, u"15-03-30", QDate(1930, 3, 15) },
        { &danish, u"05-06-2007", QDate(2007, 6, 5) }, { &english, u"5.6.07", QDate(2007, 6, 5) },
        // With "/" the locale's short form comes first: month first in the US, not in Denmark.
        { &english, u"1/2/2003", QDate(2003, 1, 2) }, { &english, u"12/31/99", QDate(1999, 12, 31) },
        { &english, u"1/2/03", QDate(2003, 1, 2) }, { &english, u"13/2/2003", QDate(2003, 2, 13) },
        { &danish, u"1/2/2003", QDate(2003, 2, 1) }, { &english, u"2/30/2003", QDate() },
        { &danish, u"", QDate() }, { &danish, u"31-02-99", QDate() }, { &danish, u"2026-13-01", QDate() },
        { &danish, u"yesterday", QDate() }, { &danish, u"1-2-3", QDate() } };
    for (const auto& c : cases) {
        EXPECT_EQ(c.format->parseDate(QString::fromUtf16(c.text)).value_or(QDate()), c.date)
            << QString::fromUtf16(c.text).toStdString();
    }
}
