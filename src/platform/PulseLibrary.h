#pragma once

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/proplist.h>
#include <pulse/stream.h>

namespace platform {

// The functions of libpulse, the sound server's client library, that the sound
// output calls. Like SDL it is opened with dlopen off the window thread when
// the output first needs it, so that it does not delay the program's start.
struct PulseLibrary {
    decltype(&pa_mainloop_new) mainloop_new;
    decltype(&pa_mainloop_free) mainloop_free;
    decltype(&pa_mainloop_get_api) mainloop_get_api;
    decltype(&pa_mainloop_iterate) mainloop_iterate;
    decltype(&pa_mainloop_prepare) mainloop_prepare;
    decltype(&pa_mainloop_poll) mainloop_poll;
    decltype(&pa_mainloop_dispatch) mainloop_dispatch;
    decltype(&pa_proplist_new) proplist_new;
    decltype(&pa_proplist_sets) proplist_sets;
    decltype(&pa_proplist_free) proplist_free;
    decltype(&pa_context_new_with_proplist) context_new_with_proplist;
    decltype(&pa_context_connect) context_connect;
    decltype(&pa_context_get_state) context_get_state;
    decltype(&pa_context_disconnect) context_disconnect;
    decltype(&pa_context_unref) context_unref;
    decltype(&pa_context_get_server_info) context_get_server_info;
    decltype(&pa_stream_new_with_proplist) stream_new_with_proplist;
    decltype(&pa_stream_connect_playback) stream_connect_playback;
    decltype(&pa_stream_get_state) stream_get_state;
    decltype(&pa_stream_disconnect) stream_disconnect;
    decltype(&pa_stream_unref) stream_unref;
    decltype(&pa_stream_write) stream_write;
    decltype(&pa_stream_flush) stream_flush;
    decltype(&pa_stream_cork) stream_cork;
    decltype(&pa_stream_update_timing_info) stream_update_timing_info;
    decltype(&pa_stream_get_latency) stream_get_latency;
    decltype(&pa_stream_get_timing_info) stream_get_timing_info;
    decltype(&pa_operation_get_state) operation_get_state;
    decltype(&pa_operation_unref) operation_unref;
};

// Opens libpulse on the first call; nullptr when it or one of the functions is
// missing. The library stays loaded until the process ends.
const PulseLibrary* pulseLibrary();

} // namespace platform
