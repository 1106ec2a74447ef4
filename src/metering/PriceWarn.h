#pragma once

#include "core/ProgramState.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace ringtally {

class StringTable;

/// The limit warning: a small always-on-top message window saying that today's (or this billing
/// month's) spending, or this billing month's data, has reached the maximum the user set, or the
/// data its share of it. It only informs; OK hides it.
class PriceWarn : public QWidget {
    Q_OBJECT

public:
    PriceWarn(ProgramState& state, const StringTable& strings, const NumberFormat& format,
        Limit limit = Limit::Day, QWidget* parent = nullptr);

    // Controls, owned by the window.
    QLabel* warningIcon = nullptr;
    QLabel* Test = nullptr;
    QPushButton* OK = nullptr;

    /// The message for the spending as the meter shows it and the maximum.
    QString buildText() const;
    /// Rebuilds the message from the figures of this moment and fits the window to it.
    void onActivated();
    /// Hides the window.
    void onOkClicked();
    /// Shows the window without waiting for it to be closed.
    void showWarning();

protected:
    bool event(QEvent* event) override;

private:
    void fitToMessage();

    ProgramState& state_;
    const StringTable& strings_;
    const NumberFormat& format_;
    Limit limit_;
};

} // namespace ringtally
