#include "metering/TrayInfo.h"

#include <QCloseEvent>
#include <QEvent>

namespace ringtally {

TrayInfo::TrayInfo(ProgramState& state) : state_(state)
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

void TrayInfo::Form_Activate()
{
    emit activated();
    setWindowState(Qt::WindowMinimized);
}

bool TrayInfo::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void TrayInfo::closeEvent(QCloseEvent* event)
{
    if (state_.meter.GlblOnline == 1)
        emit closedWhileOnline();
    event->accept();
}

} // namespace ringtally
