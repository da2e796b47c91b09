#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang and runs each for a fixed count of inputs from the
# seed corpus in tests/fuzz/corpus: 4 M for the forgiving reading, 2 M for the strict one and
# 4 M for the whole sheet, so that every run covers the same ground however fast the machine
# is (FUZZ_RUNS=N gives each target N instead). Any finding fails the run; the
# input that caused it is left in the build folder's findings/, named in libFuzzer's report.
# Once the fault is mended, that input goes into tests/fuzz/corpus/<target>/, where the
# fuzz_corpus_<target> test of every build replays it from then on.
# Usage: scripts/fuzz.sh (the CMake preset fuzz, in build-fuzz/)
set -euo pipefail
cd "$(dirname "$0")/.."
build="build-fuzz"
declare -A runs=([lenient]=4000000 [strict]=2000000 [sheet]=4000000)

cmake --preset fuzz
cmake --build --preset fuzz

for target in lenient strict sheet; do
    scratch="$build/corpus/$target"
    mkdir -p "$scratch" "$build/findings"
    count=${FUZZ_RUNS:-${runs[$target]}}
    echo "Fuzzing the $target reading with $count inputs"
    "$build/tests/fuzz/fuzz_$target" "$scratch" "tests/fuzz/corpus/$target" \
        -runs="$count" -print_final_stats=1 \
        -artifact_prefix="$build/findings/$target-" 2>&1 \
        | grep -E '^(stat::number_of_executed_units|Done|==|SUMMARY|INFO: seed corpus)' || true
    if [ "${PIPESTATUS[0]}" -ne 0 ]; then
        echo "fuzz_$target found a fault; the input that shows it:"
        ls -1 "$build/findings/$target-"* 2>/dev/null || true
        echo "Mend it, then copy the input into tests/fuzz/corpus/$target/ under a name that"
        echo "says what it found, so that the fuzz_corpus_$target test replays it."
        exit 1
    fi
done
