#!/bin/sh
# Started by the tests through Wine: runs the reference service on free ports
# in DIR, publishing DIR/update under "update/", with the session token's
# constant of the build, and stops it when DIR/running disappears, or at the
# latest after LIMIT seconds (a test that crashed cannot remove the file
# itself).
# Usage: run_service.sh SOURCE_DIR DIR LIMIT TOKEN_CONSTANT
src=$1 dir=$2 limit=$3 constant=$4
mkdir -p "$dir/data" "$dir/update" || exit 1
: > "$dir/running"
python3 "$src/tools/service/service.py" --primary-port 0 --backup-port 0 \
  --data "$dir/data" --update-dir "$dir/update" --token-constant "$constant" --seed-demo --quiet \
  > "$dir/ready.tmp" 2> "$dir/stderr" &
service=$!
trap 'kill $service 2>/dev/null; wait $service 2>/dev/null; rm -rf "$dir"' EXIT
trap 'exit 1' HUP INT TERM
# The test reads "ready" only once the whole line is there.
while kill -0 $service 2>/dev/null && ! grep -q "^service ready" "$dir/ready.tmp" 2>/dev/null; do
  sleep 0.05
done
cp "$dir/ready.tmp" "$dir/ready.part" && mv "$dir/ready.part" "$dir/ready"
start=$(date +%s)
while [ -e "$dir/running" ] && [ $(( $(date +%s) - start )) -lt "$limit" ]; do
  kill -0 $service 2>/dev/null || break
  sleep 0.2
done
