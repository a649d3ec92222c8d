#pragma once

#include "platform/Clock.h"

namespace platform {

class SystemClock : public Clock {
  public:
    QDate today() const override;
    std::uint64_t ticks() const override;
};

} // namespace platform
