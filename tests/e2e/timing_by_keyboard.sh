#!/usr/bin/env bash
# Drives the installed program as a person would, on the X display the test runs on: start it, wait out
# the splash, load the demo text and video through the dialogs by keyboard, go to frames, press Begin,
# Next and End, save, and compare the saved file byte for byte. The frame on screen, read from the
# barcode in the picture's corner, must be the frame stamped. With a folder as $2, screenshots go there.
set -euo pipefail
build=${1:?build folder}
shots=${2:-}
work=$(mktemp -d)
prefix=$work/prefix
cleanup() { [ -n "${program:-}" ] && kill "$program" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
bash "$source_dir/examples/make_demo.sh" "$work" >/dev/null
cp "$source_dir/examples/demo.txt" "$work/demo.txt"

source "$source_dir/tests/e2e/lib.sh"
# The program keeps nothing between runs: nothing may appear among the user's settings.
export XDG_CONFIG_HOME=$work/config
mkdir "$XDG_CONFIG_HOME"
start_program "$prefix/bin/framequill" "$work/log"
[ -n "$shots" ] && import -window root "$shots/start.png"

frame_field_goto() {
    xdotool windowactivate --sync "$main"
    xdotool mousemove --window "$main" 40 428 click 1
    xdotool key ctrl+a
    xdotool type "$1"
    key alt+g
    sleep 0.5
}
# The number the picture carries in its top-left corner, read from the screen.
frame_on_screen() {
    local video x y
    video=$(xdotool search --onlyvisible --name '^Video$' | head -n 1)
    # The picture is drawn from the corner of the display panel, 4 pixels inside the window.
    x=$(( $(xwininfo -id "$video" | awk '/Absolute upper-left X/ { print $4 }') + 4 ))
    y=$(( $(xwininfo -id "$video" | awk '/Absolute upper-left Y/ { print $4 }') + 4 ))
    import -window root -crop "256x16+$x+$y" -colorspace gray -depth 8 txt:- |
        sed -nE 's/^([0-9]+),([0-9]+): \(([0-9.]+).*/\1 \2 \3/p' |
        awk '$2 == 8 && $1 % 16 == 8 && $3 > 128 { n += 2 ^ int($1 / 16) } END { print n + 0 }'
}

xdotool windowactivate --sync "$main"
key alt+t
choose "$work/demo.txt"
key alt+v
choose "$work/demo.avi"
sleep 2
xdotool windowactivate --sync "$main"
# The first line of the list.
xdotool mousemove --window "$main" 60 74 click 1
sleep 0.3

failures=0
expect_frame() {
    local seen
    seen=$(frame_on_screen)
    if [ "$seen" != "$1" ]; then echo "frame on screen $seen, expected $1"; failures=$((failures + 1)); fi
}
frame_field_goto 120; expect_frame 120; key alt+b
frame_field_goto 200; expect_frame 200; key alt+n
frame_field_goto 260; expect_frame 260; key alt+e
[ -n "$shots" ] && import -window root "$shots/timing.png"
key alt+s
choose "$work/timed.sub"
sleep 1

expected=$work/expected.sub
{
    n=0
    while IFS= read -r line; do
        n=$((n + 1))
        case $n in
            1) printf '{120}{200}%s\r\n' "$line" ;;
            2) printf '{200}{260}%s\r\n' "$line" ;;
            *) printf '{}{}%s\r\n' "$line" ;;
        esac
    done < "$work/demo.txt"
} > "$expected"
if ! cmp -s "$expected" "$work/timed.sub"; then
    echo "the saved script differs from the expected one:"
    diff <(cat -A "$expected") <(cat -A "$work/timed.sub" 2>/dev/null || true) | head -n 10
    failures=$((failures + 1))
fi
# Closing the main window ends the program at once, with status 0.
close_main_window
if [ "$exit_status" != 0 ]; then echo "closing the main window: $exit_status"; failures=$((failures + 1)); fi
# Without a runtime folder (XDG_RUNTIME_DIR, unset here), the sound system's client links one in as
# pulse/; that is the sound system's, not the program's.
left=$(find "$XDG_CONFIG_HOME" -mindepth 1 -not -path "$XDG_CONFIG_HOME/pulse*")
if [ -n "$left" ]; then
    echo "the program left settings behind: $left"
    failures=$((failures + 1))
fi
echo "$((6 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
