#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the calculation and its tests with clang on LLVM's libc++ instead of GNU's libstdc++,
# with libc++'s own checks on, and runs that build's test suite. GoogleTest is built with it
# from Debian's source (the googletest package), as the installed one is built on libstdc++.
# Then every sheet of the fuzz corpus (tests/fuzz/corpus/sheet, and the grown one in
# build-fuzz/corpus/sheet when there is one) is replayed through both builds' replay_sheet:
# each must come to the same 30 texts, or the same failure message, on both libraries.
# The compiler is clang 19, whose libc++ the test bench installs, with the library's own checks
# (an index past the end, a bad iterator) on: the CMake preset libcxx, in build-libcxx/; the
# libstdc++ side is the preset dev's build/, built before.
# Usage: scripts/libcxx.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build="build-libcxx"
gnu=build

cmake --preset libcxx
cmake --build --preset libcxx
echo "== The calculation's tests on libc++, built by" \
    "$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")"
ctest --preset libcxx

if [ ! -x "$gnu/tests/replay_sheet" ]; then
    echo "libcxx.sh: $gnu/tests/replay_sheet is missing; build the libstdc++ tree first" >&2
    exit 2
fi
cmake --build "$gnu" --target replay_sheet  # the same sources on both sides

echo "== The fuzz corpus's sheets on libc++ and on libstdc++"
corpora=(tests/fuzz/corpus/sheet)
if [ -n "$(ls -A build-fuzz/corpus/sheet 2>/dev/null)" ]; then
    corpora+=(build-fuzz/corpus/sheet)
fi
out="$build/sheet-texts"
mkdir -p "$out"
for corpus in "${corpora[@]}"; do
    name=${corpus//\//_}
    for side in "$build" "$gnu"; do
        label=$([ "$side" = "$build" ] && echo libcxx || echo libstdcxx)
        TORVANE_SHEET_TEXTS="$out/$name.$label.txt" \
            "$side/tests/replay_sheet" "$corpus" >"$out/$name.$label.log"
    done
    for label in libcxx libstdcxx; do
        if [ ! -s "$out/$name.$label.txt" ]; then
            echo "libcxx.sh: the $label replay of $corpus wrote no texts" >&2
            exit 1
        fi
    done
    if ! cmp -s "$out/$name.libcxx.txt" "$out/$name.libstdcxx.txt"; then
        echo "libcxx.sh: the sheets of $corpus come out differently on the two libraries" \
            "(input names in order in $out/$name.libcxx.log):" >&2
        diff "$out/$name.libstdcxx.txt" "$out/$name.libcxx.txt" | head -n 40 >&2 || true
        exit 1
    fi
    echo "$corpus: $(tail -n 1 "$out/$name.libcxx.log"), the same texts on both libraries"
done
