#pragma once

#include "platform/Prompter.h"

#include <QString>

namespace ringtally {

/// The two titles of the common error box.
enum class ErrorTitle { Warning, FileError }; // "Advarsel!" and "Filfejl:"

/// The common error box: "Fejl nr. " + number + " opstod", a line break, the description,
/// with the exclamation icon and the title "Advarsel!" or "Filfejl:"; in English when english.
Prompt errorPrompt(ErrorTitle title, int number, const QString& description, bool english);

/// A failure of the settings file as a box describes it: the settings were not stored (or, when
/// reading, not read), in Danish or, when english, English, then the file's own words.
QString settingsNotStoredText(const QString& detail, bool english);
QString settingsNotReadText(const QString& detail, bool english);

} // namespace ringtally
