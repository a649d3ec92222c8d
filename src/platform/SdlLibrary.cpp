#include "platform/SdlLibrary.h"

#include <dlfcn.h>

namespace platform {

namespace {

template <typename Function> bool resolve(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(handle, name));
    return function != nullptr;
}

const SdlLibrary* load() {
    void* handle = ::dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return nullptr;
    static SdlLibrary sdl;
    const bool complete = resolve(handle, "SDL_SetHint", sdl.SetHint) &&
                          resolve(handle, "SDL_InitSubSystem", sdl.InitSubSystem) &&
                          resolve(handle, "SDL_QuitSubSystem", sdl.QuitSubSystem) &&
                          resolve(handle, "SDL_OpenAudioDevice", sdl.OpenAudioDevice) &&
                          resolve(handle, "SDL_CloseAudioDevice", sdl.CloseAudioDevice) &&
                          resolve(handle, "SDL_PauseAudioDevice", sdl.PauseAudioDevice) &&
                          resolve(handle, "SDL_GetAudioDeviceStatus", sdl.GetAudioDeviceStatus) &&
                          resolve(handle, "SDL_LockAudioDevice", sdl.LockAudioDevice) &&
                          resolve(handle, "SDL_UnlockAudioDevice", sdl.UnlockAudioDevice) &&
                          resolve(handle, "SDL_RWFromFile", sdl.RWFromFile) &&
                          resolve(handle, "SDL_LoadWAV_RW", sdl.LoadWAV_RW) &&
                          resolve(handle, "SDL_FreeWAV", sdl.FreeWAV) &&
                          resolve(handle, "SDL_BuildAudioCVT", sdl.BuildAudioCVT) &&
                          resolve(handle, "SDL_ConvertAudio", sdl.ConvertAudio) &&
                          resolve(handle, "SDL_TLSCleanup", sdl.TLSCleanup);
    return complete ? &sdl : nullptr;
}

} // namespace

const SdlLibrary* sdlLibrary() {
    static const SdlLibrary* const library = load();
    return library;
}

} // namespace platform
