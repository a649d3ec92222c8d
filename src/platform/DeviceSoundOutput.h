#pragma once

#include "platform/SoundDevice.h"
#include "platform/SoundMachine.h"
#include "platform/SoundOutput.h"

#include <functional>
#include <memory>

namespace platform {

// Sound output on a sound device (see openSoundDevice). A worker thread does
// all that can be slow or hang: loading the client library, opening the device
// and handing each sound to it. The window thread reads the file and waits.
// When each happens is decided by one transition function (SoundMachine.h).
class DeviceSoundOutput : public SoundOutput {
  public:
    using Timing = sound::Timing;
    using Opener = std::function<std::unique_ptr<SoundDevice>()>;

    // When the worker starts to open the device: at once, or at start().
    enum class Start { Now, Later };

    explicit DeviceSoundOutput(Timing timing = {}, Start when = Start::Now,
                               Opener open = openSoundDevice);
    ~DeviceSoundOutput() override;
    DeviceSoundOutput(const DeviceSoundOutput&) = delete;
    DeviceSoundOutput& operator=(const DeviceSoundOutput&) = delete;

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
