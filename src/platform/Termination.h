#pragma once

#include <chrono>

namespace platform {

// A request from outside to end the game: SIGTERM, SIGINT or SIGHUP, and the
// other signals whose default is to end the process (SIGUSR1, SIGUSR2,
// SIGALRM, SIGVTALRM, SIGXCPU), so that none of them costs the player the
// table; SIGPIPE and SIGXFSZ are ignored. The signal
// handler itself only sets a flag and writes one byte into a pipe; the window
// thread acts on the request, from the event loop or from inside a wait.
void installTerminationSignals();

// Whether a termination signal has arrived.
bool terminationRequested();

// The read end of the pipe, readable once a termination has been requested; -1
// before installTerminationSignals().
int terminationFd();

// Sleeps until `deadline`, or returns early when a termination is requested, so
// that no wait of the game can hold a request back. True when the whole time
// has passed.
bool sleepUntil(std::chrono::steady_clock::time_point deadline);

} // namespace platform
