#!/usr/bin/env bash
# Builds everything and runs every test: the native build (portable code
# under AddressSanitizer and UBSan, the reference service's tests) and the
# Windows build (both programs and the window tests under 64-bit Wine on a
# virtual display). Extra arguments go to ctest, e.g. `-L button`.
# QUILL_BUILD_ROOT (default build/) puts both build trees elsewhere;
# QUILL_ONLY=native or QUILL_ONLY=windows builds and runs one of them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/setup.sh
jobs=$(nproc)
broot="${QUILL_BUILD_ROOT:-$root/build}"
only="${QUILL_ONLY:-}"
status=0

if [ "$only" != windows ]; then
  echo "== native build (sanitizers)"
  cmake -S . -B "$broot/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
  cmake --build "$broot/native" -j "$jobs"
  echo "== native tests"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$broot/native" --output-on-failure -j "$jobs" "$@" || status=1
fi
[ "$only" = native ] && exit $status

echo "== Windows build"
cmake -S . -B "$broot/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$broot/windows" -j "$jobs"

echo "== Windows tests (Wine)"
tools/wine/with-wine "$broot/windows" \
  ctest --test-dir "$broot/windows" --output-on-failure -j "$jobs" "$@" || status=1
exit $status
