// The composition root: builds the real platform services and the program's objects, nothing else.

#include "config/Config.h"
#include "core/ErrorMessage.h"
#include "core/ExitRequests.h"
#include "core/NumberFormat.h"
#include "core/ProfileFile.h"
#include "core/ProgramFolder.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "core/SingleInstance.h"
#include "core/Splash.h"
#include "core/StartUp.h"
#include "dialing/Dialup.h"
#include "help/HelpKey.h"
#include "help/HelpWindow.h"
#include "history/LogViewer.h"
#include "launcher/StartList.h"
#include "launcher/WindowTitles.h"
#include "localisation/QtTranslations.h"
#include "localisation/StringTable.h"
#include "metering/CallCheckpoint.h"
#include "metering/CallLog.h"
#include "metering/MeterWindows.h"
#include "platform/linux/CanberraSoundPlayer.h"
#include "platform/linux/DesktopProcessStarter.h"
#include "platform/linux/MessageBoxPrompter.h"
#include "platform/linux/ModemManagerModems.h"
#include "platform/linux/NetworkManagerNetwork.h"
#include "platform/linux/PppPeersDialUpNetwork.h"
#include "platform/linux/PppdDialControl.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/SystemDialUpNetwork.h"
#include "platform/linux/TrayPresence.h"
#include "platform/linux/X11KeyState.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XdgDesktop.h"
#include "platform/sim/CombinedDialUpNetwork.h"
#include "platform/sim/RoutingDialControl.h"
#include "platform/sim/SimulatedDialControl.h"
#include "platform/sim/SimulatedLine.h"
#include "remote/RemoteCommand.h"
#include "remote/RemoteService.h"
#include "tray/CallOwner.h"
#include "tray/ConfigWindow.h"
#include "tray/ConnectionWatch.h"
#include "tray/EventSounds.h"
#include "tray/FileRegistry.h"
#include "tray/MainFrm.h"
#include "tray/ProgramIcons.h"
#include "tray/RasServices.h"
#include "tray/RegistryRoutines.h"
#include "tray/SelectDUN.h"
#include "tray/TrayRemote.h"
#include "tray/TrayWatch.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

using namespace ringtally;

int main(int argc, char** argv)
{
    // --help, --version, an unknown option, or no desktop to show anything on. The commands for a
    // running program are the `ringtally` command's, which starts this program otherwise.
    if (const std::optional<int> exitCode = answerWithoutStarting(argc, argv, RINGTALLY_VERSION))
        return *exitCode;
    // Opens the log viewer once the program is up.
    const bool openLogViewer = std::any_of(
        argv + 1, argv + argc, [](const char* arg) { return std::strcmp(arg, "--log-viewer") == 0; });
    // The program places its windows, keeps the floating window on top and reads other programs'
    // window titles, which only X11 allows: on a Wayland desktop it runs through XWayland unless
    // the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ringtally"));
    // Ties the windows to the installed desktop entry (its name and icon in task bars).
    QGuiApplication::setDesktopFileName(QStringLiteral(RINGTALLY_APP_ID));
    // Every window and dialog shows the program's icon, not only the main window.
    QApplication::setWindowIcon(programIcon(false));

    const ProgramFolder folder = ProgramFolder::locate(QCoreApplication::applicationDirPath());
    ProfileFile profile(folder.settingsFile());
    const NumberFormat numberFormat;
    SettingsFile settingsFile(profile, numberFormat);
    SystemClock clock;
    MessageBoxPrompter prompter;
    const StringTable strings = StringTable::english();
    const CallLog callLog(folder.file(QString::fromUtf16(ProgramFolder::kCallLogFileName)));
    const CallCheckpointFile callCheckpoint(
        folder.file(QString::fromUtf16(ProgramFolder::kCallCheckpointFileName)));

    ProgramState state;
    settingsFile.LoadSettings(state.settings);
    // Qt's own texts (Yes and No, the file dialogs) in the interface's language.
    QtTranslations qtTranslations;
    qtTranslations.use(usesEnglish(state.settings.Language));
    if (const Status read = profile.readStatus(); !read.ok()) {
        const bool english = usesEnglish(state.settings.Language);
        prompter.ask(
            errorPrompt(ErrorTitle::FileError, 75, settingsNotReadText(read.message(), english), english));
        return 1;
    }

    // The system services.
    FileRegistry registryStore(folder.file(QString::fromUtf16(FileRegistry::kFileName)));
    RegistryRoutines registry(registryStore, prompter);
    CanberraSoundPlayer soundPlayer;
    EventSounds sounds(registry, soundPlayer, folder);
    // pppd's peers, NetworkManager's paid-for profiles and the simulated line.
    PppPeersDialUpNetwork peers;
    NetworkManagerNetwork networkManager;
    SystemDialUpNetwork systemDialUpNetwork(peers, networkManager);
    // The modem behind NetworkManager's mobile link, as ModemManager tells it, for the windows.
    ModemManagerModems modems;
    const auto followModem = [&] {
        const QString entry = networkManager.currentEntryName();
        const QString modem = entry.isEmpty() ? QString() : networkManager.modemOf(entry);
        state.modem = modem.isEmpty() ? std::nullopt : modems.state(modem);
    };
    QObject::connect(&networkManager, &NetworkManagerNetwork::connectionStateChanged, &modems, followModem);
    QObject::connect(&networkManager, &NetworkManagerNetwork::devicesChanged, &modems, followModem);
    QObject::connect(&modems, &ModemManagerModems::changed, &modems, followModem);
    SimulatedLine demoLine;
    CombinedDialUpNetwork dialUpNetwork(systemDialUpNetwork, demoLine);
    RasServices ras(dialUpNetwork, clock);
    PppdDialControl pppdDialControl;
    NetworkManagerDialControl networkManagerDialControl(networkManager);
    RoutingDialControl systemDialControl(pppdDialControl, networkManagerDialControl,
        [&](const QString& entry) { return systemDialUpNetwork.isManaged(entry); });
    SimulatedDialControl demoDialControl(demoLine);
    RoutingDialControl dialControl(systemDialControl, demoDialControl);
    X11WindowList windowList;
    X11KeyState keyState;
    WindowTitles windowTitles(windowList);
    DesktopProcessStarter processStarter;

    XdgDesktop desktop;
    // Every call's life goes through its owner.
    CallOwner callOwner(state, settingsFile, ras, clock, prompter, sounds);

    // The windows are made when the main window loads: after the first run's language choice, so
    // that every window speaks the chosen language. They stay, hidden, until the exit command ends
    // the event loop.
    std::optional<MainFrm> mainFrm;
    std::optional<StartList> startList;
    std::optional<MeterWindows> meter;
    std::optional<Dialup> dialup;
    std::optional<SelectDUN> selectDUN;
    std::optional<ConnectionWatch> watch;
    // The program on the session bus: its name is the single-instance rule where there is a bus.
    RemoteService remote;
    std::optional<TrayRemote> trayRemote;
    SingleInstance instance(
        SingleInstance::defaultLockPath(), [&] { return remote.claim(QDBusConnection::sessionBus()); });
    std::optional<StartUp> startUp;
    std::optional<ConfigOnFirstUse> configWindow;
    // The help window is made when first opened, in the language chosen by then; it has no parent,
    // as the configuration window disables the main window. F1 anywhere opens the page of the
    // window or field in focus.
    std::unique_ptr<HelpWindow> helpWindow;
    const auto openHelp = [&](const QString& topic) {
        if (!helpWindow)
            helpWindow = std::make_unique<HelpWindow>(state.settings.Language);
        helpWindow->showTopic(topic);
    };
    HelpKey helpKey(openHelp);
    app.installEventFilter(&helpKey);
    // The log viewer is made when first opened; it reads the log afresh whenever it has changed.
    std::optional<LogViewer> logViewer;
    const auto showLogViewer = [&] {
        if (!logViewer)
            logViewer.emplace(folder.file(QString::fromUtf16(ProgramFolder::kCallLogFileName)), settingsFile,
                numberFormat, clock, usesEnglish(state.settings.Language));
        logViewer->showViewer();
    };
    TrayWatch trayWatch(trayPresent);
    const auto loadMainWindow = [&](bool trayAvailable) {
        // The first run's language choice has been made by now.
        qtTranslations.use(usesEnglish(state.settings.Language));
        configWindow.emplace([&] {
            const bool english = usesEnglish(state.settings.Language);
            return std::make_unique<Config>(
                ConfigContext { state, settingsFile, dialUpNetwork, strings, prompter, numberFormat, folder,
                    clock, english, DisplayWords::make(strings, english) },
                sounds, registry, [&](bool run) { mainFrm->setRunProgramsInList(run); });
        });
        mainFrm.emplace(state, settingsFile, numberFormat, strings, prompter, sounds, ras, desktop,
            *configWindow, folder);
        startList.emplace(settingsFile, state, processStarter, windowTitles, clock, prompter, sounds,
            mainFrm->startListGate());
        meter.emplace(
            state, settingsFile, callLog, callCheckpoint, clock, prompter, strings, numberFormat, *mainFrm);
        meter->engine().setNetwork(&dialUpNetwork);
        mainFrm->setMeterWindows(&*meter);
        mainFrm->setStartList(&*startList);
        mainFrm->setCallOwner(&callOwner);
        mainFrm->setLogViewer(showLogViewer);
        mainFrm->setHelp(openHelp);
        mainFrm->setSplash(startUp->splash());
        dialup.emplace(state, settingsFile, dialControl, dialUpNetwork, *mainFrm, prompter, clock, strings);
        mainFrm->setDialWindow(&*dialup);
        callOwner.attach(&*meter, &*dialup, &*startList);
        selectDUN.emplace(state, settingsFile, ras, mainFrm->startListGate(), *mainFrm, prompter, strings);
        watch.emplace(state, settingsFile, ras, windowTitles, keyState, *mainFrm, *mainFrm);
        mainFrm->setWatch(&*watch, &*selectDUN);
        ras.setWatchTimer(&watch->KeyBoardDetect);
        mainFrm->load(clock.now().date(), trayAvailable);
        watch->KeyBoardDetect.start();
        trayRemote.emplace(state, *mainFrm, *meter);
        QObject::connect(&*trayRemote, &TrayRemote::stateChanged, &remote, &RemoteService::stateChanged);
        QObject::connect(&*trayRemote, &TrayRemote::ticked, &remote, &RemoteService::ticked);
        remote.setControl(&*trayRemote);
        // A panel that starts after the program still gets its icon.
        if (!trayAvailable) {
            QObject::connect(&trayWatch, &TrayWatch::appeared, &*mainFrm, &MainFrm::trayAppeared);
            QObject::connect(&trayWatch, &TrayWatch::noneAppeared, &*mainFrm, &MainFrm::showNoTrayNotice);
            trayWatch.start();
        }
    };

    // The exit sequence also runs when the session ends or a signal asks the program to end, so a
    // running call is logged and its totals saved. Before the main window loads there is nothing
    // to save.
    QApplication::setQuitOnLastWindowClosed(false);
    ExitRequests exitRequests;
    QObject::connect(&exitRequests, &ExitRequests::exitRequested, &app, [&] {
        if (mainFrm)
            mainFrm->exitProgram();
        else
            QCoreApplication::exit(0);
    });

    // For measuring a whole start: quit as soon as the icon is up and the event loop runs.
    const bool exitWhenReady = app.arguments().contains(QStringLiteral("--exit-when-ready"));
    startUp.emplace(instance, settingsFile, state.settings, clock, prompter, ProgramVersion::current(),
        [&] { loadMainWindow(exitWhenReady || trayPresent()); });
    // A second start shows the running program instead, and ends.
    if (!startUp->run()) {
        // Without a session bus to reach it by, it can only be named.
        if (!bringRunningProgramForward(argc, argv))
            std::fputs(QLocale::system().language() == QLocale::Danish
                    ? "ringtally: Ringtally kører allerede, men kan ikke nås uden en sessionsbus.\n"
                    : "ringtally: Ringtally already runs, but cannot be reached without a session bus.\n",
                stderr);
        return 0;
    }
    // An end asked for during the start (a signal while a message box waited) has run the exit
    // sequence already; the event loop it ended was not the program's own yet.
    if ((mainFrm && mainFrm->exiting()) || exitRequests.requested())
        return 0;
    if (exitWhenReady)
        QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    else if (openLogViewer && mainFrm)
        QTimer::singleShot(0, &*mainFrm, &MainFrm::showLog);
    return app.exec();
}
