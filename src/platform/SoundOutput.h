#pragma once

#include <string>

namespace platform {

// Plays WAV files, one at a time for the whole program. Starting a sound stops
// one that is still playing. Failures (missing or corrupt file, no device) are
// never reported; how a waiting play keeps the game's tempo without a device
// is said in one place, sound::waitEnd (SoundMachine.h).
class SoundOutput {
  public:
    virtual ~SoundOutput() = default;

    // Plays the file at `path`. With `wait` the call returns when the sound has
    // ended and handles no window events meanwhile; without it, at once.
    virtual void play(const std::string& path, bool wait) = 0;

    // Stops whatever plays and closes the audio device.
    virtual void shutdown() {}
};

} // namespace platform
