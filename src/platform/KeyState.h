#pragma once

#include <array>

namespace ringtally {

/// The keys the program watches, and whether each is held down.
struct KeysDown {
    bool control = false; ///< either Ctrl key
    bool shift = false; ///< either Shift key
    std::array<bool, 12> function {}; ///< F1 to F12, F1 first

    bool operator==(const KeysDown&) const = default;
};

/// The keyboard of the whole desktop, whichever window has the focus.
class KeyState {
public:
    virtual ~KeyState() = default;

    /// The watched keys held down now or, where the desktop tells of presses, pressed since the previous
    /// call; none where that cannot be known (no desktop to ask).
    virtual KeysDown keysDown() const = 0;
};

} // namespace ringtally
