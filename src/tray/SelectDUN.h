#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace ringtally {

class Dialer;
class Prompter;
class RasServices;
class SettingsFile;
class StartListGate;
class StringTable;
struct ProgramState;

/// The scheme selection window: asks which scheme meters a connection that another dialer made
/// and that the autolog list does not name, stores the answer as a new autolog entry and starts
/// metering with the chosen scheme. Not modal; created once, hidden rather than closed.
class SelectDUN : public QDialog {
    Q_OBJECT

public:
    /// The choice that names no scheme: the connection is never to be logged.
    static inline const QString kNoScheme = QStringLiteral(" --- ");

    SelectDUN(ProgramState& state, SettingsFile& settings, const RasServices& ras, const StartListGate& gate,
        Dialer& dialer, Prompter& prompter, const StringTable& strings, QWidget* parent = nullptr);

    /// Shows the window, freshly filled, unless it is on screen already, where the user's choice
    /// stays as it is.
    void ask();

    // Controls, owned by the window.
    QLabel* DunConLbl = nullptr;
    QLabel* DUNCon = nullptr;
    QLabel* LogWithLbl = nullptr;
    QComboBox* OpkTyper = nullptr;
    QCheckBox* LaunchProgs = nullptr;
    QPushButton* OK = nullptr;

    /// Fills the window for the connection that is up: its name, the schemes, nothing chosen.
    void onActivated();
    /// A choice in the scheme list.
    void onSchemeChosen();
    /// Stores the answer as a new autolog entry, starts metering with the chosen scheme, hides.
    void onOkClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ProgramState& state_;
    SettingsFile& settings_;
    const RasServices& ras_;
    const StartListGate& gate_;
    Dialer& dialer_;
    Prompter& prompter_;
};

} // namespace ringtally
