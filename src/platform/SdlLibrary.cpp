#include "platform/SdlLibrary.h"

#include "platform/DynamicLibrary.h"

namespace platform {

namespace {

const SdlLibrary* load() {
    void* handle = ::dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return nullptr;
    static SdlLibrary sdl;
// Each function under the name it has in SDL's headers.
#define DUVELLA_RESOLVE(name) resolve(handle, "SDL_" #name, sdl.name)
    const bool complete = DUVELLA_RESOLVE(SetHint) && DUVELLA_RESOLVE(InitSubSystem) &&
                          DUVELLA_RESOLVE(QuitSubSystem) && DUVELLA_RESOLVE(OpenAudioDevice) &&
                          DUVELLA_RESOLVE(CloseAudioDevice) && DUVELLA_RESOLVE(PauseAudioDevice) &&
                          DUVELLA_RESOLVE(GetAudioDeviceStatus) &&
                          DUVELLA_RESOLVE(LockAudioDevice) && DUVELLA_RESOLVE(UnlockAudioDevice) &&
                          DUVELLA_RESOLVE(TLSCleanup);
#undef DUVELLA_RESOLVE
    return complete ? &sdl : nullptr;
}

} // namespace

const SdlLibrary* sdlLibrary() {
    static const SdlLibrary* const library = load();
    return library;
}

} // namespace platform
