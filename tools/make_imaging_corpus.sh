#!/usr/bin/env bash
# Draws the image library's small corpus in tests/imaging/corpus/ with
# ImageMagick (PNG in every colour type, depth and interlace it writes, with
# and without transparency and gamma; icons with several entries, a 256-pixel
# PNG entry and low bit counts; GIFs with transparency, interlace and several
# frames) and raw zlib streams with Python. The files are committed; run this
# again only to change the corpus. The readers' tests compare each file with
# libpng, ImageMagick or giflib; the fuzzers start from them.
set -euo pipefail
out="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tests/imaging/corpus"
mkdir -p "$out"
cd "$out"
rm -f ./*.png ./*.ico ./*.gif ./*.zz
im=/usr/bin/convert  # the real ImageMagick, not a stand-in earlier on the PATH

# A picture with smooth areas, edges and noise, so every filter is chosen.
"$im" -size 61x37 -seed 7 plasma:fractal -blur 0x1 \( -size 61x37 xc: +noise Random -evaluate multiply 0.2 \) \
  -compose plus -composite base.miff
"$im" base.miff -alpha set -channel A -fx '(i+j)/(w+h)' +channel alpha.miff

"$im" base.miff PNG24:rgb8.png
"$im" base.miff -depth 16 PNG48:rgb16.png
"$im" alpha.miff PNG32:rgba8.png
"$im" alpha.miff -depth 16 PNG64:rgba16.png
"$im" base.miff -interlace PNG PNG24:rgb8_adam7.png
"$im" alpha.miff -depth 16 -interlace PNG PNG64:rgba16_adam7.png
for depth in 1 2 4 8 16; do
  "$im" base.miff -colorspace Gray -depth $depth -define png:color-type=0 -define png:bit-depth=$depth grey$depth.png
done
"$im" base.miff -colorspace Gray -depth 2 -interlace PNG -define png:color-type=0 -define png:bit-depth=2 grey2_adam7.png
"$im" alpha.miff -colorspace Gray -define png:color-type=4 -define png:bit-depth=8 grey_alpha8.png
"$im" alpha.miff -colorspace Gray -depth 16 -define png:color-type=4 -define png:bit-depth=16 grey_alpha16.png
for colours in 2 4 16 200; do
  "$im" base.miff -colors $colours -define png:color-type=3 palette$colours.png
done
"$im" alpha.miff -colors 30 PNG8:palette_trns.png
"$im" base.miff -depth 8 -fill red -draw 'rectangle 5,5 20,12' -transparent red -define png:color-type=2 \
  -define png:bit-depth=8 rgb_trns.png
"$im" base.miff -colorspace Gray -fill black -draw 'rectangle 5,5 20,12' -transparent black \
  -define png:color-type=0 -define png:bit-depth=8 grey_trns.png
"$im" base.miff -set gamma 0.6 -define png:include-chunk=gAMA PNG24:gamma.png
"$im" -size 1x1 xc:orange PNG24:one_pixel.png

# Icons: several sizes of 32-bit entries; a 1-bit one; a 256-pixel PNG entry
# beside a bitmap entry (put together here: ImageMagick writes 256-pixel
# entries as bitmaps).
"$im" alpha.miff -define icon:auto-resize=48,32,16 sizes.ico
"$im" base.miff -resize 32x32! -colors 2 -type Palette small_palette.ico
"$im" -size 256x256 gradient:navy-orange -colors 24 -alpha set -channel A -fx 'i/w' +channel PNG32:big.png
python3 - <<'PY'
import struct
png = open("big.png", "rb").read()
ico = open("sizes.ico", "rb").read()
w, h, colours, _, planes, bits, size, offset = struct.unpack("<BBBBHHII", ico[6 + 32:6 + 48])  # the 16-pixel entry
bitmap = ico[offset:offset + size]
header = struct.pack("<HHH", 0, 1, 2)
first = 6 + 32
header += struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(png), first)
header += struct.pack("<BBBBHHII", w, h, colours, 0, planes, bits, len(bitmap), first + len(png))
open("png256.ico", "wb").write(header + png + bitmap)
PY
rm -f big.png

# GIFs: transparency, interlace, a first frame away from the corner, local tables.
"$im" alpha.miff -colors 60 -channel A -threshold 50% +channel transparent.gif
"$im" base.miff -colors 100 -interlace GIF interlaced.gif
"$im" -delay 10 -page 61x37+0+0 base.miff -page +9+5 \( -size 13x7 xc:teal \) -colors 32 frames.gif
"$im" base.miff -colors 2 two_colours.gif
rm -f base.miff alpha.miff

# Raw zlib streams of every level and strategy Python's zlib makes.
python3 - <<'PY'
import zlib, random
random.seed(5)
text = bytes(random.choice(b"the quick brown fox ") for _ in range(3000))
noise = bytes(random.getrandbits(8) for _ in range(700))
runs = bytes((i // 37) % 5 for i in range(5000))
for name, data in (("text", text), ("noise", noise), ("runs", runs)):
    for level in (0, 1, 6, 9):
        for strategy in (zlib.Z_DEFAULT_STRATEGY, zlib.Z_FIXED, zlib.Z_HUFFMAN_ONLY):
            c = zlib.compressobj(level, zlib.DEFLATED, 15, 8, strategy)
            open(f"{name}_l{level}_s{strategy}.zz", "wb").write(c.compress(data) + c.flush())
PY
ls -la | tail -n +4 | awk '{s+=$5} END {print NR " files, " s " bytes"}'
