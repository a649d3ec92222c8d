#include "platform/SdlSoundOutput.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// Every sound plays on this one channel, which makes "one sound at a time" the
// mixer's own behaviour.
constexpr int kChannel = 0;
// Small buffers keep the end of a waiting play close to the end of the sound.
constexpr int kBufferFrames = 512;
// A waiting play gives up this long after the sound's length if the mixer never
// reports its end (a stalled device), so the game cannot hang on a sound.
constexpr auto kFinishGrace = std::chrono::milliseconds(250);

SdlSoundOutput* g_instance = nullptr;

// ALSA and SDL report a missing sound server on stderr; the game stays silent
// instead, so that noise is kept out of the player's terminal while opening.
class StderrMuted {
  public:
    StderrMuted() {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int devNull = ::open("/dev/null", O_WRONLY);
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

} // namespace

SdlSoundOutput::SdlSoundOutput() {
    g_instance = this;
}

SdlSoundOutput::~SdlSoundOutput() {
    shutdown();
    if (g_instance == this)
        g_instance = nullptr;
}

bool SdlSoundOutput::ensureOpen() {
    if (m_device == Device::NotOpened) {
        m_device = Device::Unavailable;
        // The stream is named after the game in the desktop's sound settings.
        SDL_SetHint("SDL_APP_NAME", "Duvella");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Duvella");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Duvella");
        ::setenv("PULSE_PROP", "application.icon_name=duvella", 0);

        StderrMuted muted;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, kBufferFrames) == 0) {
                Uint16 format = 0;
                Mix_QuerySpec(&m_frequency, &format, &m_channels);
                m_bytesPerSample = SDL_AUDIO_BITSIZE(format) / 8;
                Mix_AllocateChannels(1);
                Mix_ChannelFinished(&SdlSoundOutput::channelFinished);
                m_device = Device::Open;
            } else {
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
            }
        }
    }
    return m_device == Device::Open;
}

bool SdlSoundOutput::deviceAvailable() {
    return ensureOpen();
}

void SdlSoundOutput::channelFinished(int channel) {
    SdlSoundOutput* self = g_instance;
    if (self == nullptr || channel != kChannel)
        return;
    {
        std::lock_guard lock(self->m_mutex);
        self->m_finished = true;
    }
    self->m_finishedChanged.notify_all();
}

void SdlSoundOutput::stopCurrent() {
    // Halting runs the finished callback before it returns, so the chunk is no
    // longer in use by the mixer when it is freed.
    Mix_HaltChannel(-1);
    if (m_current != nullptr) {
        Mix_FreeChunk(m_current);
        m_current = nullptr;
    }
}

std::chrono::nanoseconds SdlSoundOutput::lengthOf(const Mix_Chunk* chunk) const {
    const long long bytesPerSecond =
        static_cast<long long>(m_frequency) * m_channels * m_bytesPerSample;
    if (bytesPerSecond <= 0)
        return {};
    return std::chrono::nanoseconds(static_cast<long long>(chunk->alen) * 1'000'000'000LL /
                                    bytesPerSecond);
}

void SdlSoundOutput::play(const std::string& path, bool wait) {
    if (!ensureOpen())
        return;
    stopCurrent();

    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (chunk == nullptr)
        return;

    {
        std::lock_guard lock(m_mutex);
        m_finished = false;
    }
    const auto started = std::chrono::steady_clock::now();
    if (Mix_PlayChannel(kChannel, chunk, 0) < 0) {
        Mix_FreeChunk(chunk);
        return;
    }
    m_current = chunk;
    if (!wait)
        return;

    // Returns once the mixer has played the whole chunk, and never before the
    // sound's own length has passed.
    const auto end = started + lengthOf(chunk);
    {
        std::unique_lock lock(m_mutex);
        m_finishedChanged.wait_until(lock, end + kFinishGrace, [this] { return m_finished; });
    }
    std::this_thread::sleep_until(end);
}

void SdlSoundOutput::shutdown() {
    if (m_device != Device::Open)
        return;
    stopCurrent();
    Mix_ChannelFinished(nullptr);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_device = Device::Closed;
}

} // namespace platform
