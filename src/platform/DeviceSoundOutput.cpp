#include "platform/DeviceSoundOutput.h"

#include "platform/DeviceSamples.h"
#include "platform/Termination.h"
#include "platform/WavFile.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;
using sound::Event;

} // namespace

struct DeviceSoundOutput::Worker {
    Worker(Timing t, Opener o) : timing(t), opener(std::move(o)) {}

    // What became of the latest sound handed to the device.
    struct Outcome {
        std::uint64_t number = 0;
        std::optional<sound::Time> heardUntil;
    };

    const Timing timing;
    const Opener opener;

    // Shared by the window thread and the worker, under `mutex`.
    std::mutex mutex;
    std::condition_variable changed;
    sound::State state;
    sound::Actions todo; // what the worker has still to do
    bool running = false;
    std::uint64_t requests = 0;
    DeviceSamples samples; // of the latest play
    Outcome outcome;

    // The worker thread's own.
    std::unique_ptr<SoundDevice> device;

    // The one place where the state changes; under `mutex`.
    sound::Actions apply(const Event& event) {
        sound::Step step = sound::next(state, event, timing);
        state = step.state;
        todo.open |= step.actions.open;
        todo.play |= step.actions.play;
        todo.quiet |= step.actions.quiet;
        todo.close |= step.actions.close;
        todo.check |= step.actions.check;
        todo.wakeAt = step.actions.wakeAt;
        changed.notify_all();
        return step.actions;
    }
    void run();
};

void DeviceSoundOutput::Worker::run() {
    std::unique_lock lock(mutex);
    for (;;) {
        if (todo.close) {
            todo.close = false;
            lock.unlock();
            device.reset();
            lock.lock();
        } else if (state.quit) {
            break;
        } else if (todo.open) {
            todo.open = false;
            lock.unlock();
            device = opener();
            lock.lock();
            apply({.kind = Event::Opened, .now = Clock::now(), .ok = device != nullptr});
        } else if (todo.play) {
            todo.play = false;
            const DeviceSamples sound = std::move(samples);
            const std::uint64_t number = requests;
            lock.unlock();
            const std::optional<sound::Time> heardUntil =
                device ? device->play(sound) : std::nullopt;
            lock.lock();
            outcome = {number, heardUntil};
            apply({.kind = Event::Started,
                   .now = Clock::now(),
                   .number = number,
                   .heardUntil = heardUntil});
        } else if (todo.check) {
            todo.check = false;
            lock.unlock();
            const std::optional<sound::Time> heardUntil =
                device ? device->heardUntil() : std::nullopt;
            lock.lock();
            apply({.kind = Event::Checked, .now = Clock::now(), .heardUntil = heardUntil});
        } else if (todo.quiet) {
            todo.quiet = false;
            lock.unlock();
            if (device)
                device->quiet();
            lock.lock();
        } else if (!todo.wakeAt) {
            changed.wait(lock);
        } else if (changed.wait_until(lock, *todo.wakeAt) == std::cv_status::timeout) {
            apply({.kind = Event::Tick, .now = Clock::now()});
        }
    }
    running = false;
    changed.notify_all();
}

DeviceSoundOutput::DeviceSoundOutput(Timing timing, Start when, Opener open)
    : m_worker(std::make_shared<Worker>(timing, std::move(open))) {
    // For SDL's device, which may reach a sound server through ALSA. Set here,
    // before the worker exists, as no other thread of the output may read the
    // environment while it changes.
    ::setenv("PULSE_PROP", "application.icon_name=duvella", 0);
    if (when == Start::Now)
        start();
}

DeviceSoundOutput::~DeviceSoundOutput() {
    shutdown();
}

void DeviceSoundOutput::start() {
    std::lock_guard lock(m_worker->mutex);
    if (m_worker->state.device != sound::Device::Untried || m_worker->state.quit)
        return;
    m_worker->running = true;
    std::thread([worker = m_worker] { worker->run(); }).detach();
    m_worker->apply({.kind = Event::Start, .now = Clock::now()});
}

void DeviceSoundOutput::play(const std::string& path, bool wait) {
    if (wait)
        start();
    const std::optional<WavSound> wav = readWavFile(path);
    std::optional<Clock::duration> length;
    DeviceSamples samples;
    // A file that cannot be played still stops the sound that plays.
    if (wav) {
        length = wav->duration();
        samples = deviceSamples(*wav);
    }
    std::unique_lock lock(m_worker->mutex);
    m_worker->samples = std::move(samples);
    const std::uint64_t number = ++m_worker->requests;
    const sound::Actions told =
        m_worker->apply({.kind = Event::Play, .now = Clock::now(), .number = number, .wait = wait});
    if (!wait || !length)
        return;
    // Waits for the sound to start, or to be given up, then for it to be heard
    // (which the worker may learn is later than it first said), in steps
    // through which a termination request is noticed.
    std::optional<sound::Time> heardUntil;
    while (told.awaitStartUntil && !terminationRequested()) {
        if (m_worker->outcome.number == number) {
            heardUntil = m_worker->outcome.heardUntil;
            break;
        }
        const auto now = Clock::now();
        const auto& pending = m_worker->state.pending;
        if (now >= *told.awaitStartUntil || !pending || pending->number != number)
            break;
        m_worker->changed.wait_until(
            lock, std::min(*told.awaitStartUntil, now + std::chrono::milliseconds(10)));
    }
    const Clock::time_point end = sound::waitEnd(heardUntil, Clock::now(), length);
    for (auto until = end; !terminationRequested();) {
        const sound::State& state = m_worker->state;
        if (state.heardUntil)
            until = std::max(end, *state.heardUntil);
        const auto now = Clock::now();
        // Not while the worker asks the device whether the sound has been heard,
        // unless that takes past the limit.
        const bool asking = state.heardUntil && state.busySince && now < state.heardLimit;
        if (now >= until && !asking)
            break;
        m_worker->changed.wait_until(lock, std::min(until, now + std::chrono::milliseconds(10)));
    }
}

void DeviceSoundOutput::shutdown() {
    std::unique_lock lock(m_worker->mutex);
    m_worker->apply({.kind = Event::Quit, .now = Clock::now()});
    // A worker caught in a device open that hangs is left to itself; it ends
    // once the open returns, or with the process.
    m_worker->changed.wait_for(lock, std::chrono::milliseconds(500),
                               [this] { return !m_worker->running; });
}

} // namespace platform
