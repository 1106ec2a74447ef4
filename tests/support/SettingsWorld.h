#pragma once

#include "core/ProgramState.h"
#include "core/SettingsFile.h"

#include "support/TempFolder.h"

namespace ringtally::test {

/// A settings file in a fresh folder, read and written with Danish numbers, and the program's
/// state in memory.
struct SettingsWorld {
    /// What the file holds, read afresh as the next start would read it.
    Settings stored() const
    {
        ProfileFile reread(profile.path());
        Settings s;
        SettingsFile(reread, danish).LoadSettings(s);
        return s;
    }

    TempFolder temp;
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    ProfileFile profile { temp.file(QStringLiteral("Ringtally.ini")) };
    SettingsFile settings { profile, danish };
    ProgramState state;
};

} // namespace ringtally::test
