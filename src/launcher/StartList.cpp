#include "launcher/StartList.h"

#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "core/WaitSeconds.h"
#include "launcher/WindowTitles.h"
#include "localisation/StringTable.h"
#include "platform/ProcessStarter.h"
#include "platform/Prompter.h"
#include "tray/EventSounds.h"

namespace ringtally {

namespace {

const QString kRunprogs = QStringLiteral("Runprogs");

// "Nr.0 data 0": entry n's field.
QString fieldKey(int entry, int field)
{
    return QStringLiteral("Nr.%1 data %2").arg(entry).arg(field);
}

// The stored start state (normal, minimized, maximized) as the show state handed to the starter;
// any other number goes on as it is.
int showStateFor(int startState)
{
    switch (startState) {
    case 0:
        return int(ShowState::Normal);
    case 1:
        return int(ShowState::Minimized);
    case 2:
        return int(ShowState::Maximized);
    default:
        return startState;
    }
}

// A shortcut is opened by the desktop rather than run: the Windows kind the lists were first
// written with, and the desktop entry that plays its part here.
bool isShortcut(const QString& commandLine)
{
    const QString lower = commandLine.toLower();
    return lower.contains(QLatin1String(".lnk")) || lower.contains(QLatin1String(".desktop"));
}

} // namespace

StartList::StartList(const SettingsFile& settings, ProgramState& state, ProcessStarter& starter,
    WindowTitles& titles, Clock& clock, Prompter& prompter, EventSounds& sounds, const StartListGate& gate)
    : settings_(settings),
      state_(state),
      starter_(starter),
      titles_(titles),
      clock_(clock),
      prompter_(prompter),
      sounds_(sounds),
      gate_(gate)
{
}

int StartList::count() const
{
    return settings_.readInt16(QStringLiteral("Configuration"), QStringLiteral("Number of progs "), 0);
}

void StartList::RunStartList(bool connected, bool force, const std::function<bool()>& stillWanted)
{
    const int wanted = connected ? 0 : 1;
    if (!gate_.RunProgramsInList() && !force)
        return;
    // The count is read once; the entries are read as the pass reaches them, events running in
    // between.
    const int entries = count();
    for (int n = 0; n < entries; ++n) {
        // The waits between the starts run events: the call may have ended in one of them.
        if (stillWanted && !stillWanted())
            return;
        if (settings_.readInt16(kRunprogs, fieldKey(n, 1), 0) != wanted)
            continue;
        QString commandLine = settings_.ReadIni(kRunprogs, fieldKey(n, 0), QString());
        if (!commandLine.contains(u'"'))
            commandLine = u'"' + commandLine + u'"';
        int show = showStateFor(settings_.readInt16(kRunprogs, fieldKey(n, 2), 0));
        const QString title = settings_.ReadIni(kRunprogs, fieldKey(n, 3), QString());
        if (isShortcut(commandLine)) {
            commandLine = QStringLiteral("Start ") + commandLine;
            show = int(ShowState::Hidden);
        }
        // A program already running ends the pass: neither it nor any later entry starts again.
        // Where the windows cannot be listed, none counts as running.
        if (!title.isEmpty() && titles_.WindowTitleExists(title).valueOr(false))
            return;

        state_.ProgramsStarted = true;
        // An empty command line is only its two quotes and is never started.
        if (commandLine.trimmed().size() >= 3) {
            if (const std::optional<StartFailure> failure = starter_.start(commandLine, show)) {
                const bool english = usesEnglish(state_.settings.Language);
                prompter_.ask({ english ? QStringLiteral("File error:") : QStringLiteral("Filfejl:"),
                    (english ? QStringLiteral("Error %1 occurred while running %2\n%3")
                             : QStringLiteral("Fejl nr. %1 opstod under kørslen af %2\n%3"))
                        .arg(QString::number(failure->number), commandLine, failure->description),
                    PromptIcon::Exclamation, PromptButtons::Ok });
                sounds_.PlayEventSound(QStringLiteral("Error"));
            }
        }
        WaitSeconds(clock_, kSecondsBetweenStarts);
    }
}

void StartList::closeStartedPrograms()
{
    const int entries = count();
    if (entries <= 0 || !state_.ProgramsStarted)
        return;
    for (int n = 0; n < entries; ++n) {
        // A title line of blanks closes nothing; any other is looked for as it is stored.
        const QString title = settings_.ReadIni(kRunprogs, fieldKey(n, 3), QString());
        if (title.trimmed().isEmpty())
            continue;
        // Nothing waits for the programs to go, and a window that cannot be asked changes nothing
        // for the rest of the call end.
        if (const Status closed = titles_.CloseWindowsByTitle(title); !closed.ok())
            qWarning("Could not close every window titled \"%s\": %s", qPrintable(title),
                qPrintable(closed.message()));
    }
}

} // namespace ringtally
