#!/usr/bin/env bash
# Builds tov_touch against every CPython 3.6 to 3.13 that pyenv has on this machine and runs the
# start-up and function-object tests on each, with the stand-in wx of tests/standin (those
# interpreters have no wxPython). An interpreter that is not installed is reported and skipped.
set -uo pipefail
cd "$(dirname "$0")/.."

root=$(pyenv root 2>/dev/null || echo "${PYENV_ROOT:-$HOME/.pyenv}")
passed=() failed=() missing=()

for minor in 6 7 8 9 10 11 12 13; do
  version="3.$minor"
  python=$(ls -d "$root"/versions/"$version".*/bin/python3 2>/dev/null | sort -V | tail -n 1)
  if [[ -z $python || ! -x $python ]]; then
    echo "== $version: not installed, skipped"
    missing+=("$version")
    continue
  fi
  build="build/py$version"
  echo "== $version: $python"
  if cmake -S . -B "$build" -DPython3_EXECUTABLE="$python" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build.log" 2>&1 &&
     cmake --build "$build" -j2 --target tov_touch >>"$build.log" 2>&1 &&
     PYTHONPATH="tests/standin:$build" "$python" -m unittest -v tests/test_runtime.py >>"$build.log" 2>&1; then
    echo "   passed: $(grep -E '^Ran ' "$build.log")"
    passed+=("$version")
  else
    echo "   FAILED, last lines of $build.log:"
    tail -n 30 "$build.log" | sed 's/^/   | /'
    failed+=("$version")
  fi
done

echo
echo "passed: ${passed[*]:-none}"
echo "failed: ${failed[*]:-none}"
echo "not installed: ${missing[*]:-none}"
[[ ${#failed[@]} -eq 0 ]]
