#!/usr/bin/env bash
# Usage: tools/screenshot.sh OUT.png [PROGRAM.exe] [SECONDS]
# Starts the reference service and a program from the program folder on a
# virtual display, waits, and saves a picture of the screen cropped to the
# program's windows. The Windows build must exist (tools/test.sh or tools/run.sh).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(realpath -m "$1")
prog=${2:-tallivo.exe}
wait=${3:-3}
data=$(mktemp -d)
python3 "$root/tools/service/service.py" --primary-port 18080 --backup-port 18081 \
  --data "$data" --seed-demo --quiet &
service=$!
trap 'kill $service 2>/dev/null || true; rm -rf "$data"' EXIT
export QUILL_OUT="$out" QUILL_PROG="$prog" QUILL_WAIT="$wait"
"$root/tools/wine/with-wine" "$root/build/windows" bash -c '
  cd "$QUILL_BUILD/program"
  "$WINELOADER" "$QUILL_PROG" >/dev/null 2>&1 &
  sleep "$QUILL_WAIT"
  # Crop to the union of the mapped top-level windows (there is no window manager).
  geom=$(xwininfo -root -children | awk "/^ +0x/ {print \$1}" | while read -r id; do
           xwininfo -id "$id" 2>/dev/null | awk "/Map State: IsViewable/ {v=1} /Absolute upper-left X/ {x=\$4} /Absolute upper-left Y/ {y=\$4} /Width:/ {w=\$2} /Height:/ {h=\$2} END {if (v && w > 8 && h > 8) print x, y, x+w, y+h}"
         done | awk "NR==1 {a=\$1;b=\$2;c=\$3;d=\$4} {if(\$1<a)a=\$1; if(\$2<b)b=\$2; if(\$3>c)c=\$3; if(\$4>d)d=\$4} END {if (NR) printf \"%dx%d+%d+%d\", c-a, d-b, a, b}")
  if [ -n "$geom" ]; then import -window root -crop "$geom" +repage "$QUILL_OUT"; else import -window root "$QUILL_OUT"; fi
  "$WINESERVER" -k
'
echo "Saved $out"
