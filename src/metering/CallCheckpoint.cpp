#include "metering/CallCheckpoint.h"

#include "core/NumberFormat.h"
#include "platform/FileAccess.h"

#include <QHash>

#include <cmath>
#include <utility>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

constexpr QByteArrayView kVersionLine = "Version=1";
constexpr QByteArrayView kEndLine = "End";

// One list feeds both the writer and the reader. Each row's hours and minutes texts, its price
// text, and the figures they show.
struct Row {
    const char* hours;
    QString StatusTexts::*hoursText;
    const char* minutes;
    QString StatusTexts::*minutesText;
    const char* price;
    QString StatusTexts::*priceText;
    qint64 MeterFigures::*minutesFigure;
    qint64 MeterFigures::*centsFigure;
};
constexpr Row kRows[] = {
    { "NuvTimer", &StatusTexts::NuvTimer, "NuvMinutter", &StatusTexts::NuvMinutter, "NuvPris",
        &StatusTexts::NuvPris, &MeterFigures::callMinutes, &MeterFigures::callPriceCents },
    { "DagTimer", &StatusTexts::DagTimer, "DagMinutter", &StatusTexts::DagMinutter, "DagPris",
        &StatusTexts::DagPris, &MeterFigures::dayMinutes, &MeterFigures::dayPriceCents },
    { "TotTimer", &StatusTexts::TotTimer, "TotMinutter", &StatusTexts::TotMinutter, "TotPris",
        &StatusTexts::TotPris, &MeterFigures::totalMinutes, &MeterFigures::totalPriceCents },
};
constexpr std::pair<const char*, qint64 MeterFigures::*> kFigures[] = {
    { "CallSeconds", &MeterFigures::callSeconds },
    { "CallMinutes", &MeterFigures::callMinutes },
    { "CallPriceCents", &MeterFigures::callPriceCents },
    { "DayMinutes", &MeterFigures::dayMinutes },
    { "DayPriceCents", &MeterFigures::dayPriceCents },
    { "TotalMinutes", &MeterFigures::totalMinutes },
    { "TotalPriceCents", &MeterFigures::totalPriceCents },
};

std::optional<qint64> wholeNumber(const QString& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

// The reason as the sentence the user is shown.
Error refused(const QString& why)
{
    return Error { why + u'.' };
}

} // namespace

QByteArray CallCheckpoint::serialize() const
{
    QString text = QString::fromLatin1(kVersionLine) + u'\n';
    const auto add = [&text](const char* key, const QString& value) {
        text += QLatin1StringView(key) + u'=' + value + u'\n';
    };
    add("Moment", moment.toString(Qt::ISODate));
    add("Day", day.toString(Qt::ISODate));
    add("Scheme", schemeName);
    for (const Row& row : kRows) {
        add(row.hours, texts.*row.hoursText);
        add(row.minutes, texts.*row.minutesText);
        add(row.price, texts.*row.priceText);
    }
    for (const auto& [key, figure] : kFigures)
        add(key, QString::number(figures.*figure));
    if (const std::optional<ByteCounts> carried = figures.bytes()) {
        add("ReceivedBytes", QString::number(carried->received));
        add("SentBytes", QString::number(carried->sent));
    }
    if (partStart.isValid())
        add("PartStart", partStart.toString(Qt::ISODate));
    if (!endLine.isEmpty())
        add("EndLine", endLine);
    return text.toUtf8() + kEndLine.toByteArray() + '\n';
}

Result<CallCheckpoint> CallCheckpoint::parse(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    if (lines.isEmpty() || lines.first() != kVersionLine)
        return refused(u"Its first line is not %1"_s.arg(QString::fromLatin1(kVersionLine)));
    if (lines.last() != kEndLine)
        return refused(
            u"Its last line is not %1: it may have been cut short"_s.arg(QString::fromLatin1(kEndLine)));
    QHash<QByteArray, QString> values;
    for (const QByteArray& line : lines.mid(1, lines.size() - 2)) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 1)
            return refused(u"The line \"%1\" is no Key=Value line"_s.arg(QString::fromUtf8(line)));
        values.insert(line.first(equals), QString::fromUtf8(line.sliced(equals + 1)));
    }
    const auto value = [&values](const char* key) { return values.value(QByteArray(key)); };
    const auto missing = [&values](const char* key) { return !values.contains(QByteArray(key)); };
    const auto bad = [](const char* key) {
        return refused(u"%1 is missing or not valid"_s.arg(QLatin1StringView(key)));
    };

    CallCheckpoint c;
    c.moment = QDateTime::fromString(value("Moment"), Qt::ISODate);
    c.day = QDate::fromString(value("Day"), Qt::ISODate);
    if (!c.moment.isValid())
        return bad("Moment");
    if (!c.day.isValid())
        return bad("Day");
    if (missing("Scheme"))
        return bad("Scheme");
    c.schemeName = value("Scheme");
    // Files written before these two were kept lack them.
    if (!missing("PartStart")) {
        c.partStart = QDateTime::fromString(value("PartStart"), Qt::ISODate);
        if (!c.partStart.isValid())
            return bad("PartStart");
    }
    c.endLine = value("EndLine");
    for (const auto& [key, figure] : kFigures) {
        const std::optional<qint64> number = wholeNumber(value(key));
        if (!number)
            return bad(key);
        c.figures.*figure = *number;
    }
    // A call whose link has no counters, and a file from before they were kept, lack the bytes.
    if (!missing("ReceivedBytes") || !missing("SentBytes")) {
        const std::optional<qint64> received = wholeNumber(value("ReceivedBytes"));
        const std::optional<qint64> sent = wholeNumber(value("SentBytes"));
        if (!received || *received < 0)
            return bad("ReceivedBytes");
        if (!sent || *sent < 0)
            return bad("SentBytes");
        c.figures.setBytes(ByteCounts { *received, *sent });
    }
    // The texts are logged and the figures counted: they must tell the same. A price reads in
    // any locale's decimal mark, as the program that wrote it may have run under another.
    const NumberFormat anyMark(QLocale::c());
    for (const Row& row : kRows) {
        c.texts.*row.hoursText = value(row.hours);
        c.texts.*row.minutesText = value(row.minutes);
        c.texts.*row.priceText = value(row.price);
        const std::optional<qint64> hours = wholeNumber(value(row.hours));
        const std::optional<qint64> minutes = wholeNumber(value(row.minutes));
        if (!hours || !minutes || *hours * 60 + *minutes != c.figures.*row.minutesFigure)
            return bad(row.minutes);
        const std::optional<double> price = anyMark.parseFraction(value(row.price));
        // A hundredth apart at most: the text rounds the decimal number, the figure the binary one.
        if (!price || std::abs(std::llround(*price * 100) - c.figures.*row.centsFigure) > 1)
            return bad(row.price);
    }
    return c;
}

QString CallCheckpoint::partName() const
{
    return partStart.isValid() ? partStart.toString(Qt::ISODate) : QString();
}

Status CallCheckpointFile::write(const CallCheckpoint& checkpoint) const
{
    return replaceFileAtomically(path_, checkpoint.serialize()).status();
}

Result<std::optional<QByteArray>> CallCheckpointFile::read() const
{
    Result<FileContents> contents = readWholeFile(path_);
    if (!contents)
        return Error { contents.message() };
    if (!contents.value().stamp.exists)
        return std::optional<QByteArray>();
    return std::optional<QByteArray>(std::move(contents).value().bytes);
}

Status CallCheckpointFile::remove() const
{
    return removeFile(path_);
}

} // namespace ringtally
