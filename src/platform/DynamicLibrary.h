#pragma once

#include <dlfcn.h>

namespace platform {

// Looks up `name` in a library opened with dlopen(); false when the library lacks it.
// The sound libraries are opened at run time, so that the game starts without them.
template <typename Function> bool resolve(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(handle, name));
    return function != nullptr;
}

} // namespace platform
