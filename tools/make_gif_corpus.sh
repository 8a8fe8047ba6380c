#!/usr/bin/env bash
# Draws the small GIF corpus in tests/small/gif_corpus/ with ImageMagick:
# every disposal mode, transparency, local colour tables, interlace, several
# delays and loop counts and frames at odd offsets. The files are committed;
# run this again only to change the corpus. The animated picture's tests
# decode each file with giflib and compare; the fuzzer starts from them.
set -euo pipefail
out="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tests/small/gif_corpus"
mkdir -p "$out"
cd "$out"
rm -f ./*.gif

# Frames that keep what is under them (dispose None), at odd offsets, three loops.
convert -delay 7 -loop 3 -dispose None \
  -page 41x33+0+0 \( -size 41x33 gradient:navy-gold \) \
  -page +3+5 \( -size 9x7 xc:red \) \
  -page +17+9 \( -size 11x5 xc:lime \) \
  -page +29+21 \( -size 7x11 xc:magenta \) \
  keep_offsets.gif

# Undefined disposal (0), delays of 0, 1 and 50 hundredths, one loop.
convert -loop 1 -dispose Undefined \
  -delay 0 -page 20x20+0+0 \( -size 20x20 xc:white -fill blue -draw "rectangle 2,2 9,9" \) \
  -delay 1 -page +5+5 \( -size 10x10 xc:orange \) \
  -delay 50 -page +11+1 \( -size 9x13 xc:teal \) \
  undefined_disposal.gif

# Restore to background, transparent frames, loops for ever.
convert -loop 0 -dispose Background -background none \
  -delay 5 -page 32x24+0+0 \( -size 32x24 xc:none -fill red -draw "circle 8,12 8,4" \) \
  -delay 10 -page +0+0 \( -size 32x24 xc:none -fill green -draw "circle 16,12 16,4" \) \
  -delay 20 -page +7+3 \( -size 19x15 xc:none -fill blue -draw "rectangle 2,2 12,9" \) \
  background_transparent.gif

# Restore to previous over an opaque base, with transparent overlays at offsets.
convert -loop 2 -background none \
  -dispose None -delay 10 -page 37x29+0+0 \( -size 37x29 pattern:checkerboard -colors 8 \) \
  -dispose Previous -delay 10 -page +5+3 \( -size 13x11 xc:none -fill red -draw "circle 6,5 6,1" \) \
  -dispose Previous -delay 15 -page +19+13 \( -size 15x13 xc:none -fill yellow -draw "rectangle 1,1 12,10" \) \
  -dispose None -delay 10 -page +1+17 \( -size 9x9 xc:purple \) \
  previous_over_base.gif

# Every disposal in one file, mixed with transparency.
convert -loop 5 -background none \
  -dispose None -delay 4 -page 30x30+0+0 \( -size 30x30 xc:none -fill gray -draw "rectangle 0,0 14,29" \) \
  -dispose Background -delay 4 -page +13+7 \( -size 11x11 xc:cyan \) \
  -dispose Previous -delay 4 -page +3+19 \( -size 17x7 xc:none -fill black -draw "line 0,3 16,3" \) \
  -dispose Undefined -delay 4 -page +21+1 \( -size 9x27 xc:none -fill coral -draw "rectangle 2,2 6,24" \) \
  -dispose None -delay 4 -page +0+0 \( -size 5x5 xc:white \) \
  all_disposals.gif

# Each frame with its own colours: local colour tables.
convert -loop 0 -dispose None -delay 8 \
  \( -size 24x18 gradient:red-blue \) \
  \( -size 24x18 gradient:green-yellow \) \
  \( -size 24x18 plasma:fractal -seed 4 \) \
  -seed 7 local_tables.gif

# Interlaced frames of odd heights.
convert -interlace GIF -loop 4 -dispose None -delay 6 \
  -page 27x23+0+0 \( -size 27x23 gradient:black-white \) \
  -page +2+3 \( -size 21x17 plasma:red-blue -seed 3 \) \
  -page +0+0 \( -size 5x3 xc:green \) \
  interlaced.gif

# A real-world style delta animation: frames reduced to their changes.
convert -size 40x30 xc:white -loop 0 -delay 10 \
  \( +clone -fill red -draw "circle 10,15 10,8" \) \
  \( +clone -fill blue -draw "circle 20,15 20,8" \) \
  \( +clone -fill green -draw "circle 30,15 30,8" \) \
  -layers OptimizeTransparency -layers Optimize delta_optimized.gif

# Noisy 256-colour frames: long code runs, 12-bit codes and table resets.
convert -seed 11 -loop 0 -delay 3 \
  \( -size 160x120 xc: +noise Random -colors 256 \) \
  \( -size 160x120 plasma:fractal -colors 200 \) \
  noisy.gif

# One frame, no extensions at all, and a two-colour picture.
convert -size 17x9 xc:orange -fill black -draw "line 0,0 16,8" +dither -colors 2 single_frame.gif
convert -size 64x1 gradient:white-black -colors 16 -loop 0 -delay 1 \
  \( -size 64x1 gradient:black-white -colors 16 \) wide_line.gif

ls -l "$out"
du -ch "$out"/*.gif | tail -1
