#pragma once

#include "core/ProgramFolder.h"
#include "dialing/DialupServices.h"
#include "launcher/StartList.h"
#include "metering/OfflineServices.h"
#include "tray/Dialer.h"
#include "tray/WatchServices.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QGroupBox;
class QMenu;
class QPushButton;

namespace ringtally {

class CallOwner;
class ConfigWindow;
class ConnectionWatch;
class Desktop;
class Dialup;
class SelectDUN;
class EventSounds;
class MeterWindows;
class NumberFormat;
class Prompter;
class RasServices;
class SettingsFile;
class StringTable;
struct ProgramState;

/// The main window: owns the tray icon and its pop-up menu, and, when the user opens it, shows one
/// dial button per scheme. Everything started from the tray goes through here; it also supplies
/// the services the call end and the meter's windows ask of the rest of the program.
class MainFrm : public QMainWindow,
                public OfflineServices,
                public DialupServices,
                public WatchServices,
                public Dialer {
    Q_OBJECT

public:
    /// The tray's messages, numbered as the mouse messages they stand for.
    enum TrayMessage { LeftDown = 513, LeftUp = 514, LeftDoubleClick = 515, RightUp = 517 };

    MainFrm(ProgramState& state, SettingsFile& settings, const NumberFormat& format,
        const StringTable& strings, Prompter& prompter, EventSounds& sounds, RasServices& ras,
        Desktop& desktop, ConfigWindow& config, ProgramFolder folder);
    ~MainFrm() override;

    /// The meter's windows, made after this window because they call back into it.
    void setMeterWindows(MeterWindows* meter) { meter_ = meter; }
    /// The dial window, made after this window because it calls back into it.
    void setDialWindow(Dialup* dialup) { dialup_ = dialup; }
    /// The connection watch and its scheme selection window, made after this window.
    void setWatch(ConnectionWatch* watch, SelectDUN* selection)
    {
        watch_ = watch;
        selectDUN_ = selection;
    }
    /// The start list, made after this window because it reads the check box through startListGate().
    void setStartList(StartList* startList) { startList_ = startList; }
    /// The owner of every call, which every door of this window and its services goes through.
    void setCallOwner(CallOwner* owner);
    /// The splash window, while it may be visible: the tray's messages are ignored meanwhile.
    void setSplash(QWidget* splash) { splash_ = splash; }
    /// What opens the help on a topic ("Contents", a window's or a field's); without one the help
    /// items say it is not installed.
    void setHelp(std::function<void(const QString&)> open) { openHelp_ = std::move(open); }
    /// What opens the log viewer; without one the menus say it is not installed.
    void setLogViewer(std::function<void()> show) { showLogViewer_ = std::move(show); }
    /// Sets the start-list switch and its tray menu item, as the configuration window's OK does.
    void setRunProgramsInList(bool run);
    /// The check box as the start list reads it.
    const StartListGate& startListGate() const { return gate_; }

    /// Adds the tray icon in its offline form. Without a tray on this desktop the main window shows
    /// instead, until one appears (trayAppeared).
    void AddTrayIcon(bool trayAvailable);
    /// A tray has appeared since the start: the icon goes into it, in the meter's present form.
    void trayAppeared();
    /// No tray has appeared in the minutes after the start: a notice says so, once.
    void showNoTrayNotice();
    /// The tray's message handler.
    void onTrayMessage(int message);
    /// The main window's load at start-up: the settings read, the first run's steps and the "Open"
    /// sound, the task-bar figure and the start-list switch as stored, the stored counters on the
    /// status window (the day's only when the last call was today), the dial buttons, and the tray
    /// icon in its offline form with this window hidden (shown instead when there is no tray).
    void load(const QDate& today, bool trayAvailable);
    /// The exit sequence, once however often it is asked for: sound, the running call hung up and logged,
    /// every window hidden, the tray icon removed, and the event loop told to end.
    void exitProgram();
    /// Whether the exit sequence has run (also before the event loop was started).
    bool exiting() const { return exiting_; }

    /// The tray icon; none while there is no tray to put it in.
    QSystemTrayIcon* trayIcon() { return trayIcon_.get(); }
    /// The tray menu's first item while a call is metered: its time and price, as the tooltip
    /// says, for trays that show no tooltips.
    QAction* callFigureItem() const { return callFigure_; }
    /// The figure shown in the dial items and buttons: each named scheme's minute price now.
    std::array<std::optional<double>, 3> currentMinutePrices();
    /// The named scheme with the lowest price now (lower index on a tie); none without a name.
    std::optional<int> cheapestScheme();

    /// Asks the call's owner for a call: the scheme dialed, or, alreadyOnline, the connection that
    /// is up taken over. startPrograms 1 runs the start list for a taken-over connection even when
    /// its switch is off.
    void Dial(qint16 scheme, bool alreadyOnline, quint8 startPrograms) override;

    // OfflineServices and DialupServices
    void closeStartedPrograms() override;
    void hideDialWindow() override;
    void hangUpDialControl() override;
    void stopLineWatch() override;
    void switchTrayMenu() override;
    void playEventSound(const QString& event) override;
    void HangUpAll() override;
    void openHelpIndex() override;
    void showAbout() override;
    void requestHangUp(bool log) override;
    bool IsOnline() const override;
    void RunStartList(bool connected, bool force) override;
    void hangUp(bool log) override;
    void dialConnected() override;
    void dialingAgain() override;
    quint64 currentCall() const override;
    bool callRunning(quint64 call) const override;
    void startMeterTimer() override;
    void stopMeterTimer() override;
    void setStatusCaption(const QString& caption) override;

    // WatchServices
    bool splashVisible() const override;
    bool dialWindowVisible() const override;
    void showSelectionWindow() override;

    // Controls
    QGroupBox* dialButtonBox = nullptr;
    std::array<QPushButton*, 3> CmdDial {};
    QCheckBox* RunProgramsInList = nullptr;
    QPushButton* hideButton = nullptr;
    QAction* ExitProgram = nullptr; // in the menu bar without a tray only
    QAction* ShowConfig = nullptr;
    QAction* MenuShowLog = nullptr;
    QMenu* Help = nullptr;
    QAction* ShowHelpIndex = nullptr;
    QAction* ShowAbout = nullptr;
    QIcon OfflineImg;
    QIcon OnlineImg;

    // The tray's pop-up menu
    QMenu* mnuPopMenu = nullptr;
    QAction* PopupHangup = nullptr;
    QAction* PopupHangupNoLog = nullptr;
    std::array<QAction*, 3> PopupDial {};
    QAction* OfflineSep = nullptr;
    QAction* PopupRunProgramsInList = nullptr;
    QAction* Online = nullptr;
    QAction* PopupOther = nullptr;
    QAction* PopupShowMain = nullptr;
    QAction* PopupShowLog = nullptr;
    QAction* PopupShowConfig = nullptr;
    QAction* CloseProgram = nullptr;
    QAction* PopupHelp = nullptr;
    QAction* PopupShowHelpIndex = nullptr;
    QAction* PopupShowAbout = nullptr;
    QAction* PopupShow = nullptr;
    QAction* PopupShowInTask = nullptr;
    QAction* PopupShowInTitle = nullptr;
    QAction* PopupShowCurrent = nullptr;
    QAction* PopupShowDay = nullptr;
    QAction* PopupShowTotal = nullptr;

    // Event procedures
    void onDialButtonClicked(int Index);
    void onDialItemTriggered(int Index);
    void onHangUpTriggered();
    void onHangUpWithoutLogTriggered();
    void onRunProgramsInListClicked();
    void onRunProgramsInListTriggered();
    void onShowMainTriggered();
    void showLog();
    void showConfiguration();
    void onHideClicked();
    void onActivated();

signals:
    /// The tray icon has just been taken off the tray by the exit sequence.
    void trayIconRemoved();
    /// The tray's menu has just been switched to the meter's online state: at every call's start
    /// and end, and once at the load.
    void popupMenuSwitched();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class Gate : public StartListGate {
    public:
        explicit Gate(const MainFrm& frm) : frm_(frm) { }
        bool RunProgramsInList() const override;

    private:
        const MainFrm& frm_;
    };

    void createControls();
    void createMenus();
    void applyEnglishTexts();
    void prepareStartListControls();
    void preparePopupMenu();
    void toggleStatusWindow();
    void doubleClick();
    void refreshTooltip();
    void onTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void refreshTrayIcon();
    void openOrSay(const QString& path, const QString& what);
    void showMainWindow();

    ProgramState& state_;
    SettingsFile& settings_;
    const NumberFormat& format_;
    const StringTable& strings_;
    Prompter& prompter_;
    EventSounds& sounds_;
    RasServices& ras_;
    Desktop& desktop_;
    ConfigWindow& config_;
    ProgramFolder folder_;
    Gate gate_;
    MeterWindows* meter_ = nullptr;
    Dialup* dialup_ = nullptr;
    ConnectionWatch* watch_ = nullptr;
    SelectDUN* selectDUN_ = nullptr;
    CallOwner* owner_ = nullptr;
    QString dialPrefix_; // in front of the scheme's name in the status window's caption while dialing
    std::function<void()> showLogViewer_;
    std::function<void(const QString&)> openHelp_;
    StartList* startList_ = nullptr;
    QPointer<QWidget> splash_;
    bool exiting_ = false;
    QPointer<QWidget> about_;
    // Made only once a tray is there: Qt decides once, as the first icon is made, whether it
    // speaks to a StatusNotifier host.
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
    QAction* callFigure_ = nullptr;
    QElapsedTimer lastActivation_; // since the tray's last single activation
    bool priceInIcon_ = false; // the call's price drawn into the icon, as chosen at its start
    QString iconPrice_; // the price the icon shows now
    bool busy_ = false;
    bool inTray_ = false; // the icon is in a tray, so hiding the window leaves a way back
    bool english_ = false;
};

} // namespace ringtally
