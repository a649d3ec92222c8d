// How closely the real sound output keeps the game's tempo: every waiting play
// of each of the game's sounds must last the sound's length and at most 25 ms
// more, and an async play must hand control back at once. Runs on whatever
// sound server it finds (or none: then the plays are silent and paced by the
// clock alone).
//
//   bench_sound [--label TEXT]

#include "BenchSupport.h"
#include "platform/DeviceSoundOutput.h"
#include "platform/WavFile.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kLateMs = 25.0;
constexpr double kAsyncMs = 5.0;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const char* label = argc > 2 && std::string(argv[1]) == "--label" ? argv[2] : "sound";
    const QDir folder(QCoreApplication::applicationDirPath());
    std::vector<std::string> sounds;
    for (const QString& name : folder.entryList({"*.wav"}, QDir::Files))
        sounds.push_back(folder.filePath(name).toStdString());
    if (sounds.empty()) {
        std::fprintf(stderr, "bench_sound: no sound files beside the program\n");
        return 1;
    }

    platform::DeviceSoundOutput output;
    output.start();
    // The first play waits for the device to open; it is not counted.
    const auto openStart = Clock::now();
    output.play(sounds.front(), true);
    const double firstMs = msSince(openStart);

    std::vector<double> late;
    for (int round = 0; round < 2; ++round) {
        for (const std::string& sound : sounds) {
            const double lengthMs = platform::readWavFile(sound)->duration().count() / 1e3;
            const auto start = Clock::now();
            output.play(sound, true);
            late.push_back(msSince(start) - lengthMs);
        }
    }
    // Once the device has closed for want of sounds, the next play opens it again.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    const double idleLengthMs = platform::readWavFile(sounds.front())->duration().count() / 1e3;
    const auto idleStart = Clock::now();
    output.play(sounds.front(), true);
    late.push_back(msSince(idleStart) - idleLengthMs);
    const double afterIdleMs = late.back();

    std::vector<double> async;
    for (const std::string& sound : sounds) {
        const auto start = Clock::now();
        output.play(sound, false);
        async.push_back(msSince(start));
        // Lets the sound get going, so that the next play has one to cut.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    output.shutdown();

    const double earliest = *std::min_element(late.begin(), late.end());
    const double latest = *std::max_element(late.begin(), late.end());
    const bool pacingOk = earliest >= 0 && latest <= kLateMs;
    std::printf("[%s] PlayWave pacing, %zu waiting plays (the game's %zu sounds twice, one after "
                "2.5 s idle): later than the"
                " sound by min %.2f ms, median %.2f ms, max %.2f ms (target 0 to %.0f ms) %s\n",
                label, late.size(), sounds.size(), earliest, bench::median(late), latest, kLateMs,
                pacingOk ? "PASS" : "MISS");
    const double asyncWorst = *std::max_element(async.begin(), async.end());
    std::printf("[%s] PlayWaveAsync returns after median %.2f ms, worst %.2f ms (target <= %.0f"
                " ms) %s; the first play, which waited for the device, took %.1f ms; a play"
                " after 2.5 s without sound, which opened it again, was %.1f ms late\n",
                label, bench::median(async), asyncWorst, kAsyncMs,
                asyncWorst <= kAsyncMs ? "PASS" : "MISS", firstMs, afterIdleMs);
    return 0;
}
