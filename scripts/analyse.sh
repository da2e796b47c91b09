#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The static analysers, with the compile commands of a build that has been built (the
# generated Qt sources must exist) and configured with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON:
#   clang-tidy, with the checks of .clang-tidy, over every source of calc/, ui/ and app/;
#   clazy-standalone, Qt's analyser, at levels 0 to 2 over ui/ and app/.
# Any finding fails. Usage: scripts/analyse.sh [build directory, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/compile_commands.json" ]; then
    echo "analyse.sh: $build/compile_commands.json is missing;" \
        "configure with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON" >&2
    exit 2
fi
jobs=$(nproc)

# The sources this build compiles: another platform's file (ui/printing_windows.cpp here) is
# analysed by no analyser that lacks its system's headers.
built() {
    local source
    while read -r source; do
        if grep -qF "\"file\": \"$PWD/$source\"" "$build/compile_commands.json"; then
            echo "$source"
        else
            echo "not analysed, not built here: $source" >&2
        fi
    done
}
mapfile -t everything < <(find calc ui app -name '*.cpp' | sort | built)
mapfile -t qtSources < <(find ui app -name '*.cpp' | sort | built 2>/dev/null)

echo "== clang-tidy: ${#everything[@]} sources"
tidy=0
printf '%s\n' "${everything[@]}" |
    xargs -P "$jobs" -n 1 "${CLANG_TIDY:-clang-tidy}" -p "$build" --quiet || tidy=1

echo "== clazy: ${#qtSources[@]} sources"
clazy=0
# Warnings become errors, so that a finding sets the exit status. The moc's output is
# generated code and not looked at.
printf '%s\n' "${qtSources[@]}" |
    xargs -P "$jobs" -n 1 "${CLAZY:-clazy-standalone}" -p "$build" \
        --checks=level0,level1,level2 --ignore-dirs='_autogen' --extra-arg=-Werror || clazy=1

if [ "$tidy" != 0 ] || [ "$clazy" != 0 ]; then
    echo "analyse.sh: findings above (clang-tidy: $tidy, clazy: $clazy)" >&2
    exit 1
fi
echo "No findings."
