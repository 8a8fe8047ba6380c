#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, -DQUILL_FUZZ=ON, in build/fuzz) and runs
# one of them for a number of seconds:
#     tools/fuzz.sh <target> [seconds=180] [more libFuzzer options...]
# It starts from the target's seeds and saved crash inputs (tools/fuzz-inputs.sh).
# Options of one target: one libFuzzer option per line in
# tests/fuzz/<target>.options (given after the defaults, so they win). The
# growing corpus stays in build/fuzz/corpus/; crashes are written to
# build/fuzz/crashes/. An input that made a target fail, once the fault is
# fixed, belongs in tests/fuzz/crashes/<target>/: the native test suite runs
# every target once over its seeds and those inputs (tools/fuzz-replay.sh).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
target=${1:?usage: tools/fuzz.sh <target> [seconds] [libFuzzer options...]}
seconds=${2:-180}
shift $(( $# >= 2 ? 2 : 1 ))
build="$root/build/fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILL_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
cmake --build "$build" --target "$target"
corpus="$build/corpus/$target"
crashes="$build/crashes/$target"
mkdir -p "$corpus" "$crashes"
bash "$root/tools/fuzz-inputs.sh" "$target" "$corpus" >/dev/null
options=()
if [ -f "$root/tests/fuzz/$target.options" ]; then
  while IFS= read -r option; do
    [ -n "$option" ] && options+=("$option")
  done < "$root/tests/fuzz/$target.options"
fi
exe=$(find "$build" -type f -name "$target" -perm -u+x | head -1)
# No reader needs a single allocation of more than 512 MB: one that asks for
# more has believed a size it read, and is a fault to find.
echo "== $target for $seconds s (corpus $corpus)"
"$exe" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
  -artifact_prefix="$crashes/" -print_final_stats=1 ${options[@]+"${options[@]}"} "$@" "$corpus"
