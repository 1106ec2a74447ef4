// The meter's speed: one tick of the price engine with its text model, and a whole 24-hour call
// priced the way ringtally-price prices it.

#include "metering/PriceEngine.h"
#include "platform/sim/SimulatedClock.h"
#include "tools/PriceTool.h"

#include <QLocale>

#include <benchmark/benchmark.h>

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

void BM_Tick(benchmark::State& state)
{
    ProgramState program;
    program.settings = tariffSettings();
    program.texts
        = StatusTexts::initial(danish(), QStringLiteral("Opkaldstype"), QStringLiteral("Minutpris"));
    SimulatedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    NoEvents events;
    PriceEngine engine(program, clock, danish(), events);
    engine.startCall(0);
    for (auto _ : state) {
        clock.advanceMs(1000);
        engine.tick();
    }
    benchmark::DoNotOptimize(program.texts);
}
BENCHMARK(BM_Tick)->Unit(benchmark::kNanosecond);

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
