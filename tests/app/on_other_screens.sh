#!/usr/bin/env bash
# Runs the given test functions of a window test program on screens of other sizes, each an X server of
# its own with a window manager: 1366x768 and 1920x1080, and 1366x768 in window pixels with two screen
# pixels to each (QT_SCALE_FACTOR=2 on a 2732x1536 screen).
set -uo pipefail
program=${1:?test program}
shift
status=0
for screen in 1366x768:1 1920x1080:1 2732x1536:2; do
    size=${screen%:*}
    scale=${screen#*:}
    display=:$((200 + RANDOM % 300))
    Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 50); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    DISPLAY=$display openbox >/dev/null 2>&1 &
    wm=$!
    sleep 0.5
    echo "== screen $size, scale $scale"
    DISPLAY=$display QT_SCALE_FACTOR=$scale "$program" "$@" || status=1
    kill "$wm" "$xvfb" 2>/dev/null
    wait "$wm" "$xvfb" 2>/dev/null
done
exit $status
