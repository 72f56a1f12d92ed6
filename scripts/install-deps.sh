#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing OrvKey need.
# Safe to run again: apt runs only when a package is missing, locale-gen only
# when ru_RU.UTF-8 is missing. Quiet on success; on failure shows apt's log.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine wine64 fonts-wine xvfb imagemagick locales x11-utils python3-pil clang
  nsis unzip
)

log="${TMPDIR:-/tmp}/orvkey-install-deps.log"

# Root runs apt directly; anyone else goes through sudo.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

fail() {
  echo "install-deps: $1 (log: $log)" >&2
  tail -n 60 "$log" >&2 || true
  exit 1
}

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  : >"$log"
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update >>"$log" 2>&1 || fail "apt-get update failed"
  as_root apt-get install -y --no-install-recommends "${missing[@]}" >>"$log" 2>&1 \
    || fail "apt-get install failed"
fi

# Wine takes its ANSI code page from the Unix locale: 1251 needs ru_RU.UTF-8.
if ! locale -a 2>/dev/null | grep -qiE '^ru_RU\.utf-?8$'; then
  : >>"$log"
  if grep -qE '^#? *ru_RU\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    as_root sed -i -E 's/^# *(ru_RU\.UTF-8 UTF-8)/\1/' /etc/locale.gen
  else
    echo 'ru_RU.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen >>"$log" 2>&1 || fail "locale-gen failed"
  locale -a 2>/dev/null | grep -qiE '^ru_RU\.utf-?8$' || fail "ru_RU.UTF-8 still missing after locale-gen"
fi
