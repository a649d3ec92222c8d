#pragma once

#include "platform/SoundDevice.h"

namespace platform {

// The desktop's sound server (PulseAudio, or PipeWire serving the same
// protocol); nothing when libpulse is missing or no server answers.
std::unique_ptr<SoundDevice> openPulseSoundDevice();

} // namespace platform
