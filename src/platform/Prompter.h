#pragma once

#include <QString>

namespace ringtally {

enum class PromptIcon { None, Information, Exclamation, Critical, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

/// One message box: its title, text, icon and buttons.
struct Prompt {
    QString title;
    QString text;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
};

/// The answer of a box that the user closes without choosing a button: the most cautious one it
/// has (Cancel where there is one, else No where there is one, else Ok).
inline PromptAnswer answerWhenClosed(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::YesNo:
        return PromptAnswer::No;
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
        return PromptAnswer::Cancel;
    case PromptButtons::Ok:
        break;
    }
    return PromptAnswer::Ok;
}

/// Shows message boxes and returns the user's answer.
class Prompter {
public:
    virtual ~Prompter() = default;

    /// Shows the prompt modally and returns the button the user chose; closing the box counts as
    /// answerWhenClosed(prompt.buttons).
    virtual PromptAnswer ask(const Prompt& prompt) = 0;
};

} // namespace ringtally
