// The composition root: builds the real platform services and the program's objects, nothing else.

#include "core/ErrorMessage.h"
#include "core/NumberFormat.h"
#include "core/ProfileFile.h"
#include "core/ProgramFolder.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "launcher/StartList.h"
#include "launcher/WindowTitles.h"
#include "localisation/StringTable.h"
#include "metering/CallLog.h"
#include "metering/MeterWindows.h"
#include "platform/linux/CanberraSoundPlayer.h"
#include "platform/linux/DesktopProcessStarter.h"
#include "platform/linux/MessageBoxPrompter.h"
#include "platform/linux/PppPeersDialUpNetwork.h"
#include "platform/linux/PppdDialControl.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XdgDesktop.h"
#include "platform/sim/CombinedDialUpNetwork.h"
#include "platform/sim/RoutingDialControl.h"
#include "platform/sim/SimulatedDialControl.h"
#include "platform/sim/SimulatedLine.h"
#include "tray/ConfigWindow.h"
#include "tray/Dialer.h"
#include "tray/EventSounds.h"
#include "tray/FileRegistry.h"
#include "tray/MainFrm.h"
#include "tray/RasServices.h"
#include "tray/RegistryRoutines.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

using namespace ringtally;

int main(int argc, char** argv)
{
    // The program places its windows, keeps the floating window on top and reads other programs'
    // window titles, which only X11 allows: on a Wayland desktop it runs through XWayland unless
    // the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ringtally"));

    const ProgramFolder folder = ProgramFolder::locate(QCoreApplication::applicationDirPath());
    ProfileFile profile(folder.settingsFile());
    const NumberFormat numberFormat;
    SettingsFile settingsFile(profile, numberFormat);
    SystemClock clock;
    MessageBoxPrompter prompter;
    const StringTable strings = StringTable::english();
    const CallLog callLog(folder.file(QString::fromUtf16(ProgramFolder::kCallLogFileName)));

    ProgramState state;
    settingsFile.LoadSettings(state.settings);
    if (const Status read = profile.readStatus(); !read.ok()) {
        prompter.ask(errorPrompt(ErrorTitle::FileError, 75, read.message()));
        return 1;
    }

    // The system services.
    FileRegistry registryStore(folder.file(QString::fromUtf16(FileRegistry::kFileName)));
    RegistryRoutines registry(registryStore, prompter);
    CanberraSoundPlayer soundPlayer;
    EventSounds sounds(registry, soundPlayer, folder);
    PppPeersDialUpNetwork systemDialUpNetwork;
    SimulatedLine demoLine;
    CombinedDialUpNetwork dialUpNetwork(systemDialUpNetwork, demoLine);
    RasServices ras(dialUpNetwork, clock);
    // The dial window that dials through these comes later.
    PppdDialControl systemDialControl;
    SimulatedDialControl demoDialControl(demoLine);
    RoutingDialControl dialControl(systemDialControl, demoDialControl);
    X11WindowList windowList;
    WindowTitles windowTitles(windowList);
    DesktopProcessStarter processStarter;

    // Until the start-up sequence handles the first run, a program folder without the registry
    // store is taken for one: the wave files go in, and the sound events are registered once.
    const bool firstSounds = !QFileInfo::exists(registryStore.path());
    if (const Status installed = sounds.installSounds(); !installed.ok())
        qWarning(
            "Could not put the event sounds into the program folder: %s", qPrintable(installed.message()));
    if (firstSounds)
        sounds.RegisterSoundEvents();

    // Dialing and the configuration window come later; until then their commands do nothing.
    NoDialer dialer;
    NoConfigWindow configWindow;
    XdgDesktop desktop;
    MainFrm mainFrm(state, settingsFile, numberFormat, strings, prompter, sounds, ras, desktop, dialer,
        configWindow, folder);
    StartList startList(
        settingsFile, state, processStarter, windowTitles, clock, prompter, sounds, mainFrm.startListGate());
    MeterWindows meter(state, settingsFile, callLog, clock, prompter, strings, numberFormat, mainFrm);
    mainFrm.setMeterWindows(&meter);
    mainFrm.setStartList(&startList);

    // The windows stay, hidden, until the exit command ends the event loop.
    QApplication::setQuitOnLastWindowClosed(false);
    // For measuring a whole start: quit as soon as the icon is up and the event loop runs.
    const bool exitWhenReady = app.arguments().contains(QStringLiteral("--exit-when-ready"));
    if (exitWhenReady) {
        mainFrm.AddTrayIcon(true);
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    } else {
        mainFrm.AddTrayIcon();
    }
    return app.exec();
}
