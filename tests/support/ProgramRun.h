#pragma once

#include "support/TempFolder.h"
#include "support/XvfbServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace ringtally::test {

/// The real program on an Xvfb server of its own, with its folders in a temporary folder and the
/// settings of a later run (no splash, no first-run questions). Ends the program if the test has
/// not. The program's path comes from the build (RINGTALLY_PROGRAM).
class ProgramRun {
public:
    ProgramRun()
    {
        QDir().mkpath(folder);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), temp.file(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        // The generic desktop, whatever the machine that runs the tests has.
        for (const char* name : { "QT_QPA_PLATFORMTHEME", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION" })
            environment.remove(QString::fromLatin1(name));
#ifdef RINGTALLY_LEAK_SUPPRESSIONS
        // Under LeakSanitizer, libdbus's leftovers when there is no session bus are not the program's.
        environment.insert(
            QStringLiteral("LSAN_OPTIONS"), QStringLiteral("suppressions=" RINGTALLY_LEAK_SUPPRESSIONS));
#endif
        writeSettings();
    }
    ~ProgramRun()
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    /// Writes the settings file of a later run, and after its first lines the test's own: more keys
    /// of [Configuration], then other sections.
    void writeSettings(const QByteArray& more = {})
    {
        QFile ini(folder + QStringLiteral("/Ringtally.ini"));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly)
            && ini.write("[Configuration]\nSplash=0\nFirst run?=0\n" + more) > 0);
    }
    /// Starts the program; true once it runs.
    bool start()
    {
        program.setProcessEnvironment(environment);
        program.setProgram(QStringLiteral(RINGTALLY_PROGRAM));
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start();
        return program.waitForStarted(20'000);
    }
    /// Asks the program to end as a logout would; true when it has ended.
    bool end()
    {
        program.terminate();
        return program.waitForFinished(20'000);
    }

    XvfbServer xvfb; // first, so that DISPLAY names it
    TempFolder temp;
    const QString folder = temp.file(QStringLiteral("data/ringtally")); // the program's folder
    const QString runtime = temp.file(QStringLiteral("run"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QProcess program;
};

/// Polls until done says so or the wait runs out, a tenth of a second apart: the program runs on the
/// real clock, and a look may start a helper program.
inline bool waitUntil(const std::function<bool()>& done, int ms = 30'000)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(100);
    }
    return true;
}
/// Runs a helper program to its end; true when it ended with 0.
inline bool succeeds(
    const QString& program, const QStringList& arguments, const QProcessEnvironment& environment = {})
{
    QProcess process;
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(program, arguments);
    return process.waitForFinished(20'000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}
/// Runs xdotool on the test's display, as a user's desktop would press keys and find windows.
inline bool xdotool(const QStringList& arguments)
{
    return succeeds(QStringLiteral("xdotool"), arguments);
}
/// Whether a visible window's whole title is the text.
inline bool windowShown(const QString& title)
{
    return xdotool({ QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
        u'^' + QRegularExpression::escape(title) + u'$' });
}

} // namespace ringtally::test
