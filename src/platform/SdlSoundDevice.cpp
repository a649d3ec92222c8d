#include "platform/SdlSoundDevice.h"

#include "platform/SdlLibrary.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBytesPerFrame = 2;
// Small buffers keep a sound's start close to its play.
constexpr Uint16 kBufferFrames = 256;

// ALSA and SDL report a missing sound server on stderr; the game stays silent
// instead, so that noise is kept out of the player's terminal while opening.
class StderrMuted {
  public:
    StderrMuted() {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (devNull >= 0) {
            ::dup2(devNull, STDERR_FILENO);
            ::close(devNull);
        }
    }
    ~StderrMuted() {
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }
    StderrMuted(const StderrMuted&) = delete;
    StderrMuted& operator=(const StderrMuted&) = delete;

  private:
    int m_saved = -1;
};

class SdlSoundDevice : public SoundDevice {
  public:
    explicit SdlSoundDevice(const SdlLibrary& sdl) : m_sdl(sdl) {}
    ~SdlSoundDevice() override { close(); }
    SdlSoundDevice(const SdlSoundDevice&) = delete;
    SdlSoundDevice& operator=(const SdlSoundDevice&) = delete;

    bool open();
    std::optional<sound::Time> play(const DeviceSamples& samples) override;
    // SDL's audio thread runs as long as the device is open, sound or not.
    void quiet() override { close(); }

  private:
    void close();
    static void fill(void* self, Uint8* out, int length);

    const SdlLibrary& m_sdl;
    bool m_audioInitialised = false;
    SDL_AudioDeviceID m_id = 0;
    // Read by SDL's audio thread in fill(), changed only under the device's lock.
    DeviceSamples m_samples;
    std::size_t m_position = 0;
};

bool SdlSoundDevice::open() {
    StderrMuted muted;
    // The game handles termination signals itself.
    m_sdl.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The stream is named after the game in the desktop's sound settings.
    m_sdl.SetHint(SDL_HINT_APP_NAME, "Duvella");
    m_sdl.SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Duvella");
    m_sdl.SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Duvella");
    if (m_sdl.InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    m_audioInitialised = true;
    SDL_AudioSpec wanted{};
    wanted.freq = kDeviceRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = kBufferFrames;
    wanted.callback = &SdlSoundDevice::fill;
    wanted.userdata = this;
    // Without allowed changes SDL converts to whatever the hardware takes.
    m_id = m_sdl.OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (m_id == 0) {
        close();
        return false;
    }
    m_sdl.PauseAudioDevice(m_id, 0);
    return true;
}

// Closing the device ends SDL's audio thread, and leaving SDL's audio ends its
// other threads (some backends look for new devices every 100 ms); the next
// open starts afresh.
void SdlSoundDevice::close() {
    if (m_id != 0)
        m_sdl.CloseAudioDevice(m_id);
    m_id = 0;
    m_samples.clear();
    m_position = 0;
    if (m_audioInitialised)
        m_sdl.QuitSubSystem(SDL_INIT_AUDIO);
    m_audioInitialised = false;
    // SDL keeps per-thread data (its error text) for threads it did not make.
    m_sdl.TLSCleanup();
}

std::optional<sound::Time> SdlSoundDevice::play(const DeviceSamples& samples) {
    // Quiet closed the device; opening it again may hang like the first time,
    // which the output allows for.
    if (m_id == 0 && !open())
        return std::nullopt;
    if (m_sdl.GetAudioDeviceStatus(m_id) == SDL_AUDIO_STOPPED)
        return std::nullopt;
    DeviceSamples sound = samples;
    m_sdl.LockAudioDevice(m_id);
    m_samples.swap(sound);
    m_position = 0;
    m_sdl.UnlockAudioDevice(m_id);
    return Clock::now() + std::chrono::microseconds(static_cast<long long>(samples.size()) *
                                                    1'000'000LL / kDeviceRate);
}

void SdlSoundDevice::fill(void* self, Uint8* out, int length) {
    auto* device = static_cast<SdlSoundDevice*>(self);
    const auto wanted = static_cast<std::size_t>(length);
    const std::size_t taken =
        std::min(wanted, (device->m_samples.size() - device->m_position) * kBytesPerFrame);
    if (taken > 0)
        std::memcpy(out, device->m_samples.data() + device->m_position, taken);
    // Zero is silence in signed 16-bit samples.
    std::memset(out + taken, 0, wanted - taken);
    device->m_position += taken / kBytesPerFrame;
}

} // namespace

std::unique_ptr<SoundDevice> openSdlSoundDevice() {
    const SdlLibrary* sdl = sdlLibrary();
    if (sdl == nullptr)
        return nullptr;
    auto device = std::make_unique<SdlSoundDevice>(*sdl);
    if (!device->open())
        return nullptr;
    return device;
}

} // namespace platform
