#!/usr/bin/env bash
# `make bench`: the benchmarks on a display of their own when there is none (servers, CI).
set -euo pipefail
cd "$(dirname "$0")/.."
python=${PYTHON:-/usr/bin/python3}
export NO_AT_BRIDGE=1
# callgrind counts the handlers' instructions; without it that part is skipped, not the rest.
bash scripts/setup.sh valgrind || echo "bench: valgrind could not be installed" >&2
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$python" bench/bench.py "$@"
fi
exec "$python" bench/bench.py "$@"
