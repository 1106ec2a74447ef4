#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

namespace ringtally {

/// The top left that puts a window of frame's size inside room: frame's own where it fits, moved
/// in from an edge it sticks out of, and room's top left where frame is larger than room.
QPoint topLeftInside(const QRect& frame, const QRect& room);

/// The area the panels leave free on the screen that holds window's centre (the primary screen
/// when none does); empty without a screen.
QRect availableRoom(const QWidget& window);

/// Moves a top-level window so that its frame lies inside the available area of its screen.
void keepInsideScreen(QWidget& window);

} // namespace ringtally
