// How closely the real sound output keeps the game's tempo: a waiting play must
// last the sound's length and hardly more, an async play must hand control back
// at once although it reads the file from disk first.
//
// Run with SDL_AUDIODRIVER=dummy for figures that do not depend on a sound card.
// Prints the figures and PASS or FAIL per target; exits 0 either way, and 1 only
// when no audio device can be opened.

#include "BenchSupport.h"
#include "game/cDefault.h"
#include "platform/SdlSoundOutput.h"
#include "platform/Services.h"
#include "platform/WavFile.h"
#include "sound/PlayWave.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using bench::median;

constexpr int kPlays = 20;
constexpr double kSoundMs = 500.0;
constexpr double kBlockingSlackMs = 25.0;
constexpr double kAsyncMs = 5.0;

using Clock = std::chrono::steady_clock;

template <typename F> double timeMs(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !testwav::writeSine(dir.filePath("bench.wav"), 440, kSoundMs / 1000)) {
        std::fprintf(stderr, "bench_sound: cannot write the test sound\n");
        return 1;
    }

    platform::SdlSoundOutput output;
    platform::services().sound = &output;
    objGame->strSoundPath = dir.path();
    if (!output.deviceAvailable()) {
        std::fprintf(stderr, "bench_sound: no audio device could be opened "
                             "(try SDL_AUDIODRIVER=dummy)\n");
        return 1;
    }
    std::printf("bench_sound: PlayWave / PlayWaveAsync on SDL2_mixer, audio driver \"%s\",\n"
                "             a %.0f ms WAV (22050 Hz mono 16-bit), %d plays each\n\n",
                SDL_GetCurrentAudioDriver(), kSoundMs, kPlays);

    // One play first, so that no figure includes anything left over from opening.
    PlayWave("bench.wav");

    std::vector<double> blocking;
    for (int i = 0; i < kPlays; ++i)
        blocking.push_back(timeMs([] { PlayWave("bench.wav"); }));

    std::vector<double> async;
    for (int i = 0; i < kPlays; ++i) {
        async.push_back(timeMs([] { PlayWaveAsync("bench.wav"); }));
        // Lets the sound get going, so that the next play has one to cut.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    PlayWave("bench.wav");

    const double shortest = *std::min_element(blocking.begin(), blocking.end());
    const double longest = *std::max_element(blocking.begin(), blocking.end());
    const bool blockingOk = shortest >= kSoundMs && longest <= kSoundMs + kBlockingSlackMs;
    std::printf("PlayWave       median %7.2f ms  worst %7.2f ms  shortest %7.2f ms\n"
                "               target: every play %.0f ms to %.0f ms (never less)   %s\n\n",
                median(blocking), longest, shortest, kSoundMs, kSoundMs + kBlockingSlackMs,
                blockingOk ? "PASS" : "FAIL");

    const double asyncWorst = *std::max_element(async.begin(), async.end());
    const bool asyncOk = asyncWorst <= kAsyncMs;
    std::printf(
        "PlayWaveAsync  median %7.2f ms  worst %7.2f ms\n"
        "               target: every play returns within %.0f ms, file read included   %s\n",
        median(async), asyncWorst, kAsyncMs, asyncOk ? "PASS" : "FAIL");

    platform::services() = platform::Services{};
    output.shutdown();
    return 0;
}
