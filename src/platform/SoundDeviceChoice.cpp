#include "platform/PulseSoundDevice.h"
#include "platform/SdlSoundDevice.h"

#include <cstdlib>

namespace platform {

// The sound server's own client library first: only it keeps one stream for the
// whole session, corks it while the game is quiet and tells when a sound is
// heard. SDL where no server runs (its ALSA device), or where SDL_AUDIODRIVER
// names the driver to play through; with neither, no device.
std::unique_ptr<SoundDevice> openSoundDevice() {
    if (std::getenv("SDL_AUDIODRIVER") == nullptr) {
        if (auto server = openPulseSoundDevice())
            return server;
    }
    return openSdlSoundDevice();
}

} // namespace platform
