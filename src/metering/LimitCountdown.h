#pragma once

#include "core/ProgramState.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace ringtally {

class NumberFormat;

/// The countdown to a hang-up at a limit: a small always-on-top window saying which limit was
/// reached and in how many seconds the line is hung up, with a button that hangs up at once and
/// one that keeps the line. The meter counts the seconds; the window only shows them.
class LimitCountdown : public QWidget {
    Q_OBJECT

public:
    LimitCountdown(const ProgramState& state, const NumberFormat& format, QWidget* parent = nullptr);

    QLabel* message = nullptr;
    QPushButton* hangUpNowButton = nullptr;
    QPushButton* keepLineButton = nullptr; // the default: Enter or Escape keeps the line

    /// The message for limit with secondsLeft to go, from the figures of this moment.
    QString buildText(Limit limit, qint64 secondsLeft) const;
    /// Shows the window, or updates it while it shows, without taking the focus from the user's
    /// work more than once.
    void showCountdown(Limit limit, qint64 secondsLeft);

signals:
    /// The user wants the line hung up now.
    void hangUpNow();
    /// The user keeps the line: the countdown stops (also by the close box or Escape).
    void keepLine();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const ProgramState& state_;
    const NumberFormat& format_;
};

} // namespace ringtally
