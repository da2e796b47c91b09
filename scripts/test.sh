#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is needed, then builds and runs everything that checks the program:
#   1. the test suite built under AddressSanitizer and UndefinedBehaviorSanitizer,
#   2. the libFuzzer targets, each for a bounded time (scripts/fuzz.sh),
#   3. the test suite of the release build, whose CTest summary closes the run.
# TORVANE_QUICK=1 skips steps 1 and 2.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
torvane_install_packages test

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTORVANE_WERROR=ON \
    -DTORVANE_BUILD_TESTS=ON -DTORVANE_BUILD_BENCH=ON
cmake --build build --parallel "$jobs"

if [ "${TORVANE_QUICK:-0}" != 1 ]; then
    cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVANE_WERROR=ON \
        -DTORVANE_SANITIZE=ON -DTORVANE_BUILD_BENCH=OFF
    cmake --build build-sanitize --parallel "$jobs"
    echo "== The test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
    # LeakSanitizer stops with a fatal error of its own at the exit of a test that has used
    # the print service's client library (a thread it leaves behind), so leaks are not
    # checked; addresses and undefined behaviour are.
    ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-sanitize --output-on-failure

    echo "== Fuzzing"
    scripts/fuzz.sh build-fuzz
fi

echo "== The test suite"
ctest --test-dir build --output-on-failure
