#!/usr/bin/env bash
# Runs the headless demo (its own Xvfb, DISPLAY unset) RUNS times in a row and counts the runs that
# passed; a failed run's output is kept as build/demo-repeat/run-N.log. Exits non-zero if any failed.
# Usage: scripts/demo_repeat.sh [RUNS]   (30 by default; PYTHON picks the interpreter)
set -uo pipefail
cd "$(dirname "$0")/.."

runs=${1:-30}
python=${PYTHON:-/usr/bin/python3}
logs=build/demo-repeat
rm -rf "$logs"
mkdir -p "$logs"

passed=0 failed=()
for ((run = 1; run <= runs; run++)); do
  start=$SECONDS
  if env -u DISPLAY "$python" demo/demo.py >"$logs/run-$run.log" 2>&1; then
    passed=$((passed + 1))
    rm "$logs/run-$run.log"
    echo "run $run: passed ($((SECONDS - start)) s)"
  else
    failed+=("$run")
    echo "run $run: FAILED ($((SECONDS - start)) s), output in $logs/run-$run.log"
  fi
done

echo "demo: $passed of $runs headless runs passed${failed[*]:+; failed: runs ${failed[*]}}"
[[ ${#failed[@]} -eq 0 ]]
