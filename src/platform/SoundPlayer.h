#pragma once

#include <QString>

namespace ringtally {

/// Plays wave files for the program's events.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;

    /// Starts playing the wave file at path in the background and returns at once. An empty path,
    /// a file that is missing or cannot be read, or no sound output plays nothing and is no error.
    virtual void play(const QString& path) = 0;
};

} // namespace ringtally
