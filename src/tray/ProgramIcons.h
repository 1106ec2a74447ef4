#pragma once

#include <QIcon>

namespace ringtally {

/// The program's icon offline (also its windows' icon) or online, from the pictures drawn at every
/// usual size, so that it is sharp at any size and screen scale a panel or window asks for.
QIcon programIcon(bool online);

} // namespace ringtally
