#pragma once

namespace ringtally {

/// Whether a tray is there to take the program's icon, asked without Qt's own check, which decides
/// once for the whole process whether icons go to a StatusNotifier host: an XEmbed tray (the
/// owner of the X screen's tray selection) or a StatusNotifier watcher on the session bus with a
/// host that shows its items.
bool trayPresent();

} // namespace ringtally
