#include "platform/SoundMachine.h"

#include <algorithm>

namespace platform::sound {

namespace {

// A waiting sound's end is checked with the device a little before it is due,
// so that a later answer still holds the caller; and not more often than this.
constexpr std::chrono::milliseconds kCheckAhead{5};
constexpr std::chrono::milliseconds kCheckEvery{2};

void checkBefore(State& state, Time heardUntil, Time now) {
    state.heardUntil = heardUntil;
    state.checkAt = std::max(heardUntil - kCheckAhead, now + kCheckEvery);
}

bool ready(Device device) {
    return device == Device::Open || device == Device::Quiet;
}

// Hands the pending sound to the device when the worker is free for it; drops
// it once it is too late to start.
void handOver(State& state, Actions& actions, Time now) {
    if (!state.pending || state.busySince || !ready(state.device))
        return;
    if (now >= state.pending->giveUpAt) {
        state.pending.reset();
        return;
    }
    actions.play = true;
    state.busySince = now;
}

void fail(State& state, Time now) {
    state.device = Device::Failed;
    state.since = now;
    state.pending.reset();
    state.readyUntil.reset();
}

void beginOpen(State& state, Actions& actions, Device device, Time now) {
    state.device = device;
    state.since = now;
    state.busySince = now;
    actions.open = true;
}

void play(State& state, Actions& actions, const Event& event, const Timing& timing) {
    const Time now = event.now;
    // The waiting sound before, if any, is over for the game.
    state.heardUntil.reset();
    state.checkAt.reset();
    if (state.device == Device::Untried && event.wait)
        beginOpen(state, actions, Device::Opening, now);
    if (state.device == Device::Failed && now - state.since >= timing.retryAfter)
        beginOpen(state, actions, Device::Retrying, now);
    // A retry, or a worker held longer than the limit by an open or a start that
    // hangs, must not cost the game its tempo: such plays are silent.
    const bool hangs = state.busySince && now - *state.busySince >= timing.openLimit;
    if (state.device == Device::Failed || state.device == Device::Retrying || hangs) {
        state.pending.reset();
        return;
    }
    // An async play before the window is up is kept for when the device opens.
    const Time from = state.busySince.value_or(now);
    state.pending = Pending{event.number, from + timing.openLimit, event.wait};
    if (event.wait)
        actions.awaitStartUntil = state.pending->giveUpAt;
}

} // namespace

Step next(State state, const Event& event, const Timing& timing) {
    Actions actions;
    const Time now = event.now;
    if (state.quit)
        return {state, actions};
    switch (event.kind) {
    case Event::Start:
        if (state.device == Device::Untried)
            beginOpen(state, actions, Device::Opening, now);
        break;
    case Event::Play:
        play(state, actions, event, timing);
        break;
    case Event::Opened:
        state.busySince.reset();
        if (!event.ok) {
            fail(state, now);
            break;
        }
        state.device = Device::Open;
        state.readyUntil = now + timing.keepReady;
        break;
    case Event::Started:
        state.busySince.reset();
        if (state.pending && state.pending->number == event.number) {
            if (state.pending->wait && event.heardUntil) {
                checkBefore(state, *event.heardUntil, now);
                state.heardLimit = *event.heardUntil + timing.openLimit;
            }
            state.pending.reset();
        }
        if (!event.heardUntil) {
            // The device was lost; it is tried again later like one that failed.
            fail(state, now);
            actions.close = true;
            break;
        }
        state.device = Device::Open;
        state.readyUntil = *event.heardUntil + timing.keepReady;
        break;
    case Event::Checked:
        state.busySince.reset();
        // Later than first said: asked again before then, but never past the limit.
        if (state.heardUntil && event.heardUntil && *event.heardUntil > *state.heardUntil &&
            *event.heardUntil > now) {
            checkBefore(state, std::min(*event.heardUntil, state.heardLimit), now);
            state.readyUntil = *state.heardUntil + timing.keepReady;
        }
        break;
    case Event::Tick:
        if (state.checkAt && now >= *state.checkAt && !state.busySince) {
            state.checkAt.reset();
            state.busySince = now;
            actions.check = true;
        } else if (state.device == Device::Open && !state.busySince && state.readyUntil &&
                   now >= *state.readyUntil) {
            state.device = Device::Quiet;
            state.readyUntil.reset();
            actions.quiet = true;
        }
        break;
    case Event::Quit:
        state.quit = true;
        state.pending.reset();
        actions.close = true;
        return {state, actions};
    }
    // Whatever freed the worker, a sound waiting for it goes first: also after
    // it asked the device about the sound before, which a play may overtake.
    handOver(state, actions, now);
    if (state.device == Device::Open && !state.busySince)
        actions.wakeAt = state.checkAt ? state.checkAt : state.readyUntil;
    return {state, actions};
}

Time waitEnd(std::optional<Time> heardUntil, Time now, std::optional<Duration> length) {
    if (!length)
        return now;
    return heardUntil.value_or(now + *length);
}

} // namespace platform::sound
