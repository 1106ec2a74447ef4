#include "tools/PriceTool.h"

#include "core/ProfileFile.h"
#include "core/SettingsFile.h"
#include "platform/sim/SimulatedClock.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <random>
#include <set>
#include <tuple>

namespace ringtally {
namespace {

using test::TempFolder;

const QDate kMonday(2026, 1, 5);
const QDate kWednesday(2026, 1, 7);

class PriceToolTest : public ::testing::Test {
protected:
    static QString qs(const char* text) { return QString::fromUtf8(text); }
    // Arguments written as one text with "|" between them, so each case of a table fits on a line.
    static QStringList args(const char* joined) { return qs(joined).split(u'|'); }
    static bool matches(const QString& s, const char* re) { return s.contains(QRegularExpression(qs(re))); }

    // One period all day on every day type, so the price depends on the call-fee threshold only.
    static Scheme flatScheme(const char* name, double minutePrice, double callFee, qint16 minBeforeCallFee)
    {
        Scheme scheme;
        scheme.Name = qs(name);
        for (DayTariff& day : scheme.Days) {
            day.NumberOfPeriods = 1;
            day.CallFee[0] = callFee;
            day.MinBeforeCallFee[0] = minBeforeCallFee;
            day.MinutePrice[0] = minutePrice;
        }
        return scheme;
    }

    QString writeSettings(const Settings& settings, const char* name = "Ringtally.ini")
    {
        ProfileFile file(folder.file(qs(name)));
        EXPECT_TRUE(SettingsFile(file, danish).SaveSettings(settings).ok());
        return file.path();
    }

    ToolRun runWith(const QString& ini, const char* arguments)
    {
        return tool.run(args(arguments) << qs("--ini") << ini, folder.file(qs("nowhere.ini")));
    }

    TempFolder folder;
    NumberFormat danish { QLocale(QLocale::Danish) };
    PriceTool tool { danish };
};

TEST_F(PriceToolTest, BadInputGivesOneLineOnStandardErrorAndStatusTwo)
{
    const auto expectBadInput = [](const ToolRun& run, const char* what) {
        EXPECT_EQ(run.exitCode, 2) << what;
        EXPECT_TRUE(run.out.isEmpty()) << what;
        EXPECT_TRUE(matches(run.err, "^ringtally-price: [^\n]+\n\\z"))
            << what << ": " << run.err.toStdString();
    };
    Settings settings;
    settings.Schemes[0] = flatScheme("Flat", 0.5, 0, 0);
    const QString ini = writeSettings(settings);
    const char* call = "--scheme|0|--start|2026-01-05 12:00:00|--duration|90";
    // The same call without --ini reads the program's own settings file, and is good.
    EXPECT_EQ(tool.run(args(call), ini).exitCode, 0);
    // So are values after "=" and the longest call.
    const auto good = tool.parseArguments(args("--scheme=2|--start=2026-01-05 12:00:00|--duration=604800"));
    EXPECT_TRUE(good.ok() && good.value().scheme == 2 && good.value().duration == 604800);

    for (const char* bad : {
             "--scheme|0|--start|2026-01-05 12:00:00|--duration|90|--fast",
             "--scheme|3|--start|2026-01-05 12:00:00|--duration|90",
             "--scheme|one|--start|2026-01-05 12:00:00|--duration|90",
             "--scheme|0|--start|2026-01-05 12:00|--duration|90",
             "--scheme|0|--start|2026-02-30 12:00:00|--duration|90",
             "--scheme|0|--start|2026-01-05|12:00:00|--duration|90",
             "--scheme|0|--start|2026-01-05 12:00:00|--duration|0",
             "--scheme|0|--start|2026-01-05 12:00:00|--duration|604801",
             "--scheme|0|--duration|90",
             "--scheme|0|--start|2026-01-05 12:00:00",
             "--start|2026-01-05 12:00:00|--duration|90",
             "--compare|--scheme|0|--start|2026-01-05 12:00:00|--duration|90",
             "--scheme|0|--scheme|1|--start|2026-01-05 12:00:00|--duration|90",
             "--scheme|0|--start|2026-01-05 12:00:00|--duration",
         })
        expectBadInput(runWith(ini, bad), bad);

    expectBadInput(runWith(folder.file(qs("missing.ini")), call), "no settings file");
    expectBadInput(runWith(folder.path(), call), "a folder, not a file");
    expectBadInput(runWith(ini, "--scheme|1|--start|2026-01-05 12:00:00|--duration|90"), "unnamed scheme");
    settings.Schemes[0].Name.clear();
    expectBadInput(
        runWith(writeSettings(settings, "unnamed.ini"), "--compare|--start|2026-01-05 12:00:00|--duration|9"),
        "no named scheme to compare");
}

TEST_F(PriceToolTest, PricesAPlainCallAndStoresWhatTheCallEndWould)
{
    // 90 s at 0,50 a minute: 1,5 minutes = 0,75. The call fee of 1,00 is charged only from the
    // second whole minute, so it is not in this call's price.
    Settings settings;
    settings.Schemes[0] = flatScheme("Flat", 0.5, 1.0, 2);
    std::tie(settings.LastCallDate, settings.LastCallHours, settings.LastCallMinutes, settings.LastCallPrice)
        = std::tuple(kWednesday, 1, 59, 3.2);
    std::tie(settings.TotalHours, settings.TotalMinutes, settings.TotalPrice) = std::tuple(10, 30, 100.0);
    const QString ini = writeSettings(settings);

    // The day: 1:59 before and the call's one whole minute, 3,20 + 0,75; the total goes on likewise.
    const PricedCall call = tool.price(settings, 0, QDateTime(kWednesday, QTime(12, 0)), 90);
    const Settings& s = call.stored;
    EXPECT_EQ(std::tie(s.LastCallDate, s.LastCallHours, s.LastCallMinutes, s.LastCallPrice),
        std::tuple(kWednesday, 2, 0, 3.95));
    EXPECT_EQ(std::tie(s.TotalHours, s.TotalMinutes, s.TotalPrice), std::tuple(10, 31, 100.75));

    // The log line ends at 12:01:30; the summary counts the call's whole minute and its price.
    const ToolRun log = runWith(ini, "--scheme|0|--start|2026-01-07 12:00:00|--duration|90|--log");
    EXPECT_EQ(log.exitCode, 0);
    EXPECT_EQ(log.out, qs("#2026-01-07 12:01:30#,\"Flat\",\"00\",\"01\",\"0,75\",\"02\",\"00\",\"3,95\"\n"));
    EXPECT_TRUE(log.err.isEmpty());
    const QString summary = runWith(ini, "--scheme|0|--start|2026-01-07 12:00:00|--duration|90").out;
    EXPECT_TRUE(matches(summary,
        "Call:\\s+00:01\\s+0,75 kr\n"
        "Today:\\s+02:00\\s+3,95 kr\n"
        "Total:\\s+10:31\\s+100,75 kr\n"))
        << summary.toStdString();

    // Another locale, another decimal separator.
    const NumberFormat english { QLocale(QLocale::English, QLocale::UnitedStates) };
    EXPECT_TRUE(
        PriceTool(english).price(settings, 0, call.start, 90).logLines().front().contains(qs("\"0.75\"")));
}

TEST_F(PriceToolTest, DataArrivesEvenlyAndIsPricedAfterTheAllowanceTheLogOrTheUserGives)
{
    // 10,00 a MB in whole MB after 1 MB a month, no time price; 2,5 MB in 100 s.
    Settings settings;
    settings.Schemes[0] = flatScheme("Mobil", 0, 0, 0);
    std::tie(settings.Schemes[0].PricePerMB, settings.Schemes[0].DataStepKB, settings.Schemes[0].AllowanceMB)
        = std::tuple(10.0, 1024, 1);
    const QString ini = writeSettings(settings);
    const char* call = "--scheme|0|--start|2026-01-07 12:00:00|--duration|100|--bytes|2621440|--log";
    // Half the allowance used: 2 MB over it, exactly.
    EXPECT_EQ(runWith(ini, (call + std::string("|--used|0.5")).c_str()).out,
        qs("#2026-01-07 12:01:40#,\"Mobil\",\"00\",\"01\",\"20,00\",\"00\",\"01\",\"20,00\",2621440,0\n"));
    // The log beside the settings has 0,75 MB of this month's calls of the scheme (and some of
    // another's, and of last month's): a third MB begins.
    test::writePlain(folder.file(qs("Ringtally.log")),
        "#2026-01-03 10:00:00#,\"Mobil\",\"00\",\"10\",\"0,00\",\"00\",\"10\",\"0,00\",786000,432\n"
        "#2026-01-04 10:00:00#,\"Andet\",\"00\",\"10\",\"0,00\",\"00\",\"10\",\"0,00\",9000000,0\n"
        "#2025-12-20 10:00:00#,\"Mobil\",\"00\",\"10\",\"0,00\",\"00\",\"10\",\"0,00\",9000000,0\n");
    EXPECT_TRUE(runWith(ini, call).out.contains(qs("\"30,00\",2621440,0")));
    // A call of 1,25 MB with none of the allowance used: 0,25 MB over it, a whole MB charged.
    const PricedCall half
        = tool.price(settings, 0, QDateTime(kWednesday, QTime(12, 0)), 50, { 1'310'720, { 0 }, true });
    EXPECT_EQ(half.logLines().front().section(u'"', 7, 7), qs("10,00"));
    for (const char* bad : { "--bytes|1000000000001", "--bytes|-1", "--used|x" })
        EXPECT_EQ(
            runWith(ini, (std::string("--scheme|0|--start|2026-01-07 12:00:00|--duration|1|") + bad).c_str())
                .exitCode,
            PriceTool::kExitBadInput)
            << bad;
}

TEST_F(PriceToolTest, CallOverMidnightLogsTheSplitLineThenTheCallEnd)
{
    // Scheme 1, so that the split line's number differs from a default 0. From 23:57:30 the split
    // comes at the tick of 23:59:00: 1,00 fee + 1,5 minutes x 0,50 = 1,75. The rest, 90 s up to
    // 00:00:30, starts from zero with the fee paid: 1,5 x 0,50 = 0,75.
    Settings settings;
    settings.Schemes[1] = flatScheme("Flat", 0.5, 1.0, 0);
    const ToolRun log
        = runWith(writeSettings(settings), "--scheme|1|--start|2026-01-05 23:57:30|--duration|180|--log");
    EXPECT_EQ(log.exitCode, 0) << log.err.toStdString();
    EXPECT_EQ(log.out,
        qs("#2026-01-05 23:59:00#,1,\"00\",\"01\",\"1,75\",\"00\",\"01\",\"1,75\"\n"
           "#2026-01-06 00:00:30#,\"Flat\",\"00\",\"01\",\"0,75\",\"00\",\"01\",\"0,75\"\n"));

    // The whole call: the minutes and prices of both lines added up, the day counters on the end's day.
    const PricedCall call = tool.price(settings, 1, QDateTime(kMonday, QTime(23, 57, 30)), 180);
    EXPECT_EQ(call.stored.LastCallDate, kMonday.addDays(1));
    const QString summary = tool.summary(call, settings);
    EXPECT_TRUE(matches(summary, "Call:\\s+00:02\\s+2,50 kr")) << summary.toStdString();
    EXPECT_TRUE(summary.contains(qs("2026-01-05 23:59:00")));
}

TEST_F(PriceToolTest, TellsWhenTheDailyWarningWouldShow)
{
    // 0,50 a minute and no fee: the day price first shows 0,50 at the tick of the 60th second
    // (at 59 s it is 0,4917, shown as 0,49).
    Settings settings;
    settings.Schemes[0] = flatScheme("Flat", 0.5, 0, 0);
    settings.MaxDayPrice = 0.5;
    const QDateTime start(kWednesday, QTime(12, 0));
    const PricedCall warned = tool.price(settings, 0, start, 90);
    EXPECT_EQ(warned.warnedAt, std::optional(start.addSecs(60)));
    EXPECT_TRUE(tool.summary(warned, settings).contains(qs("2026-01-07 12:01:00")));
    EXPECT_FALSE(tool.price(settings, 0, start, 59).warnedAt.has_value());
}

TEST_F(PriceToolTest, ComparesNamedSchemesCheapestFirst)
{
    Settings settings;
    settings.Schemes[0] = flatScheme("Dear", 1.0, 0, 0);
    settings.Schemes[1] = flatScheme("Cheap", 0.25, 0, 0);
    settings.Schemes[2] = flatScheme("Just as dear", 1.0, 0, 0);
    const ToolRun run
        = runWith(writeSettings(settings), "--compare|--start|2026-01-07 12:00:00|--duration|120");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // 2 minutes: 0,50 with Cheap, 2,00 with both others, which keep their order.
    EXPECT_TRUE(matches(run.out,
        "^ *0,50 kr +scheme 1 +Cheap\n"
        " *2,00 kr +scheme 0 +Dear\n"
        " *2,00 kr +scheme 2 +Just as dear\n$"))
        << run.out.toStdString();
}

TEST_F(PriceToolTest, NeverWritesAFile)
{
    Settings settings;
    settings.Schemes[0] = flatScheme("Flat", 0.5, 1.0, 0);
    settings.MaxDayPrice = 0.1;
    const QString ini = writeSettings(settings);
    // Every entry of the folder with its size and time of change: a file rewritten, even with the
    // same bytes, or replaced by renaming shows a new time.
    const auto snapshot = [this] {
        QStringList state;
        for (const QFileInfo& info :
            QDir(folder.path()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot))
            state << info.fileName() << QString::number(info.size())
                  << info.lastModified().toString(Qt::ISODateWithMs);
        return state;
    };
    const QStringList before = snapshot();

    // The folder is the program's folder and the working directory: where a call log would land.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    for (const char* run : { "--scheme|0", "--scheme|0|--log", "--compare" })
        EXPECT_EQ(tool.run(args(run) << args("--start|2026-01-05 23:58:00|--duration|300"), ini).exitCode, 0);
    QDir::setCurrent(previous);
    EXPECT_EQ(snapshot(), before);
}

// The tariff rules worked out afresh, second by second, for the random check below. Money is
// counted exactly in units of 1 / (60000 x 1048576) krone: a second at a minute price of m
// thousandths is m x 1048576 units, a byte at p hundredths a MB is p x 600 units.
namespace rules {

using namespace Qt::StringLiterals;

constexpr qint64 kMB = 1024 * 1024;
constexpr qint64 kMill = 60 * kMB; // a thousandth of a krone
constexpr qint64 kCent = 10 * kMill;

struct Day {
    int periods = 1;
    std::array<int, 3> start {}; // minutes of the day, rising
    std::array<int, 3> feeMills {}, feeAfter {};
    std::array<int, 6> priceMills {}; // a minute: 0..2 normal, 3..5 reduced
};

struct Tariff {
    std::array<Day, 4> days; // Monday to Friday, Saturday, Sunday, holidays
    bool ownHolidays = false, holidayDay = false;
    int reducedAfter = 0, first = 1, step = 1, perMBCents = 0, stepKB = 1, allowanceMB = 0, minimumCents = 0;
    std::vector<Holiday> holidays;
};

struct Line {
    QDateTime at;
    qint64 minutes = 0, bytes = 0;
    qint64 units = 0; // the price before rounding
};

// Hundredths, rounded half up.
qint64 cents(qint64 units)
{
    const qint64 twice = 2 * units + kCent;
    return twice / (2 * kCent) - (twice % (2 * kCent) < 0);
}

// Within a hair (2e-9 kr) of half a hundredth. The meter adds up its prices in binary fractions, so a
// price that lies exactly on half a hundredth (a second at 0,30 a minute is 0,005) may come out a
// hair below it and round down: only there may its line be a hundredth off.
bool onAHalf(qint64 units)
{
    const qint64 off = ((2 * units + kCent) % (2 * kCent) + 2 * kCent) % (2 * kCent);
    return std::min(off, 2 * kCent - off) < 2 * kCent / 5'000'000;
}

const Day& dayOf(const Tariff& t, const QDate& date)
{
    // Easter Sunday of the years the calls reach, from the almanac.
    const QDate easter[] = { QDate(2026, 4, 5), QDate(2027, 3, 28) };
    const bool holiday = std::any_of(t.holidays.begin(), t.holidays.end(), [&](const Holiday& h) {
        return h.month
            ? h.month == date.month() && h.day == date.day()
            : date == easter[0].addDays(h.easterOffset) || date == easter[1].addDays(h.easterOffset);
    });
    if (t.ownHolidays && holiday)
        return t.days[t.holidayDay ? 3 : 2];
    return t.days[date.dayOfWeek() == 6 ? 1 : date.dayOfWeek() == 7 ? 2 : 0];
}

// The log lines of a call of seconds from start that receives bytes evenly, usedBytes of the
// allowance gone; and the whole call's price before its minimum.
std::pair<std::vector<Line>, qint64> price(
    const Tariff& t, const QDateTime& start, int seconds, qint64 bytes, qint64 usedBytes)
{
    const qint64 free = t.perMBCents > 0 ? std::max<qint64>(0, t.allowanceMB * kMB - usedBytes) : 0;
    const auto data = [&](qint64 b) { // the steps begun past the allowance, priced
        const qint64 over = std::max<qint64>(0, b - free), step = qint64(t.stepKB) * 1024;
        return (over / step + (over % step != 0)) * step * t.perMBCents * 600;
    };
    const auto received = [&](qint64 s) { return bytes * s / seconds; };
    std::vector<Line> lines;
    qint64 paidUpTo = 0, pending = 0, settled = 0, perSecond = 0, fee = 0, feeBefore = 0;
    int partStart = 0;
    bool reduced = false;
    const int startSecond = start.time().msecsSinceStartOfDay() / 1000;
    for (int s = 1; s <= seconds; ++s) {
        const QDate date = start.date().addDays((startSecond + s) / 86400);
        const int second = (startSecond + s) % 86400, minute = second / 60;
        const Day& day = dayOf(t, date);
        int period = day.periods - 1; // before the day's first start, its last period goes on
        for (int k = 0; k < day.periods; ++k)
            period = minute >= day.start[k] ? k : period;
        if (s > paidUpTo) { // a block begins: all its seconds are charged now
            const int block = paidUpTo == 0 ? t.first : t.step;
            paidUpTo += block, pending += block;
        }
        perSecond = day.priceMills[size_t(period + (reduced ? 3 : 0))] * kMB;
        // One fee: the period's in force, once the whole call has lasted its minutes.
        fee = s / 60 >= day.feeAfter[period] ? day.feeMills[period] * kMill : 0;
        // The seconds charged are priced at the minute price in force when they are fixed: at each
        // tick of seconds 51-59 in the minute before the next period starts (one that starts at
        // 00:00 is never prepared: the split has just fixed them), when the reduced prices begin
        // after the call's minutes, and at the end.
        const int next = day.start[(period + 1) % day.periods];
        const bool switching = minute == next - 1 && second % 60 > 50;
        const bool reducing = !reduced && t.reducedAfter > 0 && s / 60 == t.reducedAfter;
        if (switching || reducing)
            settled += pending * perSecond, pending = 0;
        reduced = reduced || reducing;
        if (minute == 23 * 60 + 59 && lines.empty()) { // at its first tick in 23:59
            lines.push_back({ QDateTime(date, QTime(23, 59).addSecs(second % 60)), (s - partStart) / 60,
                received(s), settled + pending * perSecond + fee + data(received(s)) });
            settled = pending = 0, feeBefore = fee, partStart = s;
        }
    }
    const qint64 before = lines.empty() ? 0 : lines.front().bytes;
    // The fee paid before the split is not paid again; of the minimum, the rest owes what the part
    // before left as it was logged.
    const qint64 rest
        = settled + pending * perSecond + std::max<qint64>(0, fee - feeBefore) + data(bytes) - data(before);
    const qint64 owed = (t.minimumCents - (lines.empty() ? 0 : cents(lines.front().units))) * kCent;
    lines.push_back({ start.addSecs(seconds), (seconds - partStart) / 60, bytes - before,
        t.minimumCents > 0 ? std::max(rest, owed) : rest });
    return { lines, rest + (lines.size() > 1 ? lines.front().units : 0) };
}

Tariff randomTariff(std::mt19937& random)
{
    const auto in = [&random](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    Tariff t;
    for (Day& day : t.days) {
        std::set<int> starts { in(0, 1) ? 0 : in(1, 1439) };
        for (day.periods = in(1, 3); int(starts.size()) < day.periods;)
            starts.insert(in(1, 1439));
        std::copy(starts.begin(), starts.end(), day.start.begin());
        for (int k = 0; k < 3; ++k)
            day.feeMills[k] = in(0, 2) ? in(0, 2000) : 0, day.feeAfter[k] = in(0, 4);
        for (int& price : day.priceMills)
            price = in(0, 1500);
    }
    const std::pair<int, int> blocks[]
        = { { 1, 1 }, { 60, 1 }, { 30, 30 }, { 20, 20 }, { 60, 60 }, { in(1, 300), in(1, 120) } };
    std::tie(t.first, t.step) = blocks[in(0, 5)];
    t.ownHolidays = in(0, 1), t.holidayDay = in(0, 1), t.reducedAfter = in(0, 2) ? in(1, 40) : 0;
    t.perMBCents = in(0, 1) ? in(1, 2000) : 0, t.allowanceMB = in(0, 2) ? in(1, 40) : 0;
    t.stepKB = std::array { 1, 10, 100, 1024, in(1, 5000) }[size_t(in(0, 4))];
    t.minimumCents = in(0, 1) ? in(1, 800) : 0;
    const Holiday known[] = { { u"Nytårsdag"_s, 1, 1, 0 }, { u"Langfredag"_s, 0, 0, -2 },
        { u"2. påskedag"_s, 0, 0, 1 }, { u"Kristi himmelfartsdag"_s, 0, 0, 39 },
        { u"Juleaften"_s, 24, 12, 0 }, { u"Juledag"_s, 25, 12, 0 }, { u"Nytårsaften"_s, 31, 12, 0 } };
    for (const Holiday& holiday : known) {
        if (t.holidays.empty() || in(0, 1)) // never none: an empty list reads back as the Danish one
            t.holidays.push_back(holiday);
    }
    return t;
}

Settings settingsOf(const Tariff& t)
{
    Settings settings;
    Scheme& scheme = settings.Schemes[0];
    scheme.Name = u"Tele"_s;
    for (size_t d = 0; d < t.days.size(); ++d) {
        if (d == 3 && !t.holidayDay)
            break;
        DayTariff& day = d < 3 ? scheme.Days[d] : scheme.HolidayDay.emplace();
        const Day& rule = t.days[d];
        day.NumberOfPeriods = quint8(rule.periods);
        for (size_t k = 0; k < 3; ++k) {
            day.PeriodStart[k] = QTime(0, 0).addSecs(rule.start[k] * 60).toString(u"HH:mm"_s);
            day.CallFee[k] = rule.feeMills[k] / 1000.0;
            day.MinBeforeCallFee[k] = qint16(rule.feeAfter[k]);
        }
        for (size_t k = 0; k < 6; ++k)
            day.MinutePrice[k] = rule.priceMills[k] / 1000.0;
    }
    scheme.HolidaysOwnTariff = t.ownHolidays;
    scheme.ReducedPriceAfter = qint16(t.reducedAfter);
    std::tie(scheme.FirstBlockSeconds, scheme.StepSeconds) = std::tuple(qint16(t.first), qint16(t.step));
    std::tie(scheme.PricePerMB, scheme.DataStepKB, scheme.AllowanceMB, scheme.MinimumPrice)
        = std::tuple(t.perMBCents / 100.0, t.stepKB, t.allowanceMB, t.minimumCents / 100.0);
    settings.Holidays = t.holidays;
    return settings;
}

} // namespace rules

// Random tariffs, and random calls around the moments that matter (period starts, 23:59,
// holidays, a new year): each log line the tool prints has the minutes, bytes and price the rules
// give, and the call as a whole costs its price or the minimum, to a hundredth per part it is
// logged in.
TEST_F(PriceToolTest, RandomTariffsAndCallsArePricedByTheRules)
{
    using namespace Qt::StringLiterals;
    const QDate days[] = { QDate(2026, 1, 9), QDate(2026, 4, 2), QDate(2026, 4, 5), QDate(2026, 5, 13),
        QDate(2026, 5, 14), QDate(2026, 5, 16), QDate(2026, 5, 17), QDate(2026, 12, 24), QDate(2026, 12, 25),
        QDate(2026, 12, 31) };
    static const QRegularExpression logLine(
        uR"re(^#([-0-9 :]+)#,(?:0|"Tele"),"(\d+)","(\d+)","(-?\d+),(\d\d)",)re"
        uR"re("\d+","\d+","-?\d+,\d\d",(\d+),0$)re"_s);
    for (const unsigned seed : { 20260514u, 20261224u, 20261231u }) {
        std::mt19937 random(seed);
        const auto in
            = [&random](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
        for (int n = 0; n < 40; ++n) {
            const rules::Tariff tariff = rules::randomTariff(random);
            const QDate date = days[in(0, int(std::size(days)) - 1)];
            const rules::Day& day = rules::dayOf(tariff, date);
            const int before[] = { in(0, 86399), day.start[size_t(in(0, day.periods - 1))] * 60 - in(0, 130),
                86340 - in(-59, 400) }; // anywhere, before a period starts, before or in 23:59
            const QDateTime start(date, QTime(0, 0).addSecs(std::max(0, before[in(0, 2)])));
            const int seconds = in(1, std::array { 130, 1200, 4000, 10800 }[size_t(in(0, 3))]);
            const qint64 bytes
                = in(0, 2) ? std::uniform_int_distribution<qint64>(0, 150 * rules::kMB)(random) : 0;
            const int usedHalves = in(0, 100);

            const QString ini = writeSettings(rules::settingsOf(tariff));
            const QStringList arguments { u"--scheme"_s, u"0"_s, u"--start"_s,
                start.toString(u"yyyy-MM-dd HH:mm:ss"_s), u"--duration"_s, QString::number(seconds),
                u"--bytes"_s, QString::number(bytes), u"--used"_s, QString::number(usedHalves / 2.0),
                u"--log"_s, u"--ini"_s, ini };
            const ToolRun run = tool.run(arguments, ini);
            const auto [expected, whole]
                = rules::price(tariff, start, seconds, bytes, usedHalves * rules::kMB / 2);
            const auto failed = [&] {
                QFile file(ini);
                (void)file.open(QIODevice::ReadOnly);
                return u"seed %1 call %2: ringtally-price %3\n%4\n%5"_s.arg(seed)
                    .arg(n)
                    .arg(arguments.join(u' '), run.out, QString::fromUtf8(file.readAll()))
                    .toStdString();
            };
            ASSERT_EQ(run.exitCode, 0) << failed();
            const QStringList printed = run.out.split(u'\n', Qt::SkipEmptyParts);
            ASSERT_EQ(printed.size(), qsizetype(expected.size())) << failed();
            qint64 sum = 0;
            for (size_t i = 0; i < expected.size(); ++i) {
                const QRegularExpressionMatch m = logLine.match(printed[qsizetype(i)]);
                ASSERT_TRUE(m.hasMatch()) << failed();
                const qint64 cents = m.captured(4).toLongLong() * 100
                    + (m.captured(4).startsWith(u'-') ? -1 : 1) * m.captured(5).toLongLong();
                const rules::Line& line = expected[i];
                EXPECT_EQ(
                    std::tuple(m.captured(1), m.captured(2).toLongLong() * 60 + m.captured(3).toLongLong(),
                        m.captured(6).toLongLong()),
                    std::tuple(line.at.toString(u"yyyy-MM-dd HH:mm:ss"_s), line.minutes, line.bytes))
                    << failed();
                const qint64 off = cents - rules::cents(line.units);
                EXPECT_TRUE(off == 0 || (std::abs(off) == 1 && rules::onAHalf(line.units)))
                    << "line " << i << ": " << cents << " against " << rules::cents(line.units) << "\n"
                    << failed();
                sum += cents;
            }
            // The whole call costs its price or the minimum, whichever is more; each part of it is
            // rounded on its own.
            const qint64 least = rules::cents(std::max(whole, tariff.minimumCents * rules::kCent));
            EXPECT_LE(std::abs(sum - least), qint64(expected.size()) - 1) << failed();
        }
    }
}

TEST(SimulatedClockTest, MovesOnlyWhenMovedAndRunsNoEvents)
{
    const QDateTime start(kMonday, QTime(23, 59, 59));
    SimulatedClock clock(start);
    const qint64 steady = clock.steadyMs();
    clock.advanceMs(1000);
    EXPECT_EQ(clock.now(), QDateTime(kMonday.addDays(1), QTime(0, 0)));
    clock.advanceMs(-5000); // a steady clock never goes back
    clock.setNow(start); // the user sets the clock back: the steady clock goes on
    EXPECT_EQ(clock.now(), start);
    EXPECT_EQ(clock.steadyMs() - steady, 1000);

    QObject context;
    bool ran = false;
    QMetaObject::invokeMethod(
        &context, [&ran] { ran = true; }, Qt::QueuedConnection);
    clock.runEventsFor(250);
    EXPECT_FALSE(ran);
    EXPECT_EQ(clock.now(), start.addMSecs(250));
    EXPECT_EQ(clock.steadyMs() - steady, 1250);
    QCoreApplication::processEvents(); // leave no event behind for the next test
}

// The clock hands out local times without asking the C library at every tick; across a change
// to summer time they must still be the local times Qt gives for the same instants.
TEST(SimulatedClockTest, FollowsTheLocalClockOverASummerTimeChange)
{
    // The process's time zone is set for this test only, and put back also when it stops early.
    const QByteArray previousZone = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    const auto restoreZone = qScopeGuard([&] {
        hadZone ? qputenv("TZ", previousZone) : qunsetenv("TZ");
        tzset();
    });
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
    const QDateTime start(QDate(2026, 3, 29), QTime(1, 59, 30));
    if (start.offsetFromUtc() != 3600 || start.addSecs(60).offsetFromUtc() != 7200)
        GTEST_SKIP() << "the time zone could not be set for this process";
    SimulatedClock clock(start);
    for (int second = 1; second <= 120; ++second) {
        clock.advanceMs(1000);
        const QDateTime expected = start.addSecs(second);
        ASSERT_EQ(clock.now().date(), expected.date()) << second;
        ASSERT_EQ(clock.now().time(), expected.time()) << second;
    }
    EXPECT_EQ(clock.now().time(), QTime(3, 1, 30)); // 02:00 never showed
}

} // namespace
} // namespace ringtally
