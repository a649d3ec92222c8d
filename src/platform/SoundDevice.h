#pragma once

#include "platform/SoundMachine.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

// The samples every sound device of the output takes: signed 16-bit, one
// channel, at the rate of the game's own sound files, which thus need no
// conversion.
constexpr int kDeviceRate = 22050;
using DeviceSamples = std::vector<std::int16_t>;

// A sound device, used by the output's worker thread alone. Each call may take
// as long as the device makes it; the output never waits on it longer than it
// allows.
class SoundDevice {
  public:
    virtual ~SoundDevice() = default;
    // Stops what plays and starts `samples` (none: silence). The time at which
    // the last of them will have been heard, the device's latency included;
    // nothing when the device is lost.
    virtual std::optional<sound::Time> play(const DeviceSamples& samples) = 0;
    // Asked again while the last sound plays: when it will have been heard, as
    // the device sees it now; nothing when it cannot tell better than play().
    virtual std::optional<sound::Time> heardUntil() { return std::nullopt; }
    // Nothing plays for a while: stop every wake-up until the next play.
    virtual void quiet() = 0;
};

// The desktop's sound server if one runs, else SDL's choice of device; nothing
// when neither opens.
std::unique_ptr<SoundDevice> openSoundDevice();

} // namespace platform
