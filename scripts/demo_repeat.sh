#!/usr/bin/env bash
# Runs the headless demo (its own Xvfb, DISPLAY unset) RUNS times in a row and counts the runs that
# passed; a failed run's output is kept as build/demo-repeat/run-N.log. Failures that come from the
# display (the demo's Xvfb, or wx and GTK failing to open it) are counted apart from failed walk
# steps. Each run is bounded by RUN_TIMEOUT seconds (300). Exits non-zero if any run failed.
# Usage: scripts/demo_repeat.sh [RUNS]   (30 by default; PYTHON picks the interpreter)
set -uo pipefail
cd "$(dirname "$0")/.."

runs=${1:-30}
python=${PYTHON:-/usr/bin/python3}
limit=${RUN_TIMEOUT:-300}
logs=build/demo-repeat
rm -rf "$logs"
mkdir -p "$logs"

passed=0 failed=() display=()
for ((run = 1; run <= runs; run++)); do
  start=$SECONDS
  log="$logs/run-$run.log"
  if env -u DISPLAY timeout -k 10 "$limit" "$python" demo/demo.py >"$log" 2>&1; then
    passed=$((passed + 1))
    rm "$log"
    echo "run $run: passed ($((SECONDS - start)) s)"
    continue
  fi
  failed+=("$run")
  if grep -qiE "demo: (xvfb|the virtual display)|wxEntryStart|gtk-error|display set properly" "$log"; then
    display+=("$run")
    what="the display"
  else
    what="$(grep -E '^demo: ' "$log" | tail -n 1)"
    [[ -n $what ]] || what="no verdict (timed out after $limit s?)"
  fi
  echo "run $run: FAILED ($((SECONDS - start)) s): $what; output in $log"
done

echo "demo: $passed of $runs headless runs passed${failed[*]:+; failed: runs ${failed[*]}};" \
     "display failures: ${display[*]:-none}"
[[ ${#failed[@]} -eq 0 ]]
