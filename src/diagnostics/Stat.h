#pragma once

#include "core/NumberFormat.h"
#include "core/ProgramState.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace ringtally {

class Clock;
class PriceEngine;

/// The hidden state window: the meter's internal values as plain text, for checking the price
/// calculation while a call runs. Keeps no state of its own; the text is rebuilt on activation
/// and on Update.
class Stat : public QWidget {
    Q_OBJECT

public:
    Stat(ProgramState& state, PriceEngine& engine, const Clock& clock, const NumberFormat& format);

    /// Rebuilds the text from the state as it is now and puts it into StatText.
    void refresh();
    /// The text StatText shows, its lines joined by "\r\n".
    QString text() const;

    QPlainTextEdit* StatText = nullptr;
    QPushButton* Update = nullptr;

protected:
    bool event(QEvent* event) override;

private:
    ProgramState& state_;
    PriceEngine& engine_;
    const Clock& clock_;
    const NumberFormat& format_;
};

} // namespace ringtally
