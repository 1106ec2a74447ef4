#pragma once

#include "launcher/StartList.h"
#include "metering/OfflineServices.h"
#include "tray/EventSounds.h"
#include "tray/RasServices.h"

namespace ringtally {

/// The call end's services that the program has so far: the start list's closing pass, the event
/// sounds and hanging up every connection. The dial window's and the tray's steps do nothing
/// until they come; the main window then takes this class's place.
class CallEndServices : public OfflineServices {
public:
    CallEndServices(StartList& startList, EventSounds& sounds, RasServices& ras)
        : startList_(startList), sounds_(sounds), ras_(ras)
    {
    }

    void closeStartedPrograms() override { startList_.closeStartedPrograms(); }
    void playEventSound(const QString& event) override { sounds_.PlayEventSound(event); }
    void HangUpAll() override { ras_.HangUpAll(); }

private:
    StartList& startList_;
    EventSounds& sounds_;
    RasServices& ras_;
};

} // namespace ringtally
