#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace ringtally {

class Clock;
class DialControl;
class DialUpNetwork;
class DialupServices;
class IniValue;
class Prompter;
class SettingsFile;
class StringTable;
struct ProgramState;

/// The dial window: shows each state of a dial in its status line and its detail list, hides
/// itself once the line is up, and offers to dial again or to hang up. Its Disconnected timer
/// logs a call whose line drops by itself; its Reconnect timer redials a busy line. Created once,
/// hidden rather than closed.
class Dialup : public QWidget {
    Q_OBJECT

public:
    /// The whole window's height, frame included, with the detail list closed and open.
    static constexpr int kClosedHeightTwips = 1155;
    static constexpr int kOpenHeightTwips = 2640;
    /// The dial error of a busy line, which the Reconnect timer answers with a redial.
    static constexpr qint32 kLineBusy = 676;

    Dialup(ProgramState& state, SettingsFile& settings, DialControl& rasDial, const DialUpNetwork& network,
        DialupServices& services, Prompter& prompter, const Clock& clock, const StringTable& strings,
        QWidget* parent = nullptr);

    // Controls, owned by the window; RasDial is the program's dial-up control.
    DialControl& RasDial;
    QLabel* Stat = nullptr;
    QLabel* OpkStat = nullptr;
    QListWidget* detailList = nullptr;
    QPushButton* Details = nullptr;
    QPushButton* Call_again = nullptr;
    QPushButton* Hang_up = nullptr;
    QTimer lineUpTimer;
    QTimer Disconnected;
    QTimer Reconnect;

    /// The dial itself, once the control's properties are set: RedialCount 1, the detail list
    /// cleared, StartDial, the window shown (not modal), then "Calling <scheme> at <number>", the
    /// status line "Ringer op til <scheme> på tlf. <number>" and the status text of DialResult.
    void startDialing(const QString& schemeName);
    /// Switches the line watch (the Disconnected timer) on or off.
    void setLineWatch(bool on);
    /// The call end's part here: the dial and its countdown stop, and the control hangs up.
    void hangUpDialControl();
    /// The call end's part here: the window is hidden.
    void hideDialWindow();

    /// The English text of a connection state or an error number, which goes into the detail
    /// list; sets the status line, plays "Error" for the system's errors, hangs the control up for
    /// an unknown one, and shows "Disconnected!!!" for the Disconnected state.
    QString GetStatus(qint32 value);
    /// What the state or error number reads as, and nothing else.
    QString statusText(qint32 value) const;

    // Event procedures
    void onDialStatus(qint32 RasConnState, qint32 dwError);
    void onCallAgainClicked();
    void onHangUpClicked();
    void toggleDetails();
    void copyDetailsToClipboard();
    void onStatusLineChanged();
    /// The line is up: sound, position stored, line watch, status caption, window hidden, and the
    /// start list's programs for a connection.
    void onLineUp();
    /// Logs the call when the line has dropped by itself.
    void checkLineDropped();
    /// The busy line's countdown, then the redial; gives up after "Redial number" tries.
    void countDownToRedial();
    /// Reads "Redial interval" and "Redial number" again.
    void onActivated();
    /// Stores the window's position in "Dialup Left Cord" and "Dialup Top Cord".
    void storePosition();

    /// Number of the current dial attempt: 1 after a dial, raised by each redial, 6 after a hang-up.
    int RedialCount() const { return RedialCount_; }
    /// What the control's last StartDial returned.
    qint32 DialResult() const { return DialResult_; }
    int RedialInterval() const { return RedialInterval_; }
    int RedialNumber() const { return RedialNumber_; }
    /// Whether the detail list is open.
    bool detailsOpen() const { return detailsOpen_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What GetStatus does with a value: its text, the status line it sets (none when null), and
    // whether it is one of the system's errors or an error no one knows.
    enum class StatusKind { State, SystemError, UnknownError };
    struct StatusEntry {
        QString text;
        QString line;
        StatusKind kind = StatusKind::State;
    };
    StatusEntry describe(qint32 value) const;
    QString applyStatus(qint32 value);
    void showDisconnectedBox();

    void createControls();
    void load();
    void place();
    void applyEnglishTexts();
    void setStat(const QString& text);
    void startDial();
    void listDialResult();
    void dialFailed(qint32 error);
    void redial();
    void newSeries();
    void restartMeter();
    QString countdownText(int seconds) const;
    void setDetailsOpen(bool open);
    void fitHeight();
    int statWidth() const;
    int neededClosedHeight() const;
    void layoutChildren();
    void writeSetting(const QString& key, const IniValue& value);

    ProgramState& state_;
    SettingsFile& settings_;
    const DialUpNetwork& network_;
    DialupServices& services_;
    Prompter& prompter_;
    const Clock& clock_;
    const StringTable& strings_;

    QString DetailsClosed_;
    QString DetailsOpen_;
    int RedialCount_ = 0;
    qint32 DialResult_ = 0;
    int RedialInterval_ = 0;
    int RedialNumber_ = 0;
    int countdown_ = 0;
    bool detailsOpen_ = false;
    // Whether the control's states belong to a dial of ours still running: from StartDial until
    // the line is up, the dial ends, or we hang up ourselves. What the control reports after
    // that (a hang-up's own Disconnected, a connection that drops) is not the dial's.
    bool dialing_ = false;
    quint64 connectedCall_ = 0; // the call whose connection lineUpTimer's step belongs to
    bool placed_ = false; // sized and placed as it was first shown
};

} // namespace ringtally
