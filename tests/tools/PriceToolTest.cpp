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

#include <gtest/gtest.h>

#include <ctime>

namespace ringtally {
namespace {

using test::TempFolder;

const QDate kMonday(2026, 1, 5);
const QDate kWednesday(2026, 1, 7);

QString qs(const char* text)
{
    return QString::fromUtf8(text);
}

// Arguments written as one text with "|" between them, so each case of a table fits on a line.
QStringList args(const char* joined)
{
    return qs(joined).split(u'|');
}

// One period all day on every day type, so the price depends on the call-fee threshold only.
Scheme flatScheme(const char* name, double minutePrice, double callFee, qint16 minBeforeCallFee)
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

class PriceToolTest : public ::testing::Test {
protected:
    QString writeSettings(const Settings& settings, const QString& name = QStringLiteral("Ringtally.ini"))
    {
        ProfileFile file(folder.file(name));
        SettingsFile settingsFile(file, danish);
        EXPECT_TRUE(settingsFile.SaveSettings(settings).ok());
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

TEST_F(PriceToolTest, RejectsBadArgumentsWithOneLineAndStatusTwo)
{
    for (const char* bad : {
             "--scheme|0|--start|2026-01-05 12:00:00|--duration|90|--fast",
             "--scheme|3|--start|2026-01-05 12:00:00|--duration|90",
             "--scheme|one|--start|2026-01-05 12:00:00|--duration|90",
             "--scheme|0|--start|2026-01-05 12:00|--duration|90",
             "--scheme|0|--start|2026-02-30 12:00:00|--duration|90",
             "--scheme|0|--start|2026-01-05T12:00:00|--duration|90",
             "--scheme|0|--start|2026-01-05|12:00:00|--duration|90",
             "--scheme|0|--start|2026-01-05 12:00:00|--duration|0",
             "--scheme|0|--start|2026-01-05 12:00:00|--duration|604801",
             "--scheme|0|--duration|90",
             "--scheme|0|--start|2026-01-05 12:00:00",
             "--start|2026-01-05 12:00:00|--duration|90",
             "--compare|--scheme|0|--start|2026-01-05 12:00:00|--duration|90",
             "--scheme|0|--scheme|1|--start|2026-01-05 12:00:00|--duration|90",
             "--scheme|0|--start|2026-01-05 12:00:00|--duration",
         }) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(tool.parseArguments(args(bad)).ok());
        const ToolRun run = tool.run(args(bad), folder.file(qs("Ringtally.ini")));
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.startsWith(qs("ringtally-price: ")) && run.err.endsWith(u'\n'));
        EXPECT_EQ(run.err.count(u'\n'), 1);
    }
}

TEST_F(PriceToolTest, ReadsEveryFormOfAGoodCommandLine)
{
    auto parsed = tool.parseArguments(
        args("--scheme=2|--start|2026-01-05 23:58:30|--duration=604800|--ini|/x/y.ini|--log"));
    ASSERT_TRUE(parsed.ok()) << parsed.message().toStdString();
    EXPECT_EQ(parsed.value().mode, PriceOptions::Mode::Log);
    EXPECT_EQ(parsed.value().scheme, 2);
    EXPECT_EQ(parsed.value().start, QDateTime(kMonday, QTime(23, 58, 30)));
    EXPECT_EQ(parsed.value().duration, 604800);
    EXPECT_EQ(parsed.value().settingsPath, qs("/x/y.ini"));

    parsed = tool.parseArguments(args("--compare|--start|2026-01-05 00:00:00|--duration|1"));
    ASSERT_TRUE(parsed.ok()) << parsed.message().toStdString();
    EXPECT_EQ(parsed.value().mode, PriceOptions::Mode::Compare);
    EXPECT_TRUE(parsed.value().settingsPath.isEmpty());
}

TEST_F(PriceToolTest, SettingsFileThatCannotServeIsBadInput)
{
    Settings settings;
    settings.Schemes[0] = flatScheme("Flat", 0.5, 0, 0);
    const QString ini = writeSettings(settings);
    const char* call = "--scheme|0|--start|2026-01-05 12:00:00|--duration|90";

    EXPECT_EQ(runWith(folder.file(qs("missing.ini")), call).exitCode, 2);
    EXPECT_EQ(runWith(folder.path(), call).exitCode, 2); // a folder, not a file
    EXPECT_EQ(runWith(ini, "--scheme|1|--start|2026-01-05 12:00:00|--duration|90").exitCode, 2); // no name
    settings.Schemes[0].Name.clear();
    const ToolRun none = runWith(
        writeSettings(settings, qs("unnamed.ini")), "--compare|--start|2026-01-05 12:00:00|--duration|9");
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(none.err.count(u'\n'), 1);

    // Without --ini the program's own settings file is read.
    const ToolRun own = tool.run(args(call), ini);
    EXPECT_EQ(own.exitCode, 0) << own.err.toStdString();
}

TEST_F(PriceToolTest, PricesAPlainCallAndStoresWhatTheCallEndWould)
{
    // 90 s at 0,50 a minute: 1,5 minutes = 0,75. The call fee of 1,00 is charged only from the
    // second whole minute, so it is not in this call's price.
    Settings settings;
    settings.Schemes[0] = flatScheme("Flat", 0.5, 1.0, 2);
    settings.LastCallDate = kWednesday;
    settings.LastCallHours = 1;
    settings.LastCallMinutes = 59;
    settings.LastCallPrice = 3.2;
    settings.TotalHours = 10;
    settings.TotalMinutes = 30;
    settings.TotalPrice = 100;
    const QString ini = writeSettings(settings);
    const Result<Settings> loaded = tool.loadSettings(ini);
    ASSERT_TRUE(loaded.ok()) << loaded.message().toStdString();

    const PricedCall call = tool.price(loaded.value(), 0, QDateTime(kWednesday, QTime(12, 0)), 90);
    ASSERT_EQ(call.segments.size(), 1u);
    EXPECT_EQ(call.end, QDateTime(kWednesday, QTime(12, 1, 30)));
    EXPECT_EQ(call.schemeName, qs("Flat"));
    EXPECT_EQ(call.priceCents, 75);
    EXPECT_EQ(call.minutes, 1);
    EXPECT_FALSE(call.warnedAt.has_value());
    // The day: 1:59 before and the call's one whole minute, 3,20 + 0,75; the total goes on likewise.
    EXPECT_EQ(call.stored.LastCallDate, kWednesday);
    EXPECT_EQ(call.stored.LastCallHours, 2);
    EXPECT_EQ(call.stored.LastCallMinutes, 0);
    EXPECT_DOUBLE_EQ(call.stored.LastCallPrice, 3.95);
    EXPECT_EQ(call.stored.TotalHours, 10);
    EXPECT_EQ(call.stored.TotalMinutes, 31);
    EXPECT_DOUBLE_EQ(call.stored.TotalPrice, 100.75);

    const ToolRun log = runWith(ini, "--scheme|0|--start|2026-01-07 12:00:00|--duration|90|--log");
    EXPECT_EQ(log.exitCode, 0);
    EXPECT_EQ(log.out, qs("#2026-01-07 12:01:30#,\"Flat\",\"00\",\"01\",\"0,75\",\"02\",\"00\",\"3,95\"\n"));
    EXPECT_TRUE(log.err.isEmpty());

    const QString summary = runWith(ini, "--scheme|0|--start|2026-01-07 12:00:00|--duration|90").out;
    EXPECT_TRUE(summary.contains(QRegularExpression(qs("Call:\\s+00:01\\s+0,75 kr"))))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(QRegularExpression(qs("Today:\\s+02:00\\s+3,95 kr"))));
    EXPECT_TRUE(summary.contains(QRegularExpression(qs("Total:\\s+10:31\\s+100,75 kr"))));

    // Another locale, another decimal separator.
    const NumberFormat english { QLocale(QLocale::English, QLocale::UnitedStates) };
    EXPECT_TRUE(
        PriceTool(english).price(settings, 0, call.start, 90).logLines().front().contains(qs("\"0.75\"")));
}

TEST_F(PriceToolTest, CallFeeComesInWhenTheWholeMinutesReachTheThreshold)
{
    Settings settings;
    settings.Schemes[0] = flatScheme("Flat", 0.5, 1.0, 1);
    const QDateTime start(kWednesday, QTime(9, 0));
    EXPECT_EQ(tool.price(settings, 0, start, 59).priceCents, 49); // 59/60 x 0,50, no whole minute yet
    EXPECT_EQ(tool.price(settings, 0, start, 90).priceCents, 175); // 1,00 + 1,5 x 0,50
    // The day counters of an earlier day roll over at the call's start.
    settings.LastCallDate = kMonday;
    settings.LastCallPrice = 8;
    EXPECT_EQ(tool.price(settings, 0, start, 90).segments.back().texts.DagPris, qs("1,75"));
}

TEST_F(PriceToolTest, CallOverMidnightLogsTheSplitLineThenTheCallEnd)
{
    // Scheme 1, so that the split line's number differs from a default 0. From 23:58:30 the split
    // comes at the tick of 23:59:00: 1,00 fee + 0,5 minute x 0,50 = 1,25. The rest, 90 s up to
    // 00:00:30, starts from zero with the fee paid: 1,5 x 0,50 = 0,75.
    Settings settings;
    settings.Schemes[1] = flatScheme("Flat", 0.5, 1.0, 0);
    const QString ini = writeSettings(settings);

    const ToolRun log = runWith(ini, "--scheme|1|--start|2026-01-05 23:58:30|--duration|120|--log");
    EXPECT_EQ(log.exitCode, 0) << log.err.toStdString();
    EXPECT_EQ(log.out,
        qs("#2026-01-05 23:59:00#,1,\"00\",\"00\",\"1,25\",\"00\",\"00\",\"1,25\"\n"
           "#2026-01-06 00:00:30#,\"Flat\",\"00\",\"01\",\"0,75\",\"00\",\"01\",\"0,75\"\n"));

    const PricedCall call = tool.price(settings, 1, QDateTime(kMonday, QTime(23, 58, 30)), 120);
    EXPECT_EQ(call.priceCents, 200); // two minutes and one fee
    EXPECT_EQ(call.stored.LastCallDate, kMonday.addDays(1));
    EXPECT_DOUBLE_EQ(call.stored.TotalPrice, 2.0);
    const QString summary = tool.summary(call, settings);
    EXPECT_TRUE(summary.contains(QRegularExpression(qs("Call:\\s+00:01\\s+2,00 kr"))))
        << summary.toStdString();
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
    ASSERT_TRUE(warned.warnedAt.has_value());
    EXPECT_EQ(*warned.warnedAt, start.addSecs(60));
    EXPECT_TRUE(tool.summary(warned, settings).contains(qs("2026-01-07 12:01:00")));

    EXPECT_FALSE(tool.price(settings, 0, start, 59).warnedAt.has_value());
    settings.MaxDayPrice = 0;
    EXPECT_FALSE(tool.price(settings, 0, start, 600).warnedAt.has_value());
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
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    // 2 minutes: 0,50 with Cheap, 2,00 with both others, which keep their order.
    EXPECT_TRUE(lines[0].contains(qs("0,50 kr")) && lines[0].endsWith(qs("Cheap"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(qs("2,00 kr")) && lines[1].endsWith(qs("Dear")));
    EXPECT_TRUE(lines[2].contains(qs("2,00 kr")) && lines[2].endsWith(qs("Just as dear")));

    settings.Schemes[1].Name.clear();
    const std::vector<PricedCall> calls = tool.compare(settings, QDateTime(kWednesday, QTime(12, 0)), 120);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].scheme, 0);
    EXPECT_EQ(calls[1].scheme, 2);
}

TEST_F(PriceToolTest, NeverWritesAFile)
{
    Settings settings;
    settings.Schemes[0] = flatScheme("Flat", 0.5, 1.0, 0);
    settings.MaxDayPrice = 0.1;
    const QString ini = writeSettings(settings);
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    const QDateTime modified = QFileInfo(ini).lastModified();
    const QStringList before = QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    // The folder is the program's folder and the working directory: where a call log would land.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    for (const char* run : { "--scheme|0", "--scheme|0|--log", "--compare" })
        EXPECT_EQ(tool.run(args(run) << args("--start|2026-01-05 23:58:00|--duration|300"), ini).exitCode, 0);
    QDir::setCurrent(previous);

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
    EXPECT_EQ(QFileInfo(ini).lastModified(), modified);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
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

// Sets the process's time zone for one test and puts the old one back, also when the test stops early.
class ZoneOverride {
public:
    explicit ZoneOverride(const char* zone)
        : previous_(qgetenv("TZ")), hadZone_(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~ZoneOverride()
    {
        if (hadZone_)
            qputenv("TZ", previous_);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray previous_;
    bool hadZone_;
};

// The clock hands out local times without asking the C library at every tick; across a change
// to summer time they must still be the local times Qt gives for the same instants.
TEST(SimulatedClockTest, FollowsTheLocalClockOverASummerTimeChange)
{
    const ZoneOverride zone("CET-1CEST,M3.5.0,M10.5.0/3");
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
