#include "metering/PriceEngine.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDialUpNetwork.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ringtally;
using namespace Qt::StringLiterals;
using ringtally::test::FakeClock;

namespace {

class RecordingEvents : public MeterEvents {
public:
    void closeSplitPart(const CallCheckpoint& final) override { splitLines.append(final.endLine); }
    void storeCheckpoint(const CallCheckpoint& checkpoint) override { checkpoints.push_back(checkpoint); }
    void showPriceWarning() override { ++warnings; }
    void showRoamingWarning(const ModemState& modem) override { roamingWarnings.append(modem.operatorName); }
    void setTaskbarText(const QString& text) override { taskbarTexts.append(text); }
    void showLimitCountdown(Limit limit, qint64 secondsLeft) override { countdown = { limit, secondsLeft }; }
    void hangUpAtLimit() override { ++hangUps; }
    void reportTickError(int number, const QString& text) override
    {
        errors.append(u"%1 %2"_s.arg(number).arg(text));
    }

    QStringList splitLines;
    std::vector<CallCheckpoint> checkpoints;
    int warnings = 0;
    QStringList roamingWarnings;
    QStringList taskbarTexts;
    QStringList errors;
    std::optional<std::pair<Limit, qint64>> countdown; // the last one shown, and its seconds left
    int hangUps = 0;
};

// The billing months of the call log as a test gives them, and the monthly warnings.
class LoggedMonths : public MonthLimitEvents {
public:
    LoggedMonth loggedMonth(const QDate& day, int startDay, const QString& scheme) override
    {
        asked.emplace_back(day, startDay);
        LoggedMonth found;
        for (const LoggedMonth& month : months) {
            if (month.holds(day)) {
                found = month;
                break;
            }
        }
        found.schemeBytes = scheme == u"Tele"_s ? usedBytes : 0;
        return found;
    }
    void showMonthPriceWarning() override { ++warnings; }
    void showDataWarning() override { ++dataWarnings; }

    std::vector<LoggedMonth> months;
    qint64 usedBytes = 0; // of scheme "Tele" in any billing month
    std::vector<std::pair<QDate, int>> asked; // the day and the start day of each reading
    int warnings = 0;
    int dataWarnings = 0;
};

const QDate kMonday(2026, 1, 5);

// Monday 5 January 2026 at the given time.
QDateTime monday(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 1, 5), QTime(hour, minute, second));
}

class Meter : public ::testing::Test {
protected:
    // A weekday tariff of two periods: 08:00-19:30 at 0.50 a minute with a call fee of 0.25, and
    // 19:30-08:00 at 0.25 a minute with a fee of 0.10 (reduced: 0.30 and 0.20). Saturdays and
    // Sundays have one period, at 1 and 2 a minute.
    void SetUp() override
    {
        Scheme& tele = scheme();
        tele.Name = u"Tele"_s;
        tele.Days[0] = { .PeriodStart = { u"08:00"_s, u"19:30"_s, u"00:00"_s },
            .NumberOfPeriods = 2,
            .CallFee = { 0.25, 0.10, 0 },
            .MinutePrice = { 0.50, 0.25, 0, 0.30, 0.20, 0 } };
        tele.Days[1].NumberOfPeriods = tele.Days[2].NumberOfPeriods = 1;
        tele.Days[1].MinutePrice[0] = 1;
        tele.Days[2].MinutePrice[0] = 2;
    }
    void startAt(const QDateTime& at)
    {
        clock.setNow(at);
        state.texts = StatusTexts::initial(danish, u"Opkaldstype"_s, u"Minutpris"_s);
        engine.startCall(0);
    }
    void runSeconds(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            clock.advanceMs(1000);
            engine.tick();
        }
    }
    // Starts a call, then runs it on by each step's seconds and reads the price shown.
    void expectPrices(const QDateTime& start, std::initializer_list<std::pair<int, QString>> steps)
    {
        startAt(start);
        int at = 0;
        for (const auto& [seconds, price] : steps) {
            runSeconds(seconds);
            at += seconds;
            EXPECT_EQ(state.texts.NuvPris, price) << "after " << at << " s";
        }
    }
    // The three rows as the status window shows them: hours, minutes, seconds and price.
    QString rows() const
    {
        const StatusTexts& t = state.texts;
        return u"%1:%2:%3 %4 / %5:%6:%7 %8 / %9:%10:%11 %12"_s.arg(t.NuvTimer, t.NuvMinutter, t.Sek,
            t.NuvPris, t.DagTimer, t.DagMinutter, t.SekNr[1], t.DagPris, t.TotTimer, t.TotMinutter,
            t.SekNr[2], t.TotPris);
    }
    Scheme& scheme() { return state.settings.Schemes[0]; }

    ProgramState state;
    FakeClock clock;
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    RecordingEvents events;
    PriceEngine engine { state, clock, danish, events };
    LoggedMonths months;
};

} // namespace

TEST_F(Meter, DayTypesAndTariffPeriodsByTimeOfDay)
{
    for (const auto& [day, type] : { std::pair { 5, 0 }, { 9, 0 }, { 10, 1 }, { 11, 2 } }) {
        clock.setNow(QDateTime(QDate(2026, 1, day), QTime(12, 0)));
        EXPECT_EQ(engine.todaysDayType(), type) << day;
    }
    // The period in force and the next one.
    const auto expectPeriods = [this](std::initializer_list<std::tuple<QTime, int, int>> cases, int day = 5) {
        for (const auto& [time, period, next] : cases) {
            clock.setNow(QDateTime(QDate(2026, 1, day), time));
            EXPECT_EQ(engine.currentPeriod(), period) << time.toString().toStdString();
            EXPECT_EQ(state.meter.NextPeriod, next) << time.toString().toStdString();
        }
    };
    expectPeriods({ { QTime(12, 0), 0, 1 }, { QTime(20, 0), 1, 0 }, { QTime(3, 0), 1, 0 },
        { QTime(8, 0), 0, 1 }, // a period's own start belongs to it
        { QTime(19, 29, 59), 0, 1 }, { QTime(19, 30), 1, 0 } });
    expectPeriods({ { QTime(12, 0), 0, 0 } }, 10); // one period: period 0, and the next is period 0 again
    scheme().Days[0].NumberOfPeriods = 3;
    scheme().Days[0].PeriodStart = { u"06:00"_s, u"12:00"_s, u"18:00"_s };
    expectPeriods(
        { { QTime(7, 0), 0, 1 }, { QTime(13, 0), 1, 2 }, { QTime(19, 0), 2, 0 }, { QTime(1, 0), 2, 0 } });

    // Another scheme priced on request: its period 1 at 11:30, where scheme 0 is in period 0.
    state.settings.Schemes[2].Days[0]
        = { .PeriodStart = { u"10:00"_s, u"11:00"_s, u"00:00"_s }, .NumberOfPeriods = 2 };
    clock.setNow(monday(11, 30));
    EXPECT_EQ(engine.currentPeriod(qint16(2)), 1);
}

TEST_F(Meter, CallStartRollsTheDayCountersOverOnANewDay)
{
    Settings& s = state.settings;
    for (const auto& [lastCall, kept] :
        { std::pair { QDate(2026, 1, 4), false }, { QDate(2026, 1, 5), true } }) {
        std::tie(s.LastCallDate, s.LastCallHours, s.LastCallMinutes, s.LastCallPrice)
            = std::tuple(lastCall, 1, 2, 3.5);
        startAt(monday(12, 0));
        EXPECT_EQ(std::tie(s.LastCallHours, s.LastCallMinutes, s.LastCallPrice),
            kept ? std::tuple(1, 2, 3.5) : std::tuple(0, 0, 0.0));
    }
    EXPECT_EQ(state.meter.GlblOnline, 1);
    EXPECT_EQ(state.meter.GemtMin, -1);
    EXPECT_EQ(state.texts.Opkaldstypelbl, u"Tele"_s);
}

TEST_F(Meter, APlainCallIsPricedByTheMinuteWithItsFraction)
{
    Settings& s = state.settings;
    std::tie(s.LastCallDate, s.LastCallHours, s.LastCallMinutes, s.LastCallPrice)
        = std::tuple(QDate(2026, 1, 5), 0, 59, 10.0);
    std::tie(s.TotalHours, s.TotalMinutes, s.TotalPrice) = std::tuple(100, 30, 1000.5);
    startAt(monday(12, 0));
    runSeconds(90);
    // 1.5 minutes at 0.50 plus the fee of 0.25; no digit grouping in the total.
    EXPECT_EQ(rows(), u"00:01:30 1,00 / 01:00:30 11,00 / 100:31:30 1001,50"_s);
    EXPECT_EQ(state.texts.NuvMinPrislbl, u"Minutpris: 0,50 kr"_s);
    // The same figures as numbers: the call's seconds (all 90 of them), minutes and hundredths.
    EXPECT_EQ(state.figures, (MeterFigures { 90, 1, 100, 60, 1100, 6031, 100150 }));
}

TEST_F(Meter, TheCallFeeIsChargedOnceFromItsThreshold)
{
    std::array<qint16, 3>& feeAfter = scheme().Days[0].MinBeforeCallFee;
    feeAfter[0] = 2; // (1 + 59/60) x 0,50 without the fee, then 2 x 0,50 + 0,25
    expectPrices(monday(12, 0), { { 119, u"0,99"_s }, { 1, u"1,25"_s } });
    feeAfter[0] = 0; // 1/60 x 0,50 + 0,25
    expectPrices(monday(12, 0), { { 1, u"0,26"_s } });

    // A switch carries the price over and takes the new fee: up to 19:29:59 (9 59/60 minutes) at
    // period 0 without its fee, then 10 1/60 minutes at period 1's price with its fee:
    // 4,99 + 0,10 + 2,50 = 7,5996.
    expectPrices(monday(19, 20), { { 20 * 60, u"7,60"_s } });
    EXPECT_EQ(state.texts.NuvMinPrislbl, u"Minutpris: 0,25 kr"_s);

    // Both weekday fees from the call's fifth whole minute on: before that, no fee is taken out
    // at the switch.
    feeAfter = { 5, 5, 0 };
    expectPrices(monday(19, 28),
        { { 119, u"0,99"_s }, // 1 59/60 x 0,50, no fee
            { 1, u"1,00"_s }, // 19:30: carried 0,991667, plus 1/60 minute at 0,25
            { 179, u"1,74"_s }, // 0,991667 + 3 x 0,25
            { 1, u"1,85"_s } }); // + 1/60 x 0,25 + the fee 0,10
    // The reduced prices from minute 2, the fee from minute 5: 2 x 0,50, then 0,30 a minute.
    scheme().ReducedPriceAfter = 2;
    expectPrices(monday(12, 0), { { 4 * 60, u"1,60"_s }, { 60, u"2,15"_s } }); // 1,00 + 3 x 0,30 + 0,25
}

TEST_F(Meter, ASplitBeforeTheFeeIsDueLeavesTheFeeToTheRestOfTheCall)
{
    // Monday night: 0,25 a minute, the fee of 0,10 from the call's fifth minute on.
    scheme().Days[0].MinBeforeCallFee[1] = 5;
    expectPrices(monday(23, 58), { { 240, u"0,75"_s }, { 60, u"1,10"_s } }); // 3 x 0,25 after the split
    // Friday into Saturday: Saturday's 1,00 a minute and its fee of 0,20 from minute 5.
    scheme().Days[1].CallFee[0] = 0.20;
    scheme().Days[1].MinBeforeCallFee[0] = 5;
    expectPrices(QDateTime(QDate(2026, 1, 9), QTime(23, 57)), { { 299, u"2,98"_s }, { 1, u"3,20"_s } });
    EXPECT_EQ(events.splitLines,
        QStringList({ u"#2026-01-05 23:59:00#,0,\"00\",\"01\",\"0,25\",\"00\",\"01\",\"0,25\""_s,
            u"#2026-01-09 23:59:00#,0,\"00\",\"02\",\"0,50\",\"00\",\"02\",\"0,50\""_s }));
}

TEST_F(Meter, SettingTheSystemClockDuringACallDoesNotRepriceIt)
{
    expectPrices(monday(12, 0), { { 600, u"5,25"_s } });
    clock.setNow(monday(13, 10, 0)); // an hour forward
    runSeconds(1);
    EXPECT_EQ(rows(), u"00:10:01 5,26 / 00:10:01 5,26 / 00:10:01 5,26"_s);
    clock.setNow(monday(11, 0, 0)); // back past the call's start
    runSeconds(59);
    EXPECT_EQ(rows(), u"00:11:00 5,75 / 00:11:00 5,75 / 00:11:00 5,75"_s);
}

TEST_F(Meter, AMissedSwitchWindowPricesEveryMinuteAtTheNewPrice)
{
    startAt(monday(19, 20, 0));
    runSeconds(9 * 60 + 50); // the last tick is 19:29:50
    clock.advanceMs(10 * 60 * 1000);
    engine.tick(); // 19:39:50, no tick fell in 19:29:51-59
    EXPECT_EQ(state.texts.NuvPris, u"5,06"_s); // 0.10 + (19 + 50/60) x 0.25
}

TEST_F(Meter, ReducedPricesFromTheirMinuteOn)
{
    scheme().ReducedPriceAfter = 5; // 5 minutes at 0.50, then 2 at the reduced 0.30, one fee
    expectPrices(monday(12, 0), { { 5 * 60, u"2,75"_s }, { 2 * 60, u"3,35"_s } });
    EXPECT_EQ(state.meter.ReducedOffset, 3);
    EXPECT_EQ(state.texts.NuvMinPrislbl, u"Minutpris: 0,30 kr"_s);

    scheme().ReducedPriceAfter = 0;
    expectPrices(monday(12, 0), { { 10 * 60, u"5,25"_s } });
    EXPECT_EQ(state.meter.ReducedOffset, 0);

    // The minutes are the call's, also after a split: from 23:58 with reduced prices after 2
    // minutes, the night's 0,25 up to 00:00:00, then 0,20; the fee of 0,10 was paid before the
    // split at 23:59. The rest of the call, up to 00:02:00: 1 x 0,25 + 2 x 0,20.
    scheme().ReducedPriceAfter = 2;
    expectPrices(monday(23, 58), { { 4 * 60, u"0,65"_s } });
}

TEST_F(Meter, PricesRoundHalfUpAndShowAThirdDecimalOnlyWhenThere)
{
    scheme().Days[0].CallFee[0] = 0;
    for (const auto& [minutePrice, price, label] : { std::tuple { 2.125, u"2,13"_s, u"2,125"_s },
             { 2.124, u"2,12"_s, u"2,124"_s }, { 1500.0, u"1500,00"_s, u"1500,00"_s } }) {
        scheme().Days[0].MinutePrice[0] = minutePrice;
        expectPrices(monday(12, 0), { { 60, price } });
        EXPECT_EQ(state.texts.NuvMinPrislbl, u"Minutpris: "_s + label + u" kr"_s);
    }
}

TEST_F(Meter, ACallOverMidnightIsSplitAndTheRestIsNotChargedTheFeeAgain)
{
    // The night period's fee counts only after 3 minutes; it is due before the split.
    scheme().Days[0].MinBeforeCallFee[1] = 3;
    std::tie(state.settings.TotalHours, state.settings.TotalMinutes, state.settings.TotalPrice)
        = std::tuple(2, 0, 10.0);
    // The link's counters stand at 1000 and 100 at the start; 5000 and 300 bytes go by before the
    // split, which logs them and counts the next part from zero.
    test::FakeDialUpNetwork network;
    network.counters = LinkCounters { u"ppp0"_s, { 1000, 100 } };
    engine.setNetwork(&network);
    startAt(monday(23, 50, 0));
    runSeconds(9 * 60 - 1);
    network.counters = LinkCounters { u"ppp0"_s, { 6000, 400 } };
    runSeconds(1); // 23:59:00
    EXPECT_EQ(events.splitLines,
        QStringList(u"#2026-01-05 23:59:00#,0,\"00\",\"09\",\"2,35\",\"00\",\"09\",\"2,35\",5000,300"_s));
    // The call's and the day's rows start again from zero; the total goes on from its figures.
    EXPECT_EQ(rows(), u"00:00:00 0,00 / 00:00:00 0,00 / 02:09:00 12,35"_s);
    EXPECT_EQ(std::tie(state.settings.TotalHours, state.settings.TotalMinutes, state.settings.TotalPrice),
        std::tuple(2, 9, 12.35));
    EXPECT_EQ(state.figures, (MeterFigures { 0, 0, 0, 0, 0, 129, 1235, 0, 0 }));

    // 00:01:00 on Tuesday: two minutes at 0.25, the fee was charged before the split; the total
    // row goes on without a jump.
    network.counters = LinkCounters { u"ppp0"_s, { 6500, 400 } };
    runSeconds(2 * 60);
    EXPECT_EQ(events.splitLines.size(), 1);
    EXPECT_EQ(rows(), u"00:02:00 0,50 / 00:02:00 0,50 / 02:11:00 12,85"_s);
    EXPECT_EQ(state.figures.bytes(), (ByteCounts { 500, 0 }));

    // A second midnight in the same call writes a second split line.
    clock.setNow(QDateTime(QDate(2026, 1, 6), QTime(23, 58, 59)));
    runSeconds(1);
    ASSERT_EQ(events.splitLines.size(), 2);
    EXPECT_EQ(events.splitLines[1],
        u"#2026-01-06 23:59:00#,0,\"00\",\"02\",\"0,50\",\"00\",\"02\",\"0,50\",500,0"_s);
}

TEST_F(Meter, TheCallIsCheckpointedAtItsFirstTickOnceAMinuteAfterAndAtTheSplit)
{
    // Each checkpoint's moment, day, and current, day and total prices.
    const auto seen = [this] {
        QStringList lines;
        for (const CallCheckpoint& c : std::exchange(events.checkpoints, {}))
            lines << u"%1 %2 %3 %4 %5"_s.arg(c.moment.toString(u"HH:mm:ss"_s), c.day.toString(Qt::ISODate),
                c.texts.NuvPris, c.texts.DagPris, c.texts.TotPris);
        return lines;
    };
    state.settings.TotalPrice = 10;
    // 1/60, 1 and 2 minutes at 0,50 with the fee of 0,25.
    startAt(monday(12, 0, 0));
    runSeconds(150);
    EXPECT_EQ(seen(),
        QStringList({ u"12:00:01 2026-01-05 0,26 0,26 10,26"_s, u"12:01:00 2026-01-05 0,75 0,75 10,75"_s,
            u"12:02:00 2026-01-05 1,25 1,25 11,25"_s }));
    // At night, 0,25 a minute and a fee of 0,10. The split at 23:59 keeps the part after it, the
    // next day's, and the total with the part before (0,35); at midnight a minute at 0,25 more.
    state.settings.TotalPrice = 10;
    startAt(monday(23, 58, 0));
    runSeconds(120);
    EXPECT_EQ(seen(),
        QStringList({ u"23:58:01 2026-01-05 0,10 0,10 10,10"_s, u"23:59:00 2026-01-06 0,00 0,00 10,35"_s,
            u"00:00:00 2026-01-06 0,25 0,25 10,60"_s }));
}

TEST_F(Meter, RoamingIsWarnedOncePerCallWhenItStartsOrTheCallStartsRoaming)
{
    state.modem = ModemState { u"TDC"_s, false, 70 };
    startAt(monday(12, 0, 0));
    runSeconds(5);
    EXPECT_TRUE(events.roamingWarnings.isEmpty());
    state.modem = ModemState { u"Vodafone DE"_s, true, 40 };
    runSeconds(1);
    EXPECT_EQ(events.roamingWarnings, QStringList { u"Vodafone DE"_s });
    runSeconds(60);
    EXPECT_EQ(events.roamingWarnings.size(), 1);
    // The next call starts abroad: warned at its first tick. A dial not yet connected is not.
    startAt(monday(13, 0, 0));
    runSeconds(1);
    EXPECT_EQ(events.roamingWarnings.size(), 2);
    clock.setNow(monday(14, 0, 0));
    engine.startCall(0, CallPhase::Dialing);
    runSeconds(5);
    EXPECT_EQ(events.roamingWarnings.size(), 2);
}

// Easter Sundays and the Danish holidays, and the rules a holiday line can hold.
TEST(Holidays, EasterAndTheDanishListAndTheirRules)
{
    for (const QDate& easter :
        { QDate(2026, 4, 5), QDate(2027, 3, 28), QDate(2038, 4, 25), QDate(2285, 3, 22) })
        EXPECT_EQ(easterSunday(easter.year()), easter);
    const std::vector<Holiday> danish = danishHolidays();
    for (const QDate& day : { QDate(2026, 1, 1), QDate(2026, 4, 2), QDate(2026, 4, 3), QDate(2026, 4, 6),
             QDate(2026, 5, 14), QDate(2026, 5, 24), QDate(2026, 5, 25), QDate(2026, 12, 26) })
        EXPECT_TRUE(isHoliday(day, danish)) << day.toString(Qt::ISODate).toStdString();
    // Store Bededag (the fourth Friday after Easter) is no longer one; nor is Christmas Eve.
    for (const QDate& day : { QDate(2026, 5, 1), QDate(2026, 12, 24), QDate(2026, 4, 4) })
        EXPECT_FALSE(isHoliday(day, danish)) << day.toString(Qt::ISODate).toStdString();
    const std::vector<Holiday> leap { *Holiday::fromRule(u"29.02"_s, u"Skuddag"_s) };
    EXPECT_TRUE(isHoliday(QDate(2028, 2, 29), leap));
    EXPECT_FALSE(isHoliday(QDate(2027, 3, 1), leap));
    for (const auto& [rule, back] : { std::pair { u"E+39"_s, u"E+39"_s }, { u" e-80 "_s, u"E-80"_s },
             { u"E+250"_s, u"E+250"_s }, { u"1.5"_s, u"01.05"_s }, { u"E-81"_s, QString() },
             { u"E+251"_s, QString() }, { u"31.04"_s, QString() }, { u"24/12"_s, QString() } }) {
        const std::optional<Holiday> holiday = Holiday::fromRule(rule, u"x"_s);
        EXPECT_EQ(holiday ? holiday->ruleText() : QString(), back) << rule.toStdString();
    }
}

// One period all week at 0,60 a minute: a hundredth a second, so a price shows the seconds charged.
class Tariff : public Meter {
protected:
    // A price text in whole hundredths.
    qint64 cents(const QString& price) const
    {
        return std::llround(danish.parseFraction(price).value_or(-1) * 100);
    }
    // The price of the first split line, as its part's price field holds it.
    QString splitPrice() const
    {
        return u"\""_s + events.splitLines.value(0).split(u"\",\""_s).value(2) + u"\""_s;
    }
    void SetUp() override
    {
        Scheme& tele = scheme();
        tele.Name = u"Tele"_s;
        for (DayTariff& day : tele.Days)
            day = { .NumberOfPeriods = 1, .MinutePrice = { 0.60 } };
    }
};

TEST_F(Tariff, AFeeSmallerAfterTheSplitChargesTheRestNothingForItNotLessThanNothing)
{
    // Friday's fee of 1,00 is paid by the part before the split (30 s at 0,60 a minute: 1,30);
    // Saturday has none, so the rest is its 90 s at 0,60 and no less, and the call pays one fee.
    scheme().Days[0].CallFee[0] = 1;
    expectPrices(QDateTime(QDate(2026, 1, 9), QTime(23, 58, 30)), { { 120, u"0,90"_s } });
    EXPECT_EQ(splitPrice(), u"\"1,30\""_s);
}

TEST_F(Tariff, BillingStepsChargeEachBlockFromItsFirstSecond)
{
    const struct {
        qint16 first, step;
        int seconds;
        QString price;
    } cases[] = {
        { 60, 1, 1, u"0,60"_s },
        { 60, 1, 20, u"0,60"_s },
        { 60, 1, 21, u"0,60"_s },
        { 60, 1, 59, u"0,60"_s },
        { 60, 1, 60, u"0,60"_s },
        { 60, 1, 61, u"0,61"_s },
        { 30, 30, 1, u"0,30"_s },
        { 30, 30, 20, u"0,30"_s },
        { 30, 30, 21, u"0,30"_s },
        { 30, 30, 59, u"0,60"_s },
        { 30, 30, 60, u"0,60"_s },
        { 30, 30, 61, u"0,90"_s },
        { 20, 20, 1, u"0,20"_s },
        { 20, 20, 20, u"0,20"_s },
        { 20, 20, 21, u"0,40"_s },
        { 20, 20, 59, u"0,60"_s },
        { 20, 20, 60, u"0,60"_s },
        { 20, 20, 61, u"0,80"_s },
    };
    for (const auto& c : cases) {
        std::tie(scheme().FirstBlockSeconds, scheme().StepSeconds) = std::tuple(c.first, c.step);
        startAt(monday(12, 0, 0));
        runSeconds(c.seconds);
        EXPECT_EQ(state.texts.NuvPris, c.price) << c.first << "/" << c.step << " at " << c.seconds << " s";
    }
    // A split charges no new first block: the call from 23:59:30 splits at its first tick, whose
    // part is charged the first 60 seconds; the rest is charged only from the 61st second on.
    std::tie(scheme().FirstBlockSeconds, scheme().StepSeconds) = std::tuple(qint16(60), qint16(1));
    startAt(monday(23, 59, 30));
    runSeconds(1);
    EXPECT_EQ(splitPrice(), u"\"0,60\""_s);
    runSeconds(59); // 60 seconds: all in the first block
    EXPECT_EQ(state.texts.NuvPris, u"0,00"_s);
    runSeconds(30); // 90 seconds
    EXPECT_EQ(state.texts.NuvPris, u"0,30"_s);
}

TEST_F(Tariff, HolidaysPriceByTheirOwnDayTypeOnlyWhereTheSchemeSaysSo)
{
    // Ascension Day 2026 is a Thursday. Sundays cost 2,40 a minute, the holiday day type 1,20.
    scheme().Days[2].MinutePrice[0] = 2.40;
    DayTariff holiday { .NumberOfPeriods = 1, .MinutePrice = { 1.20 } };
    const struct {
        bool ownTariff;
        std::optional<DayTariff> day;
        QString price; // of ten minutes
    } cases[] = {
        { false, holiday, u"6,00"_s }, // as a Thursday
        { true, holiday, u"12,00"_s }, { true, std::nullopt, u"24,00"_s }, // no holiday keys: as a Sunday
    };
    for (const auto& c : cases) {
        scheme().HolidaysOwnTariff = c.ownTariff;
        scheme().HolidayDay = c.day;
        startAt(QDateTime(QDate(2026, 5, 14), QTime(10, 0)));
        runSeconds(600);
        EXPECT_EQ(state.texts.NuvPris, c.price) << c.ownTariff << c.day.has_value();
    }
    // Not on the list, the day before is a Thursday as any other.
    startAt(QDateTime(QDate(2026, 5, 13), QTime(10, 0)));
    runSeconds(600);
    EXPECT_EQ(state.texts.NuvPris, u"6,00"_s);
    // Nor is Ascension Day once the list no longer holds it.
    scheme().HolidaysOwnTariff = true;
    startAt(QDateTime(QDate(2026, 5, 14), QTime(10, 0)));
    runSeconds(1);
    state.settings.Holidays = { { u"Grundlovsdag"_s, 5, 6, 0 } };
    runSeconds(599);
    EXPECT_EQ(state.texts.NuvPris, u"6,00"_s);
}

TEST_F(Tariff, AMinimumChargeCoversTheWholeCallAlsoOverASplit)
{
    scheme().MinimumPrice = 1;
    startAt(monday(23, 58, 0));
    runSeconds(1);
    EXPECT_EQ(state.texts.NuvPris, u"1,00"_s);
    // The part the split ends is logged at its own price; the rest of the call owes what is left
    // of the minimum, 0,40, until its own price passes it.
    runSeconds(59); // 23:59:00
    EXPECT_EQ(splitPrice(), u"\"0,60\""_s);
    runSeconds(10);
    EXPECT_EQ(state.texts.NuvPris, u"0,40"_s);
    runSeconds(50); // 00:00:00: 60 seconds of its own
    EXPECT_EQ(state.texts.NuvPris, u"0,60"_s);
}

TEST_F(Tariff, DataIsChargedInStepsAfterTheAllowanceLeftAtTheStartAlsoOverASplit)
{
    // 10,00 a MB in whole MB, no time price; 2 MB a month, of which the log shows 1,5 MB used.
    scheme().Days[0].MinutePrice[0] = 0;
    std::tie(scheme().PricePerMB, scheme().DataStepKB, scheme().AllowanceMB) = std::tuple(10.0, 1024, 2);
    months.usedBytes = 3 * kBytesPerMB / 2;
    engine.setMonthLimitEvents(&months);
    test::FakeDialUpNetwork network;
    engine.setNetwork(&network);
    network.counters = LinkCounters { u"wwan0"_s, { 1000, 0 } };
    startAt(monday(12, 0, 0));
    const qint64 left = kBytesPerMB / 2;
    const struct {
        qint64 received, sent; // since the start
        QString price;
    } steps[] = {
        { left - 10, 10, u"0,00"_s }, // the allowance's last byte
        { left - 10, 11, u"10,00"_s }, // one byte over: a whole MB
        { left + kBytesPerMB - 11, 11, u"10,00"_s },
        { left + kBytesPerMB - 11, 12, u"20,00"_s },
    };
    for (const auto& step : steps) {
        network.counters = LinkCounters { u"wwan0"_s, { 1000 + step.received, step.sent } };
        runSeconds(1);
        EXPECT_EQ(state.texts.NuvPris, step.price) << step.received << "+" << step.sent;
    }
    // The price says how much of it is data.
    EXPECT_EQ(state.texts.NuvMinPrislbl, u"Minutpris: 0,00 kr, data: 20,00 kr"_s);
    EXPECT_TRUE(engine.taskbarText(1).startsWith(u"Pris: 20,00 (data 20,00)  Tid:"_s))
        << engine.taskbarText(1).toStdString();
    EXPECT_EQ(state.figures.callDataPriceCents, 2000);

    // No allowance, over a split: the MB begun before it is the first part's.
    scheme().AllowanceMB = 0;
    network.counters = LinkCounters { u"wwan0"_s, { 0, 0 } };
    startAt(monday(23, 58, 50));
    network.counters = LinkCounters { u"wwan0"_s, { 100, 0 } };
    runSeconds(10); // 23:59:00
    EXPECT_EQ(splitPrice(), u"\"10,00\""_s);
    network.counters = LinkCounters { u"wwan0"_s, { kBytesPerMB, 0 } };
    runSeconds(1);
    EXPECT_EQ(state.texts.NuvPris, u"0,00"_s);
    network.counters = LinkCounters { u"wwan0"_s, { kBytesPerMB + 1, 0 } };
    runSeconds(1);
    EXPECT_EQ(state.texts.NuvPris, u"10,00"_s);
}

TEST_F(Meter, TheDailyAndTheMonthlyWarningOncePerCall)
{
    // Limits 1,00 above what the day (nothing) and the month's log (10,00) held before the call:
    // 0,99 after 89 s at 0,50 with the fee, 1,00 at 90 s. Neither warning stands in for the other.
    engine.setMonthLimitEvents(&months);
    months.months = { { QDate(2026, 1, 1), QDate(2026, 1, 31), 1000 } };
    for (const bool month : { false, true }) {
        SCOPED_TRACE(month ? "monthly" : "daily");
        const int& warnings = month ? months.warnings : events.warnings;
        double& limit = month ? state.settings.MaxMonthPrice : state.settings.MaxDayPrice;
        limit = month ? 11 : 1;
        startAt(monday(12, 0, 0));
        runSeconds(89);
        EXPECT_EQ(warnings, 0);
        runSeconds(1);
        EXPECT_EQ(warnings, 1);
        if (month) {
            EXPECT_EQ(monthSpentCents(state), 1100); // the log's 10,00 and the call's 1,00
        }
        runSeconds(120);
        EXPECT_EQ(warnings, 1);

        // The next call warns at its first tick, with the 1,00 in the day or in the log; none
        // without a limit, which reads no log either.
        state.settings.LastCallDate = QDate(2026, 1, 5);
        state.settings.LastCallPrice = month ? 0 : 1;
        months.months[0].priceCents = month ? 1100 : 1000;
        startAt(monday(13, 0, 0));
        runSeconds(1);
        EXPECT_EQ(warnings, 2);
        limit = 0;
        startAt(monday(14, 0, 0));
        runSeconds(10);
        EXPECT_EQ(warnings, 2);
    }
    EXPECT_EQ(events.warnings, 2);
    EXPECT_EQ(months.asked.size(), 2u); // once at each call start with a limit
}

TEST_F(Meter, TheSplitPartStaysInTheMonthAndANewBillingMonthReadsTheLogAgain)
{
    // 23:58 at night: 0,10 + 0,25 a minute, 0,35 at the 23:59 split, then 0,25 a minute.
    engine.setMonthLimitEvents(&months);
    state.settings.MaxMonthPrice = 10;
    const QDate jan5(2026, 1, 5), jan6(2026, 1, 6);
    struct Case {
        quint8 startDay;
        std::vector<LoggedMonth> months;
        std::vector<std::pair<QDate, int>> asked;
        int warnedAt; // seconds into the call
    };
    const Case cases[] = {
        // One month: 9,00 + 0,35 + 0,65, which the part after the split reaches at 154.8 s.
        { 1, { { QDate(2026, 1, 1), QDate(2026, 1, 31), 900 } }, { { jan5, 1 } }, 60 + 155 },
        // 6 January starts a month with nothing logged; December's 9,35 would warn at 215 s.
        { 6, { { QDate(2025, 12, 6), jan5, 900 }, { jan6, QDate(2026, 2, 5), 0 } },
            { { jan5, 6 }, { jan6, 6 } }, -1 },
    };
    for (const Case& c : cases) {
        state.settings.BillingMonthStart = c.startDay;
        months.months = c.months;
        months.asked.clear();
        months.warnings = 0;
        startAt(QDateTime(jan5, QTime(23, 58)));
        int warnedAt = -1;
        for (int second = 1; second <= 5 * 60; ++second) {
            runSeconds(1);
            if (months.warnings == 1 && warnedAt < 0)
                warnedAt = second;
        }
        EXPECT_EQ(warnedAt, c.warnedAt) << int(c.startDay);
        EXPECT_EQ(months.asked, c.asked) << int(c.startDay);
    }
}

TEST_F(Meter, TheMonthsDataWarnsAtItsShareAndAtItsLimitOnceEachPerBillingMonth)
{
    // A limit of 10 MB warned at 80 %: 8 MB. The log holds 7 MB of January and none of February.
    engine.setMonthLimitEvents(&months);
    test::FakeDialUpNetwork network;
    engine.setNetwork(&network);
    state.settings.MaxMonthMB = 10;
    months.months = { { QDate(2026, 1, 1), QDate(2026, 1, 31), 0, 7 * kBytesPerMB },
        { QDate(2026, 2, 1), QDate(2026, 2, 28), 0, 0 } };
    const struct {
        QDate day;
        qint64 bytes; // the call's, received
        int warnings; // data warnings so far
    } steps[] = {
        { kMonday, 0, 0 },
        { kMonday, kBytesPerMB - 1, 0 },
        { kMonday, kBytesPerMB, 1 }, // 8 MB
        { kMonday, 3 * kBytesPerMB - 1, 1 },
        { kMonday, 3 * kBytesPerMB, 2 }, // 10 MB
        { kMonday, 5 * kBytesPerMB, 2 },
        // The next call of January finds 12 MB in the log: both were warned about.
        { QDate(2026, 1, 6), 0, 2 },
        { QDate(2026, 1, 6), kBytesPerMB, 2 },
        // February starts again from nothing; a call that jumps past both shows one warning.
        { QDate(2026, 2, 2), 11 * kBytesPerMB, 3 },
    };
    QDate day;
    for (const auto& step : steps) {
        if (step.day != day) {
            day = step.day;
            network.counters = LinkCounters { u"ppp0"_s, { 0, 0 } };
            if (day == QDate(2026, 1, 6))
                months.months[0].bytes = 12 * kBytesPerMB;
            startAt(QDateTime(day, QTime(12, 0)));
        }
        network.counters = LinkCounters { u"ppp0"_s, { step.bytes, 0 } };
        runSeconds(1);
        EXPECT_EQ(months.dataWarnings, step.warnings) << day.toString().toStdString() << " " << step.bytes;
    }
    EXPECT_EQ(state.meter.DataWarnLevel, 2);
    EXPECT_EQ(months.warnings, 0) << "no money limit, no money warning";
}

TEST_F(Meter, ALimitReachedCountsDownAMinuteToAHangUpInPlaceOfItsWarning)
{
    // The day's limit 1,00, reached after 90 s at 0,50 with the fee 0,25; the month's 11,00
    // with 10,00 in the log, reached then too; the data's 1 MB, all of it in the log already.
    engine.setMonthLimitEvents(&months);
    months.months = { { QDate(2026, 1, 1), QDate(2026, 1, 31), 1000, kBytesPerMB } };
    Settings& s = state.settings;
    std::tie(s.MaxDayPrice, s.HangUpAtDayLimit) = std::pair(1.0, true);

    // A dial that has not connected counts nothing down; its line up, the countdown starts at the
    // first tick over the limit and hangs up 60 s later.
    clock.setNow(monday(12, 0));
    state.texts = StatusTexts::initial(danish, u"Opkaldstype"_s, u"Minutpris"_s);
    engine.startCall(0, CallPhase::Dialing);
    runSeconds(100);
    EXPECT_FALSE(events.countdown.has_value());
    startAt(monday(12, 0));
    runSeconds(89);
    EXPECT_FALSE(events.countdown.has_value());
    runSeconds(1);
    EXPECT_EQ(events.countdown, std::pair(Limit::Day, qint64(60)));
    runSeconds(59);
    EXPECT_EQ(events.countdown, std::pair(Limit::Day, qint64(1)));
    EXPECT_EQ(events.hangUps, 0);
    runSeconds(1);
    EXPECT_EQ(events.hangUps, 1);
    EXPECT_EQ(events.warnings, 0) << "the countdown says what the warning would";

    // Kept on the line, neither the day's limit nor the month's, reached at the same tick and
    // sharing its countdown, counts down again in the call; neither warns instead.
    s.LastCallPrice = 0;
    std::tie(s.MaxMonthPrice, s.HangUpAtMonthLimit) = std::pair(11.0, true);
    startAt(monday(13, 0));
    runSeconds(90);
    EXPECT_EQ(events.countdown, std::pair(Limit::Day, qint64(60)));
    engine.stopLimitCountdown();
    runSeconds(120);
    EXPECT_EQ(events.hangUps, 1);
    EXPECT_EQ(events.countdown, std::pair(Limit::Day, qint64(60))) << "nothing counts down now";
    EXPECT_EQ(months.warnings, 0);

    // A call that starts over its data limit counts down at its first tick, the money limits off;
    // the share's warning of a month already over its limit is not shown again.
    s.MaxDayPrice = s.MaxMonthPrice = 0;
    std::tie(s.MaxMonthMB, s.HangUpAtDataLimit) = std::pair(1, true);
    startAt(monday(14, 0));
    runSeconds(1);
    EXPECT_EQ(events.countdown, std::pair(Limit::Data, qint64(60)));
    EXPECT_EQ(months.dataWarnings, 0);
}

TEST_F(Meter, TheTaskbarTextFollowsTheChosenFigureOrCycles)
{
    state.settings.TaskBarType = 2;
    startAt(monday(12, 0, 0));
    runSeconds(61);
    EXPECT_EQ(events.taskbarTexts.back(), u"Pris: 0,76  Tid: 00:01:01"_s);
    EXPECT_EQ(engine.taskbarText(4), QString());
    EXPECT_EQ(engine.taskbarText(0), QString());

    // Cycling through current, day, total and nothing: 0.25 + (62..66)/60 x 0.50.
    engine.setTaskbarWords(u"Price:"_s, u"Time:"_s);
    state.settings.TaskBarType = 0;
    state.settings.TotalPrice = 100;
    events.taskbarTexts.clear();
    runSeconds(5);
    EXPECT_EQ(events.taskbarTexts,
        QStringList({ u"Price: 0,77  Time: 00:01:02"_s, u"Price: 0,78  Time: 00:01:03"_s,
            u"Price: 100,78  Time: 00:01:04"_s, QString(), u"Price: 0,80  Time: 00:01:06"_s }));
}

TEST_F(Meter, TickErrorsAreReportedOnce)
{
    // An unreadable period start counts as midnight.
    scheme().Days[0].PeriodStart[1] = u"half past seven"_s;
    startAt(monday(12, 0, 0));
    runSeconds(3);
    ASSERT_EQ(events.errors.size(), 1);
    EXPECT_TRUE(events.errors[0].contains(u"half past seven"_s));

    // A total that no longer fits its counter at the split: the row shows 32768:00, the old
    // counter is kept.
    events.errors.clear();
    scheme().Days[0].PeriodStart[1] = u"19:30"_s;
    state.settings.TotalHours = 32767, state.settings.TotalMinutes = 59;
    startAt(monday(23, 58));
    runSeconds(60);
    EXPECT_EQ(events.errors, QStringList(u"6 "_s + counterOverflowText(32768, false)));
    EXPECT_EQ(state.settings.TotalHours, 32767);
}
