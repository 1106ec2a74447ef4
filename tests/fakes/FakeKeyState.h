#pragma once

#include "platform/KeyState.h"

#include <vector>

namespace ringtally::test {

/// The keys the test holds down.
class FakeKeyState : public KeyState {
public:
    KeysDown keysDown() const override { return down; }

    /// Holds Ctrl and Shift and the F-keys numbered 1..12, releasing every other key.
    void holdHotkey(const std::vector<int>& functionKeys)
    {
        down = {};
        down.control = down.shift = true;
        for (const int f : functionKeys)
            down.function[size_t(f - 1)] = true;
    }

    KeysDown down;
};

} // namespace ringtally::test
