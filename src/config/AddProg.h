#pragma once

#include <QDialog>
#include <QString>

#include <array>

class QComboBox;
class QFileInfo;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ringtally {

struct ConfigContext;

/// The start list's four parallel columns on the lists page: command line, start time ("0" when
/// connected, "1" when dialing), start state ("0" normal, "1" minimized, "2" maximized), title line.
using StartListColumns = std::array<QListWidget*, 4>;

/// A start-list command line taken apart: the program's path and its parameters.
struct CommandLineParts {
    QString path;
    QString parameters;
};

/// The items of the file type combo, in order.
enum class FileType { Executables = 0, Shortcuts = 1, AllFiles = 2 };

/// The path of a file in a folder; the root folder already ends in "/", so none is doubled.
QString programPath(const QString& folder, const QString& file);
/// The command line as the start list stores it: the path in double quotes, one blank, then the
/// parameters (so it ends in a blank when there are none).
QString commandLineFor(const QString& path, const QString& parameters);
/// Takes a stored command line apart: the path between the first two double quotes and what
/// follows the closing quote, without the blank that separates it. A line without a quote is a
/// path on its own, as the start list runs it.
CommandLineParts splitCommandLine(const QString& commandLine);
/// Whether the command line names a shortcut (a desktop entry, or a Windows shortcut), which is
/// started in the normal window state only.
bool isShortcut(const QString& commandLine);
/// The file type a file belongs to: shortcuts by their name, executables by the execute bit or
/// the name "*.sh", everything else to all files only.
FileType fileTypeOf(const QFileInfo& file);

/// The add/edit program dialog: picks a program from a folder view and its file list, takes its
/// parameters, start time, window state and closing title, and writes one line of the lists
/// page's start list. Nothing reaches the settings file before the configuration window's OK.
/// Window-modal over the configuration window, so the line being edited cannot change under it.
class AddProg : public QDialog {
    Q_OBJECT

public:
    AddProg(ConfigContext& context, const StartListColumns& Runprogs, QWidget* parent = nullptr);

    // Controls, owned by the dialog. folderList lists the current folder's ancestors, the folder
    // itself (current item) and its sub-folders; each item holds its full path as user data.
    QLabel* FolderLbl = nullptr; // the current folder's path
    QListWidget* folderList = nullptr;
    QListWidget* fileList = nullptr;
    QComboBox* fileTypeBox = nullptr; // file type, items in FileType order
    QLabel* CmdLineLbl = nullptr;
    QLineEdit* Commandline = nullptr;
    QLabel* CmdLinePLbl = nullptr;
    QLineEdit* CommandlineParameter = nullptr;
    QLabel* StartProgLbl = nullptr;
    QComboBox* StartTime = nullptr; // item index = stored start time
    QComboBox* StartState = nullptr; // item index = stored start state
    QLabel* Titlecaption = nullptr;
    QLineEdit* Titleline = nullptr;
    QLabel* TIP = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

    /// Add mode: ResetOnActivate off, every field emptied or on its first item, then shown.
    void openForAdd();
    /// Edit mode for line `line` of the start list: ResetOnActivate off, the fields filled from
    /// the line, then shown. A line that is not there opens nothing.
    void openForEdit(int line);
    /// Whether OK replaces the line being edited (rather than adding one).
    bool editing() const { return editLine_ >= 0; }

    /// The folder the file list shows.
    const QString& folder() const { return folder_; }
    /// Goes to the folder (folderList's change) and lists it; false, and nothing changes, when it is
    /// not an existing folder.
    bool setFolder(const QString& path);

    /// Lists the current folder's files of the chosen type.
    void onFolderChanged();
    /// The file type changed: the file list follows.
    void onFileTypeChanged();
    /// Rebuilds the command line from the chosen file, or, with no file chosen, from the path the
    /// command line already holds, and the parameters.
    void onFileClicked();
    void onParametersChanged() { onFileClicked(); }
    /// A shortcut fixes the window state at normal; anything else leaves it free.
    void onCommandLineChanged();
    /// Warns about an empty command line; otherwise writes the line and hides the dialog.
    void onOkClicked();
    void onCancelClicked() { hide(); }

signals:
    /// A line was added or replaced: the page updates its labels.
    void startListChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyTexts();
    void onFolderActivated();
    void onCommandLineEdited();
    void showDialog();
    void showFolder();

    /// A stored start time or state and the item it showed as when the line was opened.
    struct ShownChoice {
        QString stored;
        int item = -1;
    };
    /// The combo's value for the start list: the stored one while the combo shows what it showed.
    static QString choiceFor(const QComboBox& combo, const ShownChoice& shown);

    ConfigContext& ctx_;
    StartListColumns Runprogs_;
    QString folder_;
    int editLine_ = -1; // the line being edited; -1 in add mode
    ShownChoice startTime_, startState_;
};

} // namespace ringtally
