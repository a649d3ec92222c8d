#include "platform/PulseSoundDevice.h"

#include "platform/PulseLibrary.h"

#include <algorithm>
#include <functional>
#include <string>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How long the server may take to answer: connecting, or a request once connected.
constexpr auto kConnectLimit = 1500ms;
constexpr auto kAnswerLimit = 500ms;
// The server's buffer for the stream, and how much of it it asks for at a time.
// PipeWire makes the stream's node latency half of the buffer less two
// requests, here 11 ms: long enough that the graph need not run faster than
// it would for other programs, short enough for a click to be heard at once.
constexpr auto kBuffer = 32ms;
constexpr auto kRequest = 5ms;
// PipeWire leaves out up to 64 frames at the end of what a stream holds when it
// runs dry: each sound is followed by a little more silence than that.
constexpr auto kTrailingSilence = 6ms;
// PulseAudio itself (not PipeWire's server for its clients) starts a stream
// that runs again, after a quiet spell or after it ran dry, up to 5 ms into
// what it holds, as paplay's sounds show: there such a sound is preceded by a
// little more silence than that.
constexpr auto kLeadingSilence = 10ms;
constexpr std::uint32_t kBytesPerFrame = 2;

std::size_t framesFor(std::chrono::milliseconds time) {
    return static_cast<std::size_t>(kDeviceRate * time.count() / 1000);
}

std::uint32_t bytesFor(std::chrono::milliseconds time) {
    return static_cast<std::uint32_t>(framesFor(time)) * kBytesPerFrame;
}

// One session with the sound server: its connection and one stream, kept until
// the program ends, corked while the game is quiet.
class PulseSoundDevice : public SoundDevice {
  public:
    explicit PulseSoundDevice(const PulseLibrary& pa) : m_pa(pa) {}
    ~PulseSoundDevice() override;
    PulseSoundDevice(const PulseSoundDevice&) = delete;
    PulseSoundDevice& operator=(const PulseSoundDevice&) = delete;

    bool open();
    std::optional<sound::Time> play(const DeviceSamples& samples) override;
    std::optional<sound::Time> heardUntil() override;
    void quiet() override;

  private:
    bool runUntil(const std::function<bool()>& done, Clock::time_point deadline);
    bool complete(pa_operation* operation);
    bool connected() const;

    const PulseLibrary& m_pa;
    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    bool m_corked = true;
    // Frames of silence before a sound that starts the stream again.
    std::size_t m_leadOnStart = 0;
    // When the last sound written will have been heard.
    Clock::time_point m_soundHeardUntil;
};

PulseSoundDevice::~PulseSoundDevice() {
    if (m_stream) {
        m_pa.stream_disconnect(m_stream);
        m_pa.stream_unref(m_stream);
    }
    if (m_context) {
        m_pa.context_disconnect(m_context);
        m_pa.context_unref(m_context);
    }
    if (m_loop)
        m_pa.mainloop_free(m_loop);
}

// Runs the client library's events on this thread until `done` or the deadline.
bool PulseSoundDevice::runUntil(const std::function<bool()>& done, Clock::time_point deadline) {
    while (!done()) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return false;
        const auto us = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
        if (m_pa.mainloop_prepare(m_loop, static_cast<int>(us)) < 0 ||
            m_pa.mainloop_poll(m_loop) < 0 || m_pa.mainloop_dispatch(m_loop) < 0)
            return false;
    }
    return true;
}

bool PulseSoundDevice::complete(pa_operation* operation) {
    if (operation == nullptr)
        return false;
    const bool done = runUntil(
        [&] { return m_pa.operation_get_state(operation) != PA_OPERATION_RUNNING || !connected(); },
        Clock::now() + kAnswerLimit);
    const bool ok = done && m_pa.operation_get_state(operation) == PA_OPERATION_DONE;
    m_pa.operation_unref(operation);
    return ok;
}

bool PulseSoundDevice::connected() const {
    return m_pa.context_get_state(m_context) == PA_CONTEXT_READY &&
           m_pa.stream_get_state(m_stream) == PA_STREAM_READY;
}

bool PulseSoundDevice::open() {
    if ((m_loop = m_pa.mainloop_new()) == nullptr)
        return false;
    // Named and shown as today in the desktop's sound settings; the role lets
    // the desktop's policies (ducking, volume per role) place the stream.
    pa_proplist* app = m_pa.proplist_new();
    m_pa.proplist_sets(app, PA_PROP_APPLICATION_NAME, "Duvella");
    m_pa.proplist_sets(app, PA_PROP_APPLICATION_ICON_NAME, "duvella");
    m_context = m_pa.context_new_with_proplist(m_pa.mainloop_get_api(m_loop), "Duvella", app);
    m_pa.proplist_free(app);
    // No server is started for the game: without one, SDL's device is tried.
    if (m_context == nullptr ||
        m_pa.context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return false;
    const auto connectBy = Clock::now() + kConnectLimit;
    const bool ready = runUntil(
        [&] {
            const pa_context_state_t state = m_pa.context_get_state(m_context);
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
        },
        connectBy);
    if (!ready || m_pa.context_get_state(m_context) != PA_CONTEXT_READY)
        return false;

    const pa_sample_spec spec{PA_SAMPLE_S16LE, kDeviceRate, 1};
    pa_proplist* media = m_pa.proplist_new();
    m_pa.proplist_sets(media, PA_PROP_MEDIA_ROLE, "game");
    m_pa.proplist_sets(media, PA_PROP_MEDIA_NAME, "Duvella");
    m_stream = m_pa.stream_new_with_proplist(m_context, "Duvella", &spec, nullptr, media);
    m_pa.proplist_free(media);
    if (m_stream == nullptr)
        return false;
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<std::uint32_t>(-1);
    buffer.tlength = bytesFor(kBuffer);
    // Playback starts with the first frame written: a sound shorter than the
    // buffer is heard too.
    buffer.prebuf = kBytesPerFrame;
    buffer.minreq = bytesFor(kRequest);
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    const auto flags =
        static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_CORKED);
    if (m_pa.stream_connect_playback(m_stream, nullptr, &buffer, flags, nullptr, nullptr) < 0)
        return false;
    const bool streaming = runUntil(
        [&] {
            const pa_stream_state_t state = m_pa.stream_get_state(m_stream);
            return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
        },
        connectBy);
    if (!streaming || !connected())
        return false;
    // PipeWire's server calls itself "PulseAudio (on PipeWire …)"; a server
    // that does not say gets the silence before too.
    std::string server;
    const bool named = complete(m_pa.context_get_server_info(
        m_context,
        [](pa_context*, const pa_server_info* info, void* name) {
            if (info != nullptr && info->server_name != nullptr)
                *static_cast<std::string*>(name) = info->server_name;
        },
        &server));
    m_leadOnStart = !named || server == "pulseaudio" ? framesFor(kLeadingSilence) : 0;
    return true;
}

std::optional<sound::Time> PulseSoundDevice::play(const DeviceSamples& samples) {
    // Whatever the server said meanwhile (it may have gone) is taken in first.
    while (m_pa.mainloop_iterate(m_loop, 0, nullptr) > 0) {
    }
    if (!connected())
        return std::nullopt;
    // A sound that plays stops: what the server holds of it is dropped. Once
    // it has been heard the next sound follows the few milliseconds of silence
    // after it: a flush would drop the last of the sound too, as PipeWire drops
    // what it has read but not yet played. The server carries out requests in
    // turn: the flush's answer is awaited once the sound is written.
    const auto now = Clock::now();
    const bool playing = now < m_soundHeardUntil;
    // The stream starts again when all it held has played out: after a quiet
    // spell (it is corked only then), or when the game, held off the processor,
    // comes later than the silence after the sound before.
    const bool starts = now >= m_soundHeardUntil + kTrailingSilence;
    pa_operation* flush = playing ? m_pa.stream_flush(m_stream, nullptr, nullptr) : nullptr;
    m_soundHeardUntil = now;
    bool ok = !playing || flush != nullptr;
    if (!samples.empty() && ok) {
        const std::size_t lead = starts ? m_leadOnStart : 0;
        DeviceSamples padded(lead + samples.size() + framesFor(kTrailingSilence));
        std::copy(samples.begin(), samples.end(), padded.begin() + lead);
        ok = m_pa.stream_write(m_stream, padded.data(), padded.size() * kBytesPerFrame, nullptr, 0,
                               PA_SEEK_RELATIVE) == 0 &&
             ok;
    }
    // After a quiet spell the stream runs again once the sound is in it: one
    // uncorked while empty began further into the sound written after.
    if (m_corked && !samples.empty() && ok) {
        if (!complete(m_pa.stream_cork(m_stream, 0, nullptr, nullptr)))
            ok = false;
        else
            m_corked = false;
    }
    if (flush != nullptr)
        ok = complete(flush) && ok;
    if (!ok)
        return std::nullopt;
    if (samples.empty())
        return m_soundHeardUntil;
    return heardUntil();
}

// The server's own account of the time until the last sample written is heard:
// what it holds of the stream, plus the latency of the sink.
std::optional<sound::Time> PulseSoundDevice::heardUntil() {
    if (!connected() || !complete(m_pa.stream_update_timing_info(m_stream, nullptr, nullptr)))
        return std::nullopt;
    pa_usec_t latency = 0;
    int negative = 0;
    const auto now = Clock::now();
    if (m_pa.stream_get_latency(m_stream, &latency, &negative) < 0)
        return std::nullopt;
    auto heard = now + std::chrono::microseconds(negative ? 0 : latency) - kTrailingSilence;
    // PipeWire's account of its latency can be short of the samples it has yet
    // to read; those must be read before the sound can have been heard.
    const pa_timing_info* info = m_pa.stream_get_timing_info(m_stream);
    if (info != nullptr && !info->write_index_corrupt && !info->read_index_corrupt) {
        const std::int64_t unread = info->write_index - info->read_index -
                                    static_cast<std::int64_t>(bytesFor(kTrailingSilence));
        if (unread > 0)
            heard = std::max(heard, now + std::chrono::microseconds(unread / kBytesPerFrame *
                                                                    1'000'000 / kDeviceRate));
    }
    m_soundHeardUntil = heard;
    return heard;
}

void PulseSoundDevice::quiet() {
    if (connected() && complete(m_pa.stream_cork(m_stream, 1, nullptr, nullptr)))
        m_corked = true;
}

} // namespace

std::unique_ptr<SoundDevice> openPulseSoundDevice() {
    const PulseLibrary* pa = pulseLibrary();
    if (pa == nullptr)
        return nullptr;
    auto device = std::make_unique<PulseSoundDevice>(*pa);
    if (!device->open())
        return nullptr;
    return device;
}

} // namespace platform
