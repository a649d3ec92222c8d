#pragma once

#include <cstdint>

// A whole number from 1 to upper: the integer part of upper * r + 1, r drawn
// from [0, 1). RandomNumber(1) and RandomNumber(0) are 1.
std::int16_t scaleDraw(std::int16_t upper, float r);

// Reseeds the platform's generator from the clock, then draws 1..upper.
std::int16_t RandomNumber(std::int16_t upper);
