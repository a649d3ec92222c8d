#pragma once

#include "platform/SoundOutput.h"

#include <chrono>
#include <memory>

namespace platform {

// Sound output on SDL2, which is loaded at run time. A worker thread does all
// that can be slow or hang: loading SDL, opening the audio device, reading and
// converting each sound and handing it to the device. The window thread only
// reads a file's header, to know how long the sound lasts, and waits.
class SdlSoundOutput : public SoundOutput {
  public:
    struct Timing {
        // How long a play waits for the device to open, or for its sound to
        // start, before the game goes on without sound.
        std::chrono::milliseconds openLimit{2000};
        // How soon after the device failed, or was lost, a play tries it again.
        std::chrono::milliseconds retryAfter{5000};
        // How long the device stays open once a sound has ended, for the next
        // one. Then it closes, and no thread of the output wakes up until the
        // next play.
        std::chrono::milliseconds keepOpen{2000};
    };

    explicit SdlSoundOutput(Timing timing);
    SdlSoundOutput() : SdlSoundOutput(Timing{}) {}
    ~SdlSoundOutput() override;
    SdlSoundOutput(const SdlSoundOutput&) = delete;
    SdlSoundOutput& operator=(const SdlSoundOutput&) = delete;

    // Starts the worker, which begins to open the device at once; the first
    // play does it when this was not called. A play made while the device
    // opens starts its sound as soon as the device is open.
    void start();
    void play(const std::string& path, bool wait) override;
    void shutdown() override;

  private:
    struct Worker;
    // Shared with the worker thread, which may outlive this object when a
    // device open hangs.
    std::shared_ptr<Worker> m_worker;
};

} // namespace platform
