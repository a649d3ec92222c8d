#include "platform/SystemServices.h"

#include "platform/QtMessageBox.h"
#include "platform/SdlSoundOutput.h"
#include "platform/Services.h"
#include "platform/SystemClock.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

void installSystemServices() {
    static SdlSoundOutput sound;
    sound.start();
    static QtMessageBox messageBox;
    static SystemClock clock;
    Services& current = services();
    current.sound = &sound;
    current.messageBox = &messageBox;
    current.clock = &clock;
    current.endProcess = [] {
        std::fflush(nullptr);
        std::_Exit(EXIT_SUCCESS);
    };
}

} // namespace platform
