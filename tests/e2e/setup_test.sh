#!/usr/bin/env bash
# The setup and the portable zip as a user meets them, under the tests' Wine:
# a silent per-user install, the installed keyboard starting, an upgrade over
# a running keyboard that keeps its settings, the uninstaller, the zip's
# contents, and where a program in a folder it may not write keeps its
# settings.
#
#   setup_test.sh WINE_STATE SETUP_EXE PORTABLE_ZIP
set -uo pipefail
state=$1 setup=$2 zip=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
uninst_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvKey'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

fail() {
  echo "setup_test: FAIL: $*" >&2
  exit 1
}
step() { echo "== $*"; }
[ -f "$setup" ] || fail "no setup at $setup (makensis missing? run scripts/install-deps.sh)"
[ -f "$state/env" ] || fail "no Wine environment in $state"
ORV_DISPLAY="" ORV_WINEPREFIX=""
. "$state/env"
work=$(mktemp -d /tmp/orvkey-setup-test.XXXXXX)
locked=""
cleanup() {
  [ -n "$locked" ] && { chattr -i "$locked" 2>/dev/null; chmod u+w "$locked" 2>/dev/null; }
  for p in $(jobs -p); do kill "$p" 2>/dev/null; done
  rm -rf "$work"
  # The keyboards started here saved their placement: the next test starts afresh.
  for root in HKLM HKCU; do run reg delete "$root\\Software\\OrvKey" /f >/dev/null 2>&1; done
}
trap cleanup EXIT

run() { bash "$wine_run" exec "$state" "$@"; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$1 i
  shift
  for ((i = 0; i < limit * 5; i++)); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
keyboard_window() {
  xwininfo -display "$ORV_DISPLAY" -root -tree 2>/dev/null | grep '"OrvCar Keyboard"' >/dev/null
}
no_keyboard_window() { ! keyboard_window; }
# Starts a keyboard in the background and waits for its window.
start_keyboard() {
  ORV_WINE_TIMEOUT=300 bash "$wine_run" exec "$state" "$1" >/dev/null 2>&1 &
  keyboard=$!
  wait_for 90 keyboard_window || fail "the keyboard $1 showed no window"
}
keyboard_ended() { ! kill -0 "$keyboard" 2>/dev/null; }
# A value of the registry, as reg prints it ("" when it is missing).
reg_value() {
  run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
gone() { [ ! -e "$1" ]; }

user_dir=$(ls -d "$ORV_WINEPREFIX"/drive_c/users/*/ | grep -v '/Public/$' | head -n 1)
inst=${user_dir}AppData/Local/Programs/OrvKey
shortcut="${user_dir}AppData/Roaming/Microsoft/Windows/Start Menu/Programs/OrvKey.lnk"
version=$(basename "$setup" | sed -n 's/^OrvKey-\(.*\)-setup\.exe$/\1/p')

step "the setup asks for no rights and installs silently, for this user only"
grep -aq 'level="asInvoker"' "$setup" || fail "the setup's manifest asks for more than the user's rights"
run "$setup" /S || fail "the silent setup failed"
for f in orvkey.exe uninstall.exe LICENSE.txt THIRD_PARTY_NOTICES.txt; do
  [ -f "$inst/$f" ] || fail "$f is not in $inst"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
# The version in the setup's name is the one Explorer shows for the program.
# grep reads to the end: with pipefail, a grep that stopped at the match
# would fail the pipe whenever the dump outran it.
x86_64-w64-mingw32-windres -i "$inst/orvkey.exe" -O rc 2>/dev/null |
  grep "VALUE \"ProductVersion\", \"$version\"" >/dev/null || fail "orvkey.exe's version is not $version"
declare -A want=(
  [DisplayName]=OrvKey [DisplayVersion]=$version [Publisher]="OrvKey team"
  [NoModify]=0x1 [NoRepair]=0x1
)
for v in "${!want[@]}"; do
  got=$(reg_value "$uninst_key" "$v")
  [ "$got" = "${want[$v]}" ] || fail "uninstall entry $v is '$got', not '${want[$v]}'"
done
for v in DisplayIcon UninstallString QuietUninstallString EstimatedSize; do
  [ -n "$(reg_value "$uninst_key" "$v")" ] || fail "uninstall entry $v is missing"
done
[[ "$(reg_value "$uninst_key" QuietUninstallString)" == *'uninstall.exe" /S' ]] ||
  fail "QuietUninstallString does not run the uninstaller silently"
[ "$(reg_value "$uninst_key" EstimatedSize)" != 0x0 ] || fail "EstimatedSize is 0"
autorun=$(reg_value "$run_key" OrvKey)
[[ "$autorun" == '"C:\users\'*'\AppData\Local\Programs\OrvKey\orvkey.exe"' ]] ||
  fail "the Run value is '$autorun', not the program's quoted path"
[ -z "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvKey' DisplayName)" ] ||
  fail "the setup wrote into HKEY_LOCAL_MACHINE"

step "the installed keyboard starts; a second setup closes it, keeps its settings, starts it again"
start_keyboard "$inst/orvkey.exe"
run "$setup" /S || fail "the setup over a running keyboard failed"
wait_for 30 keyboard_ended || fail "the setup left the keyboard running"
[ -f "$inst/OrvKey.ini" ] || fail "the keyboard closed by the setup saved no settings"
wait_for 60 keyboard_window || fail "the setup did not start the keyboard again"
run taskkill /im orvkey.exe >/dev/null 2>&1
wait_for 30 no_keyboard_window || fail "the restarted keyboard did not close"
# Settings the user has made, and a picture: an upgrade leaves both alone.
printf 'setup-test-marker\r\n' >>"$inst/OrvKey.ini"
printf '\xFF\xD8\xFF picture' >"$inst/OrvKey.jpg"
cp "$inst/OrvKey.ini" "$inst/OrvKey.jpg" "$work/"
run "$setup" /S || fail "the upgrade failed"
cmp -s "$inst/OrvKey.ini" "$work/OrvKey.ini" || fail "the upgrade changed OrvKey.ini"
cmp -s "$inst/OrvKey.jpg" "$work/OrvKey.jpg" || fail "the upgrade changed OrvKey.jpg"

step "the uninstaller closes the keyboard, removes what setup made, keeps the settings"
rm "$inst/OrvKey.jpg"  # not a picture the keyboard could show
start_keyboard "$inst/orvkey.exe"
# It hands over to a copy of itself and returns at once: wait for the copy.
run "$inst/uninstall.exe" /S || fail "the uninstaller failed"
wait_for 60 gone "$inst/uninstall.exe" || fail "the uninstaller did not remove itself"
wait_for 30 keyboard_ended || fail "the uninstaller left the keyboard running"
for f in "$inst/orvkey.exe" "$inst/LICENSE.txt" "$shortcut"; do
  gone "$f" || fail "the uninstaller left $f"
done
run reg query "$uninst_key" >/dev/null 2>&1 && fail "the uninstall entry is still there"
run reg query "$run_key" /v OrvKey >/dev/null 2>&1 && fail "the Run value is still there"
grep -q setup-test-marker "$inst/OrvKey.ini" 2>/dev/null || fail "the uninstaller lost OrvKey.ini"
rm -rf "$inst"

step "the portable zip holds the program, a readme and the licences"
unzip -Z1 "$zip" | sort >"$work/zip-list" || fail "$zip is no zip"
printf '%s\n' OrvKey/LICENSE.txt OrvKey/README.txt OrvKey/THIRD_PARTY_NOTICES.txt OrvKey/orvkey.exe |
  cmp -s - "$work/zip-list" || fail "the zip holds: $(tr '\n' ' ' <"$work/zip-list")"
unzip -q "$zip" -d "$work" || fail "the zip does not unpack"

step "where the program's folder cannot be written, the settings go to %APPDATA%\\OrvKey"
prog=$work/OrvKey
own="${user_dir}AppData/Roaming/OrvKey"
rm -rf "$own"
start_keyboard "$prog/orvkey.exe"
run taskkill /im orvkey.exe >/dev/null 2>&1
wait_for 30 keyboard_ended || fail "the portable keyboard did not close"
[ -f "$prog/OrvKey.ini" ] || fail "a keyboard in a folder it may write kept no settings beside it"
gone "$own" || fail "a keyboard in a folder it may write made $own"
printf 'setup-test-marker\r\n' >>"$prog/OrvKey.ini"
cp "$prog/OrvKey.ini" "$work/beside.ini"
# Root writes through permissions; an immutable folder stops even root.
locked=$prog
if [ "$(id -u)" -eq 0 ]; then chattr +i "$prog" 2>/dev/null; else chmod a-w "$prog"; fi
if touch "$prog/probe" 2>/dev/null; then
  rm -f "$prog/probe"
  echo "setup_test: this file system cannot refuse writes here; the unwritable folder is not tried"
  exit 0
fi
start_keyboard "$prog/orvkey.exe"
run taskkill /im orvkey.exe >/dev/null 2>&1
wait_for 30 keyboard_ended || fail "the keyboard in the unwritable folder did not close"
cmp -s "$prog/OrvKey.ini" "$work/beside.ini" || fail "the settings beside the program changed"
grep -q setup-test-marker "$own/OrvKey.ini" 2>/dev/null ||
  fail "the settings beside the program were not saved to $own"
rm -rf "$own"
echo "setup_test: all passed"
