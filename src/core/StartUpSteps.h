#pragma once

#include "platform/Result.h"

#include <QDate>
#include <QString>

#include <functional>

namespace ringtally {

class NumberFormat;
class Prompter;
class SettingsFile;
class StringTable;
struct ProgramState;

/// What the main window's load calls out to during its first-run and sound steps. The
/// composition root binds these to EventSounds and to the main window; tests record the calls.
struct StartUpServices {
    /// Creates the sound event entries with their default sounds.
    std::function<void()> RegisterSoundEvents;
    /// Puts the shipped wave files into the program folder; returns the failures.
    std::function<Status()> installSounds;
    /// Plays the event's sound in the background.
    std::function<void(const QString&)> PlayEventSound;
    /// The main window's configuration command: opens the configuration window.
    std::function<void()> showConfiguration;
};

/// Whether "First run?" in "Configuration" asks for the first-run steps (a missing file does).
bool isFirstRun(const SettingsFile& settings);

/// The first-run steps and the "Open" sound of the main window's load: on the first run it
/// stores "First run?" = 0, registers the sound events and installs the wave files, and asks
/// whether to open the configuration window (the box's title is Danish in both languages);
/// then, on every start, it plays "Open". language is the loaded Language setting.
void runFirstRunAndOpen(SettingsFile& settings, quint8 language, const StringTable& strings,
    Prompter& prompter, const StartUpServices& services);

/// Puts the stored counters into the status window's texts and figures: the totals always, the
/// day's counters only when the last call was today, otherwise zero.
void putStoredCounters(ProgramState& state, const NumberFormat& format, const QDate& today);

} // namespace ringtally
