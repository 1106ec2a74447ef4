// Opening the configuration window: its first opening (made and filled) and a later one (filled
// again, as every opening after a cancel or OK is), with each of the three lists 50 entries long.
// The reference, measured in the same run, is a bare dialog with as many line edits, combo boxes
// and list rows, made and filled: what any window of that size costs in Qt.

#include "config/Config.h"
#include "core/NumberFormat.h"
#include "core/ProfileFile.h"
#include "core/ProgramFolder.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "localisation/StringTable.h"
#include "platform/DialUpNetwork.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "platform/linux/SystemClock.h"
#include "tray/EventSounds.h"
#include "tray/FileRegistry.h"
#include "tray/RegistryRoutines.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace ringtally;

namespace {

constexpr int kEntries = 50;

struct Entries : DialUpNetwork {
    Result<QStringList> entryNames() const override
    {
        return QStringList { QStringLiteral("provider-0"), QStringLiteral("provider-1"),
            QStringLiteral("Ringtally Demo") };
    }
    Result<std::vector<DialUpConnection>> activeConnections() const override
    {
        return std::vector<DialUpConnection> {};
    }
    Status hangUp(const DialUpConnection&) override { return Status::success(); }
    bool isOnline() const override { return false; }
    QString currentEntryName() const override { return {}; }
    QString errorText(qint32, bool) const override { return {}; }
};
struct Silent : Prompter {
    PromptAnswer ask(const Prompt&) override { return PromptAnswer::Ok; }
};
struct NoSound : SoundPlayer {
    void play(const QString&) override { }
};

// A settings file with three named schemes and 50 entries in each list.
class Setup {
public:
    Setup()
    {
        for (int i = 0; i < kSchemeCount; ++i) {
            state.settings.Schemes[size_t(i)].Name = QStringLiteral("Scheme %1").arg(i);
            state.settings.Schemes[size_t(i)].DUNName = QStringLiteral("provider-%1").arg(i % 2);
        }
        state.settings.NumberOfDUN = kEntries;
        state.settings.AutoConnectCount = kEntries;
        (void)settings.SaveSettings(state.settings);
        for (int n = 1; n <= kEntries; ++n) {
            const QString key = QString::number(n);
            (void)settings.WriteIni(QStringLiteral("Autolog"), key + u'A', QStringLiteral("entry %1").arg(n));
            (void)settings.WriteIni(QStringLiteral("Autolog"), key + u'B', QStringLiteral("Scheme 1"));
            (void)settings.WriteIni(QStringLiteral("Autolog"), key + u'C', 1);
            (void)settings.WriteIni(
                QStringLiteral("AutoConnect"), key + u'A', QStringLiteral("Window %1").arg(n));
            (void)settings.WriteIni(QStringLiteral("AutoConnect"), key + u'B', QStringLiteral("Scheme 0"));
            for (const QChar field : { u'C', u'D', u'E' })
                (void)settings.WriteIni(QStringLiteral("AutoConnect"), key + field, 1);
            const QString prog = QStringLiteral("Nr.%1 data ").arg(n - 1);
            (void)settings.WriteIni(
                QStringLiteral("Runprogs"), prog + u'0', QStringLiteral("\"/usr/bin/prog%1\" ").arg(n));
            (void)settings.WriteIni(QStringLiteral("Runprogs"), prog + u'1', n % 2);
            (void)settings.WriteIni(QStringLiteral("Runprogs"), prog + u'2', 0);
            (void)settings.WriteIni(
                QStringLiteral("Runprogs"), prog + u'3', QStringLiteral("Program %1").arg(n));
        }
        (void)settings.WriteIni(
            QStringLiteral("Configuration"), QStringLiteral("Number of progs "), kEntries);
        settings.LoadSettings(state.settings);
    }
    std::unique_ptr<Config> make()
    {
        return std::make_unique<Config>(ConfigContext { state, settings, network, strings, prompter, format,
                                            folder, clock, false, DisplayWords::make(strings, false) },
            sounds, registry, [](bool) {});
    }

    QTemporaryDir dir;
    const ProgramFolder folder { dir.path() };
    SystemClock clock;
    const NumberFormat format { QLocale(QLocale::Danish, QLocale::Denmark) };
    ProfileFile profile { folder.settingsFile() };
    SettingsFile settings { profile, format };
    ProgramState state;
    Entries network;
    Silent prompter;
    const StringTable strings = StringTable::english();
    FileRegistry store { folder.file(QStringLiteral("Ringtally.reg")) };
    RegistryRoutines registry { store, prompter };
    NoSound player;
    EventSounds sounds { registry, player, folder };
    QWidget owner;
};

void BM_FirstOpening(benchmark::State& bench)
{
    Setup setup;
    for (auto _ : bench) {
        auto config = setup.make();
        config->showConfig(&setup.owner);
        QApplication::processEvents();
        bench.PauseTiming();
        config.reset();
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_FirstOpening)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LaterOpening(benchmark::State& bench)
{
    Setup setup;
    auto config = setup.make();
    for (auto _ : bench) {
        config->showConfig(&setup.owner);
        QApplication::processEvents();
        bench.PauseTiming();
        config->onCancelClicked();
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_LaterOpening)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The reference: a dialog of the same size, made, filled and shown.
void BM_ReferenceDialog(benchmark::State& bench)
{
    for (auto _ : bench) {
        QDialog dialog;
        auto* grid = new QGridLayout(&dialog);
        for (int n = 0; n < 60; ++n)
            grid->addWidget(new QLineEdit(QString::number(n * 0.125, 'f', 3), &dialog), n % 20, n / 20);
        for (int n = 0; n < 20; ++n) {
            auto* combo = new QComboBox(&dialog);
            for (int item = 0; item < 12; ++item)
                combo->addItem(QStringLiteral("Item %1").arg(item));
            grid->addWidget(combo, n, 3);
        }
        for (int l = 0; l < 12; ++l) {
            auto* list = new QListWidget(&dialog);
            for (int row = 0; row < kEntries; ++row)
                list->addItem(QStringLiteral("Row %1").arg(row));
            grid->addWidget(list, 20 + l / 4, l % 4);
        }
        dialog.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ReferenceDialog)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
