#!/usr/bin/env bash
# Closing the main window through the window manager ends the program with status 0, whatever the video
# window is doing: nothing open, a video playing, the video window minimised or maximised.
set -euo pipefail
build=${1:?build folder}
work=$(mktemp -d)
cleanup() { [ -n "${program:-}" ] && kill "$program" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
source "$(dirname "$0")/lib.sh"

ffmpeg -hide_banner -loglevel error -f lavfi -i testsrc2=size=320x240:rate=25 \
    -f lavfi -i sine=frequency=440:duration=20 -t 20 -c:v libx264 -preset ultrafast -c:a aac "$work/clip.mp4"

open_video() {
    xdotool windowactivate --sync "$main"
    key alt+v
    choose "$work/clip.mp4"
    sleep 1.5
}
# The player's first button, Play: the bar lies 8 pixels into the lower panel, 44 down.
press_play() {
    eval "$(xdotool getwindowgeometry --shell "$video")"
    xdotool mousemove $((X + 4 + 8 + 12)) $((Y + HEIGHT - 4 - 79 + 44 + 12)) click 1
    sleep 1
}
minimise_video_window() {
    xdotool windowminimize "$video"
    sleep 0.5
}
maximise_video_window() {
    eval "$(xdotool getwindowgeometry --shell "$video")"
    # A double-click on the caption maximises under openbox.
    xdotool mousemove $((X + 40)) $((Y - 8)) click --repeat 2 --delay 80 1
    sleep 1
}

passed=0
failed=0
try() {
    local name=$1
    shift
    start_program "$build/framequill" "$work/log"
    for step in "$@"; do "$step"; done
    close_main_window
    if [ "$exit_status" = 0 ]; then
        passed=$((passed + 1))
    else
        echo "$name: closing the main window left the program $exit_status"
        failed=$((failed + 1))
        [ -n "${program:-}" ] && kill -9 "$program" 2>/dev/null
        program=
    fi
}
try "nothing open"
try "a video playing" open_video press_play
try "the video window minimised" open_video press_play minimise_video_window
try "the video window maximised" open_video maximise_video_window
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
