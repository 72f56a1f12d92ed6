#!/usr/bin/env bash
# Runs every benchmark and prints each figure as NAME=value, a ratio against
# a baseline measured in the same run (IDLE_CPU_EXTRA_PCT: percent of a core
# above a bare window of the same size; TIP_CPU_MS: milliseconds of CPU one
# tip costs above a bare window over the same time, the median of three
# rounds). Not part of the test command: figures, not verdicts.
#
#   bash scripts/bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target orvkey typing_bench startup_bench regions_bench_win suggest_bench \
  >/dev/null

state=$(mktemp -d /tmp/orvkey-bench.XXXXXX)
work=$(mktemp -d /tmp/orvkey-bench-work.XXXXXX)
cleanup() {
  local p
  for p in ${idle_pids:-}; do kill "$p" 2>/dev/null || true; done
  bash scripts/wine-run.sh down "$state" >/dev/null 2>&1
  rm -rf "$state" "$work"
}
trap cleanup EXIT
bash scripts/wine-run.sh up "$state" >/dev/null
run() { bash scripts/wine-run.sh exec "$state" "$@"; }

echo "== one key touch against the bare set-text of the same field; history at scale"
run build/windows/bench/typing_bench.exe || echo "typing bench: some touches did not reach the field"
echo "== word suggestions: a key touch on against off, 100,000 texts learned; the lexicons' memory"
run build/windows/bench/suggest_bench.exe | tee "$work/suggest.txt" || echo "suggest bench: did not finish"
echo "== start-up"
mkdir -p "$work/startup"
run build/windows/bench/startup_bench.exe "Z:$root/build/windows/orvkey.exe" "Z:$work/startup"
echo "== shaping a window: per-run union against the one-step region"
run build/windows/bench/regions_bench_win.exe

# ---- Idle: the program and the prefix's wineserver, 20 s with nothing touched.
ORV_DISPLAY="" ORV_WINEPREFIX=""
. "$state/env"
export DISPLAY=$ORV_DISPLAY WINEPREFIX=$ORV_WINEPREFIX LANG=ru_RU.UTF-8 WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
# The wineserver serving the prefix: its working folder names the prefix's device and inode.
wine_server_pid() {
  local dir p
  dir=$(printf 'server-%x-%x' $(stat -L -c '%d %i' "$WINEPREFIX"))
  for p in $(pgrep -x 'wineserver|wineserver64'); do
    case "$(readlink /proc/$p/cwd 2>/dev/null)" in */"$dir") echo "$p"; return 0 ;; esac
  done
  return 1
}
# The Unix process running NAME.exe in this prefix.
wine_exe_pid() {
  local p
  for p in $(pgrep -f -- "$1"); do
    [ "$(cat /proc/$p/comm 2>/dev/null)" = "$(printf %.15s "$1")" ] || continue
    tr '\0' '\n' 2>/dev/null </proc/$p/environ | grep -qx "WINEPREFIX=$WINEPREFIX" && {
      echo "$p"
      return 0
    }
  done
  return 1
}
cpu_ticks() {
  local p t=0 s
  for p in "$@"; do
    s=$(sed 's/^.*) //' /proc/$p/stat 2>/dev/null) || continue
    set -- $s
    t=$((t + ${12} + ${13}))
  done
  echo $t
}
# Percent of one core that NAME.exe and the wineserver use over 20 s, after
# the program has settled (its start-up tip has come and gone).
idle_percent() {
  local name=$1 exe="" srv i before after
  shift
  (cd "$work/idle" && exec setsid wine "$@" >/dev/null 2>&1 </dev/null) &
  for i in $(seq 300); do exe=$(wine_exe_pid "$name") && break; sleep 0.1; done
  [ -n "$exe" ] || { echo "bench: $name did not start" >&2; return 1; }
  idle_pids="$exe"
  sleep 10
  srv=$(wine_server_pid)
  before=$(cpu_ticks "$exe" "$srv")
  sleep 20
  after=$(cpu_ticks "$exe" "$srv")
  # Private memory, once settled: what the process itself allocated.
  awk '/^RssAnon:/ {print $2}' /proc/$exe/status >"$work/rss.$name"
  kill "$exe" 2>/dev/null || true
  idle_pids=""
  sleep 2
  LC_ALL=C awk -v d=$((after - before)) -v hz="$(getconf CLK_TCK)" 'BEGIN{printf "%.2f", 100*d/hz/20}'
}
# Milliseconds of CPU that NAME.exe and the wineserver use over the 12 s
# from a touch on a field of an application beside it: for the keyboard, a
# capture and the tip it brings (in, at rest, out). The keyboard's start tip
# has come and gone before. A touch the keyboard did not take within 4 s is
# made once more (go.tip says how many it took), so the tip's whole life
# still falls inside the 12 s.
touch_cpu_ms() {
  local name=$1 exe="" srv i before after field
  shift
  rm -f "$work/idle/go" "$work/idle/go.tip"
  (cd "$work/idle" && exec setsid wine "$@" >/dev/null 2>&1 </dev/null) &
  for i in $(seq 300); do exe=$(wine_exe_pid "$name") && break; sleep 0.1; done
  [ -n "$exe" ] || { echo "bench: $name did not start" >&2; return 1; }
  (cd "$work/idle" && exec setsid wine touch_field.exe --touch-field go >/dev/null 2>&1 \
    </dev/null) &
  for i in $(seq 300); do field=$(wine_exe_pid touch_field.exe) && break; sleep 0.1; done
  idle_pids="$exe ${field:-}"
  sleep 12
  srv=$(wine_server_pid)
  before=$(cpu_ticks "$exe" "$srv")
  touch "$work/idle/go"
  sleep 12
  after=$(cpu_ticks "$exe" "$srv")
  kill "$exe" ${field:-} 2>/dev/null || true
  idle_pids=""
  sleep 2
  # The keyboard's tip must have come for the figure to count.
  [ "$name" != orvkey.exe ] || [ -e "$work/idle/go.tip" ] || { echo missed; return 0; }
  [ "$name" != orvkey.exe ] || tr -d '\r\n' <"$work/idle/go.tip" >"$work/touches"
  LC_ALL=C awk -v d=$((after - before)) -v hz="$(getconf CLK_TCK)" 'BEGIN{printf "%.0f", 1000*d/hz}'
}
echo "== idle: process + wineserver, 20 s, nothing touched"
mkdir -p "$work/idle"
cp build/windows/orvkey.exe build/windows/bench/startup_bench.exe "$work/idle/"
cp build/windows/bench/startup_bench.exe "$work/idle/touch_field.exe"
bare=$(idle_percent startup_bench.exe startup_bench.exe --bare)
kbd=$(idle_percent orvkey.exe orvkey.exe)
echo "idle: bare window ${bare}%, keyboard ${kbd}% of a core"
echo "IDLE_CPU_EXTRA_PCT=$(LC_ALL=C awk -v a="$kbd" -v b="$bare" 'BEGIN{printf "%.2f", a-b}')"
echo "== private memory (RssAnon) once settled, the lexicons not counted"
# The lexicons have a budget of their own (SUGGEST_MEMORY_MB above).
bare_kb=$(cat "$work/rss.startup_bench.exe") kbd_kb=$(cat "$work/rss.orvkey.exe")
lex_kb=$(LC_ALL=C awk -F= '/^SUGGEST_MEMORY_MB=/ {printf "%.0f", $2 * 1024}' "$work/suggest.txt")
echo "private memory: bare window ${bare_kb} kB, keyboard ${kbd_kb} kB of which lexicons ${lex_kb:-0} kB"
echo "MEMORY_VS_BARE_WINDOW=$(LC_ALL=C awk -v a="$kbd_kb" -v l="${lex_kb:-0}" -v b="$bare_kb" \
  'BEGIN{printf "%.2f", (a - l) / b}')"
echo "== one tip: process + wineserver while a field of another application is touched"
rm -f "$work/idle/OrvKey.ini"
# Three rounds, each the bare window's 12 s and then the keyboard's; the
# figure is the median of the rounds' own differences: on a busy machine
# one round's wineserver alone can cost 200 ms more than the next one's.
diffs=()
for round in 1 2 3; do
  bare=$(touch_cpu_ms startup_bench.exe startup_bench.exe --bare)
  kbd=$(touch_cpu_ms orvkey.exe orvkey.exe)
  # A touch that the keyboard did not take brings no tip: once more.
  [ "$kbd" != missed ] || kbd=$(touch_cpu_ms orvkey.exe orvkey.exe)
  echo "touch and tip, round $round: bare window ${bare} ms, keyboard ${kbd} ms of CPU" \
    "(the tip came after $(cat "$work/touches" 2>/dev/null || echo no) touch(es))"
  [ "$kbd" = missed ] || diffs+=($((kbd - bare)))
done
if [ ${#diffs[@]} -eq 0 ]; then
  echo "TIP_CPU_MS: no tip came"
else
  echo "TIP_CPU_MS=$(printf '%s\n' "${diffs[@]}" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}')"
fi
