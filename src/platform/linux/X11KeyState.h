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

    /// The keys down in the server's keyboard state (XQueryKeymap), found by their key symbols in
    /// the current keyboard mapping; none without an X display.
    KeysDown keysDown() const override;

private:
    // The key codes that give each watched key symbol: Ctrl, Shift, then F1 to F12.
    static constexpr size_t kWatched = std::tuple_size_v<decltype(KeysDown::function)> + 2;
    void readMapping() const;

    X11Display display_;
    // Redone when the server tells of a new keyboard mapping, which it does by an event that only a
    // read of the keyboard shows up; so readers may refresh it.
    mutable std::array<QList<unsigned char>, kWatched> codes_;
};

} // namespace ringtally
