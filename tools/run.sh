#!/usr/bin/env bash
# Runs the client against the local reference service: installs what is
# missing, builds the programs, starts the service (demo account "demo",
# password "demo123") and opens tallivo.exe under 64-bit Wine. Uses your X
# display when DISPLAY is set and can be opened, otherwise a virtual one
# (take pictures of it with tools/screenshot.sh). The run ends when the
# program's last window closes; the service and the virtual display end with it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/setup.sh
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build build/windows -j "$(nproc)" --target tallivo update

export QUILL_BUILD="$root/build/windows"
# A prefix of its own: the test runner stops the test prefix's Wine when it
# ends, which must not end this run.
export WINEPREFIX="$QUILL_BUILD/wineprefix-run"
source tools/wine/env.sh
source tools/display.sh
# While this file names a live run, tools/screenshot.sh takes its pictures
# of this run's display.
session="$QUILL_BUILD/run-session"

data="$root/build/run-data"
mkdir -p "$data/update"
rm -f "$data/ready"
python3 tools/service/service.py --primary-port 18080 --backup-port 18081 \
  --data "$data" --update-dir "$data/update" --seed-demo --quiet > "$data/ready" 2> "$data/service.err" &
service=$!
# Wine's own processes of this prefix end a moment after the program; the
# display goes after them.
trap 'kill $service 2>/dev/null || true; rm -f "$session"; timeout 15 "$WINESERVER" -w 2>/dev/null || true; stop_virtual_display' EXIT

# The service prints its line once both ports answer.
until grep -q "^service ready" "$data/ready" 2>/dev/null; do
  if ! kill -0 $service 2>/dev/null; then
    echo "The reference service did not start:" >&2
    cat "$data/service.err" >&2
    exit 1
  fi
  sleep 0.1
done
echo "Reference service on http://127.0.0.1:18080/do/ (backup :18081); log in as demo / demo123."

if [ -n "${DISPLAY:-}" ] && ! xdpyinfo >/dev/null 2>&1; then
  echo "Cannot open the X display $DISPLAY; using a virtual display instead." >&2
  unset DISPLAY
fi
if [ -z "${DISPLAY:-}" ]; then
  start_virtual_display
  echo "Virtual display $DISPLAY: see it with tools/screenshot.sh OUT.png while this runs."
fi
tools/wine/make-prefix
printf 'pid=%s\ndisplay=%s\n' "$$" "$DISPLAY" > "$session"
echo "Opening tallivo.exe on display $DISPLAY. Closing its window ends the run (Ctrl+C does too)."
(cd "$QUILL_BUILD/program" && "$WINELOADER" tallivo.exe) || true
echo "tallivo.exe has ended; stopping the reference service."
