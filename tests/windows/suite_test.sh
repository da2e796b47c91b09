#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build's test suite under Wine: the calculation's tests and the window's, with
# the real windows platform plugin, on a virtual X display, in a throw-away Wine prefix. Then
# the worked example with decimal commas once more, under a German locale, whose comma the
# window must take from the desktop's settings unasked.
#
#   suite_test.sh BUILD_DIR DLL_DIR...
#
# DLL_DIR: where the Qt and MinGW runtime libraries are (Wine's search path). Prints how many
# test cases ran, passed, failed and were skipped; a skipped one counts as a failure.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
shift

if [ "${TORVANE_ON_DISPLAY:-}" != 1 ]; then
    TORVANE_ON_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$build" "$@"
fi
# shellcheck source=tests/windows/wine.sh
source "$here/wine.sh"
scratch=$(mktemp -d)
trap 'wine_stop; rm -rf "$scratch"' EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
trap 'exit 129' HUP

wine_start
paths=()
for dir in "$@"; do paths+=("$(wine_path "$dir")"); done
WINEPATH=$(IFS=';' && echo "${paths[*]}")
export WINEPATH

status=0
ctest --preset windows -V >"$scratch/suite.log" 2>&1 || status=$?
grep -E '^[0-9]+/[0-9]+ Test|tests passed|Total Test time' "$scratch/suite.log" || true
[ "$status" -eq 0 ] || { grep -vE '^[0-9]+: (PASS|QDEBUG|QINFO)' "$scratch/suite.log" | tail -n 80; }

# The German desktop: its locale built for this run alone (LOCPATH), so that nothing of the
# machine's is changed; Wine takes the Windows locale from it.
echo "== Calculate under a German locale"
localedef -i de_DE -f UTF-8 "$scratch/de_DE.UTF-8" 2>/dev/null || true
german=0
LOCPATH=$scratch LC_ALL=de_DE.UTF-8 TORVANE_DESKTOP_DECIMAL=, \
    "$wine" "$build/tests/ui/tst_commands.exe" commaLocaleEndToEnd -o Z:/dev/stderr,txt \
    >"$scratch/german.log" 2>&1 ||
    german=$?
grep -E '^(FAIL|SKIP)|Totals|desktop' "$scratch/german.log" || true
grep -q "PASS   : CommandsTest::commaLocaleEndToEnd(desktop's locale)" "$scratch/german.log" || {
    echo "FAIL: the window did not read and write the German desktop's decimal comma"
    german=1
}

# Cases: GoogleTest's and QtTest's own counts, summed over every test program.
read -r passed failed skipped < <(cat "$scratch/suite.log" "$scratch/german.log" | awk '
    { sub(/^[0-9]+: /, "") }  # ctest -V puts the test number before each line
    /\[  PASSED  \] [0-9]+ test/ { match($0, /[0-9]+/); p += substr($0, RSTART, RLENGTH) }
    /\[  FAILED  \] [0-9]+ test/ { match($0, /[0-9]+/); f += substr($0, RSTART, RLENGTH) }
    /\[  SKIPPED \] [0-9]+ test/ { match($0, /[0-9]+/); s += substr($0, RSTART, RLENGTH) }
    /Totals: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped/ {
        n = split($0, w, /[ ,]+/)
        for (i = 1; i < n; i++) {
            if (w[i + 1] == "passed") p += w[i]
            if (w[i + 1] == "failed") f += w[i]
            if (w[i + 1] == "skipped") s += w[i]
        }
    }
    END { print p + 0, f + 0, s + 0 }')
echo "Under Wine: $passed test cases passed, $failed failed, $skipped skipped"
[ "$status" -eq 0 ] && [ "$german" -eq 0 ] && [ "$failed" -eq 0 ] && [ "$skipped" -eq 0 ] &&
    [ "$passed" -gt 0 ]
