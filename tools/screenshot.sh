#!/usr/bin/env bash
# Usage: tools/screenshot.sh OUT.png [PROGRAM.exe] [SECONDS]
# Saves a picture of a program's windows, cropped to them.
# - While tools/run.sh runs: the picture of that run's display, as it is now;
#   nothing is started or stopped.
# - Otherwise: starts the reference service on free ports, a virtual display
#   and the program (tallivo.exe unless named) from the program folder, waits
#   SECONDS (3) for it to draw, takes the picture, and stops exactly what it
#   started: its service, its display and its program, never anyone else's.
# The Windows build must exist (tools/test.sh or tools/run.sh).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(realpath -m "$1")
prog=${2:-tallivo.exe}
wait=${3:-3}
export QUILL_BUILD="$root/build/windows"

# The union of the mapped top-level windows of the display (there is no
# window manager), saved to $out.
picture() {
  local geom
  geom=$(xwininfo -root -children | awk '/^ +0x/ {print $1}' | while read -r id; do
           xwininfo -id "$id" 2>/dev/null | awk '/Map State: IsViewable/ {v=1} /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {if (v && w > 8 && h > 8) print x, y, x+w, y+h}'
         done | awk 'NR==1 {a=$1;b=$2;c=$3;d=$4} {if($1<a)a=$1; if($2<b)b=$2; if($3>c)c=$3; if($4>d)d=$4} END {if (NR) printf "%dx%d+%d+%d", c-a, d-b, a, b}')
  if [ -n "$geom" ]; then import -window root -crop "$geom" +repage "$out"; else import -window root "$out"; fi
  echo "Saved $out"
}

session="$QUILL_BUILD/run-session"
if [ -f "$session" ]; then
  run_pid=$(sed -n 's/^pid=//p' "$session")
  run_display=$(sed -n 's/^display=//p' "$session")
  if [ -n "$run_pid" ] && kill -0 "$run_pid" 2>/dev/null; then
    echo "tools/run.sh is running: taking the picture of its display $run_display."
    DISPLAY="$run_display" picture
    exit 0
  fi
fi

export WINEPREFIX="$QUILL_BUILD/wineprefix-run"
source "$root/tools/wine/env.sh"
source "$root/tools/display.sh"
data=$(mktemp -d)
service="" program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  [ -n "$service" ] && kill "$service" 2>/dev/null || true
  stop_virtual_display
  rm -rf "$data"
}
trap cleanup EXIT
python3 "$root/tools/service/service.py" --primary-port 0 --backup-port 0 \
  --data "$data" --seed-demo --quiet > "$data/ready" 2> "$data/service.err" &
service=$!
until grep -q "^service ready" "$data/ready" 2>/dev/null; do
  if ! kill -0 "$service" 2>/dev/null; then
    echo "The reference service did not start:" >&2
    cat "$data/service.err" >&2
    exit 1
  fi
  sleep 0.1
done
# The program reads these instead of its built-in addresses.
export QUILL_SERVER_BASE_URL=$(sed -n 's/^service ready primary=\([^ ]*\) .*/\1/p' "$data/ready")
export QUILL_BACKUP_BASE_URL=$(sed -n 's/^service ready .* backup=\([^ ]*\)$/\1/p' "$data/ready")

start_virtual_display
"$root/tools/wine/make-prefix"
(cd "$QUILL_BUILD/program" && exec "$WINELOADER" "$prog" >/dev/null 2>&1) &
program=$!
sleep "$wait"
picture
