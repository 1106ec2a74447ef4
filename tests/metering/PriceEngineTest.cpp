#include "metering/PriceEngine.h"

#include "fakes/FakeClock.h"

#include <gtest/gtest.h>

using namespace ringtally;
using ringtally::test::FakeClock;

namespace {

class RecordingEvents : public MeterEvents {
public:
    Status appendSplitLine(const QString& line) override
    {
        splitLines.append(line);
        return Status::success();
    }
    void showPriceWarning() override { ++warnings; }
    void setTaskbarText(const QString& text) override { taskbarTexts.append(text); }
    void reportTickError(int number, const QString& description) override
    {
        errors.append(QString::number(number) + u' ' + description);
    }

    QStringList splitLines;
    int warnings = 0;
    QStringList taskbarTexts;
    QStringList errors;
};

// Monday 5 January 2026 at the given time.
QDateTime monday(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 1, 5), QTime(hour, minute, second));
}

// A weekday tariff of two periods: 08:00-19:30 at 0.50 a minute with a call fee of 0.25, and
// 19:30-08:00 at 0.25 a minute with a fee of 0.10. Saturdays and Sundays have one period.
Scheme twoPeriodScheme()
{
    Scheme scheme;
    scheme.Name = QStringLiteral("Tele");
    DayTariff& weekday = scheme.Days[0];
    weekday.NumberOfPeriods = 2;
    weekday.PeriodStart = { QStringLiteral("08:00"), QStringLiteral("19:30"), QStringLiteral("00:00") };
    weekday.CallFee = { 0.25, 0.10, 0 };
    weekday.MinutePrice = { 0.50, 0.25, 0, 0.30, 0.20, 0 };
    scheme.Days[1].NumberOfPeriods = 1;
    scheme.Days[1].MinutePrice[0] = 1;
    scheme.Days[2].NumberOfPeriods = 1;
    scheme.Days[2].MinutePrice[0] = 2;
    return scheme;
}

class Meter : public ::testing::Test {
protected:
    void startAt(const QDateTime& at, qint16 scheme = 0)
    {
        clock.setNow(at);
        state.texts
            = StatusTexts::initial(danish, QStringLiteral("Opkaldstype"), QStringLiteral("Minutpris"));
        engine.startCall(scheme);
    }
    void runSeconds(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            clock.advanceMs(1000);
            engine.tick();
        }
    }
    Scheme& scheme() { return state.settings.Schemes[0]; }

    ProgramState state;
    FakeClock clock;
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    RecordingEvents events;
    PriceEngine engine { state, clock, danish, events };

    void SetUp() override { state.settings.Schemes[0] = twoPeriodScheme(); }
};

} // namespace

TEST_F(Meter, DayTypes)
{
    const std::pair<QDate, qint16> days[] = { { QDate(2026, 1, 5), 0 }, { QDate(2026, 1, 9), 0 },
        { QDate(2026, 1, 10), 1 }, { QDate(2026, 1, 11), 2 } };
    for (const auto& [date, type] : days) {
        clock.setNow(QDateTime(date, QTime(12, 0)));
        EXPECT_EQ(engine.GetDagVar(), type) << date.toString().toStdString();
    }
}

TEST_F(Meter, TariffPeriodsByTimeOfDay)
{
    const std::tuple<QTime, qint16, qint16> cases[] = { { QTime(12, 0), 0, 1 }, { QTime(20, 0), 1, 0 },
        { QTime(3, 0), 1, 0 }, { QTime(8, 0), 0, 1 }, // a period's own start belongs to it
        { QTime(19, 29, 59), 0, 1 }, { QTime(19, 30), 1, 0 } };
    for (const auto& [time, period, next] : cases) {
        clock.setNow(QDateTime(QDate(2026, 1, 5), time));
        EXPECT_EQ(engine.FindPris(), period) << time.toString().toStdString();
        EXPECT_EQ(state.meter.NextPeriod, next) << time.toString().toStdString();
    }

    DayTariff& weekday = scheme().Days[0];
    weekday.NumberOfPeriods = 3;
    weekday.PeriodStart = { QStringLiteral("06:00"), QStringLiteral("12:00"), QStringLiteral("18:00") };
    const std::tuple<QTime, qint16, qint16> three[]
        = { { QTime(7, 0), 0, 1 }, { QTime(13, 0), 1, 2 }, { QTime(19, 0), 2, 0 }, { QTime(1, 0), 2, 0 } };
    for (const auto& [time, period, next] : three) {
        clock.setNow(QDateTime(QDate(2026, 1, 5), time));
        EXPECT_EQ(engine.FindPris(), period) << time.toString().toStdString();
        EXPECT_EQ(state.meter.NextPeriod, next);
    }

    // One period: always period 0, and the next is period 0 again.
    clock.setNow(QDateTime(QDate(2026, 1, 10), QTime(12, 0)));
    EXPECT_EQ(engine.FindPris(), 0);
    EXPECT_EQ(state.meter.NextPeriod, 0);

    // Another scheme priced on request.
    state.settings.Schemes[2].Days[0].NumberOfPeriods = 2;
    state.settings.Schemes[2].Days[0].PeriodStart
        = { QStringLiteral("10:00"), QStringLiteral("11:00"), QStringLiteral("00:00") };
    clock.setNow(monday(12, 0));
    EXPECT_EQ(engine.FindPris(qint16(2)), 1);
}

TEST_F(Meter, CallStartRollsTheDayCountersOverOnANewDay)
{
    Settings& s = state.settings;
    s.LastCallDate = QDate(2026, 1, 4);
    s.LastCallHours = 1, s.LastCallMinutes = 2, s.LastCallPrice = 3.5;
    startAt(monday(12, 0, 0));
    EXPECT_EQ(s.LastCallHours, 0);
    EXPECT_EQ(s.LastCallPrice, 0);
    EXPECT_EQ(state.meter.GlblOnline, 1);
    EXPECT_EQ(state.meter.GemtMin, -1);
    EXPECT_EQ(state.texts.Opkaldstypelbl, QStringLiteral("Tele"));

    s.LastCallDate = QDate(2026, 1, 5);
    s.LastCallHours = 1, s.LastCallMinutes = 2, s.LastCallPrice = 3.5;
    startAt(monday(12, 0, 0));
    EXPECT_EQ(s.LastCallMinutes, 2);
    EXPECT_EQ(s.LastCallPrice, 3.5);
}

TEST_F(Meter, APlainCallIsPricedByTheMinuteWithItsFraction)
{
    state.settings.LastCallDate = QDate(2026, 1, 5);
    state.settings.LastCallHours = 0, state.settings.LastCallMinutes = 59, state.settings.LastCallPrice = 10;
    state.settings.TotalHours = 100, state.settings.TotalMinutes = 30, state.settings.TotalPrice = 1000.5;
    startAt(monday(12, 0, 0));
    runSeconds(90);
    const StatusTexts& t = state.texts;
    // 1.5 minutes at 0.50 plus the fee of 0.25.
    EXPECT_EQ(t.NuvPris, QStringLiteral("1,00"));
    EXPECT_EQ(t.NuvTimer, QStringLiteral("00"));
    EXPECT_EQ(t.NuvMinutter, QStringLiteral("01"));
    EXPECT_EQ(t.Sek, QStringLiteral("30"));
    EXPECT_EQ(t.SekNr[2], QStringLiteral("30"));
    EXPECT_EQ(t.NuvMinPrislbl, QStringLiteral("Minutpris: 0,50 kr"));
    EXPECT_EQ(t.DagTimer, QStringLiteral("01"));
    EXPECT_EQ(t.DagMinutter, QStringLiteral("00"));
    EXPECT_EQ(t.DagPris, QStringLiteral("11,00"));
    EXPECT_EQ(t.TotTimer, QStringLiteral("100"));
    EXPECT_EQ(t.TotMinutter, QStringLiteral("31"));
    EXPECT_EQ(t.TotPris, QStringLiteral("1001,50")); // no digit grouping
    // The same figures as numbers: seconds, minutes and hundredths.
    EXPECT_EQ(state.figures, (MeterFigures { 30, 1, 100, 60, 1100, 6031, 100150 }));
}

TEST_F(Meter, TheCallFeeComesWithItsThreshold)
{
    scheme().Days[0].MinBeforeCallFee[0] = 2;
    startAt(monday(12, 0, 0));
    runSeconds(119);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("0,99")); // (1 + 59/60) x 0.50, no fee yet
    runSeconds(1);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("1,25")); // 2 x 0.50 + 0.25

    scheme().Days[0].MinBeforeCallFee[0] = 0;
    startAt(monday(12, 0, 0));
    runSeconds(1);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("0,26")); // 1/60 x 0.50 + 0.25
}

TEST_F(Meter, ATariffSwitchCarriesThePriceOverAndTakesTheNewFee)
{
    startAt(monday(19, 20, 0));
    runSeconds(20 * 60);
    // Up to 19:29:59 (9 59/60 minutes) at period 0 without its fee, then 10 1/60 minutes at
    // period 1's price with its fee.
    // 4,99 + 0,10 + 2,50 = 7,5996.
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("7,60"));
    EXPECT_EQ(state.texts.NuvMinPrislbl, QStringLiteral("Minutpris: 0,25 kr"));
}

TEST_F(Meter, BeforeItsThresholdTheFeeIsTakenOutOnceAtASwitch)
{
    // Both weekday fees count from the call's fifth whole minute on.
    scheme().Days[0].MinBeforeCallFee = { 5, 5, 0 };
    startAt(monday(19, 28, 0));
    runSeconds(119);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("0,99")); // 1 59/60 x 0,50, no fee
    runSeconds(1);
    // 19:30: carried 0,991667, plus 1/60 minute at 0,25.
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("1,00"));
    runSeconds(179);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("1,74")); // 0,991667 + 3 x 0,25
    runSeconds(1);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("1,85")); // + 1/60 x 0,25 + the fee 0,10

    // The reduced prices from minute 2, the fee from minute 5: 2 x 0,50, then 0,30 a minute.
    scheme().ReducedPriceAfter = 2;
    startAt(monday(12, 0, 0));
    runSeconds(4 * 60);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("1,60")); // 1,00 + 2 x 0,30
    runSeconds(60);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("2,15")); // 1,00 + 3 x 0,30 + 0,25
}

TEST_F(Meter, ASplitBeforeTheFeeIsDueLeavesTheFeeToTheRestOfTheCall)
{
    // Monday night: 0,25 a minute, the fee of 0,10 from the call's fifth minute on.
    scheme().Days[0].MinBeforeCallFee[1] = 5;
    startAt(monday(23, 58, 0));
    runSeconds(60);
    ASSERT_EQ(events.splitLines.size(), 1);
    EXPECT_TRUE(
        events.splitLines[0].endsWith(QStringLiteral("\"00\",\"01\",\"0,25\",\"00\",\"01\",\"0,25\"")));
    runSeconds(180);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("0,75")); // 4 minutes in all: no fee yet
    runSeconds(60);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("1,10")); // 4 x 0,25 + 0,10

    // Friday into Saturday: Saturday's 1,00 a minute and its fee of 0,20 from minute 5.
    scheme().Days[1].CallFee[0] = 0.20;
    scheme().Days[1].MinBeforeCallFee[0] = 5;
    events.splitLines.clear();
    startAt(QDateTime(QDate(2026, 1, 9), QTime(23, 57, 0)));
    runSeconds(120);
    ASSERT_EQ(events.splitLines.size(), 1);
    EXPECT_TRUE(
        events.splitLines[0].endsWith(QStringLiteral("\"00\",\"02\",\"0,50\",\"00\",\"02\",\"0,50\"")));
    runSeconds(179);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("2,98")); // 2 59/60 x 1,00
    runSeconds(1);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("3,20")); // 3 x 1,00 + 0,20
}

TEST_F(Meter, SettingTheSystemClockDuringACallDoesNotRepriceIt)
{
    startAt(monday(12, 0, 0));
    runSeconds(600);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("5,25"));
    clock.setNow(monday(13, 10, 0)); // an hour forward
    runSeconds(1);
    EXPECT_EQ(state.texts.NuvMinutter, QStringLiteral("10"));
    EXPECT_EQ(state.texts.Sek, QStringLiteral("01"));
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("5,26"));
    clock.setNow(monday(11, 0, 0)); // back past the call's start
    runSeconds(59);
    EXPECT_EQ(state.texts.NuvMinutter, QStringLiteral("11"));
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("5,75"));
}

TEST_F(Meter, AMissedSwitchWindowPricesEveryMinuteAtTheNewPrice)
{
    startAt(monday(19, 20, 0));
    runSeconds(9 * 60 + 50); // the last tick is 19:29:50
    clock.advanceMs(10 * 60 * 1000);
    engine.tick(); // 19:39:50, no tick fell in 19:29:51-59
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("5,06")); // 0.10 + (19 + 50/60) x 0.25
}

TEST_F(Meter, ReducedPricesFromTheirMinuteOn)
{
    scheme().ReducedPriceAfter = 5;
    startAt(monday(12, 0, 0));
    runSeconds(5 * 60);
    EXPECT_EQ(state.meter.ReducedOffset, 3);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("2,75"));
    runSeconds(2 * 60);
    // 5 minutes at 0.50, then 2 at the reduced 0.30, one fee.
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("3,35"));
    EXPECT_EQ(state.texts.NuvMinPrislbl, QStringLiteral("Minutpris: 0,30 kr"));

    scheme().ReducedPriceAfter = 0;
    startAt(monday(12, 0, 0));
    runSeconds(10 * 60);
    EXPECT_EQ(state.meter.ReducedOffset, 0);
}

TEST_F(Meter, PricesRoundHalfUpAndShowAThirdDecimalOnlyWhenThere)
{
    scheme().Days[0].CallFee[0] = 0;
    scheme().Days[0].MinutePrice[0] = 2.125;
    startAt(monday(12, 0, 0));
    runSeconds(60);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("2,13"));
    EXPECT_EQ(state.texts.NuvMinPrislbl, QStringLiteral("Minutpris: 2,125 kr"));

    scheme().Days[0].MinutePrice[0] = 2.124;
    startAt(monday(12, 0, 0));
    runSeconds(60);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("2,12"));

    scheme().Days[0].MinutePrice[0] = 500;
    startAt(monday(12, 0, 0));
    runSeconds(3 * 60);
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("1500,00"));
}

TEST_F(Meter, ACallOverMidnightIsSplitAndTheRestIsNotChargedTheFeeAgain)
{
    // The night period's fee counts only after 3 minutes; it is due before the split.
    scheme().Days[0].MinBeforeCallFee[1] = 3;
    state.settings.TotalHours = 2, state.settings.TotalMinutes = 0, state.settings.TotalPrice = 10;
    startAt(monday(23, 50, 0));
    runSeconds(9 * 60); // 23:59:00
    ASSERT_EQ(events.splitLines.size(), 1);
    EXPECT_EQ(events.splitLines[0],
        QStringLiteral("#2026-01-05 23:59:00#,0,\"00\",\"09\",\"2,35\",\"00\",\"09\",\"2,35\""));
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("0,00"));
    EXPECT_EQ(state.settings.TotalMinutes, 9);
    EXPECT_EQ(state.settings.TotalPrice, 12.35);
    EXPECT_EQ(state.figures, (MeterFigures { 0, 0, 0, 0, 0, 129, 1235 }));

    runSeconds(2 * 60); // 00:01:00 on Tuesday
    EXPECT_EQ(events.splitLines.size(), 1);
    // Two minutes at 0.25: the fee was charged before the split.
    EXPECT_EQ(state.texts.NuvPris, QStringLiteral("0,50"));
    EXPECT_EQ(state.texts.NuvMinutter, QStringLiteral("02"));
    EXPECT_EQ(state.texts.DagPris, QStringLiteral("0,50"));
    // The total row goes on without a jump.
    EXPECT_EQ(state.texts.TotMinutter, QStringLiteral("11"));
    EXPECT_EQ(state.texts.TotPris, QStringLiteral("12,85"));

    // A second midnight in the same call writes a second split line.
    clock.setNow(QDateTime(QDate(2026, 1, 6), QTime(23, 58, 59)));
    runSeconds(1);
    EXPECT_EQ(events.splitLines.size(), 2);
    EXPECT_TRUE(events.splitLines[1].startsWith(QStringLiteral("#2026-01-06 23:59:00#,0,")));
}

TEST_F(Meter, TheDailyWarningOncePerCall)
{
    state.settings.MaxDayPrice = 1;
    startAt(monday(12, 0, 0));
    runSeconds(89);
    EXPECT_EQ(events.warnings, 0); // 0.99
    runSeconds(1);
    EXPECT_EQ(events.warnings, 1); // 1.00
    runSeconds(120);
    EXPECT_EQ(events.warnings, 1);

    // The next call of the day warns at its first tick.
    state.settings.LastCallDate = QDate(2026, 1, 5);
    state.settings.LastCallPrice = 1;
    startAt(monday(13, 0, 0));
    runSeconds(1);
    EXPECT_EQ(events.warnings, 2);

    state.settings.MaxDayPrice = 0;
    startAt(monday(14, 0, 0));
    runSeconds(10);
    EXPECT_EQ(events.warnings, 2);
}

TEST_F(Meter, TheTaskbarTextFollowsTheChosenFigureOrCycles)
{
    state.settings.TaskBarType = 2;
    startAt(monday(12, 0, 0));
    runSeconds(61);
    EXPECT_EQ(events.taskbarTexts.back(), QStringLiteral("Pris: 0,76  Tid: 00:01:01"));
    EXPECT_EQ(engine.FindTaskbar(4), QString());
    EXPECT_EQ(engine.FindTaskbar(0), QString());

    engine.setTaskbarWords(QStringLiteral("Price:"), QStringLiteral("Time:"));
    state.settings.TaskBarType = 0;
    state.settings.TotalPrice = 100;
    events.taskbarTexts.clear();
    runSeconds(5);
    ASSERT_EQ(events.taskbarTexts.size(), 5);
    // 62 to 66 seconds: 0.25 + (62..66)/60 x 0.50.
    EXPECT_TRUE(events.taskbarTexts[0].startsWith(QStringLiteral("Price: 0,77 "))); // current
    EXPECT_TRUE(events.taskbarTexts[1].startsWith(QStringLiteral("Price: 0,78 "))); // day
    EXPECT_TRUE(events.taskbarTexts[2].startsWith(QStringLiteral("Price: 100,78 "))); // total
    EXPECT_EQ(events.taskbarTexts[3], QString());
    EXPECT_TRUE(events.taskbarTexts[4].startsWith(QStringLiteral("Price: 0,80  Time: 00:01:06")));
}

TEST_F(Meter, AnUnreadablePeriodStartIsReportedOnceAndCountsAsMidnight)
{
    scheme().Days[0].PeriodStart[1] = QStringLiteral("half past seven");
    startAt(monday(12, 0, 0));
    runSeconds(3);
    EXPECT_EQ(events.errors.size(), 1);
    EXPECT_TRUE(events.errors[0].contains(QStringLiteral("half past seven")));
}

TEST_F(Meter, ATotalThatNoLongerFitsItsCounterIsReportedAtTheSplit)
{
    state.settings.TotalHours = 32767, state.settings.TotalMinutes = 59;
    startAt(monday(23, 58, 0));
    runSeconds(60); // the total row shows 32768:00
    ASSERT_EQ(events.errors.size(), 1);
    EXPECT_TRUE(events.errors[0].startsWith(QStringLiteral("6 ")));
    EXPECT_TRUE(events.errors[0].contains(QStringLiteral("32768")));
    EXPECT_EQ(state.settings.TotalHours, 32767); // the old counter is kept
}
