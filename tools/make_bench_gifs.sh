#!/usr/bin/env bash
# Draws the GIF benchmark's large pictures with ImageMagick into a folder
# (default build/bench_gifs), each only once: noisy plasma (little for LZW to
# find) at 320x200, 1024x768 and, one frame, 1920x1080, smooth moving shapes
# at 1024x768 (long runs), and a delta-optimised animation whose later frames
# are small and see-through. bench/GifBench.cpp runs this when its pictures are missing.
set -euo pipefail
out=${1:-"$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/bench_gifs"}
mkdir -p "$out"

draw() {  # name, then convert's arguments before the file name
  local name=$1
  shift
  [ -f "$out/$name" ] && return
  echo "drawing $name"
  convert "$@" "$out/$name"
}

frames=()
for i in $(seq 1 12); do frames+=( \( -seed "$i" -size 320x200 plasma: \) ); done
draw plasma_320x200x12.gif -delay 8 -loop 0 "${frames[@]}" -colors 256

frames=()
for i in $(seq 1 10); do frames+=( \( -seed "$i" -size 1024x768 plasma: \) ); done
draw plasma_1024x768x10.gif -delay 8 -loop 0 "${frames[@]}" -colors 256

frames=()
for i in $(seq 0 15); do
  x=$((100 + i * 50))
  frames+=( \( -size 1024x768 gradient:navy-gold -fill red -draw "circle $x,384 $x,284" \) )
done
draw shapes_1024x768x16.gif -delay 5 -loop 0 "${frames[@]}"

frames=()
for i in $(seq 0 19); do
  x=$((i * 14))
  frames+=( \( -size 320x200 gradient:white-teal -fill black -draw "rectangle $x,80 $((x + 30)),120" \) )
done
draw optimised_320x200x20.gif -delay 5 -loop 0 "${frames[@]}" -layers Optimize

draw plasma_1920x1080.gif -seed 7 -size 1920x1080 plasma: -colors 256
