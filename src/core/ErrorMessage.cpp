#include "core/ErrorMessage.h"

namespace ringtally {

using namespace Qt::StringLiterals;

Prompt errorPrompt(ErrorTitle title, int number, const QString& description, bool english)
{
    Prompt prompt;
    if (title == ErrorTitle::FileError)
        prompt.title = english ? u"File error:"_s : u"Filfejl:"_s;
    else
        prompt.title = english ? u"Warning!"_s : u"Advarsel!"_s;
    prompt.text = (english ? u"Error %1 occurred\n"_s : u"Fejl nr. %1 opstod\n"_s).arg(number) + description;
    prompt.icon = PromptIcon::Exclamation;
    prompt.buttons = PromptButtons::Ok;
    return prompt;
}

QString settingsNotStoredText(const QString& detail, bool english)
{
    return (english ? u"The settings were not stored.\n"_s : u"Indstillingerne blev ikke gemt.\n"_s) + detail;
}

QString settingsNotReadText(const QString& detail, bool english)
{
    return (english ? u"The settings file could not be read.\n"_s
                    : u"Indstillingsfilen kunne ikke læses.\n"_s)
        + detail;
}

} // namespace ringtally
