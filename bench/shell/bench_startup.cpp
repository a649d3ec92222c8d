// Start-up benchmark: starts the game's start-up (duvella_firstframe), a bare Qt
// Widgets window that draws one text label (label_window) and, for scale, the
// same window without the label (bare_window) in turn, each run timed from just
// before the fork to the first painted frame, and compares the medians of time
// and peak resident memory with those of the label window. Runs under whatever
// QT_QPA_PLATFORM, DISPLAY and sound server it is given.
//
//   bench_startup [--runs N] [--label TEXT] [game-program baseline-program [bare-program]]

#include "BenchSupport.h"
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using bench::median;

constexpr double kTimeTarget = 1.15;
constexpr double kMemoryTarget = 1.2;

struct Sample {
    double ms;
    double cpuMs;
    double mb;
};

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::string besideSelf(const char* argv0, const char* name) {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : argv0;
    return path.substr(0, path.rfind('/') + 1) + name;
}

// Starts the program, waits for its report line (at most `timeoutMs`) and for its end.
std::optional<Sample> runOnce(const std::string& program, int timeoutMs, bool verbose) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return std::nullopt;
    const long long start = monotonicNs();
    const pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        if (!verbose) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
        }
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);

    std::string text;
    const long long deadline = start + static_cast<long long>(timeoutMs) * 1000000LL;
    bool timedOut = false;
    for (;;) {
        const long long left = (deadline - monotonicNs()) / 1000000LL;
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd fd{out[0], POLLIN, 0};
        const int ready = poll(&fd, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        char buffer[512];
        const ssize_t got = read(out[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    close(out[0]);
    if (timedOut)
        kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;

    long long frameNs = 0;
    long hwmKb = 0;
    if (std::sscanf(text.c_str(), "firstframe_ns=%lld vmhwm_kb=%ld", &frameNs, &hwmKb) != 2)
        return std::nullopt;
    return Sample{static_cast<double>(frameNs - start) / 1e6, cpuMs,
                  static_cast<double>(hwmKb) / 1024.0};
}

const char* verdict(double ratio, double target) {
    return ratio <= target ? "PASS" : "MISS";
}

} // namespace

int main(int argc, char* argv[]) {
    int runs = 10;
    std::string label;
    std::vector<std::string> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--label" && i + 1 < argc)
            label = argv[++i];
        else
            programs.push_back(arg);
    }
    if (programs.empty())
        programs = {besideSelf(argv[0], "duvella_firstframe"), besideSelf(argv[0], "label_window"),
                    besideSelf(argv[0], "bare_window")};
    if (programs.size() < 2 || programs.size() > 3) {
        std::fprintf(stderr,
                     "usage: bench_startup [--runs N] [--label TEXT] [game baseline [bare]]\n");
        return 2;
    }
    if (label.empty()) {
        const char* platform = std::getenv("QT_QPA_PLATFORM");
        label = platform ? platform : "default";
    }
    const bool verbose = std::getenv("DUVELLA_BENCH_VERBOSE") != nullptr;
    const std::size_t count = programs.size();

    // One run of each first, not counted: it fills the page cache and the font cache.
    for (const std::string& program : programs) {
        if (!runOnce(program, 20000, verbose)) {
            std::printf("[%s] startup: %s did not report a first frame; skipped\n", label.c_str(),
                        program.c_str());
            return 0;
        }
    }

    std::vector<double> ms[3], cpu[3], mb[3];
    int failures = 0;
    for (int round = 0; round < runs; ++round) {
        // Interleaved, the order turned every round, so drifts of the machine fall
        // on all programs alike.
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t which = (k + static_cast<std::size_t>(round)) % count;
            if (const auto sample = runOnce(programs[which], 20000, verbose)) {
                ms[which].push_back(sample->ms);
                cpu[which].push_back(sample->cpuMs);
                mb[which].push_back(sample->mb);
            } else {
                ++failures;
            }
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (ms[i].empty()) {
            std::printf("[%s] startup: no complete runs of %s; skipped\n", label.c_str(),
                        programs[i].c_str());
            return 0;
        }
    }

    double time[3], memory[3], cpuTime[3];
    for (std::size_t i = 0; i < count; ++i) {
        time[i] = median(ms[i]);
        memory[i] = median(mb[i]);
        cpuTime[i] = median(cpu[i]);
    }
    const double timeRatio = time[0] / time[1];
    const double memoryRatio = memory[0] / memory[1];
    auto low = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    auto high = [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); };
    std::printf("[%s] startup time: duvella %.1f ms, label window %.1f ms, ratio %.2f"
                " (target <= %.2f) %s  (median of %zu runs, interleaved; spread duvella"
                " %.1f-%.1f, label window %.1f-%.1f)\n",
                label.c_str(), time[0], time[1], timeRatio, kTimeTarget,
                verdict(timeRatio, kTimeTarget), ms[0].size(), low(ms[0]), high(ms[0]), low(ms[1]),
                high(ms[1]));
    // CPU time is far less disturbed by other load on the machine than the time
    // on the clock, so it is printed beside it to tell noise from real cost.
    std::printf("[%s] startup CPU time (user+sys, to the first frame): duvella %.1f ms, label"
                " window %.1f ms, ratio %.2f (for reading the figure above)\n",
                label.c_str(), cpuTime[0], cpuTime[1], cpuTime[0] / cpuTime[1]);
    std::printf("[%s] startup memory (peak RSS): duvella %.1f MB, label window %.1f MB, ratio"
                " %.2f (target <= %.2f) %s\n",
                label.c_str(), memory[0], memory[1], memoryRatio, kMemoryTarget,
                verdict(memoryRatio, kMemoryTarget));
    if (count == 3) {
        // What the label itself costs: the same window without it.
        std::printf("[%s] startup for scale: a bare window without the label %.1f ms"
                    " (CPU %.1f ms), %.1f MB\n",
                    label.c_str(), time[2], cpuTime[2], memory[2]);
    }
    if (failures)
        std::printf("[%s] startup: %d runs gave no report and were left out\n", label.c_str(),
                    failures);
    return 0;
}
