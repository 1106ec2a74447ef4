#pragma once

#include "config/ConfigContext.h"
#include "core/ProgramState.h"
#include "platform/Result.h"
#include "tray/ConfigWindow.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace ringtally {

class EventSounds;
class ListsPage;
class MiscPage;
class RegistryRoutines;
class Save;
class SchemePage;

/// The configuration window: the schemes, the miscellaneous options and the lists on three pages.
/// It works on a copy of the settings of its own: opening it fills every control from the settings
/// file, OK writes them back, saves and hands the copy over to the program at once, cancel and the
/// close box throw it away. It never touches the counters or anything else of a running call. Made once,
/// hidden rather than closed; its display words are fixed when it is made. The owner (the main window) is
/// disabled while it shows.
class Config : public QDialog, public ConfigWindow {
    Q_OBJECT

public:
    /// runProgramsInList puts the start list's switch on the main window and the tray menu.
    /// The sounds and their store serve the sound chooser.
    Config(ConfigContext context, EventSounds& sounds, RegistryRoutines& registry,
        std::function<void(bool)> runProgramsInList, QWidget* parent = nullptr);
    ~Config() override;

    // ConfigWindow
    void showConfig(QWidget* owner) override;
    void unload() override;

    // Controls: the page switches Framevalg(1..3) at 0..2, and the pages they show.
    std::array<QRadioButton*, 3> Framevalg {};
    QStackedWidget* Frame = nullptr;
    SchemePage* schemePage = nullptr;
    MiscPage* miscPage = nullptr;
    ListsPage* listsPage = nullptr;
    Save* tariffDialog = nullptr;
    QPushButton* Okay = nullptr;
    QPushButton* Cancel = nullptr;

    /// Fills every control from the settings, the in-memory ones read again first.
    void refillForm();
    /// Writes every control back and saves; on a failed write says why and stays open with the edits.
    void onOkClicked();
    /// Throws the edits away, hides the window and gives the main window back.
    void onCancelClicked();
    /// Shows page Index (1 schemes, 2 miscellaneous, 3 lists).
    void showPage(int Index);
    /// Refills the window unless it comes back from one of its own dialogs.
    void onActivated();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Status renameListEntries();

    ProgramState& live_; // the program's settings, which OK hands the edits to
    ProgramState draft_; // the window's own copy, which the pages edit
    ConfigContext context_;
    EventSounds& sounds_;
    RegistryRoutines& registry_;
    std::function<void(bool)> runProgramsInList_;
    QPointer<QWidget> owner_;
};

/// The configuration window as the main window opens it: made on first use, as filling its pages
/// would otherwise hold up every start of the program.
class ConfigOnFirstUse : public ConfigWindow {
public:
    explicit ConfigOnFirstUse(std::function<std::unique_ptr<Config>()> make) : make_(std::move(make)) { }

    void showConfig(QWidget* owner) override
    {
        if (!window_)
            window_ = make_();
        window_->showConfig(owner);
    }
    void unload() override
    {
        if (window_)
            window_->unload();
    }
    /// The window, once made.
    Config* window() const { return window_.get(); }

private:
    std::function<std::unique_ptr<Config>()> make_;
    std::unique_ptr<Config> window_;
};

} // namespace ringtally
