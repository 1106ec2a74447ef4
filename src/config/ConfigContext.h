#pragma once

#include <QString>

namespace ringtally {

class Clock;
class DialUpNetwork;
class NumberFormat;
class ProgramFolder;
class Prompter;
class SettingsFile;
class StringTable;
struct ProgramState;

/// The words the configuration window shows in its lists and stores back by comparing against
/// them, so they are fixed, in the program's language, for as long as the window lives.
struct DisplayWords {
    QString yes, no;
    QString startMinimized, startMaximized, startNormal;
    QString whenConnected, whenDialing;
    QString programClosed, programNotClosed;
    QString cheapestScheme;

    /// The Danish words, or the string table's English ones.
    static DisplayWords make(const StringTable& strings, bool english);
};

/// What every page and dialog of the configuration window works with.
struct ConfigContext {
    ProgramState& state;
    SettingsFile& settings;
    const DialUpNetwork& network;
    const StringTable& strings;
    Prompter& prompter;
    const NumberFormat& format;
    const ProgramFolder& folder;
    const Clock& clock; // the year the holiday list shows its days in
    bool english; // the program's language at start-up
    DisplayWords words;
};

} // namespace ringtally
