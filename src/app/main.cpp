// The composition root: builds the real platform services and the program's objects, nothing else.

#include "core/ErrorMessage.h"
#include "core/NumberFormat.h"
#include "core/ProfileFile.h"
#include "core/ProgramFolder.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "localisation/StringTable.h"
#include "metering/CallLog.h"
#include "metering/MeterWindows.h"
#include "platform/linux/MessageBoxPrompter.h"
#include "platform/linux/SystemClock.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

using namespace ringtally;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ringtally"));

    const ProgramFolder folder = ProgramFolder::locate(QCoreApplication::applicationDirPath());
    ProfileFile profile(folder.settingsFile());
    const NumberFormat numberFormat;
    SettingsFile settingsFile(profile, numberFormat);
    SystemClock clock;
    MessageBoxPrompter prompter;
    const StringTable strings = StringTable::english();
    const CallLog callLog(folder.file(QString::fromUtf16(ProgramFolder::kCallLogFileName)));

    ProgramState state;
    settingsFile.LoadSettings(state.settings);
    if (const Status read = profile.readStatus(); !read.ok()) {
        prompter.ask(errorPrompt(ErrorTitle::FileError, 75, read.message()));
        return 1;
    }

    // The tray, dialing, the start list and the sounds come later; until then the call end's
    // steps for them do nothing.
    OfflineServices offline;
    MeterWindows meter(state, settingsFile, callLog, clock, prompter, strings, numberFormat, offline);

    int schemesInUse = 0;
    for (const Scheme& scheme : state.settings.Schemes)
        schemesInUse += scheme.Name.isEmpty() ? 0 : 1;
    QTextStream(stdout) << "Ringtally: settings " << QDir::toNativeSeparators(folder.settingsFile()) << ", "
                        << schemesInUse << " of " << kSchemeCount << " schemes in use." << Qt::endl;
    return 0;
}
