#include "metering/TrayInfo.h"

#include <QCloseEvent>
#include <QEvent>

namespace ringtally {

TrayInfo::TrayInfo()
{
    setObjectName(QStringLiteral("TrayInfo"));
    setWindowTitle(QStringLiteral("Opkaldsstatus"));
    resize(160, 1);
    // Shown minimized, the window is its task-bar button and nothing more on the desktop.
    setWindowState(Qt::WindowMinimized);
}

void TrayInfo::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void TrayInfo::onActivated()
{
    emit activated();
    setWindowState(Qt::WindowMinimized);
}

bool TrayInfo::event(QEvent* event)
{
    // A click on the task-bar button restores the window, and activates it where the window
    // manager gives it the focus.
    if (event->type() == QEvent::WindowActivate
        || (event->type() == QEvent::WindowStateChange && isVisible() && !isMinimized()))
        onActivated();
    return QWidget::event(event);
}

void TrayInfo::closeEvent(QCloseEvent* event)
{
    // The window's close command was never meant to be used: closing a task-bar button must
    // neither end the call nor take the figures off the task bar.
    event->ignore();
}

} // namespace ringtally
