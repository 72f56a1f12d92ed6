#!/usr/bin/env bash
# Runs OrvKey's Windows programs under Wine on a headless X server.
#
#   wine-run.sh up STATE_DIR            start Xvfb on a free display and a fresh
#                                       WINEPREFIX in a temporary folder; write
#                                       STATE_DIR/env
#   wine-run.sh down STATE_DIR          stop that Wine and Xvfb, remove the prefix
#   wine-run.sh exec STATE_DIR EXE ...  run EXE with its arguments in that
#                                       environment (CMake's cross-compiling
#                                       emulator); exit with EXE's exit code
#   wine-run.sh use STATE_DIR DISPLAY PREFIX
#                                       run on an existing X display with a
#                                       lasting prefix, created once (run.sh)
#
# exec without STATE_DIR/env brings up a private environment for this one run
# and takes it down afterwards (slow: about 15 s), so an exe run outside ctest's
# wine fixture still works. ORV_WINE_TIMEOUT (seconds, default 600, 0 for none)
# bounds exec.
set -uo pipefail

# The environment every Wine process of ours gets, whatever the caller had.
wine_environment() {
  local v
  for v in $(env | sed -n 's/^\(LC_[A-Z_]*\)=.*/\1/p'); do unset "$v"; done
  unset LANGUAGE
  # Wine's ANSI code page follows it: 1251. A test may ask for another
  # locale (with LOCPATH where it was built).
  export LANG=${ORV_WINE_LANG:-ru_RU.UTF-8}
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
}

die() {
  echo "wine-run: $*" >&2
  exit 1
}

# Prints the last lines of the named logs, for a failure message.
show_logs() {
  local f
  for f in "$@"; do
    [ -s "$f" ] || continue
    echo "---- $f" >&2
    tail -n 30 "$f" >&2
  done
}

# Creates a prefix, answers Wine's first-run questions and turns the crash dialog off.
init_prefix() {
  local prefix=$1 log=$2
  mkdir -p "$prefix"
  WINEPREFIX=$prefix timeout 240 wineboot -i >>"$log" 2>&1 </dev/null \
    || { show_logs "$log"; die "wineboot -i failed for $prefix"; }
  WINEPREFIX=$prefix timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' \
    /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1 </dev/null \
    || { show_logs "$log"; die "could not turn Wine's crash dialog off"; }
}

# True when pid $1 is alive and its command line mentions $2 (guards against pid reuse).
pid_is() {
  [ -n "$1" ] && [ -r "/proc/$1/cmdline" ] && tr '\0' ' ' <"/proc/$1/cmdline" | grep -q -- "$2"
}

cmd_down() {
  local dir=$1
  [ -f "$dir/env" ] || return 0
  local ORV_DISPLAY="" ORV_WINEPREFIX="" ORV_TMP="" ORV_XVFB_PID=""
  # shellcheck disable=SC1091
  . "$dir/env"
  if [ -n "$ORV_WINEPREFIX" ] && [ -d "$ORV_WINEPREFIX" ]; then
    WINEPREFIX=$ORV_WINEPREFIX timeout 30 wineserver -k >/dev/null 2>&1 </dev/null
    WINEPREFIX=$ORV_WINEPREFIX timeout 30 wineserver -w >/dev/null 2>&1 </dev/null
  fi
  if pid_is "$ORV_XVFB_PID" Xvfb; then
    kill "$ORV_XVFB_PID" 2>/dev/null
    local i
    for i in $(seq 50); do pid_is "$ORV_XVFB_PID" Xvfb || break; sleep 0.1; done
    pid_is "$ORV_XVFB_PID" Xvfb && kill -9 "$ORV_XVFB_PID" 2>/dev/null
  fi
  case "$ORV_TMP" in
    /tmp/orvkey-wine.*) rm -rf "$ORV_TMP" ;;
  esac
  rm -f "$dir/env"
  return 0
}

cmd_up() {
  local dir=$1
  mkdir -p "$dir" || die "cannot create $dir"
  dir=$(cd "$dir" && pwd)
  cmd_down "$dir" # a previous run that never reached its cleanup
  command -v Xvfb >/dev/null || die "Xvfb is missing (run scripts/install-deps.sh)"
  command -v wine >/dev/null || die "wine is missing (run scripts/install-deps.sh)"

  local tmp
  tmp=$(mktemp -d /tmp/orvkey-wine.XXXXXX) || die "mktemp failed"
  local log=$dir/wine.log xlog=$dir/xvfb.log
  : >"$log"
  : >"$xlog"

  # Xvfb picks a free display itself and reports it once it accepts clients.
  # timeout bounds its life should nobody ever call down.
  : >"$tmp/display"
  setsid timeout 4h Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
    3>"$tmp/display" >"$xlog" 2>&1 </dev/null &
  local xpid=$!
  local i display=""
  for i in $(seq 200); do
    display=$(tr -dc '0-9' <"$tmp/display" 2>/dev/null)
    [ -n "$display" ] && break
    kill -0 "$xpid" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$display" ]; then
    kill "$xpid" 2>/dev/null
    rm -rf "$tmp"
    show_logs "$xlog"
    die "Xvfb did not start"
  fi

  # Write the state before the slow part, so down can clean up a failed start.
  {
    printf 'ORV_DISPLAY=%q\n' ":$display"
    printf 'ORV_WINEPREFIX=%q\n' "$tmp/prefix"
    printf 'ORV_TMP=%q\n' "$tmp"
    printf 'ORV_XVFB_PID=%q\n' "$xpid"
  } >"$dir/env.new" && mv "$dir/env.new" "$dir/env"

  wine_environment
  export DISPLAY=":$display" WINEPREFIX="$tmp/prefix"
  init_prefix "$WINEPREFIX" "$log"
  # Let the first-run work finish, or the first test would wait for it.
  timeout 60 wineserver -w >>"$log" 2>&1 </dev/null
  # A server that outlives each test keeps the tests from paying its start-up;
  # it still goes away by itself five minutes after its last client.
  timeout 30 wineserver -p300 >>"$log" 2>&1 </dev/null
  echo "wine-run: Wine ready on DISPLAY=:$display, WINEPREFIX=$WINEPREFIX"
}

cmd_exec() {
  local dir=$1
  shift
  [ $# -ge 1 ] || die "exec: no program given"
  local own=""
  if [ ! -f "$dir/env" ]; then
    own=$(mktemp -d /tmp/orvkey-wine-state.XXXXXX) || die "mktemp failed"
    cmd_up "$own" >/dev/null || { rm -rf "$own"; die "could not bring Wine up"; }
    dir=$own
  fi
  local ORV_DISPLAY="" ORV_WINEPREFIX=""
  # shellcheck disable=SC1091
  . "$dir/env"
  wine_environment
  export DISPLAY=$ORV_DISPLAY WINEPREFIX=$ORV_WINEPREFIX

  # Wine's helper processes inherit and keep open whatever stdout the first
  # client had, which would make ctest wait for them: go through files.
  local out err rc limit=${ORV_WINE_TIMEOUT:-600}
  out=$(mktemp) && err=$(mktemp) || die "mktemp failed"
  flush() {
    cat "$out"
    cat "$err" >&2
    rm -f "$out" "$err"
  }
  # In the background, so that a TERM from ctest runs the trap at once.
  timeout -k 10 "$limit" wine "$@" >"$out" 2>"$err" </dev/null &
  local runner=$!
  trap 'kill "$runner" 2>/dev/null; flush; [ -n "$own" ] && { cmd_down "$own"; rm -rf "$own"; }; exit 143' TERM INT
  wait "$runner"
  rc=$?
  trap - TERM INT
  flush
  [ "$rc" -eq 124 ] && echo "wine-run: $1 did not finish within $limit s" >&2
  if [ -n "$own" ]; then
    cmd_down "$own"
    rm -rf "$own"
  fi
  return "$rc"
}

cmd_use() {
  local dir=$1 display=$2 prefix=$3
  mkdir -p "$dir" "$prefix" || die "cannot create $dir or $prefix"
  if [ ! -f "$prefix/.orvkey-ready" ]; then
    wine_environment
    DISPLAY=$display init_prefix "$prefix" "$dir/wine.log"
    touch "$prefix/.orvkey-ready"
  fi
  {
    printf 'ORV_DISPLAY=%q\n' "$display"
    printf 'ORV_WINEPREFIX=%q\n' "$prefix"
  } >"$dir/env.new" && mv "$dir/env.new" "$dir/env"
}

case "${1:-}" in
  up) [ $# -eq 2 ] || die "usage: wine-run.sh up STATE_DIR"; cmd_up "$2" ;;
  down) [ $# -eq 2 ] || die "usage: wine-run.sh down STATE_DIR"; cmd_down "$2" ;;
  exec) [ $# -ge 3 ] || die "usage: wine-run.sh exec STATE_DIR EXE [ARGS...]"; shift; cmd_exec "$@" ;;
  use) [ $# -eq 4 ] || die "usage: wine-run.sh use STATE_DIR DISPLAY PREFIX"; cmd_use "$2" "$3" "$4" ;;
  *) die "usage: wine-run.sh up|down|exec|use ..." ;;
esac
