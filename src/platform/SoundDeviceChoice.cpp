#include "platform/PulseSoundDevice.h"
#include "platform/SdlSoundDevice.h"

namespace platform {

// The sound server's own client library first: only it keeps one stream for the
// whole session, corks it while the game is quiet and tells when a sound is
// heard. SDL where no server runs (its ALSA device); with neither, no device.
std::unique_ptr<SoundDevice> openSoundDevice() {
    if (auto server = openPulseSoundDevice())
        return server;
    return openSdlSoundDevice();
}

} // namespace platform
