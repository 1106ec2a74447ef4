#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QQueue>

#include <functional>

#include <gtest/gtest.h>

namespace ringtally::test {

/// A Prompter that answers from a script the test writes in advance and remembers every box it
/// was shown. A box with no scripted answer, or an answer that is not one of the box's buttons,
/// fails the test; the box then counts as closed, so no test ever waits for a dialog.
class ScriptedPrompter : public Prompter {
public:
    PromptAnswer ask(const Prompt& prompt) override
    {
        shown_.append(prompt);
        if (whileOpen)
            whileOpen();
        if (answers_.isEmpty()) {
            ADD_FAILURE() << "unexpected message box \"" << prompt.title.toStdString()
                          << "\": " << prompt.text.toStdString();
            return answerWhenClosed(prompt.buttons);
        }
        const PromptAnswer answer = answers_.dequeue();
        if (!offers(prompt.buttons, answer)) {
            ADD_FAILURE() << "scripted answer " << static_cast<int>(answer)
                          << " is not a button of the message box \"" << prompt.title.toStdString()
                          << "\": " << prompt.text.toStdString();
            return answerWhenClosed(prompt.buttons);
        }
        return answer;
    }

    /// Runs while each box is open, as the user takes their time: a test spins a nested event
    /// loop here, as a real modal box does.
    std::function<void()> whileOpen;

    /// Queues the answer to the next box not yet answered.
    void answerNext(PromptAnswer answer) { answers_.enqueue(answer); }
    /// Every box shown so far, oldest first.
    const QList<Prompt>& shown() const { return shown_; }
    /// Scripted answers no box has used yet.
    qsizetype unusedAnswers() const { return answers_.size(); }

    /// Whether a box with these buttons can give this answer.
    static bool offers(PromptButtons buttons, PromptAnswer answer)
    {
        switch (buttons) {
        case PromptButtons::Ok:
            return answer == PromptAnswer::Ok;
        case PromptButtons::OkCancel:
            return answer == PromptAnswer::Ok || answer == PromptAnswer::Cancel;
        case PromptButtons::YesNo:
            return answer == PromptAnswer::Yes || answer == PromptAnswer::No;
        case PromptButtons::YesNoCancel:
            return answer != PromptAnswer::Ok;
        }
        return false;
    }

private:
    QQueue<PromptAnswer> answers_;
    QList<Prompt> shown_;
};

} // namespace ringtally::test
