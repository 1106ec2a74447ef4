#pragma once

#include "core/ProgramState.h"
#include "platform/Result.h"

#include <QPoint>
#include <QWidget>

#include <array>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace ringtally {

class SettingsFile;
class StringTable;

/// The floating window: an always-on-top strip that repeats the task-bar text in its label Info,
/// can be dragged anywhere with the left button and offers the figure, the two windows and
/// hanging up on a right click. Its position lives in the settings file, in twips.
class TitleInfo : public QWidget {
    Q_OBJECT

public:
    /// How long the window stays after a call end, so a new call can keep it.
    static constexpr int kHideDelayMs = 5000;
    /// A window dropped with its top closer than this to the screen's top snaps to the top edge of
    /// what the panels leave of the screen.
    static constexpr double kSnapTopTwips = 280;

    TitleInfo(ProgramState& state, SettingsFile& settings, const StringTable& strings);

    /// Shows text in Info and widens or heightens the window to fit it; it never shrinks, and it
    /// grows leftwards from its default place and wherever the screen's right edge stops it.
    void setInfoText(const QString& text);
    /// Ticks exactly the Taskbar item of figure (1..3); any other figure unticks all three.
    void setTaskbarTicks(int figure);
    /// Ticks mnuShowInTask as the status window's item is ticked.
    void setShowInTaskTicked(bool ticked);
    /// Ticks mnuShowInTitle as the status window's item is ticked.
    void setShowInTitleTicked(bool ticked);

    /// Starts HideTitleInfo after a call end; the window hides when it runs out offline.
    void startHideTimer();
    /// Whether HideTitleInfo is running.
    bool hideTimerRunning() const;
    /// HideTitleInfo ran out: stops it, and hides the window unless a call is metered again.
    void onHideTimeout();

    /// Places the window at its stored position (the default: top right of the screen), inside
    /// what the panels leave of the screen.
    void onActivated();

    /// Left button pressed on Info at globalPx: a drag starts.
    void onInfoPressed(QPoint globalPx);
    /// Pointer moved to globalPx with the left button down: the window follows.
    void onInfoDragged(QPoint globalPx);
    /// Left button released at globalPx: the window lands (snapping to the top edge) and its
    /// position is stored.
    Status onInfoReleased(QPoint globalPx);
    /// Right button released on Info at globalPx: shows Popmenu there unless the window is about
    /// to hide after a call end; returns whether it was shown.
    bool onInfoRightReleased(QPoint globalPx);

    /// Menu item Taskbar(index), index 1..3: chooses the figure.
    void chooseTaskbarFigure(int index);
    /// Menu item mnuShowInTask: switches the task-bar window through the status window.
    void toggleTaskbarWindow();
    /// Menu item mnuShowInTitle: switches this window through the status window.
    void toggleFloatingWindow();
    /// Menu item hanguplog: hangs up and logs the call.
    void hangUpAndLog();
    /// Menu item hangupnolog: hangs up without logging the call.
    void hangUpWithoutLog();
    /// Menu item mnuHelpIndex: opens the help contents.
    void openHelpIndex();
    /// Menu item mnuHelpAbout: shows the about box.
    void showAbout();

    QLabel* Info = nullptr;
    QMenu* Popmenu = nullptr;
    std::array<QAction*, 3> Taskbar {}; // Taskbar[i] is the item of figure i + 1
    QAction* mnuShowInTask = nullptr;
    QAction* mnuShowInTitle = nullptr;
    QAction* hanguplog = nullptr;
    QAction* hangupnolog = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpIndex = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QTimer* HideTitleInfo = nullptr;

signals:
    /// A Taskbar item was chosen: the status window's switchTaskbarFigure with figure.
    void taskbarChosen(int figure);
    /// The status window's toggleTaskbarWindow is to run.
    void showInTaskClicked();
    /// The status window's toggleFloatingWindow is to run.
    void showInTitleClicked();
    /// The call is to end by hangUp with mode "Log" or "NoLog".
    void hangUpRequested(const QString& mode);
    /// The help contents are to open.
    void helpIndexRequested();
    /// The about box is to show.
    void aboutRequested();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void fitInfo();
    void buildMenu();
    void useEnglishTexts();
    void growToFitInfo();
    bool hasStoredLeft() const;
    // Moves the window inside the screen; at its default place it first goes back there.
    void keepOnScreen(bool atDefaultPlace);

    ProgramState& state_;
    SettingsFile& settings_;
    const StringTable& strings_;

    bool dragging_ = false;
    QPoint pressGlobalPx_; // the pointer at the press
    QPoint pressTopLeftPx_; // the window's top left at the press
    bool sized_ = false; // sized to its text once, as it was first shown or given a text
};

} // namespace ringtally
