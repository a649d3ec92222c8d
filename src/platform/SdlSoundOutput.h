#pragma once

#include "platform/SoundOutput.h"

#include <chrono>
#include <memory>

namespace platform {

// Sound output on SDL2, which is loaded at run time. A worker thread does all
// that can be slow or hang: loading SDL, opening the audio device, reading and
// converting each sound and handing it to the device. The window thread only
// reads the file, to know how long the sound lasts, and waits.
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

    // When the worker starts to open the device: at once, or at start().
    enum class Start { Now, Later };

    explicit SdlSoundOutput(Timing timing, Start when = Start::Now);
    SdlSoundOutput() : SdlSoundOutput(Timing{}) {}
    ~SdlSoundOutput() override;
    SdlSoundOutput(const SdlSoundOutput&) = delete;
    SdlSoundOutput& operator=(const SdlSoundOutput&) = delete;

    // Starts the worker, which begins to open the device. A sound started
    // before the device is open plays as soon as it is; a waiting play starts
    // the worker itself, as it has to wait for the device anyway.
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
