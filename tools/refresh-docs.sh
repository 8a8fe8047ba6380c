#!/usr/bin/env bash
# Takes the pictures docs/ shows afresh: builds the Windows programs and
# tests, runs the tests that take those pictures under Wine (they write them
# into the build's screens/ folder, never into the source tree) and copies
# each picture docs/ holds from there. A picture no test takes (drawn by
# hand with tools/screenshot.sh) is named and left as it is.
# QUILL_BUILD_ROOT (default build/) puts the build tree elsewhere.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/setup.sh
broot="${QUILL_BUILD_ROOT:-$root/build}"
build="$broot/windows"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)"

# The test programs that take the pictures docs/ shows.
takers='progress_bar_test|skinning_screens_test|workspace_home_test|workspace_home_pages_test'
takers+='|session_menu_test|session_notice_test|session_login_test|listview_control_test'
takers+='|updater_win_window_test|updater_program_test'
rm -rf "$build/screens"
tools/wine/with-wine "$build" \
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -R "^($takers)\$"

for picture in docs/*.png; do
  name=$(basename "$picture")
  if [ -f "$build/screens/$name" ]; then
    cp "$build/screens/$name" "$picture"
  else
    echo "refresh-docs: no test takes $name; left as it is"
  fi
done
