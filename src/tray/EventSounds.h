#pragma once

#include "core/ProgramFolder.h"
#include "platform/Result.h"

#include <QString>

#include <array>

namespace ringtally {

class RegistryRoutines;
class SoundPlayer;

/// The program's event sounds: a key per event under HKEY_USERS whose default value is the path
/// of the wave file to play (empty or missing: no sound), and the wave files the program ships.
class EventSounds {
public:
    /// The events, in the order RegisterSoundEvents creates their keys.
    static constexpr std::array<const char16_t*, 5> kEvents { u"Open", u"Close", u"Connect", u"Disconnect",
        u"Error" };

    EventSounds(RegistryRoutines& registry, SoundPlayer& player, ProgramFolder folder);

    /// The event's key: ".Default\AppEvents\Schemes\Apps\Ringtally\" + event + "\.current".
    static QString eventKey(const QString& event);

    /// For the first run only: creates every event's key and points Connect, Disconnect and Error
    /// at the wave files in the program folder; Open and Close get no sound. Later runs leave the
    /// keys to the user.
    void RegisterSoundEvents();
    /// Plays the event's wave file in the background; an event without one plays nothing.
    void PlayEventSound(const QString& event);
    /// Puts each wave file the program ships into the program folder unless a file of that name
    /// is there already, so the user's own sound is never replaced. Returns the failures.
    Status installSounds() const;

private:
    RegistryRoutines& registry_;
    SoundPlayer& player_;
    ProgramFolder folder_;
};

} // namespace ringtally
