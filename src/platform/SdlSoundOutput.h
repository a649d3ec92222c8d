#pragma once

#include "platform/SoundOutput.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

struct Mix_Chunk;

namespace platform {

// Sound output on SDL2_mixer. The audio device is opened on the first play and
// closed by shutdown(); every play reads its file from disk at that moment.
class SdlSoundOutput : public SoundOutput {
  public:
    SdlSoundOutput();
    ~SdlSoundOutput() override;
    SdlSoundOutput(const SdlSoundOutput&) = delete;
    SdlSoundOutput& operator=(const SdlSoundOutput&) = delete;

    void play(const std::string& path, bool wait) override;
    void shutdown() override;

    // Whether the device could be opened (opens it if that was not tried yet).
    bool deviceAvailable();

  private:
    enum class Device { NotOpened, Open, Unavailable, Closed };

    bool ensureOpen();
    void stopCurrent();
    std::chrono::nanoseconds lengthOf(const Mix_Chunk* chunk) const;
    static void channelFinished(int channel);

    Device m_device = Device::NotOpened;
    int m_frequency = 0;
    int m_channels = 0;
    int m_bytesPerSample = 2;
    Mix_Chunk* m_current = nullptr;

    std::mutex m_mutex;
    std::condition_variable m_finishedChanged;
    bool m_finished = true;
};

} // namespace platform
