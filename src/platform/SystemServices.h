#pragma once

namespace platform {

// Installs the real platform services: sound output on SDL2, Qt message boxes,
// the system clock, and a process end that leaves at once. The sound device
// opens after the first frame of the window; sounds asked for before play then.
// Needs the application object.
void installSystemServices();

} // namespace platform
