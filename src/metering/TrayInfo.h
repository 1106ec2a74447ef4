#pragma once

#include "core/ProgramState.h"

#include <QWidget>

namespace ringtally {

/// The task-bar window: a window that exists for its task-bar button, whose caption is the time
/// and price the meter writes each second. The tray icon's tooltip reads the same caption.
class TrayInfo : public QWidget {
    Q_OBJECT

public:
    explicit TrayInfo(ProgramState& state);

    /// Sets the caption the task-bar button shows.
    void setCaption(const QString& caption);
    /// The window became active (its task-bar button was clicked): tells the owner and goes back
    /// to being only a button.
    void Form_Activate();

signals:
    /// The user brought the window to the front; the status window should get the focus.
    void activated();
    /// The user closed the window while a call is metered; the call is to be ended and logged.
    void closedWhileOnline();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    ProgramState& state_;
};

} // namespace ringtally
