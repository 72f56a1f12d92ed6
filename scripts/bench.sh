#!/usr/bin/env bash
# Runs every benchmark and prints its ratio against the baseline measured in
# the same run. Not part of the test command: figures, not verdicts.
#
#   bash scripts/bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target typing_bench regions_bench_win >/dev/null

state=$(mktemp -d /tmp/orvkey-bench.XXXXXX)
trap 'bash scripts/wine-run.sh down "$state" >/dev/null 2>&1; rm -rf "$state"' EXIT
bash scripts/wine-run.sh up "$state" >/dev/null
echo "== one key touch against the bare set-text of the same field"
bash scripts/wine-run.sh exec "$state" build/windows/bench/typing_bench.exe
echo "== shaping a window: per-run union against the one-step region"
bash scripts/wine-run.sh exec "$state" build/windows/bench/regions_bench_win.exe
