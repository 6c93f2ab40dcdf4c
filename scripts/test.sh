#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the default
# preset (g++), the asan preset (clang with AddressSanitizer, UBSan and short
# libFuzzer runs), the cross-build guard of the program library for 32-bit
# Windows, and the whole 32-bit Windows build with its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
for preset in default asan; do
  echo "== $preset =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

echo "== mingw-core (program library for 32-bit Windows) =="
cmake --preset mingw-core >/dev/null
cmake --build --preset mingw-core -j "$jobs"
echo "mingw-core: the program library builds for 32-bit Windows"

echo "== windows (plumage.exe, plumagectl.exe and their tests under Wine) =="
start=$(date +%s)
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
ctest --preset windows -j "$jobs"
echo "windows: built and tested in $(($(date +%s) - start)) s"
