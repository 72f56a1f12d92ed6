#!/usr/bin/env bash
# Runs the region benchmark of a Windows build under Wine and holds its ratio
# (the per-run union's time over ShapeWindowFromPicture's) to a floor.
#
#   bench/check_regions_ratio.sh [BUILD_DIR] [FLOOR]    defaults: build/windows 10
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/windows}
floor=${2:-10}
exe=$build/bench/regions_bench_win.exe
[ -f "$exe" ] || { echo "no $exe: build the windows preset first" >&2; exit 2; }
state=$(mktemp -d /tmp/orvkey-bench.XXXXXX)
trap 'bash "$root/scripts/wine-run.sh" down "$state" >/dev/null 2>&1; rm -rf "$state"' EXIT
bash "$root/scripts/wine-run.sh" up "$state" >/dev/null || exit 2
out=$(bash "$root/scripts/wine-run.sh" exec "$state" "$exe") || { echo "$out"; exit 1; }
echo "$out"
ratio=$(sed -n 's/^REGIONS_RATIO=//p' <<<"$out" | tr -d '\r')
[ -n "$ratio" ] || { echo "no ratio in the output" >&2; exit 1; }
if awk -v r="$ratio" -v f="$floor" 'BEGIN { exit !(r >= f) }'; then
  echo "ratio $ratio >= $floor: ok"
else
  echo "ratio $ratio is below $floor" >&2
  exit 1
fi
