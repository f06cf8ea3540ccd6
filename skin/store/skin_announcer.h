// Where the engine's skin-change messages go: every form on the screen and each of its
// controls, which drop their copies of skin objects before a change and bind again after it.
// The window layer installs the announcer; without one nothing is sent.
#pragma once

#include <cstdint>

namespace zaprelay::skin {

class TVxVeneer;

class TVxSkinAnnouncer {
public:
    virtual ~TVxSkinAnnouncer() = default;
    // Sends msg, with the engine as both parameters, to every form of the screen first to
    // last and each of its controls, and lets the messages waiting in the queue run after each.
    virtual void AnnounceToForms(uint32_t msg, TVxVeneer& engine) = 0;
};

// Installs the announcer (none removes it); returns the one installed before.
TVxSkinAnnouncer* SetSkinAnnouncer(TVxSkinAnnouncer* announcer);
TVxSkinAnnouncer* SkinAnnouncer();

}  // namespace zaprelay::skin
