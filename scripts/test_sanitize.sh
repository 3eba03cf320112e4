#!/usr/bin/env bash
# Runs the pytest suite (or the test paths given after the build directory) against the
# AddressSanitizer/UBSan build of tov_touch in $1 (build-asan).
# /usr/bin/python3 is not instrumented, so the ASan runtime is preloaded into it; only the Python
# processes get it (Xvfb is started outside the preload), and every process writes its reports to
# its own file under $1/reports, summarised at the end.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
shift || true
python=${PYTHON:-/usr/bin/python3}
reports="$PWD/$build/reports"
rm -rf "$reports" && mkdir -p "$reports"

asan=$(gcc -print-file-name=libasan.so)
ubsan=$(gcc -print-file-name=libubsan.so)
export TOUCH_BUILD="$PWD/$build"
export PYTHONPATH="$PWD/$build"
export NO_AT_BRIDGE=1
# The module's objects come from the interpreter's allocator: with pymalloc they would hide inside
# its arenas, where ASan cannot see a use after free.
export PYTHONMALLOC=malloc
export ASAN_OPTIONS="detect_leaks=1:log_path=$reports/asan:strict_init_order=1:detect_stack_use_after_return=1:check_initialization_order=1:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:log_path=$reports/ubsan:suppressions=$PWD/tests/sanitizers/ubsan.supp"

# The optional pinyin module, instrumented too where CMake found the engine.
if grep -q '^TOV_PINYIN:INTERNAL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  cmake --build "$build" -j2 --target tov_pinyin >/dev/null || exit 1
fi

# Instrumented, the module and its callers run a few times slower: a share of the fuzz calls.
export FUZZ_CALLS=${FUZZ_CALLS:-3000}

start=$(date +%s)
# Left out: test_packaging builds its own unsanitised wheel with pip and g++ (nothing to show
# here); test_stubs (and the stub check of test_pinyin) runs mypy, which under the preloaded
# runtime outlives its own 100 s limit; the fuzz harness's self-check segfaults on purpose,
# which ASan would report as a finding; and test_screens opens every keypad in every state on
# ten X servers, one child process each, which instrumented outlive the tests' bounds (it runs
# no C++ of its own beyond what the keypad tests run here).
xvfb-run -a -s "-screen 0 1280x1024x24" \
  env LD_PRELOAD="$asan $ubsan" "$python" -m pytest "${@:-tests}" -p no:xvfb -q \
  --deselect tests/test_packaging.py --deselect tests/test_stubs.py \
  --deselect tests/test_fuzz.py::test_a_crash_is_counted_and_named \
  --deselect tests/test_pinyin.py::test_stub_matches_the_module \
  --deselect tests/test_screens.py \
  2>&1 | tee "$reports/pytest.log" | tail -n 25
status=${PIPESTATUS[0]}
echo "sanitize: pytest exit $status after $(( $(date +%s) - start )) s"

shopt -s nullglob
files=("$reports"/asan.* "$reports"/ubsan.*)
if [[ ${#files[@]} -eq 0 ]]; then
  echo "sanitize: no ASan, LSan or UBSan report"
else
  echo "sanitize: ${#files[@]} report file(s):"
  for f in "${files[@]}"; do
    echo "--- $f"
    grep -E "ERROR|SUMMARY|runtime error|^    #[0-9]+ " "$f" | head -n 40
  done
  status=1
fi
exit "$status"
