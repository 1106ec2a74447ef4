#pragma once

class QWidget;

namespace ringtally {

/// Asks the window manager to leave window off the task bar, which a tool window alone does not
/// do under every panel. Call it while the window is unmapped (from its show event): the window
/// manager drops the hint each time the window is hidden. Does nothing on a display other than X11.
void keepOffTaskbar(QWidget& window);

} // namespace ringtally
