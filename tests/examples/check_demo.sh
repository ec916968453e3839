#!/usr/bin/env bash
# Makes the demo video and listens to it: every stretch of speech that ffmpeg hears must start and end
# within two frames of where demo-expected.txt says the line lies.
set -euo pipefail
script=${1:?make_demo.sh}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
bash "$script" "$out" >/dev/null
heard=$(ffmpeg -hide_banner -nostats -i "$out/demo.avi" -af silencedetect=noise=-40dB:d=0.5 -f null - 2>&1 |
    grep -o 'silence_\(start\|end\): [0-9.]*' | awk '{print $2}' | tr '\n' ' ')
# Quiet runs from 0 to the first line, then from each line's end to the next line's start.
read -r -a marks <<< "$heard"
expected=()
while read -r start end; do expected+=("$start" "$end"); done < "$out/demo-expected.txt"
lines=$(( ${#expected[@]} / 2 ))
failures=0
for ((i = 0; i < lines; i++)); do
    heard_start=${marks[$((2 * i + 1))]:-}
    heard_end=${marks[$((2 * i + 2))]:-}
    [ -z "$heard_end" ] && heard_end=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out/demo.avi")
    for pair in "${expected[$((2 * i))]} $heard_start" "${expected[$((2 * i + 1))]} $heard_end"; do
        read -r frame seconds <<< "$pair"
        if ! awk -v f="$frame" -v s="$seconds" 'BEGIN { d = f - s * 25; exit !(d <= 2 && d >= -2) }'; then
            echo "line $((i + 1)): expected frame $frame, heard at ${seconds}s"
            failures=$((failures + 1))
        fi
    done
done
echo "$((lines * 2 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
