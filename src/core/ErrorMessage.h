#pragma once

#include "platform/Prompter.h"

#include <QString>

namespace ringtally {

/// The two titles of the common error box.
enum class ErrorTitle { Warning, FileError }; // "Advarsel!" and "Filfejl:"

/// The common error box: "Fejl nr. " + number + " opstod", a line break, the description,
/// with the exclamation icon and the title "Advarsel!" or "Filfejl:".
Prompt errorPrompt(ErrorTitle title, int number, const QString& description);

} // namespace ringtally
