#pragma once

namespace platform {

// Installs the real platform services: sound output on SDL2, Qt message boxes,
// the system clock, and a process end that leaves at once. The sound output's
// worker starts opening the audio device at once, so this comes first in main(),
// before the window is built.
void installSystemServices();

} // namespace platform
