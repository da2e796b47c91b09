#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang and runs each for a bounded time (FUZZ_SECONDS,
# 60 by default) from the seed corpus in tests/fuzz/corpus. Any finding fails the run; the
# input that caused it is left in the build folder's findings/, named in libFuzzer's report.
# Once the fault is mended, that input goes into tests/fuzz/corpus/<target>/, where the
# fuzz_corpus_<target> test of every build replays it from then on.
# Usage: scripts/fuzz.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTORVANE_FUZZ=ON -DTORVANE_WERROR=ON
cmake --build "$build" --parallel "$(nproc)"

for target in lenient strict sheet; do
    scratch="$build/corpus/$target"
    mkdir -p "$scratch" "$build/findings"
    echo "Fuzzing the $target reading for $seconds s"
    "$build/tests/fuzz/fuzz_$target" "$scratch" "tests/fuzz/corpus/$target" \
        -max_total_time="$seconds" -print_final_stats=1 \
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
