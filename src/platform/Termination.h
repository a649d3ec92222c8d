#pragma once

#include <chrono>
#include <functional>

class QObject;

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

// What the program does on a termination request: `hook` runs on the window
// thread as soon as the event loop sees the request (idle, in a pause, in a board
// build, under a message box), and from actOnTermination(). One hook at a time;
// it runs only while `owner` lives.
void onTermination(QObject& owner, std::function<void()> hook);

// Runs the hook when a termination has been requested. For the caller of a wait
// that handles no events, right after the wait returns: a request cuts the wait
// short, and the handler that waited must not go on.
void actOnTermination();

} // namespace platform
