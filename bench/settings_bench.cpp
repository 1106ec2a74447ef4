// Settings file speed: loading and saving the whole settings, one cached read, and saving against
// a naive one-rewrite-per-key baseline. Files live in a temporary folder on the same disk as the
// user's home, so syncs cost what they cost for the user.

#include "core/IniDocument.h"
#include "core/NumberFormat.h"
#include "core/ProfileFile.h"
#include "core/SettingsFile.h"

#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace ringtally;

namespace {

// Every setting given a value that differs from its default, as a user's file has after a while.
Settings fullSettings()
{
    Settings s;
    s.Language = 1;
    s.KeyboardShortcut = { 1, 2, 3 };
    s.MaxDayPrice = 25.5;
    s.NumberOfDUN = 2;
    for (int i = 0; i < kSchemeCount; ++i) {
        Scheme& scheme = s.Schemes[size_t(i)];
        scheme.Name = QStringLiteral("Scheme %1").arg(i);
        scheme.DUNName = QStringLiteral("provider%1").arg(i);
        scheme.DUNData
            = { QStringLiteral("user"), QStringLiteral("secret password"), QStringLiteral("12345678") };
        scheme.ReducedPriceAfter = 60;
        for (DayTariff& day : scheme.Days) {
            day.PeriodStart = { QStringLiteral("00:00"), QStringLiteral("08:00"), QStringLiteral("19:30") };
            day.CallFee = { 0.25, 0.5, 0.25 };
            day.MinBeforeCallFee = { 0, 3, 0 };
            day.MinutePrice = { 0.12, 0.33, 0.19, 0.1, 0.3, 0.15 };
        }
    }
    s.LastCallDate = QDate(2026, 12, 6);
    s.LastCallHours = 1;
    s.LastCallMinutes = 42;
    s.LastCallPrice = 13.37;
    s.TotalHours = 512;
    s.TotalMinutes = 7;
    s.TotalPrice = 4711.25;
    return s;
}

struct Fixture {
    QTemporaryDir dir { QDir::homePath() + QStringLiteral("/.ringtally-bench-XXXXXX") };
    NumberFormat format { QLocale(QLocale::Danish, QLocale::Denmark) };
    ProfileFile profile { dir.filePath(QStringLiteral("Ringtally.ini")) };
    SettingsFile settings { profile, format };
    Settings values = fullSettings();

    Fixture()
    {
        if (!settings.SaveSettings(values).ok())
            std::abort();
    }
};

void BM_LoadSettings(benchmark::State& state)
{
    Fixture f;
    Settings loaded;
    for (auto _ : state) {
        f.settings.LoadSettings(loaded);
        benchmark::DoNotOptimize(loaded);
    }
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);

void BM_SaveSettings(benchmark::State& state)
{
    Fixture f;
    const quint64 before = f.profile.replaceCount();
    for (auto _ : state) {
        f.values.TotalPrice += 0.25; // a call end always changes the counters
        if (!f.settings.SaveSettings(f.values).ok())
            state.SkipWithError("SaveSettings failed");
    }
    state.counters["syncs_per_save"]
        = benchmark::Counter(double(f.profile.replaceCount() - before) / double(state.iterations()));
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The baseline: what per-key private-profile writes cost, one replace and sync per key.
void BM_SaveSettingsOneRewritePerKey(benchmark::State& state)
{
    Fixture f;
    Result<FileContents> contents = readWholeFile(f.profile.path());
    const IniDocument written = IniDocument::parse(contents.value().bytes);
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (const QString& section : written.sectionNames()) {
            for (const QString& key : written.keys(section)) {
                const QString value = *written.value(section, key) + QString::number(round % 2);
                if (!f.profile.WriteIni(section, key, value).ok())
                    state.SkipWithError("WriteIni failed");
            }
        }
    }
    state.counters["syncs_per_save"]
        = benchmark::Counter(double(f.profile.replaceCount()) / double(state.iterations()));
}
BENCHMARK(BM_SaveSettingsOneRewritePerKey)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadIniCached300Keys(benchmark::State& state)
{
    QTemporaryDir dir;
    ProfileFile profile(dir.filePath(QStringLiteral("Ringtally.ini")));
    QStringList keys;
    const Status written = profile.update([&](IniDocument& document) {
        for (int i = 0; i < 300; ++i) {
            keys.append(QStringLiteral("Key number %1").arg(i));
            if (Status s = document.setValue(
                    QStringLiteral("Section %1").arg(i / 50), keys.back(), QStringLiteral("value %1").arg(i));
                !s.ok())
                return s;
        }
        return Status::success();
    });
    if (!written.ok())
        std::abort();
    const QString section = QStringLiteral("SECTION 3");
    const QString key = QStringLiteral("key NUMBER 170");
    const QString fallback = QStringLiteral("x");
    for (auto _ : state)
        benchmark::DoNotOptimize(profile.ReadIni(section, key, fallback));
}
BENCHMARK(BM_ReadIniCached300Keys)->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
