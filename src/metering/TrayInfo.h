#pragma once

#include <QWidget>

namespace ringtally {

/// The task-bar window: a window that exists for its task-bar button, whose caption is the time
/// and price the meter writes each second. The tray icon's tooltip reads the same caption. It
/// cannot be closed; the call end hides it.
class TrayInfo : public QWidget {
    Q_OBJECT

public:
    TrayInfo();

    /// Sets the caption the task-bar button shows.
    void setCaption(const QString& caption);
    /// The window was restored or became active (its task-bar button was clicked): tells the owner
    /// and goes back to being only a button.
    void onActivated();

signals:
    /// The user brought the window to the front; the status window should show in front.
    void activated();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

} // namespace ringtally
