#pragma once

#include <cstdint>

namespace platform {

// The game's random generator. Reseeding mixes the clock reading into the
// running state instead of restarting it, so draws made within one tick of the
// clock still differ from one another.
class RandomGenerator {
  public:
    RandomGenerator() = default;
    explicit RandomGenerator(std::uint64_t state) : m_state(state) {}

    void reseed(std::uint64_t clockTicks) { m_state ^= clockTicks * 0xd1b54a32d192ed03ULL; }

    // A number in [0, 1), in single precision: 24 bits fill a float's mantissa
    // exactly, so the result stays below 1.
    float draw() { return static_cast<float>(next() >> 40) * (1.0f / 16777216.0f); }

  private:
    // splitmix64: every step changes the state, and the output is well mixed.
    std::uint64_t next() {
        m_state += 0x9e3779b97f4a7c15ULL;
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    std::uint64_t m_state = 0x853c49e6748fea9bULL;
};

} // namespace platform
