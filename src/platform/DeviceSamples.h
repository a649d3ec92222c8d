#pragma once

#include "platform/SoundDevice.h"
#include "platform/WavFile.h"

namespace platform {

// A sound's samples in the devices' format: channels mixed down to one,
// resampled by linear interpolation where its rate differs.
DeviceSamples deviceSamples(const WavSound& sound);

} // namespace platform
