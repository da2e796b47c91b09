#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is needed, then builds and runs everything that checks the program:
#   1. the test suite built with clang 19 under AddressSanitizer (leaks checked too) and
#      UndefinedBehaviorSanitizer, with the standard library's assertions,
#   2. clang-tidy and clazy over the sources (scripts/analyse.sh), failing on any finding,
#   3. the libFuzzer targets, each for a fixed count of inputs (scripts/fuzz.sh),
#   4. the calculation and its tests built on LLVM's libc++, and the fuzz corpus's sheets
#      through both standard libraries, which must agree on every text (scripts/libcxx.sh),
#   5. the test suite of the release build, whose CTest summary closes the run.
# TORVANE_QUICK=1 skips steps 1 to 4. Each build is a CMake preset (CMakePresets.json). With
# CI=true a test that would skip (a tool it needs is missing, a service would not start) fails
# instead (TORVANE_REQUIRE_ALL_TESTS): CI must mean that every test ran.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
torvane_install_packages test

# The sanitizers' and the fuzzers' reports name their frames through LLVM's symbolizer, which
# clang 19's runtime is shown: it looks for one of its own version, which Debian 12 puts
# nowhere on the PATH.
ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer || true)
export ASAN_SYMBOLIZER_PATH

cmake --preset dev
cmake --build --preset dev

if [ "${TORVANE_QUICK:-0}" != 1 ]; then
    # clang 19's sanitizer runtime, not GCC 12's nor clang 14's: before LLVM 17 the runtime
    # took a block of dynamic thread-local storage that happens to begin 16 bytes into a page
    # for one with glibc 2.19's header, read a nonsense range from the 16 bytes before it and
    # crashed LeakSanitizer's walk of the threads. Where a block lands depends on what was
    # allocated before it, so on the machine: the one of libjpeg, which Qt's JPEG image
    # plugin brings in as the window is printed, met it on some machines and not on others.
    cmake --preset sanitize
    cmake --build --preset sanitize
    echo "== The test suite under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer"
    # Leaks inside system libraries are named, each with what was seen, in tests/lsan.supp.
    ctest --preset sanitize

    echo "== clang-tidy and clazy"
    scripts/analyse.sh build

    echo "== Fuzzing"
    scripts/fuzz.sh

    echo "== The calculation on LLVM's libc++"
    scripts/libcxx.sh
fi

echo "== The test suite"
ctest --preset dev
