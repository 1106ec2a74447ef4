// A process killed in the middle of saving its settings leaves the file as it was before that
// save or as it is after it, never torn, empty or mixed.

#include "core/SettingsFile.h"

#include "support/SampleSettings.h"
#include "support/TempFolder.h"

#include <QFile>

#include <chrono>
#include <csignal>
#include <random>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace ringtally;
using ringtally::test::sampleSettings;
using ringtally::test::TempFolder;

namespace {

const NumberFormat kDanish { QLocale(QLocale::Danish, QLocale::Denmark) };

// Saves sampleSettings(first), sampleSettings(first + 1), ... until killed, reporting each seed
// on the pipe once its save has returned.
[[noreturn]] void saveForever(const QString& path, int first, int reportFd)
{
    ProfileFile profile(path);
    SettingsFile settings(profile, kDanish);
    for (int seed = first;; ++seed) {
        if (!settings.SaveSettings(sampleSettings(seed)).ok())
            ::_exit(3);
        if (::write(reportFd, &seed, sizeof seed) != sizeof seed)
            ::_exit(4);
    }
}

// The exact bytes a save of seed writes over a file holding the save of seed - 1.
QByteArray bytesOfSave(const TempFolder& temp, int seed)
{
    const QString path = temp.file(QStringLiteral("expected-%1.ini").arg(seed));
    ProfileFile profile(path);
    EXPECT_TRUE(SettingsFile(profile, kDanish).SaveSettings(sampleSettings(seed)).ok());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

} // namespace

TEST(SettingsKill, AKilledSaveLeavesTheOldFileOrTheNew)
{
    TempFolder temp;
    const QString path = temp.file(QStringLiteral("Ringtally.ini"));
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    int seed = 1;
    ProfileFile readerFile(path);
    const SettingsFile reader(readerFile, kDanish);
    ASSERT_TRUE(SettingsFile(readerFile, kDanish).SaveSettings(sampleSettings(seed)).ok());

    constexpr int kKills = 200;
    int killsMidway = 0;
    for (int round = 0; round < kKills; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            saveForever(path, seed + 1, fds[1]);
        }
        ::close(fds[1]);
        // The moment of the kill is what this test varies: a random real delay is its input, not
        // a wait for a result.
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child failed on its own, status " << status;

        int lastReported = seed;
        int reported = 0;
        while (::read(fds[0], &reported, sizeof reported) == sizeof reported)
            lastReported = reported;
        ::close(fds[0]);

        // The file now holds the last reported save, or the one after it if the kill came
        // between its rename and its report.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "round " << round;
        const QByteArray bytes = file.readAll();
        if (bytes == bytesOfSave(temp, lastReported)) {
            seed = lastReported;
        } else {
            ASSERT_EQ(bytes, bytesOfSave(temp, lastReported + 1)) << "round " << round << ": a torn file";
            seed = lastReported + 1;
            ++killsMidway;
        }
        // A reader that lives through all rounds, as the program does, sees every replacement.
        Settings loaded;
        reader.LoadSettings(loaded);
        Settings expected = sampleSettings(seed);
        expected.TaskBarType = 2;
        ASSERT_EQ(loaded, expected) << "round " << round;
        QFile::remove(temp.file(QStringLiteral("expected-%1.ini").arg(seed)));
    }
    // Informational: how often the kill landed after a rename but before its report.
    RecordProperty("kills_between_rename_and_report", killsMidway);
}
