// The meter's speed: one tick of the price engine with its text model, the same tick counting the
// link's bytes from a real interface's counters, and a whole 24-hour call priced the way
// ringtally-price prices it.

#include "metering/PriceEngine.h"
#include "platform/DialUpNetwork.h"
#include "platform/linux/InterfaceCounters.h"
#include "platform/sim/SimulatedClock.h"
#include "tools/PriceTool.h"

#include <QLocale>

#include <benchmark/benchmark.h>

#include <tuple>

using namespace ringtally;

namespace {

class NoEvents : public MeterEvents {
public:
    void closeSplitPart(const CallCheckpoint&) override { }
    void storeCheckpoint(const CallCheckpoint&) override { }
    void showPriceWarning() override { }
    void setTaskbarText(const QString& text) override { benchmark::DoNotOptimize(text); }
    void reportTickError(int, const QString&) override { }
};

// A billing month with some spending and data in its log, read without a log.
class MonthInTheLog : public MonthLimitEvents {
public:
    LoggedMonth loggedMonth(const QDate& day, int, const QString&) override
    {
        return { QDate(day.year(), day.month(), 1), QDate(day.year(), day.month(), day.daysInMonth()), 10'000,
            kBytesPerMB };
    }
    void showMonthPriceWarning() override { }
};

Settings tariffSettings()
{
    Settings settings;
    settings.MaxDayPrice = 50;
    Scheme& scheme = settings.Schemes[0];
    scheme.Name = QStringLiteral("Tele");
    scheme.ReducedPriceAfter = 30;
    for (DayTariff& day : scheme.Days) {
        day.NumberOfPeriods = 3;
        day.PeriodStart = { QStringLiteral("08:00"), QStringLiteral("17:00"), QStringLiteral("19:30") };
        day.CallFee = { 0.25, 0.25, 0.10 };
        day.MinBeforeCallFee = { 1, 1, 0 };
        day.MinutePrice = { 0.5, 0.4, 0.25, 0.45, 0.35, 0.2 };
    }
    return settings;
}

const NumberFormat& danish()
{
    static const NumberFormat format { QLocale(QLocale::Danish, QLocale::Denmark) };
    return format;
}

// A link whose counters are the loopback's, read as a pppd or NetworkManager link's are once its
// interface is known: two small files in /sys each tick.
class LoopbackLink : public DialUpNetwork {
public:
    Result<QStringList> entryNames() const override { return QStringList(); }
    Result<std::vector<DialUpConnection>> activeConnections() const override
    {
        return std::vector<DialUpConnection>();
    }
    Status hangUp(const DialUpConnection&) override { return Status::success(); }
    bool isOnline() const override { return true; }
    QString currentEntryName() const override { return QStringLiteral("lo"); }
    QString errorText(qint32, bool) const override { return QString(); }
    std::optional<LinkCounters> linkCounters() const override
    {
        return readInterfaceCounters(QString(), QStringLiteral("lo"));
    }
};

// One tick a second of a call; with countBytes, the link's bytes are counted too, and with
// everyRule the scheme prices holidays, blocks, data (of a link without counters) and a minimum,
// and the month's spending and data limits are watched, with their hang-ups.
void tick(benchmark::State& state, bool countBytes, bool everyRule = false)
{
    ProgramState program;
    program.settings = tariffSettings();
    if (everyRule) {
        Scheme& scheme = program.settings.Schemes[0];
        scheme.HolidaysOwnTariff = true;
        std::tie(scheme.FirstBlockSeconds, scheme.StepSeconds) = std::tuple(qint16(60), qint16(30));
        std::tie(scheme.PricePerMB, scheme.DataStepKB, scheme.MinimumPrice) = std::tuple(10.0, 100, 1.0);
        Settings& s = program.settings;
        std::tie(s.MaxMonthPrice, s.MaxMonthMB) = std::tuple(500.0, 1000);
        s.HangUpAtDayLimit = s.HangUpAtMonthLimit = s.HangUpAtDataLimit = true;
    }
    program.texts
        = StatusTexts::initial(danish(), QStringLiteral("Opkaldstype"), QStringLiteral("Minutpris"));
    SimulatedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    NoEvents events;
    PriceEngine engine(program, clock, danish(), events);
    MonthInTheLog month;
    if (everyRule)
        engine.setMonthLimitEvents(&month);
    const LoopbackLink link;
    if (countBytes)
        engine.setNetwork(&link);
    engine.startCall(0);
    for (auto _ : state) {
        clock.advanceMs(1000);
        engine.tick();
    }
    benchmark::DoNotOptimize(program.texts);
    if (countBytes && !program.figures.bytes())
        state.SkipWithError("the loopback's counters cannot be read");
}

void BM_Tick(benchmark::State& state)
{
    tick(state, false);
}
BENCHMARK(BM_Tick)->Unit(benchmark::kNanosecond);

void BM_TickCountingBytes(benchmark::State& state)
{
    tick(state, true);
}
BENCHMARK(BM_TickCountingBytes)->Unit(benchmark::kNanosecond);

void BM_TickWithEveryTariffRule(benchmark::State& state)
{
    tick(state, false, true);
}
BENCHMARK(BM_TickWithEveryTariffRule)->Unit(benchmark::kNanosecond);

void BM_TwentyFourHourCall(benchmark::State& state)
{
    const Settings settings = tariffSettings();
    const PriceTool tool(danish());
    for (auto _ : state) {
        const PricedCall call
            = tool.price(settings, 0, QDateTime(QDate(2026, 12, 7), QTime(9, 0)), 24 * 60 * 60);
        benchmark::DoNotOptimize(call.priceCents);
    }
}
BENCHMARK(BM_TwentyFourHourCall)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
