#include "config/TariffFile.h"

#include "core/FieldRules.h"

#include "core/NumberFormat.h"
#include "platform/FileAccess.h"

#include <QDir>
#include <QList>
#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>

namespace ringtally::TariffFile {

namespace {

using namespace Qt::StringLiterals;

// One list feeds both directions, so the reader takes the values back in exactly the order and
// types the writer wrote them. The type says what a value is: quint8 a period count, double a
// price, qint16 minutes, QString a period start.
template <typename SchemeRecord, typename Visitor> void visitTariff(SchemeRecord& scheme, Visitor&& visit)
{
    for (auto& day : scheme.Days) {
        visit(day.NumberOfPeriods);
        for (int k = 0; k < kPeriodCount; ++k) {
            visit(day.MinutePrice[size_t(k)]);
            visit(day.MinutePrice[size_t(k + kPeriodCount)]);
            visit(day.MinBeforeCallFee[size_t(k)]);
            visit(day.CallFee[size_t(k)]);
            visit(day.PeriodStart[size_t(k)]);
            visit(scheme.ReducedPriceAfter);
        }
    }
}

// What is wrong with a line's text as the value it stands for; nothing when it is right.
using Problem = std::optional<QString>;

Problem takeNumber(const QString& text, double& number)
{
    bool ok = false;
    number = text.toDouble(&ok); // always a period, never digit grouping
    if (!ok || !std::isfinite(number))
        return u"\"%1\" is not a number"_s.arg(text);
    if (number < 0)
        return u"%1 is negative; prices and minutes cannot be"_s.arg(text);
    return {};
}

Problem takeWhole(const QString& text, double& number, double max)
{
    if (Problem problem = takeNumber(text, number))
        return problem;
    if (number != std::floor(number) || number > max)
        return u"\"%1\" is not a whole number from 0 to %2"_s.arg(text).arg(max);
    return {};
}

Problem take(const QString& text, double& price)
{
    if (Problem problem = takeNumber(text, price))
        return problem;
    // No price a field takes is higher. (More decimals than a field takes are read as they are:
    // a file of this program's may hold them.)
    if (price > FieldRules::kMaxPrice)
        return u"%1 is more than the highest price, %2"_s.arg(
            text, QString::number(FieldRules::kMaxPrice, 'f', 3));
    return {};
}

Problem take(const QString& text, qint16& minutes)
{
    double number = 0;
    if (Problem problem = takeWhole(text, number, std::numeric_limits<qint16>::max()))
        return problem;
    minutes = qint16(number);
    return {};
}

Problem take(const QString& text, quint8& periods)
{
    double number = 0;
    if (Problem problem = takeWhole(text, number, kPeriodCount))
        return problem;
    if (number < 1)
        return u"%1 periods; a day has 1 to %2"_s.arg(text).arg(kPeriodCount);
    periods = quint8(number);
    return {};
}

Problem take(const QString& text, QString& start)
{
    QString time = text;
    if (time.size() >= 2 && time.startsWith(u'"') && time.endsWith(u'"'))
        time = time.mid(1, time.size() - 2);
    static const QRegularExpression timeOfDay(u"^([01][0-9]|2[0-3]):[0-5][0-9]$"_s);
    const bool ok = timeOfDay.match(time).hasMatch();
    if (!ok)
        return u"%1 is not a time of day (HH:MM)"_s.arg(text);
    start = time;
    return {};
}

} // namespace

Status write(const QString& path, const Scheme& scheme)
{
    const NumberFormat periods { QLocale::c() };
    QByteArray bytes;
    visitTariff(scheme, [&](const auto& field) {
        using Field = std::decay_t<decltype(field)>;
        if constexpr (std::is_same_v<Field, QString>)
            bytes += '"' + field.toUtf8() + '"';
        else if constexpr (std::is_integral_v<Field>)
            bytes += QByteArray::number(field);
        else
            bytes += periods.formatFraction(field).toUtf8();
        bytes += "\r\n";
    });
    if (const Result<FileStamp> replaced = replaceFileAtomically(path, bytes); !replaced)
        return Error { u"The tariff file %1 was not saved. %2"_s.arg(
            QDir::toNativeSeparators(path), replaced.message()) };
    return Status::success();
}

Status read(const QString& path, Scheme& scheme)
{
    const QString shown = QDir::toNativeSeparators(path);
    const Result<FileContents> contents = readWholeFile(path);
    if (!contents)
        return contents.status();
    if (!contents.value().stamp.exists)
        return Error { u"The tariff file %1 does not exist"_s.arg(shown) };

    QList<QByteArray> lines = contents.value().bytes.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();

    // Into a copy first: the scheme changes only once every value has been read and checked.
    Scheme loaded = scheme;
    qsizetype lineNumber = 0;
    Problem problem;
    visitTariff(loaded, [&](auto& field) {
        if (problem)
            return;
        if (lineNumber >= lines.size()) {
            ++lineNumber;
            problem = u"the file ends before this line; a tariff file has %1 lines"_s.arg(kValueCount);
            return;
        }
        problem = take(QString::fromUtf8(lines[lineNumber++].trimmed()), field);
    });
    if (!problem && lineNumber < lines.size()) {
        ++lineNumber;
        problem = u"a tariff file has only %1 lines"_s.arg(kValueCount);
    }
    if (problem)
        return Error { u"%1, line %2: %3"_s.arg(shown).arg(lineNumber).arg(*problem) };

    scheme.Days = loaded.Days;
    scheme.ReducedPriceAfter = loaded.ReducedPriceAfter;
    return Status::success();
}

} // namespace ringtally::TariffFile
