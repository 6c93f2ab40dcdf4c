#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the default
# preset (g++), the asan preset (clang with AddressSanitizer, UBSan and short
# libFuzzer runs), and the 32-bit Windows build with its tests under Wine.
# The Windows build compiles the program library with the very toolchain and
# flags of the mingw-core guard, so it stands in for that guard here.
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

echo "== windows (plumage.exe, plumagectl.exe and their tests under Wine) =="
start=$(date +%s)
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
ctest --preset windows -j "$jobs"
echo "windows: built and tested in $(($(date +%s) - start)) s"
