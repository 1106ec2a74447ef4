#include "core/ScreenRoom.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace ringtally {

QPoint topLeftInside(const QRect& frame, const QRect& room)
{
    // The right and bottom edges are pushed in first, so that a window too large for the room
    // keeps its title bar and left edge on the screen.
    const int left = std::max(room.left(), std::min(frame.left(), room.right() + 1 - frame.width()));
    const int top = std::max(room.top(), std::min(frame.top(), room.bottom() + 1 - frame.height()));
    return { left, top };
}

QRect availableRoom(const QWidget& window)
{
    // A window not yet shown may have no screen of its own; where it is going tells which one.
    const QScreen* screen = QGuiApplication::screenAt(window.frameGeometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void keepInsideScreen(QWidget& window)
{
    const QRect room = availableRoom(window);
    if (room.isEmpty())
        return;
    const QRect frame = window.frameGeometry();
    const QPoint inside = topLeftInside(frame, room);
    if (inside != frame.topLeft())
        window.move(inside);
}

} // namespace ringtally
