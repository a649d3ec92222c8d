#pragma once

#include "platform/SoundDevice.h"

namespace platform {

// SDL2's choice of sound device, where no sound server answers: ALSA, or what
// SDL_AUDIODRIVER names. SDL cannot tell when a sound is heard; its buffers are
// kept small instead. Nothing when SDL is missing or no device opens.
std::unique_ptr<SoundDevice> openSdlSoundDevice();

} // namespace platform
