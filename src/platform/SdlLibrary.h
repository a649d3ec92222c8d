#pragma once

#include <SDL.h>

namespace platform {

// The few functions of libSDL2 that the sound output calls. The library is
// opened with dlopen when the sound output first needs it, off the window
// thread, so that neither SDL nor the sound server's client libraries that it
// loads in turn delay the start of the program.
struct SdlLibrary {
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_GetAudioDeviceStatus) GetAudioDeviceStatus;
    decltype(&SDL_LockAudioDevice) LockAudioDevice;
    decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice;
    decltype(&SDL_TLSCleanup) TLSCleanup;
};

// Opens libSDL2 on the first call; nullptr when it or one of the functions is
// missing. The library stays loaded until the process ends.
const SdlLibrary* sdlLibrary();

} // namespace platform
