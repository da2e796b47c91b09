#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is needed, then builds and runs everything that checks the program:
#   1. the test suite built under AddressSanitizer (leaks checked too) and
#      UndefinedBehaviorSanitizer, with the standard library's assertions,
#   2. clang-tidy and clazy over the sources (scripts/analyse.sh), failing on any finding,
#   3. the libFuzzer targets, each for a bounded time (scripts/fuzz.sh),
#   4. the test suite of the release build, whose CTest summary closes the run.
# TORVANE_QUICK=1 skips steps 1 to 3. With CI=true a test that skips (a tool it needs is
# missing, a service would not start) fails the run: CI must mean that every test ran.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
torvane_install_packages test

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# ctest over one build; in CI a skipped test fails it, named with the reason it gave.
run_suite() {
    local log status
    log=$(mktemp)
    set +e
    ctest --test-dir "$1" --output-on-failure 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    set -e
    if [ "${CI:-}" = true ] &&
        grep -qE '^[[:space:]]*[0-9]+ - .*\((Skipped|Not Run|Disabled)\)$' "$log"; then
        echo "test.sh: in CI every test must run; these did not (their reasons are above):"
        sed -n '/^The following tests did not run:/,/^$/p' "$log"
        status=1
    fi
    rm -f "$log"
    return "$status"
}

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTORVANE_WERROR=ON \
    -DTORVANE_BUILD_TESTS=ON -DTORVANE_BUILD_BENCH=ON -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
cmake --build build --parallel "$jobs"

if [ "${TORVANE_QUICK:-0}" != 1 ]; then
    cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVANE_WERROR=ON \
        -DTORVANE_SANITIZE=ON -DTORVANE_BUILD_BENCH=OFF
    cmake --build build-sanitize --parallel "$jobs"
    echo "== The test suite under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer"
    # Leaks inside system libraries are named, each with what was seen, in tests/lsan.supp.
    LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
        run_suite build-sanitize

    echo "== clang-tidy and clazy"
    scripts/analyse.sh build

    echo "== Fuzzing"
    scripts/fuzz.sh build-fuzz
fi

echo "== The test suite"
run_suite build
