#include "core/StartUpSteps.h"

#include "core/ErrorMessage.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "localisation/StringTable.h"
#include "metering/PriceEngine.h"
#include "platform/Prompter.h"

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

const QString kConfiguration = u"Configuration"_s;
const QString kFirstRun = u"First run?"_s;
// The error number of a failed file access, as the program's other file errors give it.
constexpr int kFileAccessError = 75;

} // namespace

bool isFirstRun(const SettingsFile& settings)
{
    return settings.readInt16(kConfiguration, kFirstRun, 1) == 1;
}

void runFirstRunAndOpen(SettingsFile& settings, quint8 language, const StringTable& strings,
    Prompter& prompter, const StartUpServices& services)
{
    if (isFirstRun(settings)) {
        // Stored before anything that can show a box, so a start that is ended inside one is
        // not a first run again.
        if (const Status written = settings.WriteIni(kConfiguration, kFirstRun, 0); !written)
            prompter.ask(errorPrompt(ErrorTitle::FileError, kFileAccessError,
                settingsNotStoredText(written.message(), usesEnglish(language)), usesEnglish(language)));
        services.RegisterSoundEvents();
        if (const Status installed = services.installSounds(); !installed)
            prompter.ask(errorPrompt(ErrorTitle::FileError, kFileAccessError,
                (usesEnglish(language) ? u"The sounds were not installed.\n"_s
                                       : u"Lydene blev ikke installeret.\n"_s)
                    + installed.message(),
                usesEnglish(language)));

        const bool english = usesEnglish(language);
        const QString line1 = english ? strings.text(StringId::MainFrm_FirstRunLine1)
                                      : u"Det ser ud til at det er første gang du kører Ringtally!"_s;
        const QString line2
            = english ? strings.text(StringId::MainFrm_FirstRunLine2) : u"Vil du åbne opsætningsvinduet?"_s;
        const Prompt question { u"Velkommen til Ringtally"_s, line1 + u"\r\n"_s + line2, PromptIcon::Question,
            PromptButtons::YesNo };
        if (prompter.ask(question) == PromptAnswer::Yes)
            services.showConfiguration();
    }
    services.PlayEventSound(u"Open"_s);
}

void putStoredCounters(ProgramState& state, const NumberFormat& format, const QDate& today)
{
    // The rows a call shows at its start, with no call: the day's counters only from today.
    showDayAndTotal(state, format, 0, 0, 0, state.settings.LastCallDate == today);
}

} // namespace ringtally
