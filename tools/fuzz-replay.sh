#!/usr/bin/env bash
# Runs a libFuzzer target once over each of its seeds and saved crash inputs
# (tools/fuzz-inputs.sh), so that a fault once found and fixed stays fixed;
# the native test suite runs it for every target:
#     tools/fuzz-replay.sh <fuzzer executable> <target> <work folder>
# Fails when the target fails on any input, or when it has no inputs at all
# (a seed pattern that no longer matches anything).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=${1:?usage: tools/fuzz-replay.sh <fuzzer> <target> <work folder>}
target=${2:?usage: tools/fuzz-replay.sh <fuzzer> <target> <work folder>}
work=${3:?usage: tools/fuzz-replay.sh <fuzzer> <target> <work folder>}
rm -rf "$work"
mkdir -p "$work/inputs" "$work/artifacts"
count=$(bash "$root/tools/fuzz-inputs.sh" "$target" "$work/inputs")
if [ "$count" -eq 0 ]; then
  echo "no seeds or saved inputs for $target" >&2
  exit 1
fi
echo "== $target over $count inputs"
# -runs=0: every input runs once and nothing new is searched for; a single
# allocation is held to the 512 MB of tools/fuzz.sh.
exec "$exe" -runs=0 -timeout=120 -malloc_limit_mb=512 -artifact_prefix="$work/artifacts/" "$work/inputs"
