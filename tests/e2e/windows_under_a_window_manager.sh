#!/usr/bin/env bash
# The two windows under a real window manager. Closing the main window ends the program with status 0,
# whatever the video window is doing: nothing open, a video playing, the video window minimised or
# maximised. Maximising the main window and restoring it brings the video window back beside it; a close
# through the window manager leaves the video window up.
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

client_place() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} END {print x, y}'
}
client_width() {
    xwininfo -id "$1" | awk '/Width/ {print $2}'
}
# A double-click on the main window's caption, as the user maximises or restores it; tried again when the
# window manager took it for two single clicks.
toggle_maximised() {
    local x y width
    width=$(client_width "$main")
    for _ in 1 2 3; do
        read -r x y < <(client_place "$main")
        xdotool mousemove $((x + 100)) $((y - 10)) click --repeat 2 --delay 60 1
        sleep 1
        [ "$(client_width "$main")" != "$width" ] && return 0
    done
    return 1
}
# The main window comes back where it was after maximising and restoring, and so must the video window
# beside it.
maximise_and_restore_main_window() {
    local main_before video_before
    main_before=$(client_place "$main")
    video_before=$(client_place "$video")
    if ! toggle_maximised || ! toggle_maximised; then
        echo "the window manager did not maximise and restore the main window"
        failed=$((failed + 1))
    elif [ "$(client_place "$main")" != "$main_before" ]; then
        echo "the main window did not come back to $main_before"
        failed=$((failed + 1))
    elif [ "$(client_place "$video")" != "$video_before" ]; then
        echo "after maximising and restoring, the video window is at $(client_place "$video"), not $video_before"
        failed=$((failed + 1))
    fi
}

# The video window asks the window manager for no close function (Motif hints, whose close bit is 0x20);
# openbox draws its close box all the same, and a close through it leaves the window up.
video_window_cannot_be_closed() {
    local functions
    functions=$(xprop -id "$video" _MOTIF_WM_HINTS | awk -F'[=,]' '{print $3}')
    if (( functions & 0x20 )); then
        echo "the video window offers the window manager a close function"
        failed=$((failed + 1))
    fi
    xdotool windowactivate --sync "$video"
    xdotool key alt+F4
    sleep 1
    if ! xwininfo -id "$video" | grep -q IsViewable; then
        echo "a close through the window manager took the video window away"
        failed=$((failed + 1))
    fi
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
try "nothing open" maximise_and_restore_main_window maximise_and_restore_main_window
try "a video playing" open_video press_play
try "the video window closed through the window manager" video_window_cannot_be_closed
try "the video window minimised" open_video press_play minimise_video_window
try "the video window maximised" open_video maximise_video_window
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
