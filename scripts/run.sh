#!/usr/bin/env bash
# Builds orvkey.exe and shows it at work under Wine.
#
#   bash scripts/run.sh
# With a reachable $DISPLAY: runs the keyboard there beside the test target
# application (Wine prefix ~/.local/share/orvkey-wine, made once) until the
# keyboard is closed. Without one: runs a short demo on a headless X server and
# saves a screenshot of it as build/windows/orvkey-demo.png.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
build=$root/build/windows
wine_run=(bash "$root/scripts/wine-run.sh")

bash scripts/install-deps.sh
mkdir -p build
cmake --preset windows >build/configure-windows.log 2>&1 \
  || { cat build/configure-windows.log; exit 1; }
cmake --build --preset windows -j2 --target orvkey e2e_target orvkey_demo

keyboard=$build/orvkey.exe
target=$build/tests/e2e/e2e_target.exe
demo=$build/tests/e2e/orvkey_demo.exe

if [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
  state=$build/desktop-env
  "${wine_run[@]}" use "$state" "$DISPLAY" "${HOME}/.local/share/orvkey-wine"
  # Closing the keyboard ends the session, the target application with it.
  trap '"${wine_run[@]}" down "$state"' EXIT
  ORV_WINE_TIMEOUT=0 "${wine_run[@]}" exec "$state" "$target" --pos 10 10 &
  echo "run.sh: OrvKey runs on $DISPLAY; close it to finish"
  ORV_WINE_TIMEOUT=0 "${wine_run[@]}" exec "$state" "$keyboard"
  exit 0
fi

state=$build/demo-env
shot=$build/orvkey-demo.png
ready=$build/demo-ready
rm -f "$ready" "$shot"
"${wine_run[@]}" up "$state" >/dev/null
trap '"${wine_run[@]}" down "$state"' EXIT
. "$state/env"

# The demo creates $ready when the scene is set and waits for us to delete it.
ORV_WINE_TIMEOUT=120 "${wine_run[@]}" exec "$state" "$demo" --signal "$ready" &
demo_pid=$!
for _ in $(seq 1200); do
  [ -e "$ready" ] && break
  kill -0 "$demo_pid" 2>/dev/null || break
  sleep 0.05
done
if [ ! -e "$ready" ]; then
  wait "$demo_pid" || true
  echo "run.sh: the demo did not get the keyboard on screen" >&2
  exit 1
fi
import -display "$ORV_DISPLAY" -window root "$shot"
rm -f "$ready"
wait "$demo_pid"
echo "run.sh: screenshot $shot"
