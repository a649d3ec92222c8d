#include "platform/PulseLibrary.h"

#include "platform/DynamicLibrary.h"

namespace platform {

namespace {

const PulseLibrary* load() {
    void* handle = ::dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return nullptr;
    static PulseLibrary pulse;
// Each function under the name it has in libpulse's headers.
#define DUVELLA_RESOLVE(name) resolve(handle, "pa_" #name, pulse.name)
    const bool complete =
        DUVELLA_RESOLVE(mainloop_new) && DUVELLA_RESOLVE(mainloop_free) &&
        DUVELLA_RESOLVE(mainloop_get_api) && DUVELLA_RESOLVE(mainloop_iterate) &&
        DUVELLA_RESOLVE(mainloop_prepare) && DUVELLA_RESOLVE(mainloop_poll) &&
        DUVELLA_RESOLVE(mainloop_dispatch) && DUVELLA_RESOLVE(proplist_new) &&
        DUVELLA_RESOLVE(proplist_sets) && DUVELLA_RESOLVE(proplist_free) &&
        DUVELLA_RESOLVE(context_new_with_proplist) && DUVELLA_RESOLVE(context_connect) &&
        DUVELLA_RESOLVE(context_get_state) && DUVELLA_RESOLVE(context_disconnect) &&
        DUVELLA_RESOLVE(context_unref) && DUVELLA_RESOLVE(context_get_server_info) &&
        DUVELLA_RESOLVE(stream_new_with_proplist) && DUVELLA_RESOLVE(stream_connect_playback) &&
        DUVELLA_RESOLVE(stream_get_state) && DUVELLA_RESOLVE(stream_disconnect) &&
        DUVELLA_RESOLVE(stream_unref) && DUVELLA_RESOLVE(stream_write) &&
        DUVELLA_RESOLVE(stream_flush) && DUVELLA_RESOLVE(stream_cork) &&
        DUVELLA_RESOLVE(stream_update_timing_info) && DUVELLA_RESOLVE(stream_get_latency) &&
        DUVELLA_RESOLVE(stream_get_timing_info) && DUVELLA_RESOLVE(operation_get_state) &&
        DUVELLA_RESOLVE(operation_unref);
#undef DUVELLA_RESOLVE
    return complete ? &pulse : nullptr;
}

} // namespace

const PulseLibrary* pulseLibrary() {
    static const PulseLibrary* const library = load();
    return library;
}

} // namespace platform
