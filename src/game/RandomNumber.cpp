#include "game/RandomNumber.h"

#include "platform/Services.h"

#include <cmath>

std::int16_t scaleDraw(std::int16_t upper, float r) {
    // Computed in double: in single precision upper * r can round up to upper.
    const double value = std::floor(static_cast<double>(upper) * static_cast<double>(r) + 1.0);
    return static_cast<std::int16_t>(value);
}

std::int16_t RandomNumber(std::int16_t upper) {
    platform::Services& services = platform::services();
    if (const platform::Clock* clock = services.clock)
        services.random.reseed(clock->ticks());
    return scaleDraw(upper, services.random.draw());
}
