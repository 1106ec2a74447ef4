#pragma once

#include "config/AddProg.h"
#include "platform/Result.h"

#include <QString>
#include <QWidget>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ringtally {

class HolidayList;
struct ConfigContext;
struct DisplayWords;

/// The scheme choice of an autolog line whose connection is never to be logged.
inline const QString kNeverLog = QStringLiteral(" --- ");

/// The word a yes/no column shows for a stored flag: "1" is yes, anything else no.
QString yesNoWord(const QString& stored, const DisplayWords& words);
/// The stored flag for a yes/no column's word: yes "1", no "0", any other text none.
std::optional<QString> storedYesNo(const QString& word, const DisplayWords& words);
/// The start-list labels' words: the start time ("0" when connected, anything else when dialing),
/// the start state ("0" normal, "1" minimized, "2" maximized, anything else "-") and whether the
/// program is closed at hang-up (it is when it has a title line).
QString startTimeWord(const QString& stored, const DisplayWords& words);
QString startStateWord(const QString& stored, const DisplayWords& words);
QString closingWord(const QString& titleLine, const DisplayWords& words);

/// The configuration window's lists page: the autolog list, the auto-connect list and the start
/// list, each as parallel columns whose lines correspond by position, with an edit row that adds
/// a line or changes the selected one; and the holiday list. The lists reach the settings file only
/// through store().
class ListsPage : public QWidget {
    Q_OBJECT

public:
    ListsPage(ConfigContext& context, QWidget* parent = nullptr);

    // Autolog list: connection, scheme (or kNeverLog), start the start list (yes/no).
    QLabel* AutologListeLbl = nullptr;
    std::array<QListWidget*, 3> Autolog {};
    QLabel* DUNNameLbl = nullptr;
    QLabel* LogWithLbl = nullptr;
    QLabel* StartProgsLbl = nullptr;
    QComboBox* AutoDUNName = nullptr; // the system's dial-up entries
    QComboBox* LogEdit = nullptr; // the named schemes, then kNeverLog
    QComboBox* StartProgsEdit = nullptr; // no, yes
    QPushButton* addAutologButton = nullptr;
    QPushButton* removeAutologButton = nullptr;
    QLabel* TIP5 = nullptr;

    // Auto-connect list: title text, scheme, dial, hang up when the window goes, start programs.
    QLabel* AutoConnectLbl = nullptr;
    std::array<QListWidget*, 5> AutoConnect {};
    QLineEdit* AutoConnectEditTitel = nullptr;
    /// Edits column i of the auto-connect list for i = 1..4; [0] stays null (the title column is
    /// edited by AutoConnectEditTitel). [1] the named schemes, [2..4] yes, no.
    std::array<QComboBox*, 5> AutoConnectEdit {};
    QPushButton* addAutoConnectButton = nullptr;
    QPushButton* removeAutoConnectButton = nullptr;

    // Start list: the columns hold the stored values; only the command lines are shown.
    QLabel* Startlistelbl = nullptr;
    StartListColumns Runprogs {};
    QLabel* StartTimeLbl = nullptr;
    QLabel* StartstateLbl = nullptr;
    QLabel* DisconnectStateLbl = nullptr;
    QPushButton* Add = nullptr;
    QPushButton* Remove = nullptr;
    QCheckBox* RunProgsOnConnect = nullptr;

    HolidayList* holidayList = nullptr;

    /// Fills every control of the page from the settings (the in-memory counts and holidays, which
    /// the window has just loaded, and the file's entries); no line selected, empty edit rows.
    void fill();
    /// Rewrites the "Autolog", "AutoConnect" and "Runprogs" sections from the columns with their
    /// counts ("Number_of_DUN", "Count", "Number of progs ") and "Run progs ", in one replace of
    /// the settings file, and hides the add/edit program dialog. The in-memory counts
    /// (NumberOfDUN, AutoConnectCount) and the holidays (saved with the other settings) follow once
    /// the file is written; on a failure nothing is changed and the failure is returned.
    Status store();
    /// Refills the scheme combos LogEdit and AutoConnectEdit[1] from the in-memory scheme names;
    /// to be called whenever a scheme's name changes. A chosen name that still exists stays chosen.
    void refillSchemeCombos();
    /// The add/edit program dialog, made on first use.
    AddProg& addProg();

    // Autolog list.
    void onAutologLineClicked(int Index);
    void onAutologConnectionChosen();
    void onAutologSchemeChosen();
    void onAutologStartChosen();
    void onAddAutologClicked();
    void onRemoveAutologClicked();

    // Auto-connect list.
    void onAutoConnectLineClicked(int Index);
    void onAutoConnectFieldChosen(int Index);
    void onAutoConnectTitleTyped();
    void onAutoConnectTitleLeft();
    void onAddAutoConnectClicked();
    void onRemoveAutoConnectClicked();

    // Start list.
    void onProgramLineClicked(int Index);
    void onAddProgramClicked();
    void onProgramLineDoubleClicked();
    void onRemoveProgramClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyTexts();
    void layOut();
    void connectEvents();
    void loadAutologEditRow(int line);
    void loadAutoConnectEditRow(int line);
    void removeAutoConnectLine(bool selectFirst);

    ConfigContext& ctx_;
    AddProg* addProg_ = nullptr;
};

} // namespace ringtally
