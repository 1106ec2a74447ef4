#pragma once

#include "platform/KeyState.h"
#include "platform/linux/X11Display.h"

#include <QList>

#include <array>

namespace ringtally {

/// The keyboard of the X display that DISPLAY names, read through a connection of its own.
class X11KeyState : public KeyState {
public:
    X11KeyState();

    /// The keys down in the server's keyboard state (XQueryKeymap), and those pressed since the
    /// previous call (or since this object was made) as the XInput2 extension tells of them, found by
    /// their key symbols in the current keyboard mapping. Held keys only where the server has no
    /// XInput2; none without an X display.
    KeysDown keysDown() const override;

private:
    // The key codes that give each watched key symbol: Ctrl, Shift, then F1 to F12.
    static constexpr size_t kWatched = std::tuple_size_v<decltype(KeysDown::function)> + 2;
    void readMapping() const;
    void listenForPresses();

    X11Display display_;
    // The XInput extension's major opcode, which marks its events; 0 where the server tells of no
    // key presses.
    int xinput_ = 0;
    // Redone when the server tells of a new keyboard mapping, which it does by an event that only a
    // read of the keyboard shows up; so readers may refresh it.
    mutable std::array<QList<unsigned char>, kWatched> codes_;
};

} // namespace ringtally
