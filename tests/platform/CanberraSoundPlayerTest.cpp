#include "platform/linux/CanberraSoundPlayer.h"

#include "support/TempFolder.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSemaphore>

#include <csignal>
#include <sys/prctl.h>

#include <gtest/gtest.h>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;

// Against a PulseAudio server of the test's own: a null sink, so that no sound card is needed, its
// socket in a temporary folder, open to anonymous clients. It runs as root too (with a warning).
TEST(CanberraSoundPlayerTest, ASoundPlaysToItsEndAndAMissingFileNothingAtAll)
{
    TempFolder temp;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& variable : { u"HOME"_s, u"XDG_RUNTIME_DIR"_s, u"XDG_CONFIG_HOME"_s })
        environment.insert(variable, temp.path());
    environment.insert(u"PULSE_RUNTIME_PATH"_s, temp.file(u"pulse"_s));
    QProcess server; // killed when it goes, and with the test should the test die first
    server.setProcessEnvironment(environment);
    server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    server.setReadChannel(QProcess::StandardError); // where it logs
    server.start(u"pulseaudio"_s,
        { u"-n"_s, u"--daemonize=no"_s, u"--exit-idle-time=-1"_s, u"--disallow-exit"_s,
            u"--use-pid-file=no"_s, u"--log-target=stderr"_s, u"--log-level=info"_s,
            u"--load=module-null-sink"_s,
            u"--load=module-native-protocol-unix auth-anonymous=1 socket="_s + temp.file(u"native"_s) });
    ASSERT_TRUE(server.waitForStarted(10'000))
        << "Cannot start pulseaudio (scripts/deps test installs it): " << server.errorString().toStdString();
    // The clients, pactl and the player, find this server only, and keep their cookie beside it.
    qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_s + temp.file(u"native"_s)));
    qputenv("PULSE_COOKIE", QFile::encodeName(temp.file(u"cookie"_s)));
    qputenv("CANBERRA_DRIVER", "pulse"); // no fallback to a sound card
    QProcess info;
    const auto answers = [&info] {
        info.start(u"pactl"_s, { u"info"_s });
        return info.waitForFinished(10'000) && info.exitCode() == 0;
    };
    bool answered = false;
    QElapsedTimer waited;
    waited.start();
    while (!(answered = answers()) && server.state() == QProcess::Running && waited.elapsed() < 20'000)
        server.waitForReadyRead(200); // it logs as it starts up
    ASSERT_TRUE(answered) << "PulseAudio does not answer to pactl (pulseaudio-utils):\n"
                          << server.readAllStandardError().data();

    QList<std::pair<QString, int>> ended;
    std::mutex mutex;
    QSemaphore reported;
    CanberraSoundPlayer player([&](const QString& path, int code) {
        const std::lock_guard lock(mutex);
        ended.append({ path, code });
        reported.release();
    });
    const QString missing = temp.file(u"missing.wav"_s);
    const QString sound = QStringLiteral(RINGTALLY_SOUNDS_DIR "/error.wav"); // 0.66 s
    QElapsedTimer played;
    played.start();
    player.play(QString()); // nothing to play, nothing to report
    player.play(missing);
    player.play(sound);
    ASSERT_TRUE(reported.tryAcquire(2, 20'000));
    const std::lock_guard lock(mutex);
    EXPECT_EQ(ended[0].first, missing);
    EXPECT_LT(ended[0].second, 0);
    EXPECT_EQ(ended[1], std::pair(sound, 0));
    // The null sink plays in real time: a sound reported as ended at once was never played.
    EXPECT_GE(played.elapsed(), 600);
    server.kill();
    server.waitForFinished();
}

} // namespace
} // namespace ringtally::test
