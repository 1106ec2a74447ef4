// Opening a call log of 100,000 calls: read into calls and totalled, against only reading its lines
// with QFile and QTextStream, in the same run.

#include "history/Totals.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

using namespace ringtally;

namespace {

constexpr int kCalls = 100'000;
constexpr int kCallsPerDay = 50;

QByteArray line(const QDateTime& at, const QByteArray& scheme, int minutes, int cents)
{
    const QByteArray figures = QStringLiteral("\"%1\",\"%2\",\"%3,%4\"")
                                   .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                                   .arg(minutes % 60, 2, 10, QLatin1Char('0'))
                                   .arg(cents / 100)
                                   .arg(cents % 100, 2, 10, QLatin1Char('0'))
                                   .toUtf8();
    return '#' + at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8() + "#," + scheme + ',' + figures
        + ',' + figures + "\r\n";
}

// Fifty calls a day over 2000 days, a third of them on a scheme with a non-ASCII name; every tenth
// day's last call runs over midnight and leaves a split line.
const QString& logPath()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        const QByteArray schemes[] = { "\"Tele\"", "\"Nat\"", "\"Mobil \xC3\xA6\"" };
        QByteArray log;
        log.reserve(kCalls * 80);
        for (int i = 0; i < kCalls; ++i) {
            const QDate date = QDate(2020, 1, 1).addDays(i / kCallsPerDay);
            const int k = i % kCallsPerDay;
            const int minutes = 1 + i % 19;
            if (k == kCallsPerDay - 1 && date.day() % 10 == 0) {
                log += line(QDateTime(date, QTime(23, 59)), "0", 19, 190);
                log += line(QDateTime(date.addDays(1), QTime(0, 20, 30)), schemes[0], 21, 210);
                continue;
            }
            log += line(QDateTime(date, QTime(0, 10).addSecs(k * 28 * 60 + minutes * 60 + 17)),
                schemes[i % 3], minutes, minutes * 37);
        }
        const QString file = folder.filePath(QStringLiteral("Ringtally.log"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(log) != log.size())
            qFatal("cannot write the log");
        return file;
    }();
    return path;
}

void BM_ReadLinesOnly(benchmark::State& state)
{
    for (auto _ : state) {
        QFile file(logPath());
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot open the log");
        QTextStream stream(&file);
        qint64 lines = 0;
        QString text;
        while (stream.readLineInto(&text))
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_ReadLinesOnly)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_ReadAndTotal(benchmark::State& state)
{
    const NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    const QStringList schemes { QStringLiteral("Tele"), QStringLiteral("Nat"), QStringLiteral("Mobil æ") };
    for (auto _ : state) {
        const Result<CallHistory> history = readCallLog(logPath(), danish, schemes);
        if (!history || history.value().calls.size() != size_t(kCalls) || !history.value().unreadable.empty())
            state.SkipWithError("the log did not read as written");
        const Totals totals = totalsOf(history.value().calls, 15);
        const MonthEstimate estimate = estimateMonth(totals, QDate(2025, 6, 1));
        benchmark::DoNotOptimize(estimate.estimateCents);
    }
}
BENCHMARK(BM_ReadAndTotal)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
