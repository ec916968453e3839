#!/usr/bin/env bash
# Makes demo.avi beside this script: each line of demo.txt spoken in turn, a second of quiet between
# lines, over a moving picture that shows its frame number (as digits and as the barcode in its top-left
# corner), at 25 frames a second. Also writes demo-expected.txt, the frames at which each line's speech
# begins and ends, which the test of this script compares with what it hears.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rate=25
gap=0.8
lead=1.0
: > "$work/list.txt"
: > "$out/demo-expected.txt"
position=$lead
sox -n -r 22050 -b 16 -c 1 "$work/lead.wav" trim 0 "$lead"
echo "file '$work/lead.wav'" >> "$work/list.txt"
n=0
while IFS= read -r line; do
    n=$((n + 1))
    espeak-ng -s 165 -w "$work/raw$n.wav" "$line"
    # Trimmed to the speech itself, so that the expected frames are where the voice is.
    sox "$work/raw$n.wav" -r 22050 -b 16 -c 1 "$work/line$n.wav" silence 1 0.01 1% reverse silence 1 0.01 1% reverse
    length=$(soxi -D "$work/line$n.wav")
    sox -n -r 22050 -b 16 -c 1 "$work/gap$n.wav" trim 0 "$gap"
    echo "file '$work/line$n.wav'" >> "$work/list.txt"
    echo "file '$work/gap$n.wav'" >> "$work/list.txt"
    awk -v s="$position" -v l="$length" -v r="$rate" \
        'BEGIN { printf "%d %d\n", int(s * r + 0.5), int((s + l) * r + 0.5) }' >> "$out/demo-expected.txt"
    position=$(awk -v p="$position" -v l="$length" -v g="$gap" 'BEGIN { printf "%.6f", p + l + g }')
done < "$here/demo.txt"
ffmpeg -hide_banner -loglevel error -y -f concat -safe 0 -i "$work/list.txt" -c:a pcm_s16le "$work/speech.wav"

bit='mod(floor(N/pow(2,floor(X/16))),2)'
ffmpeg -hide_banner -loglevel error -y \
    -f lavfi -i "testsrc2=size=480x270:rate=$rate" -i "$work/speech.wav" \
    -vf "drawtext=text='frame %{frame_num}':x=(w-tw)/2:y=h-60:fontsize=32:fontcolor=white:box=1:boxcolor=black@0.6,format=yuv420p,geq=lum='if(lt(Y,16)*lt(X,256),16+219*$bit,lum(X,Y))':cb='cb(X,Y)':cr='cr(X,Y)'" \
    -shortest -c:v mpeg4 -q:v 3 -c:a pcm_s16le "$out/demo.avi"
echo "made $out/demo.avi"
