#include "history/CallHistory.h"

#include "core/TextCodec.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <optional>

namespace ringtally {

namespace {

// The part after a split is timed from the split's tick, and its line drops the seconds of its
// last minute, so it starts up to a minute after the split; the rest is room for a wall clock
// that was set while the call ran.
constexpr qint64 kPairingSeconds = 2 * 60;

// One readable line.
struct Record {
    QDateTime at;
    QString scheme;
    qint64 minutes = 0;
    qint64 priceCents = 0;
    bool split = false;
    bool recovered = false;
    qint64 receivedBytes = -1;
    qint64 sentBytes = -1;
};

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A number of 1 to maxDigits digits and nothing else.
std::optional<qint64> digits(QStringView text, qsizetype maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// A price in hundredths. The program writes digits, a decimal mark and two decimals: the mark is
// read exactly whichever it is. Anything else (grouping from a hand edit, more decimals) goes
// through the settings' number reading and is rounded to hundredths.
std::optional<qint64> cents(QStringView text, const NumberFormat& format)
{
    const bool negative = text.startsWith(u'-');
    const QStringView unsigned_ = negative ? text.sliced(1) : text;
    qsizetype mark = unsigned_.indexOf(u',');
    if (mark < 0)
        mark = unsigned_.indexOf(u'.');
    if (mark < 0 && format.decimalSeparator().size() == 1)
        mark = unsigned_.indexOf(format.decimalSeparator().front());
    const QStringView whole = mark < 0 ? unsigned_ : unsigned_.first(mark);
    const QStringView fraction = mark < 0 ? QStringView() : unsigned_.sliced(mark + 1);
    const std::optional<qint64> units = digits(whole, 13);
    const std::optional<qint64> hundredths = fraction.isEmpty() ? 0 : digits(fraction, 2);
    if (units && hundredths && (mark < 0 || !fraction.isEmpty())) {
        const qint64 value = *units * 100 + (fraction.size() == 1 ? *hundredths * 10 : *hundredths);
        return negative ? -value : value;
    }
    const std::optional<double> value = format.parseFraction(text.toString());
    if (!value || std::fabs(*value) > 1e13)
        return std::nullopt;
    return std::llround(*value * 100);
}

// "H:mm", "H:mm:ss", either with "AM" or "PM" after it.
QTime timeOfDay(QStringView text)
{
    int twelveHour = 0; // 1 for AM, 2 for PM
    if (text.endsWith(u"AM", Qt::CaseInsensitive) || text.endsWith(u"PM", Qt::CaseInsensitive)) {
        twelveHour = text.endsWith(u"AM", Qt::CaseInsensitive) ? 1 : 2;
        text = text.chopped(2).trimmed();
    }
    const qsizetype colon = text.indexOf(u':');
    const QStringView rest = colon < 0 ? QStringView() : text.sliced(colon + 1);
    const bool withSeconds = rest.size() == 5 && rest[2] == u':';
    if (rest.size() != 2 && !withSeconds)
        return {};
    const std::optional<qint64> hour = digits(text.first(std::max<qsizetype>(colon, 0)), 2);
    const std::optional<qint64> minute = digits(rest.first(2), 2);
    const std::optional<qint64> second = withSeconds ? digits(rest.sliced(3), 2) : 0;
    if (!hour || !minute || !second)
        return {};
    int h = int(*hour);
    if (twelveHour != 0) {
        if (h < 1 || h > 12)
            return {};
        h = h % 12 + (twelveHour == 2 ? 12 : 0);
    }
    return QTime(h, int(*minute), int(*second)); // invalid when out of range
}

// Local times as moments that know their offset from UTC. Qt's local time asks the C library at
// each conversion, which looks at the zone file on disk every time: far too slow for a log of
// 100,000 lines. The offset is asked for once per day instead, and used for the whole day unless
// it changes during the day.
class LocalTimes {
public:
    QDateTime at(const QDate& date, const QTime& time)
    {
        if (const std::optional<int> offset = dayOffset(date))
            return QDateTime(date, time, Qt::OffsetFromUTC, *offset);
        return withOffset(QDateTime(date, time));
    }

    /// The moment seconds before moment.
    QDateTime before(const QDateTime& moment, qint64 seconds)
    {
        const QDateTime earlier = moment.addSecs(-seconds);
        if (dayOffset(earlier.date()) == moment.offsetFromUtc())
            return earlier;
        return withOffset(QDateTime::fromMSecsSinceEpoch(earlier.toMSecsSinceEpoch()));
    }

private:
    static QDateTime withOffset(const QDateTime& local)
    {
        return local.toOffsetFromUtc(local.offsetFromUtc());
    }

    // The offset in force all day, or nothing when it changes during the day.
    std::optional<int> dayOffset(const QDate& date)
    {
        const auto known = days_.constFind(date.toJulianDay());
        if (known != days_.cend())
            return *known;
        const int first = QDateTime(date, QTime(0, 0)).offsetFromUtc();
        const int last = QDateTime(date, QTime(23, 59, 59)).offsetFromUtc();
        const std::optional<int> offset = first == last ? std::optional<int>(first) : std::nullopt;
        days_.insert(date.toJulianDay(), offset);
        return offset;
    }

    QHash<qint64, std::optional<int>> days_;
};

// The first field's text between the number signs: a date, and a time unless it is midnight.
std::optional<QDateTime> moment(QStringView text, const NumberFormat& format, LocalTimes& localTimes)
{
    const qsizetype blank = text.indexOf(u' ');
    const QStringView datePart = blank < 0 ? text : text.first(blank);
    const QStringView timePart = blank < 0 ? QStringView() : text.sliced(blank + 1).trimmed();
    QDate date;
    // The form this program writes, read without the slower general reading.
    if (datePart.size() == 10 && datePart[4] == u'-' && datePart[7] == u'-') {
        const auto year = digits(datePart.first(4), 4);
        const auto month = digits(datePart.sliced(5, 2), 2);
        const auto day = digits(datePart.sliced(8, 2), 2);
        if (year && month && day)
            date = QDate(int(*year), int(*month), int(*day));
    } else if (const std::optional<QDate> other = format.parseDate(datePart.toString())) {
        date = *other;
    }
    const QTime time = timePart.isEmpty() ? QTime(0, 0) : timeOfDay(timePart);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return localTimes.at(date, time);
}

// The few scheme names of a log, each kept once and shared by every call on it. A log of many
// names (not one of ours) has its names kept one by one after the first few.
class Names {
public:
    QString get(QStringView name)
    {
        for (const QString& known : names_) {
            if (known == name)
                return known;
        }
        if (names_.size() >= kShared)
            return name.toString();
        names_.push_back(name.toString());
        return names_.back();
    }

private:
    static constexpr size_t kShared = 32;
    std::vector<QString> names_;
};

// Takes `,"text"` off the end of rest and gives the text.
std::optional<QStringView> takeLastQuoted(QStringView& rest)
{
    if (rest.size() < 3 || rest.back() != u'"')
        return std::nullopt;
    const qsizetype open = rest.lastIndexOf(u'"', rest.size() - 2);
    if (open < 1 || rest[open - 1] != u',')
        return std::nullopt;
    const QStringView text = rest.sliced(open + 1, rest.size() - open - 2);
    rest = rest.first(open - 1);
    return text;
}

// Takes `,digits` off the end of rest and gives the number.
std::optional<qint64> takeLastNumber(QStringView& rest)
{
    const qsizetype comma = rest.lastIndexOf(u',');
    if (comma < 0)
        return std::nullopt;
    const std::optional<qint64> number = digits(rest.sliced(comma + 1), 18);
    if (number)
        rest = rest.first(comma);
    return number;
}

// Hours, minutes (below 60) and a price: the current or the day's figures.
bool figures(QStringView hours, QStringView minutes, QStringView price, const NumberFormat& format,
    qint64* totalMinutes, qint64* priceCents)
{
    const std::optional<qint64> h = digits(hours, 6);
    const std::optional<qint64> m = digits(minutes, 2);
    const std::optional<qint64> p = cents(price, format);
    if (!h || !m || *m >= 60 || !p)
        return false;
    *totalMinutes = *h * 60 + *m;
    *priceCents = *p;
    return true;
}

// The fields are read from both ends: a scheme name may hold commas and unescaped quotes, the
// figures after it never do.
std::optional<Record> parseLine(QStringView line, const NumberFormat& format, const QStringList& schemeNames,
    LocalTimes& localTimes, Names& names)
{
    Record record;
    QStringView rest = line;
    // The bytes, where the line has them, are its last two fields.
    if (!rest.endsWith(u'"')) {
        const std::optional<qint64> sent = takeLastNumber(rest);
        const std::optional<qint64> received = sent ? takeLastNumber(rest) : std::nullopt;
        if (!received)
            return std::nullopt;
        record.receivedBytes = *received;
        record.sentBytes = *sent;
    }
    std::optional<QStringView> last = takeLastQuoted(rest);
    if (last && *last == QStringView(kRecoveredField)) {
        record.recovered = true;
        last = takeLastQuoted(rest);
    }
    std::optional<QStringView> fields[6];
    fields[5] = last;
    for (int i = 4; i >= 0 && fields[i + 1]; --i)
        fields[i] = takeLastQuoted(rest);
    if (!fields[0])
        return std::nullopt;
    qint64 dayMinutes = 0;
    qint64 dayCents = 0;
    if (!figures(*fields[0], *fields[1], *fields[2], format, &record.minutes, &record.priceCents)
        || !figures(*fields[3], *fields[4], *fields[5], format, &dayMinutes, &dayCents))
        return std::nullopt;

    const qsizetype close = rest.indexOf(u'#', 1);
    if (!rest.startsWith(u'#') || close < 0 || close + 1 >= rest.size() || rest[close + 1] != u',')
        return std::nullopt;
    const std::optional<QDateTime> at = moment(rest.sliced(1, close - 1), format, localTimes);
    if (!at)
        return std::nullopt;
    record.at = *at;

    const QStringView scheme = rest.sliced(close + 2);
    if (scheme.size() >= 2 && scheme.front() == u'"' && scheme.back() == u'"') {
        record.scheme = names.get(scheme.sliced(1, scheme.size() - 2));
    } else if (scheme.size() == 1 && scheme[0] >= u'0' && scheme[0] <= u'2' && !record.recovered) {
        record.split = true;
        record.scheme = schemeNames.value(scheme[0].unicode() - u'0');
    } else {
        return std::nullopt;
    }
    return record;
}

// Most lines are ASCII: they need no decoder, and no new string either.
void decodeLine(QByteArrayView bytes, QString& line)
{
    line.resize(bytes.size());
    QChar* out = line.data();
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            line = decodeUtf8OrWindows1252(bytes);
            return;
        }
        *out++ = QLatin1Char(c);
    }
}

// Pairs split lines with the lines that go on from them, in the log's order.
class CallBuilder {
public:
    explicit CallBuilder(LocalTimes& localTimes) : localTimes_(localTimes) { }

    void add(const Record& record, int lineNumber)
    {
        const CallPart part { record.at, record.minutes, record.priceCents, record.split, lineNumber,
            record.receivedBytes, record.sentBytes };
        // Only one call runs at a time, so the line that starts when a split line ends goes on
        // from it, whatever it names: the scheme may have been renamed since the split, whose line
        // names it by number.
        if (open_ && std::abs(open_->end.secsTo(record.at) - record.minutes * 60) <= kPairingSeconds) {
            open_->end = record.at;
            open_->scheme = record.scheme;
            open_->minutes += record.minutes;
            open_->priceCents += record.priceCents;
            open_->recovered = record.recovered;
            open_->parts.push_back(part);
            addBytes(*open_, record);
        } else {
            closeOpen();
            open_ = Call { localTimes_.before(record.at, record.minutes * 60), record.at, record.scheme,
                record.minutes, record.priceCents, { part }, record.recovered, lineNumber,
                record.receivedBytes, record.sentBytes };
        }
        if (!record.split)
            closeOpen();
    }

    std::vector<Call> finish()
    {
        closeOpen();
        return std::move(calls_);
    }

private:
    // A call's bytes are known only when every part's are.
    static void addBytes(Call& call, const Record& record)
    {
        const bool known = call.receivedBytes >= 0 && record.receivedBytes >= 0;
        call.receivedBytes = known ? call.receivedBytes + record.receivedBytes : -1;
        call.sentBytes = known ? call.sentBytes + record.sentBytes : -1;
    }

    void closeOpen()
    {
        if (open_)
            calls_.push_back(std::move(*open_));
        open_.reset();
    }

    LocalTimes& localTimes_;
    std::vector<Call> calls_;
    std::optional<Call> open_; // a call whose last line so far is a split line
};

} // namespace

Result<CallHistory> readCallLog(
    const QString& path, const NumberFormat& format, const QStringList& schemeNames)
{
    Result<FileContents> file = readWholeFile(path);
    if (!file)
        return Error { file.message() };
    const QByteArray& bytes = file.value().bytes;

    CallHistory history;
    history.stamp = file.value().stamp;
    LocalTimes localTimes;
    CallBuilder builder(localTimes);
    Names names;
    QString line;
    int lineNumber = 0;
    for (qsizetype from = 0; from < bytes.size();) {
        qsizetype to = bytes.indexOf('\n', from);
        if (to < 0)
            to = bytes.size();
        QByteArrayView lineBytes(bytes.constData() + from, to - from);
        from = to + 1;
        ++lineNumber;
        if (lineBytes.endsWith('\r'))
            lineBytes.chop(1);
        decodeLine(lineBytes, line);
        const QStringView trimmed = QStringView(line).trimmed();
        if (trimmed.isEmpty())
            continue;
        if (const std::optional<Record> record = parseLine(trimmed, format, schemeNames, localTimes, names))
            builder.add(*record, lineNumber);
        else
            history.unreadable.push_back({ lineNumber, QString(line) });
    }
    history.calls = builder.finish();
    return history;
}

} // namespace ringtally
