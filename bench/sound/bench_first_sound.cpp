// The start-up drum and the idle game. Starts the game (duvella_firstframe, told
// to stay after its first frame) while the monitor of the sound server's sink is
// recorded, and finds when the drum begins, against the first frame. Then, with
// the game idle and silent, counts its CPU time and the wake-ups (context
// switches) of all its threads over a few seconds; the label window, the
// start-up baseline, is measured the same way for comparison.
//
//   bench_first_sound [--runs N] [--label TEXT] [--record SOURCE]
//
// Without --record (no sound server) only the idle game is measured. The
// recording is made with parec from SOURCE, e.g. "out.monitor", of the server
// that PULSE_SERVER names.

#include "BenchSupport.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using bench::median;
using namespace std::chrono_literals;

constexpr int kRate = 22050;
// The drum's peaks are near full scale; silence is 0.
constexpr int kOnsetLevel = 2000;
constexpr double kOnsetTargetMs = 150;
// The output goes quiet 2 s after the last sound; the idle count starts after that.
constexpr auto kIdleFrom = 3500ms;
constexpr auto kIdleFor = 3s;

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::string besideSelf(const char* name) {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string path(self, static_cast<std::size_t>(std::max<ssize_t>(length, 0)));
    return path.substr(0, path.rfind('/') + 1) + name;
}

pid_t spawn(const std::vector<std::string>& args, int& out, bool stay) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        if (stay)
            setenv("DUVELLA_PROBE_STAY", "1", 1);
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    out = pipeFds[0];
    return child;
}

// CPU time in ms and the context switches of all threads of a process.
std::pair<double, long> cpuAndWakeups(pid_t pid) {
    double cpuMs = 0;
    const std::string base = "/proc/" + std::to_string(pid);
    if (std::FILE* stat = std::fopen((base + "/stat").c_str(), "r")) {
        unsigned long user = 0, system = 0;
        // Fields 14 and 15, after the command name in parentheses.
        if (std::fscanf(stat, "%*d (%*[^)]) %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
                        &user, &system) == 2)
            cpuMs = (user + system) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
        std::fclose(stat);
    }
    long switches = 0;
    if (DIR* tasks = opendir((base + "/task").c_str())) {
        while (const dirent* task = readdir(tasks)) {
            if (task->d_name[0] == '.')
                continue;
            std::FILE* status =
                std::fopen((base + "/task/" + task->d_name + "/status").c_str(), "r");
            char line[256];
            while (status && std::fgets(line, sizeof line, status)) {
                long n = 0;
                if (std::sscanf(line, "voluntary_ctxt_switches: %ld", &n) == 1 ||
                    std::sscanf(line, "nonvoluntary_ctxt_switches: %ld", &n) == 1)
                    switches += n;
            }
            if (status)
                std::fclose(status);
        }
        closedir(tasks);
    }
    return {cpuMs, switches};
}

// The recording, each chunk with the time it was read.
struct Recording {
    std::mutex mutex;
    std::vector<short> samples;
    std::vector<std::pair<std::size_t, long long>> chunkEnds; // sample count, read at ns
    std::atomic<bool> stop{false};

    void readFrom(int fd) {
        char buffer[4096];
        std::string carry;
        for (pollfd ready{fd, POLLIN, 0}; !stop;) {
            if (poll(&ready, 1, 100) <= 0)
                continue;
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got <= 0)
                break;
            const long long at = monotonicNs();
            carry.append(buffer, static_cast<std::size_t>(got));
            std::lock_guard lock(mutex);
            for (std::size_t i = 0; i + 1 < carry.size(); i += 2)
                samples.push_back(static_cast<short>((carry[i] & 0xff) | (carry[i + 1] << 8)));
            carry.erase(0, carry.size() & ~std::size_t(1));
            chunkEnds.emplace_back(samples.size(), at);
        }
    }

    // When the first sample at `level` or louder after `from` (ns) was made: the
    // time its chunk was read, less the samples after it in that chunk. The
    // monitor's own latency makes this late, never early.
    long long onsetAfter(long long from) {
        std::lock_guard lock(mutex);
        std::size_t begin = 0;
        for (const auto& [end, at] : chunkEnds) {
            if (at >= from) {
                for (std::size_t i = begin; i < end; ++i) {
                    if (std::abs(samples[i]) >= kOnsetLevel)
                        return at - static_cast<long long>(end - i) * 1000000000LL / kRate;
                }
            }
            begin = end;
        }
        return -1;
    }
};

struct Run {
    double onsetMs = 0; // drum onset less the first frame
    bool heard = false;
    double idleCpuMs = 0;
    long idleWakeups = 0;
};

// Starts a program, waits for its first frame, and measures what follows.
bool measure(const std::string& program, Recording* recording, Run& run) {
    int out = -1;
    const pid_t child = spawn({program}, out, true);
    if (child < 0)
        return false;
    std::string text;
    char buffer[256];
    for (pollfd ready{out, POLLIN, 0}; text.find('\n') == std::string::npos;) {
        if (poll(&ready, 1, 20000) <= 0)
            break;
        const ssize_t got = read(out, buffer, sizeof buffer);
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    long long frameNs = 0;
    long hwm = 0;
    const bool reported =
        std::sscanf(text.c_str(), "firstframe_ns=%lld vmhwm_kb=%ld", &frameNs, &hwm) == 2;
    if (reported) {
        const auto frame = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(frameNs));
        std::this_thread::sleep_until(frame + kIdleFrom);
        const auto before = cpuAndWakeups(child);
        std::this_thread::sleep_until(frame + kIdleFrom + kIdleFor);
        const auto after = cpuAndWakeups(child);
        run.idleCpuMs = after.first - before.first;
        run.idleWakeups = after.second - before.second;
        if (recording) {
            const long long onset = recording->onsetAfter(frameNs - 2000000000LL);
            run.heard = onset >= 0;
            run.onsetMs = static_cast<double>(onset - frameNs) / 1e6;
        }
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(out);
    return reported;
}

} // namespace

int main(int argc, char* argv[]) {
    int runs = 5;
    std::string label = "first sound";
    std::string source;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (arg == "--label")
            label = argv[i + 1];
        else if (arg == "--record")
            source = argv[i + 1];
    }

    Recording recording;
    int recorderOut = -1;
    pid_t recorder = -1;
    std::thread reader;
    if (!source.empty()) {
        recorder = spawn({"/usr/bin/parec", "--device=" + source, "--raw", "--format=s16le",
                          "--rate=22050", "--channels=1", "--latency-msec=10"},
                         recorderOut, false);
        reader = std::thread([&] { recording.readFrom(recorderOut); });
        // The monitor's first samples come late; the runs wait for them.
        for (int i = 0; i < 100; ++i) {
            std::this_thread::sleep_for(50ms);
            std::lock_guard lock(recording.mutex);
            if (!recording.samples.empty())
                break;
        }
    }

    std::vector<double> onsets, gameCpu, labelCpu, gameWakeups, labelWakeups;
    int unheard = 0;
    for (int i = 0; i < runs; ++i) {
        Run game, baseline;
        if (!measure(besideSelf("duvella_firstframe"), source.empty() ? nullptr : &recording,
                     game) ||
            !measure(besideSelf("label_window"), nullptr, baseline)) {
            std::printf("[%s] a program did not report its first frame; run left out\n",
                        label.c_str());
            continue;
        }
        if (game.heard)
            onsets.push_back(game.onsetMs);
        else
            unheard += !source.empty();
        gameCpu.push_back(game.idleCpuMs);
        gameWakeups.push_back(static_cast<double>(game.idleWakeups));
        labelCpu.push_back(baseline.idleCpuMs);
        labelWakeups.push_back(static_cast<double>(baseline.idleWakeups));
    }
    if (recorder > 0) {
        recording.stop = true;
        kill(recorder, SIGTERM);
        reader.join();
        waitpid(recorder, nullptr, 0);
    }
    if (gameCpu.empty())
        return 1;

    if (!source.empty()) {
        const double worst = onsets.empty() ? 1e9 : *std::max_element(onsets.begin(), onsets.end());
        std::printf("[%s] start-up drum begins after the first frame: median %.1f ms, latest %.1f"
                    " ms, %d of %d runs unheard (target <= %.0f ms, from the sink's monitor) %s\n",
                    label.c_str(), median(onsets), worst, unheard, runs, kOnsetTargetMs,
                    worst <= kOnsetTargetMs && unheard == 0 ? "PASS" : "MISS");
    }
    const double wakeups = median(gameWakeups);
    std::printf("[%s] idle for %lld s (from %.1f s after the first frame): duvella CPU %.1f ms,"
                " %.0f wake-ups of all threads; label window CPU %.1f ms, %.0f wake-ups"
                " (target: none) %s\n",
                label.c_str(), static_cast<long long>(kIdleFor.count()),
                std::chrono::duration<double>(kIdleFrom).count(), median(gameCpu), wakeups,
                median(labelCpu), median(labelWakeups), wakeups == 0 ? "PASS" : "MISS");
    return 0;
}
