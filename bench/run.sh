#!/usr/bin/env bash
# `make bench`: the benchmarks on a display of their own when there is none (servers, CI).
set -euo pipefail
cd "$(dirname "$0")/.."
python=${PYTHON:-/usr/bin/python3}
export NO_AT_BRIDGE=1
# callgrind counts the handlers' instructions; without it that part is skipped, not the rest.
bash scripts/setup.sh valgrind || echo "bench: valgrind could not be installed" >&2
# The baseline the within-a-frame figures stand beside: the module as it was before its keys lay
# on shared surfaces, built from its commit in a worktree of its own (once; kept for the next run).
baseline=${TOUCH_BASELINE:-f9b07e2}
baseline_tree=build-baseline/$baseline
if git rev-parse -q --verify "$baseline^{commit}" >/dev/null; then
  [[ -d $baseline_tree ]] || git worktree add -f --detach "$baseline_tree" "$baseline" >/dev/null
  make -s -C "$baseline_tree" build PYTHON="$python"
  export TOUCH_BASELINE=$baseline TOUCH_BASELINE_BUILD=$PWD/$baseline_tree/build
else
  echo "bench: the baseline commit $baseline is not in this clone; no before figures" >&2
fi
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$python" bench/bench.py "$@"
fi
exec "$python" bench/bench.py "$@"
