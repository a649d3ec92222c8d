#pragma once

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/RandomGenerator.h"
#include "platform/SoundOutput.h"

#include <functional>

namespace platform {

// The platform services the game talks to. The program installs the real ones at
// start-up; tests install fakes.
struct Services {
    SoundOutput* sound = nullptr;
    MessageBox* messageBox = nullptr;
    Clock* clock = nullptr;
    // Drawn from by RandomNumber, which mixes the clock into it at every draw.
    RandomGenerator random;
    // Ends the process at once, without returning to the event loop.
    std::function<void()> endProcess;
};

Services& services();

} // namespace platform
