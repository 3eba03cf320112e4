#!/usr/bin/env bash
# Builds tov_touch against every CPython 3.6 to 3.14 found here (pyenv's, else a python3.N on the
# PATH, such as Debian's own) and runs the start-up, function-object and copy/pickle tests on
# each, with the stand-in wx of tests/standin (pyenv's interpreters have no wxPython). A version with no
# interpreter is reported and skipped; a build that warns counts as failed.
# Usage: scripts/test_pythons.sh [SUITE_PYTHON]
# SUITE_PYTHON is the interpreter the whole suite has just passed on (`make test` names it): it is
# counted for its version, not built for again.
set -uo pipefail
cd "$(dirname "$0")/.."

suite_python=${1:-}
root=$(pyenv root 2>/dev/null || echo "${PYENV_ROOT:-$HOME/.pyenv}")
passed=() failed=() missing=()

version_of() { "$1" -c 'import sys; print("%d.%d" % sys.version_info[:2])' 2>/dev/null; }

suite_version= suite_real=
if [[ -n $suite_python ]]; then
  suite_version=$(version_of "$suite_python")
  suite_real=$(readlink -f "$(command -v "$suite_python")")
fi

# The newest pyenv build of a version, else the version's own command on the PATH (not pyenv's
# shims: those only lead back to pyenv).
find_python() {
  local version=$1 found
  found=$(ls -d "$root"/versions/"$version".*/bin/python3 2>/dev/null | sort -V | tail -n 1)
  if [[ -z $found ]]; then
    found=$(command -v "python$version" 2>/dev/null)
    [[ $found == "$root"/shims/* ]] && found=
  fi
  echo "$found"
}

for minor in 6 7 8 9 10 11 12 13 14; do
  version="3.$minor"
  python=$(find_python "$version")
  tested_by_suite=
  if [[ $version == "$suite_version" ]]; then
    echo "== $version: $suite_python: the whole suite passed on it above"
    passed+=("$version ($suite_python, whole suite)")
    tested_by_suite=1
    [[ -n $python && $(readlink -f "$python") == "$suite_real" ]] && continue
  fi
  if [[ -z $python || ! -x $python ]]; then
    if [[ -z $tested_by_suite ]]; then
      echo "== $version: not installed, skipped"
      missing+=("$version")
    fi
    continue
  fi
  build="build/py$version"
  mkdir -p build
  echo "== $version: $python"
  if cmake -S . -B "$build" -DPython3_EXECUTABLE="$python" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build.log" 2>&1 &&
     cmake --build "$build" -j2 --target tov_touch >>"$build.log" 2>&1 &&
     PYTHONPATH="tests/standin:tests:$build" "$python" -m unittest -v tests/test_runtime.py \
       tests/test_copy_pickle.py >>"$build.log" 2>&1; then
    if grep -q "warning:" "$build.log"; then
      echo "   FAILED: the build warns (a version switch is missing?):"
      grep -A3 "warning:" "$build.log" | sed 's/^/   | /'
      failed+=("$version")
    else
      echo "   passed: $(grep -E '^Ran ' "$build.log")"
      passed+=("$version")
    fi
  else
    echo "   FAILED, last lines of $build.log:"
    tail -n 30 "$build.log" | sed 's/^/   | /'
    failed+=("$version")
  fi
done

echo
listed=$(printf '%s, ' "${passed[@]}")
listed=${listed%, }
echo "passed on: ${listed:-none}"
echo "failed on: ${failed[*]:-none}"
echo "not installed: ${missing[*]:-none}"
[[ ${#failed[@]} -eq 0 ]]
