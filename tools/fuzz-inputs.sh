#!/usr/bin/env bash
# Copies the inputs a libFuzzer target starts from into a folder:
#     tools/fuzz-inputs.sh <target> <folder>
# the seed files named (globs, relative to the repository) one per line in
# tests/fuzz/<target>.seeds, and the inputs that once made it fail, saved in
# tests/fuzz/crashes/<target>/. Each copy is named after its path in the
# repository, so that files of the same name in two folders are both kept.
# Prints how many inputs the folder holds.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
target=${1:?usage: tools/fuzz-inputs.sh <target> <folder>}
folder=${2:?usage: tools/fuzz-inputs.sh <target> <folder>}
mkdir -p "$folder"
patterns=()
if [ -f "$root/tests/fuzz/$target.seeds" ]; then
  while IFS= read -r pattern; do
    [ -n "$pattern" ] && patterns+=("$pattern")
  done < "$root/tests/fuzz/$target.seeds"
fi
patterns+=("tests/fuzz/crashes/$target/*")
cd "$root"
for pattern in "${patterns[@]}"; do
  for f in $pattern; do
    [ -f "$f" ] && cp -n "$f" "$folder/${f//\//_}"
  done
done
find "$folder" -maxdepth 1 -type f | wc -l
