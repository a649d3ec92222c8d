#pragma once

#include <cstdint>

// The game's random generator. Reseeding mixes the clock reading into the
// running state instead of restarting it, so draws made within one tick of the
// clock still differ from one another.
class RandomGenerator {
  public:
    explicit RandomGenerator(std::uint64_t state = 0x853c49e6748fea9bULL) : m_state(state) {}

    void reseed(std::uint64_t clockTicks);
    // A number in [0, 1), in single precision.
    float draw();

  private:
    std::uint64_t next();
    std::uint64_t m_state;
};

// A whole number from 1 to upper: the integer part of upper * r + 1, r drawn
// from [0, 1). RandomNumber(1) and RandomNumber(0) are 1.
std::int16_t scaleDraw(std::int16_t upper, float r);

// Reseeds the program's generator from the clock, then draws 1..upper.
std::int16_t RandomNumber(std::int16_t upper);
