#include "platform/Termination.h"

#include <QPointer>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

std::atomic<bool> g_requested{false};
int g_pipe[2] = {-1, -1};

static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

// The program's answer to a request, and the object whose life bounds it.
struct Hook {
    QPointer<QObject> owner;
    std::function<void()> run;
};
Hook g_hook;

extern "C" void onTerminationSignal(int) {
    const int savedErrno = errno;
    g_requested.store(true);
    if (g_pipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

void installTerminationSignals() {
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_pipe[0] = g_pipe[1] = -1;
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGXCPU})
        ::sigaction(signal, &action, nullptr);
    // A closed pipe or a file grown past its limit is an error of that one
    // write, which the code that writes reports; it must not end the game.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

bool terminationRequested() {
    return g_requested.load();
}

int terminationFd() {
    return g_pipe[0];
}

bool sleepUntil(std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono;
    for (;;) {
        if (terminationRequested())
            return false;
        const auto now = steady_clock::now();
        if (now >= deadline)
            return true;
        if (g_pipe[0] < 0) {
            std::this_thread::sleep_until(deadline);
            continue;
        }
        // Rounded up, so the wait never ends before the deadline.
        const auto left = ceil<milliseconds>(deadline - now).count();
        pollfd readable = {g_pipe[0], POLLIN, 0};
        ::poll(&readable, 1, static_cast<int>(left));
    }
}

void onTermination(QObject& owner, std::function<void()> hook) {
    g_hook = {&owner, std::move(hook)};
    if (g_pipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, &owner);
    QObject::connect(notifier, &QSocketNotifier::activated, &owner, [notifier] {
        // The pipe stays readable from now on; one call is all it takes.
        notifier->setEnabled(false);
        actOnTermination();
    });
}

void actOnTermination() {
    if (terminationRequested() && g_hook.owner && g_hook.run)
        g_hook.run();
}

} // namespace platform
