// The composition root: builds the real platform services and the program's objects, nothing else.

#include "core/NumberFormat.h"
#include "core/ProfileFile.h"
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "localisation/StringTable.h"

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
    Settings settings;
    settingsFile.LoadSettings(settings);
    const StringTable strings = StringTable::english();

    QTextStream err(stderr);
    if (const Status read = profile.readStatus(); !read.ok()) {
        err << read.message() << Qt::endl;
        return 1;
    }
    int schemesInUse = 0;
    for (const Scheme& scheme : settings.Schemes)
        schemesInUse += scheme.Name.isEmpty() ? 0 : 1;
    QTextStream(stdout) << "Ringtally: settings " << QDir::toNativeSeparators(folder.settingsFile()) << ", "
                        << schemesInUse << " of " << kSchemeCount << " schemes in use, " << strings.size()
                        << " English texts." << Qt::endl;
    return 0;
}
