#pragma once

#include "platform/Prompter.h"

#include <QPointer>

class QWidget;

namespace ringtally {

/// Message boxes as Qt shows them, modal to an optional parent window.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr);

    /// Shows a QMessageBox and waits for the user's answer.
    PromptAnswer ask(const Prompt& prompt) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace ringtally
