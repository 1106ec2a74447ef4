#include "config/TariffFile.h"

#include "core/FieldRules.h"

#include "core/NumberFormat.h"
#include "platform/FileAccess.h"

#include <QDir>
#include <QFileInfo>
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

// Picks the message of the window's language.
struct Say {
    bool english;
    QString operator()(const QString& danish, const QString& inEnglish) const
    {
        return english ? inEnglish : danish;
    }
};

Problem takeNumber(const QString& text, double& number, Say say)
{
    bool ok = false;
    number = text.toDouble(&ok); // always a period, never digit grouping
    if (!ok || !std::isfinite(number))
        return say(u"\"%1\" er ikke et tal"_s, u"\"%1\" is not a number"_s).arg(text);
    if (number < 0)
        return say(u"%1 er negativ, hvad priser og minutter ikke kan være"_s,
            u"%1 is negative; prices and minutes cannot be"_s)
            .arg(text);
    return {};
}

Problem takeWhole(const QString& text, double& number, double max, Say say)
{
    if (Problem problem = takeNumber(text, number, say))
        return problem;
    if (number != std::floor(number) || number > max)
        return say(
            u"\"%1\" er ikke et helt tal fra 0 til %2"_s, u"\"%1\" is not a whole number from 0 to %2"_s)
            .arg(text)
            .arg(max);
    return {};
}

Problem take(const QString& text, double& price, Say say)
{
    if (Problem problem = takeNumber(text, price, say))
        return problem;
    // No price a field takes is higher. (More decimals than a field takes are read as they are:
    // a file of this program's may hold them.)
    if (price > FieldRules::kMaxPrice)
        return say(u"%1 er mere end den højeste pris, %2"_s, u"%1 is more than the highest price, %2"_s)
            .arg(text, QString::number(FieldRules::kMaxPrice, 'f', 3));
    return {};
}

Problem take(const QString& text, qint16& minutes, Say say)
{
    double number = 0;
    if (Problem problem = takeWhole(text, number, std::numeric_limits<qint16>::max(), say))
        return problem;
    minutes = qint16(number);
    return {};
}

Problem take(const QString& text, quint8& periods, Say say)
{
    double number = 0;
    if (Problem problem = takeWhole(text, number, kPeriodCount, say))
        return problem;
    if (number < 1)
        return say(u"%1 perioder; en dag har 1 til %2"_s, u"%1 periods; a day has 1 to %2"_s)
            .arg(text)
            .arg(kPeriodCount);
    periods = quint8(number);
    return {};
}

Problem take(const QString& text, QString& start, Say say)
{
    QString time = text;
    if (time.size() >= 2 && time.startsWith(u'"') && time.endsWith(u'"'))
        time = time.mid(1, time.size() - 2);
    static const QRegularExpression timeOfDay(u"^([01][0-9]|2[0-3]):[0-5][0-9]$"_s);
    const bool ok = timeOfDay.match(time).hasMatch();
    if (!ok)
        return say(u"%1 er ikke et klokkeslæt (TT:MM)"_s, u"%1 is not a time of day (HH:MM)"_s).arg(text);
    start = time;
    return {};
}

} // namespace

Status write(const QString& path, const Scheme& scheme, bool english)
{
    const Say say { english };
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
        return Error { say(u"Takstfilen %1 blev ikke gemt. %2"_s, u"The tariff file %1 was not saved. %2"_s)
                           .arg(QDir::toNativeSeparators(path), replaced.message()) };
    return Status::success();
}

Status read(const QString& path, Scheme& scheme, bool english)
{
    const Say say { english };
    const QString shown = QDir::toNativeSeparators(path);
    // Looked at before anything is read: a FIFO or a device would never end, and a huge file
    // would hold the program up, while a tariff file is a few hundred bytes.
    const QFileInfo info(path);
    if (!info.exists())
        return Error {
            say(u"Takstfilen %1 findes ikke"_s, u"The tariff file %1 does not exist"_s).arg(shown)
        };
    if (!info.isFile())
        return Error { say(u"%1 er ikke en almindelig fil og kan ikke være en takstfil"_s,
            u"%1 is not a regular file and cannot be a tariff file"_s)
                           .arg(shown) };
    if (info.size() > kLargestFileBytes)
        return Error { say(u"%1 er større end %2 KB og er ikke en takstfil"_s,
            u"%1 is larger than %2 KB and is no tariff file"_s)
                           .arg(shown)
                           .arg(kLargestFileBytes / 1024) };
    const Result<FileContents> contents = readWholeFile(path);
    if (!contents)
        return Error { say(
            u"Takstfilen %1 kunne ikke læses. %2"_s, u"The tariff file %1 could not be read. %2"_s)
                           .arg(shown, contents.message()) };
    if (!contents.value().stamp.exists)
        return Error {
            say(u"Takstfilen %1 findes ikke"_s, u"The tariff file %1 does not exist"_s).arg(shown)
        };

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
            problem = say(u"filen slutter før denne linje; en takstfil har %1 linjer"_s,
                u"the file ends before this line; a tariff file has %1 lines"_s)
                          .arg(kValueCount);
            return;
        }
        problem = take(QString::fromUtf8(lines[lineNumber++].trimmed()), field, say);
    });
    if (!problem && lineNumber < lines.size()) {
        ++lineNumber;
        problem
            = say(u"en takstfil har kun %1 linjer"_s, u"a tariff file has only %1 lines"_s).arg(kValueCount);
    }
    if (problem)
        return Error {
            say(u"%1, linje %2: %3"_s, u"%1, line %2: %3"_s).arg(shown).arg(lineNumber).arg(*problem)
        };

    scheme.Days = loaded.Days;
    scheme.ReducedPriceAfter = loaded.ReducedPriceAfter;
    return Status::success();
}

} // namespace ringtally::TariffFile
