#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace ringtally {

struct ConfigContext;

/// The tariff-file dialog of the scheme page: saves one scheme's day tariffs from memory into a
/// tariff file ("Gem Takster"), or loads a tariff file into one scheme in memory ("Hent
/// Takster"). The settings file is not touched: the loaded prices reach it only when the
/// configuration window is closed with OK. Modal; created once, hidden rather than closed.
class Save : public QDialog {
    Q_OBJECT

public:
    /// Save ("Gem") writes the scheme into a file; load ("Hent") reads a file into the scheme.
    enum class Mode { Gem, Hent };

    static inline const QString kExtension = QStringLiteral(".ptf");

    Save(ConfigContext& ctx, QWidget* parent = nullptr);

    using QDialog::open;
    /// Shows the dialog for scheme 0..2 in the mode, in the program's folder, with the default file
    /// name; dayType (0..2) is the day type the scheme page shows, handed back by loaded().
    void open(int scheme, int dayType, Mode mode);

    /// The folder the lists show; lists it.
    void setFolder(const QString& folder);
    const QString& folder() const { return folder_; }
    /// The path OK acts on: Filename in the folder (the root folder gets no doubled "/").
    QString path() const;
    /// The scheme's name with ".ptf", less the characters a file name cannot hold ("/", "\" and
    /// control characters).
    static QString defaultFileName(const QString& schemeName);

    // Controls, owned by the dialog. There are no drives: Folder shows the folder, folderList lists ".."
    // and its subfolders (double-click or Enter goes in), fileList its files of the chosen type.
    QLabel* Folder = nullptr;
    QListWidget* folderList = nullptr;
    QListWidget* fileList = nullptr;
    QComboBox* Filetype = nullptr;
    QLabel* fileNameLabel = nullptr;
    QLineEdit* Filename = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

    /// Title and OK caption by mode, the program's folder, the first file type, the default name.
    void onActivated();
    /// Goes into the folder of a folderList entry.
    void onFolderChanged(QListWidgetItem* item);
    /// fileList lists the folder's files of the chosen type.
    void onFileTypeChanged();
    /// Filename = the clicked file's name.
    void onFileClicked();
    /// The same, then OK.
    void onFileDoubleClicked();
    /// Selects the whole file name.
    void onFileNameEntered();
    /// With the first file type, a name not ending in ".ptf" (in any case) gets ".ptf".
    void onFileNameLeft();
    /// Saves or loads; a failure shows a message and keeps the dialog open, else it hides.
    void onOkClicked();
    /// Hides the dialog.
    void onCancelClicked();

signals:
    /// A file was loaded into the scheme in memory; the scheme page refills itself for the
    /// scheme and the day type it showed.
    void loaded(int scheme, int dayType);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ConfigContext& ctx_;
    int Ordning_ = 0;
    int VistDag_ = 0;
    Mode HentGem_ = Mode::Gem;
    QString folder_;
};

} // namespace ringtally
