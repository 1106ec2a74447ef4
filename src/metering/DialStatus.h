#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;

namespace ringtally {

class IniValue;
class NumberFormat;
class PriceEngine;
class SettingsFile;
class StringTable;
struct ProgramState;

/// The status window: the running call's time and price, today's, the total, the scheme and the
/// minute price, one row each. It runs the meter's tickTimer and shows the texts the price engine
/// keeps; its menu chooses the rows, the task-bar and floating windows and their figure, and hangs
/// up. Created once, hidden rather than closed.
class DialStatus : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRowCount = 7;
    /// The row of the call's bytes, the last one.
    static constexpr int kBytesRow = 6;
    static constexpr int kRowHeightTwips = 260;

    DialStatus(ProgramState& state, SettingsFile& settings, PriceEngine& engine, const StringTable& strings,
        const NumberFormat& format, QWidget* parent = nullptr);

    // Controls, owned by the window.
    QMenuBar* menuBar = nullptr;
    std::array<QWidget*, kRowCount> Element {};
    QLabel* TidTtl = nullptr;
    QLabel* PrisTtl = nullptr;
    QLabel* NuvTitl = nullptr;
    QLabel* NuvTimer = nullptr;
    QLabel* NuvKolon = nullptr;
    QLabel* NuvMinutter = nullptr;
    QLabel* kolonsek = nullptr;
    QLabel* NuvPris = nullptr;
    QLabel* DagTitl = nullptr;
    QLabel* DagTimer = nullptr;
    QLabel* DagKolon = nullptr;
    QLabel* DagMinutter = nullptr;
    QLabel* daySecondsColon = nullptr;
    QLabel* DagPris = nullptr;
    QLabel* TotTtl = nullptr;
    QLabel* TotTimer = nullptr;
    QLabel* TotKolon = nullptr;
    QLabel* TotMinutter = nullptr;
    QLabel* totalSecondsColon = nullptr;
    QLabel* TotPris = nullptr;
    std::array<QLabel*, 3> SekNr {};
    QLabel* Opkaldstypelbl = nullptr;
    QLabel* NuvMinPrislbl = nullptr;
    QLabel* bytesLabel = nullptr; // "Data: ↓ received  ↑ sent" of the call's part
    QLabel* Sek = nullptr;
    QMenu* mnuShowTmp = nullptr;
    std::array<QAction*, kRowCount> mnuShow {};
    QAction* mnuShowInTask = nullptr;
    QAction* mnuShowInTitle = nullptr;
    QAction* mnuShowNowTitl = nullptr;
    QAction* mnuShowDayTitl = nullptr;
    QAction* mnuShowTotTitl = nullptr;
    QAction* mnuLog = nullptr;
    QAction* mnuNoLog = nullptr;
    QTimer tickTimer;

    /// One tick of the meter, then the new figures on the labels.
    void onTick();
    /// Shows the rows the settings ask for and sizes the window.
    void onActivated();
    /// Hides row index when it is shown, shows it otherwise, and stores the choice.
    void toggleRow(int index);
    /// Switches the task-bar window and flips its stored setting; offline it stays hidden.
    void toggleTaskbarWindow();
    /// Switches the floating window and flips its stored setting; offline it stays hidden.
    void toggleFloatingWindow();
    /// Ends the call with logging.
    void hangUpAndLog();
    /// Ends the call without logging.
    void hangUpWithoutLog();
    /// The right button released over NuvPris with Shift, Ctrl and Alt held asks for the state window.
    void onPriceReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

    /// Chooses the figure of the task-bar text and the tray tooltip: 1 current, 2 today, 3 total;
    /// any other number only repeats the current ticks.
    void switchTaskbarFigure(qint16 Number);
    /// Stacks the rows whose items are ticked and sizes the window to them.
    void arrangeRows();
    /// The client height of a window whose whole height, frame included, is wholeWindowPx, and
    /// whose frame takes framePx of it; never less than neededPx, what the menu and rows need.
    static int clientHeightFor(int wholeWindowPx, int framePx, int neededPx);
    /// Puts the engine's texts on the labels.
    void showTexts();

    /// The task-bar and floating windows that the two show-in items switch.
    void setInfoWindows(QWidget* taskbarWindow, QWidget* floatingWindow);
    /// Ticks or unticks mnuShowInTask, as the call start does from the setting.
    void setShowInTask(bool ticked);
    /// Ticks or unticks mnuShowInTitle, as the call start does from the setting.
    void setShowInTitle(bool ticked);
    bool showInTaskTicked() const { return showInTask_; }
    bool showInTitleTicked() const { return showInTitle_; }
    /// The figure last chosen by switchTaskbarFigure (1 to 3), 0 before the first choice.
    int taskbarFigure() const { return taskbarFigure_; }
    /// Whether "Trayinfo Visible" asks for the task-bar window.
    bool storedShowInTask() const;
    /// Whether "Titleinfo Visible" asks for the floating window.
    bool storedShowInTitle() const;
    /// Enables or disables mnuLog and mnuNoLog.
    void setHangUpItemsEnabled(bool enabled);
    /// Stores the window's position in "Dialstat Left Cord" and "Dialstat Top Cord".
    void storePosition();

    /// The word in front of the price in the task-bar text.
    const QString& PriceLabel() const { return PriceLabel_; }
    /// The word in front of the time in the task-bar text.
    const QString& TimeLabel() const { return TimeLabel_; }

signals:
    /// A hang-up item was chosen: with a log or without.
    void hangUpRequested(bool log);
    /// The internal state window was asked for.
    void stateWindowRequested();
    /// The figure's ticks changed or were confirmed (0 none, 1 current, 2 today, 3 total).
    void taskbarFigureChanged(int figure);
    /// mnuShowInTask was ticked or unticked.
    void showInTaskChanged(bool ticked);
    /// mnuShowInTitle was ticked or unticked.
    void showInTitleChanged(bool ticked);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createRows();
    void createMenu();
    void load();
    void applyEnglishTexts();
    // Column widths in pixels, from the font and the widest figure each column can show.
    struct Columns {
        int gap = 0, title = 0, hours = 0, colon = 0, twoDigits = 0, time = 0, price = 0;
    };
    Columns columns() const;
    int rowHeightTwips() const;
    int neededWidth() const;
    void widenToFit();
    void layoutChildren();
    void flipInfoWindow(QWidget* window, QAction* item, bool& ticked, const QString& key);
    void writeSetting(const QString& key, const IniValue& value);
    bool readTrueFalse(const QString& key) const;

    ProgramState& state_;
    SettingsFile& settings_;
    PriceEngine& engine_;
    const StringTable& strings_;
    const NumberFormat& format_;

    QWidget* body_ = nullptr;
    QPointer<QWidget> taskbarWindow_;
    QPointer<QWidget> floatingWindow_;
    QString PriceLabel_;
    QString TimeLabel_;
    bool showInTask_ = false;
    bool showInTitle_ = false;
    int taskbarFigure_ = 0;
    bool arranged_ = false; // the rows have been arranged once, as the window is shown first
};

} // namespace ringtally
