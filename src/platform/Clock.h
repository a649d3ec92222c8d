#pragma once

#include <QDate>
#include <cstdint>

namespace platform {

class Clock {
  public:
    virtual ~Clock() = default;
    // Today's local date.
    virtual QDate today() const = 0;
    // A fine-grained reading of the clock, used to reseed the random generator.
    virtual std::uint64_t ticks() const = 0;
};

} // namespace platform
