#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The number a text begins with: leading blanks are skipped and reading stops at
// the first character that cannot continue the number ("12ab" is 12, "3.5" is
// 3.5, "-10" is -10). A text without a leading number, and the empty text, are 0.
double numericValue(const QString& text);

// A number as a 16-bit signed integer, rounded half to even; nothing when it lies
// outside -32768..32767.
std::optional<std::int16_t> toInt16(double value);

// The score after a second reveal: 10 less, held at -32768 instead of wrapping
// round; nothing when the current score is too large for a 16-bit score.
std::optional<std::int16_t> scoreAfterSecondReveal(double score);

// The level in play, read from the 7th character of the level caption
// ("Level 2" is 2); 0 when the caption names no level.
std::int16_t levelFromCaption(const QString& caption);
