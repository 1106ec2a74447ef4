#include "core/StartUpSteps.h"

#include "core/ErrorMessage.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "localisation/StringTable.h"
#include "platform/Prompter.h"

#include <cmath>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

const QString kConfiguration = u"Configuration"_s;
const QString kFirstRun = u"First run?"_s;
// The error number of a failed file access, as the program's other file errors give it.
constexpr int kFileAccessError = 75;

QString twoDigits(qint64 value)
{
    return QString::number(value).rightJustified(2, u'0');
}

qint64 cents(double price)
{
    return std::llround(price * 100);
}

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
            prompter.ask(errorPrompt(ErrorTitle::FileError, kFileAccessError, written.message()));
        services.RegisterSoundEvents();
        if (const Status installed = services.installSounds(); !installed)
            prompter.ask(errorPrompt(ErrorTitle::FileError, kFileAccessError, installed.message()));

        const bool english = usesEnglish(language);
        const QString line1 = english ? strings.text(StringId::MainFrm_FirstRunLine1)
                                      : u"Det ser ud til at det er første gang du kører Ringtally!"_s;
        const QString line2
            = english ? strings.text(StringId::MainFrm_FirstRunLine2) : u"Vil du åbne opsætningsvinduet?"_s;
        const Prompt question { u"Velkommen til Ringtally"_s, line1 + u"\r\n"_s + line2, PromptIcon::Question,
            PromptButtons::YesNo };
        if (prompter.ask(question) == PromptAnswer::Yes)
            services.PopupShowConfig_Click();
    }
    services.PlayEventSound(u"Open"_s);
}

void putStoredCounters(ProgramState& state, const NumberFormat& format, const QDate& today)
{
    const Settings& s = state.settings;
    StatusTexts& t = state.texts;
    MeterFigures& f = state.figures;
    t.TotTimer = twoDigits(s.TotalHours);
    t.TotMinutter = twoDigits(s.TotalMinutes);
    t.TotPris = format.formatFixed(s.TotalPrice, 2);
    f.totalMinutes = qint64(s.TotalHours) * 60 + s.TotalMinutes;
    f.totalPriceCents = cents(s.TotalPrice);

    const bool today_ = s.LastCallDate == today;
    t.DagTimer = twoDigits(today_ ? s.LastCallHours : 0);
    t.DagMinutter = twoDigits(today_ ? s.LastCallMinutes : 0);
    // Zero in the user's number format, as the rest of the window shows it ("0.00" in English).
    t.DagPris = format.formatFixed(today_ ? s.LastCallPrice : 0, 2);
    f.dayMinutes = today_ ? qint64(s.LastCallHours) * 60 + s.LastCallMinutes : 0;
    f.dayPriceCents = today_ ? cents(s.LastCallPrice) : 0;
}

} // namespace ringtally
