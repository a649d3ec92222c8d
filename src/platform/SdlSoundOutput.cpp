#include "platform/SdlSoundOutput.h"

#include "platform/SdlLibrary.h"
#include "platform/Termination.h"
#include "platform/WavFile.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// The device takes the format of the game's own sound files, so that they need
// no conversion; other files are converted to it.
constexpr int kRate = 22050;
constexpr Uint8 kChannels = 1;
constexpr SDL_AudioFormat kFormat = AUDIO_S16SYS;
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

} // namespace

struct SdlSoundOutput::Worker {
    explicit Worker(Timing t) : timing(t) {}

    // Retrying: opening again after a failure, while plays go on in silence.
    enum class Device { Untried, Opening, Open, Failed, Retrying };
    struct Request {
        std::string path;
        std::uint64_t number = 0;
        Clock::time_point giveUpAt;
    };
    // What became of the latest request the worker took: when its sound started.
    struct Outcome {
        std::uint64_t number = 0;
        std::optional<Clock::time_point> startedAt;
    };

    const Timing timing;

    // Shared by the window thread and the worker, under `mutex`.
    std::mutex mutex;
    std::condition_variable changed;
    Device device = Device::Untried;
    Clock::time_point triedAt;
    bool running = false;
    bool quit = false;
    // Only the latest play matters: starting a sound stops the one before.
    std::optional<Request> request;
    std::uint64_t requests = 0;
    Outcome outcome;

    // The worker thread's own.
    const SdlLibrary* sdl = nullptr;
    bool audioInitialised = false;
    SDL_AudioDeviceID id = 0;
    Clock::time_point closeAt;

    // Read by SDL's audio thread in fill(), changed only under the device's lock.
    std::vector<Uint8> samples;
    std::size_t position = 0;

    Request submit(const std::string& path);
    std::optional<Clock::time_point> startOf(const Request& request);
    void run();
    bool open();
    void close();
    std::optional<Clock::time_point> startSound(const std::string& path);
    std::vector<Uint8> load(const std::string& path);
    static void fill(void* self, Uint8* out, int length);
};

// A request numbered 0 is none: there is no device to try for it.
SdlSoundOutput::Worker::Request SdlSoundOutput::Worker::submit(const std::string& path) {
    std::lock_guard lock(mutex);
    const auto now = Clock::now();
    if (device == Device::Failed && now - triedAt >= timing.retryAfter) {
        device = Device::Retrying;
        triedAt = now;
        changed.notify_all();
    }
    // Only the first open is waited for; a retry must not cost the game its tempo.
    const bool openHangs = device == Device::Opening && now - triedAt >= timing.openLimit;
    if (quit || device == Device::Failed || device == Device::Retrying || openHangs) {
        request.reset();
        return {};
    }
    const auto from = device == Device::Opening ? triedAt : now;
    request = Request{path, ++requests, from + timing.openLimit};
    changed.notify_all();
    return *request;
}

// When the request's sound started; nothing when it did not start in time.
std::optional<Clock::time_point> SdlSoundOutput::Worker::startOf(const Request& sent) {
    if (sent.number == 0)
        return std::nullopt;
    // Looked at in steps of a millisecond, each through the sleep that a
    // termination cuts short; a waiting play does this only for the moment the
    // worker takes to start its sound.
    for (;;) {
        {
            std::lock_guard lock(mutex);
            if (outcome.number == sent.number)
                return outcome.startedAt;
        }
        const auto now = Clock::now();
        if (now >= sent.giveUpAt ||
            !sleepUntil(std::min(sent.giveUpAt, now + std::chrono::milliseconds(1))))
            return std::nullopt;
    }
}

void SdlSoundOutput::Worker::run() {
    std::unique_lock lock(mutex);
    while (!quit) {
        if (device == Device::Open && request && id != 0 &&
            sdl->GetAudioDeviceStatus(id) == SDL_AUDIO_STOPPED) {
            // The device was lost; it is tried again later like one that failed.
            lock.unlock();
            close();
            lock.lock();
            device = Device::Failed;
            triedAt = Clock::now();
        } else if (device == Device::Open && request && id == 0) {
            // Closed while idle; opening it again may hang like the first time.
            device = Device::Opening;
            triedAt = Clock::now();
        }
        if (device == Device::Opening || device == Device::Retrying) {
            lock.unlock();
            const bool opened = open();
            lock.lock();
            device = opened ? Device::Open : Device::Failed;
        } else if (request) {
            const Request taken = std::move(*request);
            request.reset();
            std::optional<Clock::time_point> startedAt;
            if (device == Device::Open && Clock::now() < taken.giveUpAt) {
                lock.unlock();
                startedAt = startSound(taken.path);
                lock.lock();
            }
            outcome = {taken.number, startedAt};
        } else if (id != 0) {
            if (changed.wait_until(lock, closeAt) == std::cv_status::timeout && !request &&
                Clock::now() >= closeAt) {
                lock.unlock();
                close();
                lock.lock();
            }
            continue;
        } else {
            changed.wait(lock);
            continue;
        }
        changed.notify_all();
    }
    lock.unlock();
    close();
    // SDL keeps per-thread data (its error text) for threads it did not make.
    if (sdl != nullptr)
        sdl->TLSCleanup();
    lock.lock();
    running = false;
    changed.notify_all();
}

bool SdlSoundOutput::Worker::open() {
    if (sdl == nullptr && (sdl = sdlLibrary()) == nullptr)
        return false;
    StderrMuted muted;
    // The game handles termination signals itself.
    sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The stream is named after the game in the desktop's sound settings.
    sdl->SetHint(SDL_HINT_APP_NAME, "Duvella");
    sdl->SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Duvella");
    sdl->SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Duvella");
    if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    audioInitialised = true;
    SDL_AudioSpec wanted{};
    wanted.freq = kRate;
    wanted.format = kFormat;
    wanted.channels = kChannels;
    wanted.samples = kBufferFrames;
    wanted.callback = &Worker::fill;
    wanted.userdata = this;
    // Without allowed changes SDL converts to whatever the hardware takes.
    id = sdl->OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (id == 0) {
        close();
        return false;
    }
    sdl->PauseAudioDevice(id, 0);
    closeAt = Clock::now() + timing.keepOpen;
    return true;
}

// Closing the device ends SDL's audio thread, and leaving SDL's audio ends its
// other threads (some backends look for new devices every 100 ms); the next
// open starts afresh, so a device that failed is looked for anew.
void SdlSoundOutput::Worker::close() {
    if (id != 0)
        sdl->CloseAudioDevice(id);
    id = 0;
    samples.clear();
    position = 0;
    if (audioInitialised)
        sdl->QuitSubSystem(SDL_INIT_AUDIO);
    audioInitialised = false;
}

std::optional<Clock::time_point> SdlSoundOutput::Worker::startSound(const std::string& path) {
    std::vector<Uint8> sound = load(path);
    // A file that cannot be played still stops the sound that plays.
    sdl->LockAudioDevice(id);
    samples.swap(sound);
    position = 0;
    sdl->UnlockAudioDevice(id);
    const auto now = Clock::now();
    const auto length = std::chrono::nanoseconds(
        static_cast<long long>(samples.size() / kBytesPerFrame) * 1'000'000'000LL / kRate);
    closeAt = now + length + timing.keepOpen;
    if (samples.empty())
        return std::nullopt;
    return now;
}

// The file's samples in the device's format; none when it is not a sound the
// game can play.
std::vector<Uint8> SdlSoundOutput::Worker::load(const std::string& path) {
    std::optional<WavSound> sound = readWavFile(path);
    if (!sound)
        return {};
    std::vector<Uint8>& data = sound->data;
    const SDL_AudioFormat format = sound->isFloat ? AUDIO_F32LSB
                             : sound->bitsPerSample == 8 ? AUDIO_U8
                             : sound->bitsPerSample == 16 ? AUDIO_S16LSB
                                                          : AUDIO_S32LSB;
    // SDL has no 24-bit samples: each becomes the top three bytes of a 32-bit one.
    if (sound->bitsPerSample == 24) {
        std::vector<Uint8> wide(data.size() / 3 * 4);
        for (std::size_t in = 0, out = 0; in < data.size(); in += 3, out += 4)
            std::memcpy(&wide[out + 1], &data[in], 3);
        data.swap(wide);
    }
    std::vector<Uint8> converted;
    SDL_AudioCVT cvt{};
    if (sdl->BuildAudioCVT(&cvt, format, static_cast<Uint8>(sound->channels), sound->sampleRate,
                           kFormat, kChannels, kRate) >= 0) {
        const std::size_t bytes = data.size();
        converted.resize(bytes * static_cast<std::size_t>(cvt.len_mult));
        std::memcpy(converted.data(), data.data(), bytes);
        cvt.buf = converted.data();
        cvt.len = static_cast<int>(bytes);
        if (!cvt.needed)
            converted.resize(bytes);
        else if (sdl->ConvertAudio(&cvt) == 0)
            converted.resize(static_cast<std::size_t>(cvt.len_cvt));
        else
            converted.clear();
    }
    return converted;
}

void SdlSoundOutput::Worker::fill(void* self, Uint8* out, int length) {
    auto* worker = static_cast<Worker*>(self);
    const auto wanted = static_cast<std::size_t>(length);
    const std::size_t taken = std::min(wanted, worker->samples.size() - worker->position);
    if (taken > 0)
        std::memcpy(out, worker->samples.data() + worker->position, taken);
    // Zero is silence in signed 16-bit samples.
    std::memset(out + taken, 0, wanted - taken);
    worker->position += taken;
}

SdlSoundOutput::SdlSoundOutput(Timing timing, Start when)
    : m_worker(std::make_shared<Worker>(timing)) {
    // Set here, before the worker exists, as no other thread of the output may
    // read the environment while it changes.
    ::setenv("PULSE_PROP", "application.icon_name=duvella", 0);
    if (when == Start::Now)
        start();
}

SdlSoundOutput::~SdlSoundOutput() {
    shutdown();
}

void SdlSoundOutput::start() {
    std::lock_guard lock(m_worker->mutex);
    if (m_worker->device != Worker::Device::Untried)
        return;
    m_worker->device = Worker::Device::Opening;
    m_worker->triedAt = Clock::now();
    m_worker->running = true;
    std::thread([worker = m_worker] { worker->run(); }).detach();
}

void SdlSoundOutput::play(const std::string& path, bool wait) {
    if (wait)
        start();
    const std::optional<WavSound> sound = readWavFile(path);
    const Worker::Request sent = m_worker->submit(path);
    if (!sound || !wait)
        return;
    // A waiting play lasts the sound's length from the moment its sound
    // starts. Where no sound starts, because there is no device (never opened,
    // failed, lost, or not open within the open limit), that moment is now and
    // the play waits in silence: the game keeps its tempo either way.
    const Clock::time_point startedAt = m_worker->startOf(sent).value_or(Clock::now());
    sleepUntil(startedAt + sound->duration());
}

void SdlSoundOutput::shutdown() {
    std::unique_lock lock(m_worker->mutex);
    m_worker->quit = true;
    m_worker->request.reset();
    m_worker->changed.notify_all();
    // A worker caught in a device open that hangs is left to itself; it ends
    // once the open returns, or with the process.
    m_worker->changed.wait_for(lock, std::chrono::milliseconds(500),
                               [this] { return !m_worker->running; });
}

} // namespace platform
