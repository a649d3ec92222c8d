#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace platform::sound {

// The sound output's states and what changes them, as one pure function. The
// window thread and the output's worker thread each feed it their events under
// one lock; the worker then carries out the actions it returns, and the window
// thread waits as it says. Times come in with the events, so tests run it on a
// clock of their own.

using Time = std::chrono::steady_clock::time_point;
using Duration = std::chrono::steady_clock::duration;

struct Timing {
    // How long a play waits for the device to open, or for its sound to start,
    // before the game goes on without sound.
    std::chrono::milliseconds openLimit{2000};
    // How soon after the device failed, or was lost, a play tries it again.
    std::chrono::milliseconds retryAfter{5000};
    // How long the device stays ready once a sound has been heard, for the next
    // one. Then it goes quiet (the stream is corked, or the device closed): no
    // thread of the output wakes up until the next play.
    std::chrono::milliseconds keepReady{2000};
};

enum class Device {
    Untried,  // nothing asked for yet
    Opening,  // the first open, which a waiting play waits for
    Open,     // ready to play at once
    Quiet,    // open but corked or closed, woken by the next play
    Failed,   // no device; plays are silent until the retry interval has passed
    Retrying, // opening again after a failure, while plays go on in silence
};

// Only the latest play matters: starting a sound stops the one before.
struct Pending {
    std::uint64_t number = 0;
    Time giveUpAt{}; // past this its sound no longer starts
    bool wait = false;
};

struct State {
    Device device = Device::Untried;
    Time since{};                   // when the device last began to open, or failed
    std::optional<Time> busySince;  // the worker is opening the device or starting a sound
    std::optional<Pending> pending; // a play not handed to the device yet
    std::optional<Time> readyUntil; // Open: when it goes quiet
    // A waiting sound plays: when it will have been heard, and when to ask the
    // device again, as a sound can start later than the device first said. The
    // worker is busy while it asks.
    std::optional<Time> heardUntil;
    std::optional<Time> checkAt;
    Time heardLimit{}; // no later than the open limit after it first said
    bool quit = false;
};

struct Event {
    enum Kind {
        Start,   // the window is up: open the device
        Play,    // the window thread asks for sound `number`
        Opened,  // the worker's open ended; `ok` when there is a device
        Started, // the worker handed a sound to the device; `heardUntil` as below
        Checked, // the worker asked the device again; `heardUntil` its answer, if any
        Tick,    // the time the last step asked to be woken at has come
        Quit,
    } kind;
    Time now{};
    std::uint64_t number = 0; // Play, Started
    bool wait = false;        // Play: the caller waits for the sound
    bool ok = false;          // Opened
    // Started: when its last sample will have been heard; nothing when the
    // device was lost.
    std::optional<Time> heardUntil{};
};

// What the worker does next, and what a waiting play is told.
struct Actions {
    bool open = false;          // open the device (it may hang)
    bool play = false;          // hand the pending sound to the device
    bool quiet = false;         // cork the stream or close the device
    bool close = false;         // close the device
    bool check = false;         // ask the device when the waiting sound will have been heard
    std::optional<Time> wakeAt; // when to send a Tick; nothing: only events wake it
    // Play: until when the caller waits for its sound to start, or nothing when
    // no sound will start and the caller keeps the tempo by itself.
    std::optional<Time> awaitStartUntil;
};

struct Step {
    State state;
    Actions actions;
};

Step next(State state, const Event& event, const Timing& timing);

// How long a waiting play holds the game: until its sound has been heard to the
// end. Where no sound starts (no device, a device that failed, was lost or did
// not open in time, a file that cannot be played) the play waits the sound's
// length from the moment that is known, in silence: the game keeps its tempo
// either way. `length` is nothing for a file that cannot be read: no wait.
Time waitEnd(std::optional<Time> heardUntil, Time now, std::optional<Duration> length);

} // namespace platform::sound
