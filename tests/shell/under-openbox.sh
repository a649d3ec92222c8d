#!/bin/sh
# Runs the command given once openbox manages this X display. Under load the first
# openbox can find the display not answering yet, so one that gave up is started again.
for attempt in 1 2 3; do
    openbox --sm-disable &
    for tick in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && exec "$@"
        kill -0 $! 2>/dev/null && sleep 0.1 || break
    done
done
echo "openbox did not manage $DISPLAY" >&2 && exit 1
