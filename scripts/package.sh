#!/usr/bin/env bash
# Builds, from a clean checkout, the release program and what a user
# downloads:
#   build/dist/OrvKey-<version>-setup.exe     the per-user setup
#   build/dist/OrvKey-<version>-portable.zip  the program, a readme and the
#                                             licences, to unzip anywhere
# The version is the one in CMakeLists.txt (project VERSION).
#
#   bash scripts/package.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

bash scripts/install-deps.sh
mkdir -p build
cmake -S . -B build/package -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DORV_TESTS=OFF -DORV_BENCH=OFF -DORV_DIST_DIR="$root/build/dist" \
  >build/configure-package.log 2>&1 || { cat build/configure-package.log; exit 1; }
cmake --build build/package -j2 --target dist
ls -l build/dist
