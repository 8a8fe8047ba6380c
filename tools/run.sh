#!/usr/bin/env bash
# Runs the client against the local reference service: installs what is
# missing, builds the programs, starts the service (demo account "demo",
# password "demo123") and opens tallivo.exe under 64-bit Wine. Uses your X
# display when DISPLAY is set, otherwise a virtual one (and says so; take
# pictures of it with tools/screenshot.sh).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/setup.sh
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build build/windows -j "$(nproc)" --target tallivo update

data="$root/build/run-data"
mkdir -p "$data/update"
python3 tools/service/service.py --primary-port 18080 --backup-port 18081 \
  --data "$data" --update-dir "$data/update" --seed-demo --quiet &
service=$!
trap 'kill $service 2>/dev/null || true' EXIT
sleep 1
echo "Reference service on http://127.0.0.1:18080/do/ (backup :18081); log in as demo / demo123."

export QUILL_BUILD="$root/build/windows"
if [ -n "${DISPLAY:-}" ]; then
  source tools/wine/env.sh
  tools/wine/make-prefix
  echo "Opening tallivo.exe on display $DISPLAY."
  (cd "$QUILL_BUILD/program" && "$WINELOADER" tallivo.exe)
else
  echo "No DISPLAY: opening tallivo.exe on a virtual display (Xvfb); it runs until you press Ctrl+C."
  tools/wine/with-wine "$QUILL_BUILD" bash -c 'echo "Virtual display $DISPLAY"; cd "$QUILL_BUILD/program" && "$WINELOADER" tallivo.exe'
fi
