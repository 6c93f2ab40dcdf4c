#!/usr/bin/env bash
# Installs what is missing, builds Plumage (default preset), registers it
# (plumagectl install) and opens the icon picker for a folder, by default
# the current one: scripts/run.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
build/default/src/plumagectl install
exec build/default/src/plumage "${@:-$PWD}"
