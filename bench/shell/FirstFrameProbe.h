#pragma once

// Watches a start-up for its first painted frame. When the first paint of a
// top-level window has been handled (and its backing store flushed), prints one
// line to stdout and ends the process at once:
//
//   firstframe_ns=<CLOCK_MONOTONIC at that moment> vmhwm_kb=<peak resident set>
//
// The parent that started the process subtracts its own CLOCK_MONOTONIC reading
// taken before the fork, so the figure covers everything from exec onwards.
//
// With DUVELLA_PROBE_STAY set in the environment the program prints the line and
// runs on.
//
// FirstFrameProbe.cpp installs the probe by itself when the application object
// is constructed: it only has to be compiled into the program.
void installFirstFrameProbe();
