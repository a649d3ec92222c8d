#include "game/RandomNumber.h"

#include "platform/Services.h"

#include <cmath>

namespace {

RandomGenerator g_generator;

} // namespace

std::uint64_t RandomGenerator::next() {
    // splitmix64: every step changes the state, and the output is well mixed.
    m_state += 0x9e3779b97f4a7c15ULL;
    std::uint64_t z = m_state;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

void RandomGenerator::reseed(std::uint64_t clockTicks) {
    m_state ^= clockTicks * 0xd1b54a32d192ed03ULL;
}

float RandomGenerator::draw() {
    // 24 bits fill a float's mantissa exactly, so the result stays below 1.
    return static_cast<float>(next() >> 40) * (1.0f / 16777216.0f);
}

std::int16_t scaleDraw(std::int16_t upper, float r) {
    // Computed in double: in single precision upper * r can round up to upper.
    const double value = std::floor(static_cast<double>(upper) * static_cast<double>(r) + 1.0);
    return static_cast<std::int16_t>(value);
}

std::int16_t RandomNumber(std::int16_t upper) {
    if (const platform::Clock* clock = platform::services().clock)
        g_generator.reseed(clock->ticks());
    return scaleDraw(upper, g_generator.draw());
}
