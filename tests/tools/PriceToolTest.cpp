#include "tools/PriceTool.h"

#include "core/ProfileFile.h"
#include "core/SettingsFile.h"
#include "platform/sim/SimulatedClock.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <ctime>
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
