#include "platform/SystemClock.h"

#include <chrono>

namespace platform {

QDate SystemClock::today() const {
    return QDate::currentDate();
}

std::uint64_t SystemClock::ticks() const {
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

} // namespace platform
