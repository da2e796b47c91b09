#!/usr/bin/env bash
# Installs what is needed, builds everything with warnings as errors and runs the whole
# test suite. Usage: scripts/test.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
torvane_install_packages

build=${1:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTORVANE_WERROR=ON
cmake --build "$build" --parallel "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure
