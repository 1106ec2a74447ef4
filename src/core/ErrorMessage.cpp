#include "core/ErrorMessage.h"

namespace ringtally {

Prompt errorPrompt(ErrorTitle title, int number, const QString& description)
{
    Prompt prompt;
    prompt.title = title == ErrorTitle::FileError ? QStringLiteral("Filfejl:") : QStringLiteral("Advarsel!");
    prompt.text = QStringLiteral("Fejl nr. %1 opstod\n").arg(number) + description;
    prompt.icon = PromptIcon::Exclamation;
    prompt.buttons = PromptButtons::Ok;
    return prompt;
}

} // namespace ringtally
