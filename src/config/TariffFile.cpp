#include "config/TariffFile.h"

#include "core/FieldRules.h"

#include "core/NumberFormat.h"
#include "platform/FileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <array>
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
template <typename Day, typename Reduced, typename Visitor>
void visitDay(Day& day, Reduced& reduced, Visitor&& visit)
{
    visit(day.NumberOfPeriods);
    for (int k = 0; k < kPeriodCount; ++k) {
        visit(day.MinutePrice[size_t(k)]);
        visit(day.MinutePrice[size_t(k + kPeriodCount)]);
        visit(day.MinBeforeCallFee[size_t(k)]);
        visit(day.CallFee[size_t(k)]);
        visit(day.PeriodStart[size_t(k)]);
        visit(reduced);
    }
}

template <typename SchemeRecord, typename Visitor> void visitTariff(SchemeRecord& scheme, Visitor&& visit)
{
    for (auto& day : scheme.Days)
        visitDay(day, scheme.ReducedPriceAfter, visit);
}

// The line that starts the holiday day type's values, in the form of the other day types'.
constexpr char kHolidayDay[] = "Holiday day type";

// The newer rules, one "Name=value" line each after the day types, written only where they
// differ from their defaults: a file that uses none of them is a tariff file of old.
struct Rule {
    const char* name;
    double min;
    double max;
    double fallback;
    bool whole;
};
constexpr Rule kRules[] = {
    { "Holidays own tariff", 0, 1, 0, true },
    { "First block", 1, 3600, 1, true },
    { "Billing step", 1, 3600, 1, true },
    { "Price per MB", 0, 9999.999, 0, false },
    { "Data step KB", 1, 1'048'576, 1, true },
    { "Allowance MB", 0, 10'000'000, 0, true },
    { "Minimum price", 0, 9999.99, 0, false },
};

std::array<double, std::size(kRules)> rulesOf(const Scheme& s)
{
    return { s.HolidaysOwnTariff ? 1.0 : 0.0, double(s.FirstBlockSeconds), double(s.StepSeconds),
        s.PricePerMB, double(s.DataStepKB), double(s.AllowanceMB), s.MinimumPrice };
}

void setRules(Scheme& s, const std::array<double, std::size(kRules)>& r)
{
    s.HolidaysOwnTariff = r[0] != 0;
    s.FirstBlockSeconds = qint16(r[1]);
    s.StepSeconds = qint16(r[2]);
    s.PricePerMB = r[3];
    s.DataStepKB = qint32(r[4]);
    s.AllowanceMB = qint32(r[5]);
    s.MinimumPrice = r[6];
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
    const auto add = [&](const auto& field) {
        using Field = std::decay_t<decltype(field)>;
        if constexpr (std::is_same_v<Field, QString>)
            bytes += '"' + field.toUtf8() + '"';
        else if constexpr (std::is_integral_v<Field>)
            bytes += QByteArray::number(field);
        else
            bytes += periods.formatFraction(field).toUtf8();
        bytes += "\r\n";
    };
    visitTariff(scheme, add);
    if (scheme.HolidayDay) {
        bytes += QByteArray(kHolidayDay) + "\r\n";
        visitDay(*scheme.HolidayDay, scheme.ReducedPriceAfter, add);
    }
    const auto rules = rulesOf(scheme);
    for (size_t r = 0; r < rules.size(); ++r) {
        if (rules[r] != kRules[r].fallback)
            bytes += QByteArray(kRules[r].name) + '=' + periods.formatFraction(rules[r]).toUtf8() + "\r\n";
    }
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
    // Then the holiday day type and the newer rules, where the file has them.
    std::optional<DayTariff> holidayDay;
    auto rules = rulesOf(Scheme {});
    while (!problem && lineNumber < lines.size()) {
        const QString line = QString::fromUtf8(lines[lineNumber++].trimmed());
        if (line == QLatin1String(kHolidayDay) && !holidayDay) {
            holidayDay.emplace();
            qint16 reduced = 0;
            visitDay(*holidayDay, reduced, [&](auto& field) {
                if (problem)
                    return;
                if (lineNumber >= lines.size()) {
                    ++lineNumber;
                    problem = say(u"filen slutter midt i helligdagens takst"_s,
                        u"the file ends in the middle of the holiday tariff"_s);
                    return;
                }
                problem = take(QString::fromUtf8(lines[lineNumber++].trimmed()), field, say);
            });
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        const auto rule = std::find_if(std::begin(kRules), std::end(kRules), [&](const Rule& r) {
            return equals > 0 && line.left(equals).trimmed() == QLatin1String(r.name);
        });
        if (rule == std::end(kRules)) {
            problem = say(
                u"en takstfil har kun %1 linjer med dagenes takster, og \"%2\" er ingen af reglerne "
                u"efter dem"_s,
                u"a tariff file has only %1 lines of day tariffs, and \"%2\" is none of the rules after them"_s)
                          .arg(kValueCount)
                          .arg(line);
            break;
        }
        double value = 0;
        const QString text = line.mid(equals + 1).trimmed();
        problem = rule->whole ? takeWhole(text, value, rule->max, say) : takeNumber(text, value, say);
        if (!problem && (value < rule->min || value > rule->max))
            problem = say(u"%1 skal være fra %2 til %3"_s, u"%1 must be from %2 to %3"_s)
                          .arg(QLatin1String(rule->name))
                          .arg(rule->min)
                          .arg(rule->max);
        if (!problem)
            rules[size_t(rule - std::begin(kRules))] = value;
    }
    if (problem)
        return Error {
            say(u"%1, linje %2: %3"_s, u"%1, line %2: %3"_s).arg(shown).arg(lineNumber).arg(*problem)
        };

    scheme.Days = loaded.Days;
    scheme.ReducedPriceAfter = loaded.ReducedPriceAfter;
    // An old file loads the newer rules' defaults.
    scheme.HolidayDay = holidayDay;
    setRules(scheme, rules);
    return Status::success();
}

} // namespace ringtally::TariffFile
