#pragma once

#include "BenchSupport.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/SoundOutput.h"
#include "shell/frmMain.h"

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bench {

// Plays nothing and charges no time for it; counts the plays, and the waiting
// plays of pop.wav apart.
class SilentSound : public platform::SoundOutput {
  public:
    void play(const std::string& path, bool wait) override;

    int plays = 0;
    int waitingPops = 0;
};

// Answers every box at once with its default button.
class AnsweringMessageBox : public platform::MessageBox {
  public:
    Button show(const Request& request) override;

    int shown = 0;
};

// The steady clock, as the program reads it, with a count of the readings.
class CountingClock : public platform::Clock {
  public:
    QDate today() const override;
    std::uint64_t ticks() const override;

    mutable std::uint64_t readings = 0;
};

// The game window built and shown as the program does it, on the fakes above,
// with a settings store of its own in a temporary folder.
class BenchGame {
  public:
    BenchGame();
    ~BenchGame();
    BenchGame(const BenchGame&) = delete;
    BenchGame& operator=(const BenchGame&) = delete;

    frmMain& window() { return *m_window; }

    SilentSound sound;
    AnsweringMessageBox messageBox;
    CountingClock clock;

  private:
    QTemporaryDir m_config;
    std::unique_ptr<frmMain> m_window;
};

// Handles events for the given time, so that nothing is left pending.
void settle(int milliseconds);

inline double elapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

// "offscreen", "xcb", ...: the tag in front of every printed line.
QString platformLabel();

const char* verdict(bool pass);

} // namespace bench
