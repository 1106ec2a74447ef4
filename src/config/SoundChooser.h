#pragma once

#include "tray/EventSounds.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ringtally {

class RegistryRoutines;

/// The sound chooser: the program's five sound events, each with its wave file, to browse for,
/// clear or play. Every change goes to the registry store at once, as the desktop's own sound
/// settings would; the configuration window's OK or cancel does not touch it. Modal; show it
/// with open() or exec().
class SoundChooser : public QDialog {
    Q_OBJECT

public:
    static constexpr int kEventCount = int(EventSounds::kEvents.size());
    /// Asks for a sound file, starting at current (may be empty); an empty answer is a cancel.
    using FileAsker = std::function<QString(QWidget* parent, const QString& current)>;

    SoundChooser(EventSounds& sounds, RegistryRoutines& registry, bool english, QWidget* parent = nullptr);

    /// Replaces the file dialog behind the browse buttons.
    void setFileAsker(FileAsker asker) { askFile_ = std::move(asker); }

    // Controls, owned by the window; one row per event, in EventSounds::kEvents order.
    std::array<QLabel*, kEventCount> EventLbl {};
    std::array<QLineEdit*, kEventCount> SoundFile {};
    std::array<QPushButton*, kEventCount> Browse {};
    std::array<QPushButton*, kEventCount> NoSound {};
    std::array<QPushButton*, kEventCount> Play {};
    QPushButton* CloseButton = nullptr;

    /// Shows every event's file as the registry holds it now.
    void onActivated();
    /// Asks for a file and makes it the event's sound.
    void onBrowseClicked(int Index);
    /// Leaves the event without a sound.
    void onNoSoundClicked(int Index);
    /// Plays the event's sound as the program would.
    void onPlayClicked(int Index);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setSound(int index, const QString& path);
    void showRow(int index);

    EventSounds& sounds_;
    RegistryRoutines& registry_;
    FileAsker askFile_;
};

} // namespace ringtally
