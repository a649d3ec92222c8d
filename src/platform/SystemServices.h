#pragma once

namespace platform {

// Installs the real platform services: sound output on SDL2_mixer, Qt message
// boxes, the system clock, and a process end that leaves at once.
void installSystemServices();

} // namespace platform
