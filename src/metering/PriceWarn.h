#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace ringtally {

class NumberFormat;
class StringTable;
struct ProgramState;

/// The limit a price warning is about: today's spending or this billing month's.
enum class PriceLimit { Day, Month };

/// The price warning: a small always-on-top message window saying that today's (or this billing
/// month's) spending has reached the maximum the user set. It only informs; OK hides it.
class PriceWarn : public QWidget {
    Q_OBJECT

public:
    PriceWarn(ProgramState& state, const StringTable& strings, const NumberFormat& format,
        PriceLimit limit = PriceLimit::Day, QWidget* parent = nullptr);

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
    PriceLimit limit_;
};

} // namespace ringtally
