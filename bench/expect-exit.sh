#!/usr/bin/env bash
# Runs a benchmark that must fail in a given way: passes when the command
# exits with the given code and its output holds the given text.
#     bench/expect-exit.sh <exit code> <text> <command...>
set -uo pipefail
code=${1:?usage: expect-exit.sh <exit code> <text> <command...>}
text=${2:?usage: expect-exit.sh <exit code> <text> <command...>}
shift 2
out=$("$@" 2>&1)
rc=$?
printf '%s\n' "$out"
if [ "$rc" -ne "$code" ]; then
  echo "exit code $rc, not $code"
  exit 1
fi
if ! grep -qF -- "$text" <<<"$out"; then
  echo "the output does not say: $text"
  exit 1
fi
