#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

#include <optional>

namespace ringtally {

/// The user's number and date format for the settings file: numbers with a fraction use the
/// locale's decimal separator and no digit grouping. Reading takes a single "," or "." as the
/// decimal mark in any locale, so a file written under another locale still reads; a mark
/// repeated ("1.000.000") or followed by the other ("1.234,5") is grouping.
class NumberFormat {
public:
    /// The format of the user's locale, as the environment sets it.
    NumberFormat();
    explicit NumberFormat(const QLocale& locale);

    /// The locale's decimal separator.
    QString decimalSeparator() const { return decimal_; }

    /// The shortest text that reads back as the same number ("12,5", "-1", "0,1").
    QString formatFraction(double value) const;
    /// The number with exactly decimals digits after the separator, rounded half away from zero
    /// ("0,00", "2,13"); no digit grouping.
    QString formatFixed(double value, int decimals) const;
    /// A number with an optional fraction, or nothing when the text is not one.
    std::optional<double> parseFraction(const QString& text) const;

    /// A whole number: the text's value rounded to the nearest integer (halves to even), or
    /// nothing when it is not a number or lies outside min..max.
    std::optional<qint64> parseWhole(const QString& text, qint64 min, qint64 max) const;

    /// The date as the settings file stores it (ISO 8601, "2026-12-06").
    static QString formatDate(const QDate& date);
    /// A stored date: ISO 8601; with "/" in the order of the locale's short date form when that
    /// form uses "/" ("1/2/2003" is 2 January in the US); "dd-mm-yyyy" or "dd-mm-yy" (00-29 are
    /// 2000-2029, 30-99 are 1930-1999; "." and "/" also separate); or the locale's short date format.
    std::optional<QDate> parseDate(const QString& text) const;

private:
    QLocale locale_;
    QString decimal_;
    QString slashDateOrder_; // "Mdy" for "M/d/yy"; empty for a short date form without "/"
};

} // namespace ringtally
