#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole job by keyboard under the desktop's screen reader, Orca, with its default
# settings: presses Calculate on an empty sheet, types the worked example, calculates,
# reviews two result cells, goes back into a filled field and clears the sheet; then
# checks what Orca said, read from the "SPEECH OUTPUT" lines of its debug log. Runs on a
# virtual X display with its own session bus, from a throw-away home. Starts Orca without
# --replace, so that it never ends another Orca, and ends only what it started.
# Usage: orca_test.sh PROGRAM; with ORCA_TEST_LOG set, Orca's log is kept there.
# Exits 77 (skipped) when a tool is missing or Orca cannot start.
set -euo pipefail
program=$1

for tool in xvfb-run dbus-run-session xdotool orca; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

if [ "${2:-}" != --inside ]; then
    # Orca will not start beside another Orca of the same user: two test runs on one machine
    # take turns here. The lock is held until every process of this test has ended.
    exec 8>/tmp/torvane-orca-test.lock
    flock -w 150 8 || {
        echo "skipped: another Orca test kept the machine's Orca for 150 s"
        exit 77
    }
    exec xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$0" "$program" --inside
fi

# On the display, within the session bus.
# The worked example: its weights, and a text of a record (KIND NAME) of its file.
example=$(cd "$(dirname "$0")/.." && pwd)/worked-example.tsv
mapfile -t weights < <(awk -F '\t' '$1 == "field" { print $3 }' "$example")
worked() {
    awk -F '\t' -v kind="$1" -v name="$2" '$1 == kind && $2 == name { print $3 }' "$example"
}
optimal=$(worked balance optimal)
retaining=$(worked balance retaining)
pin4=$(worked cell Label57)
pin4=${pin4//  / and }  # as a screen reader is told two rods
recip=$(worked field Recip)
if [ ${#weights[@]} -ne 29 ] || [ -z "$optimal" ] || [ -z "$retaining" ] || [ -z "$pin4" ] ||
    [ -z "$recip" ]; then
    echo "FAIL: the worked example is not to be read from $example"
    exit 1
fi
scratch=$(mktemp -d)
log=$scratch/orca.log
script_pid= orca_pid= program_pid=
# shellcheck source=tests/processes.sh
source "$(dirname "$0")/../processes.sh"
finish() {
    if [ -n "${ORCA_TEST_LOG:-}" ] && [ -f "$log" ]; then cp "$log" "$ORCA_TEST_LOG"; fi
    # shellcheck disable=SC2086  # those not started are empty, and no word
    end_processes $program_pid $orca_pid $script_pid
    rm -rf "$scratch"
}
trap finish EXIT
# Ended by a signal, it still tidies up on its way out.
trap 'exit 143' TERM
trap 'exit 130' INT
trap 'exit 129' HUP
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
export XDG_CACHE_HOME=$scratch/cache XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

said() { tr -d '\r' 2>/dev/null <"$log" | sed -n "s/.*SPEECH OUTPUT: '\(.*\)' \{0,1\}[[{].*/\1/p" || true; }
since=0  # lines Orca had said before the last key
# Waits up to 20 s for Orca to have said, since the last key, a line holding the given text.
await() {
    local i
    for ((i = 0; i < 200; i++)); do
        [[ "$(said | tail -n +$((since + 1)))" == *"$1"* ]] && return 0
        sleep 0.1
    done
    echo "Orca never said \"$1\". It said:"
    said | tail -n 25 || true
    exit 1
}
key() {
    since=$(said | wc -l)
    xdotool key --delay 80 "$@"
    sleep 0.3
}

# Orca writes its debug log through a terminal, which has it written line by line as it
# goes rather than in blocks when it exits.
script -qfc "exec orca --debug-file /dev/stdout" "$log" </dev/null >/dev/null 2>&1 &
script_pid=$!
# Orca is listening once it has asked for the last kind of event it follows.
ready() { tr -d '\r' 2>/dev/null <"$log" | grep -q "registering listener for: window:destroy"; }
for ((i = 0; i < 300; i++)); do
    ready && break
    if ! kill -0 "$script_pid" 2>/dev/null; then
        script_pid=
        # Its own words: what it printed, without its debug lines and the terminal's.
        echo "skipped: Orca could not start: $(tr -d '\r' <"$log" |
            grep -vE '^[0-9]{2}:[0-9]{2}:[0-9]{2}\.|^Script (started|done)|^\s*$' | tr '\n' ' ')"
        exit 77
    fi
    sleep 0.1
done
orca_pid=$(pgrep -P "$script_pid" || true)
ready || { echo "skipped: Orca was not listening within 30 s of starting"; exit 77; }

export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_LINUX_ACCESSIBILITY_ALWAYS_ON
"$program" &
program_pid=$!
focus_window() {
    since=$(said | wc -l)
    timeout 30 xdotool search --sync --onlyvisible --name "^Torvane - Quillon Assistant\$" \
        windowfocus --sync >/dev/null || { echo "the window never showed"; exit 1; }
}
focus_window
await "Big End 1 text"

# Calculate with every field empty: the focus order wraps from the first field back over
# Print and Clear to Calculate.
key shift+Tab shift+Tab shift+Tab
await "Calculate"
key space
await "All values must be entered"
key Return
# Without a window manager nobody hands the focus back to the window when the box closes.
focus_window
await "Calculate"

# The worked example, field by field from the first big end, then Calculate.
key Tab Tab Tab
await "Big End 1 text"
for value in "${weights[@]}"; do
    xdotool type --delay 40 "$value"
    key Tab
done
await "Calculate"
key space
await "Balance using $optimal"

# Review: the bottom line of the window, its last item, then the line above it.
key Insert+KP_Page_Up
key Insert+KP_Begin
await "Balance using, retaining, $retaining"
key KP_Home
key KP_Begin
key Insert+KP_Begin
await "Optimal pin 4"

# Back into the last field, filled: its text is read whole.
key shift+Tab
await "Recip. % text"
key Tab Tab
await "Clear"
key space
await "Sheet cleared"

echo "What Orca said:"
said
failed=0
# Checks that one line of what Orca said holds the given text, or with -x is the line
# described by the given extended regular expression; Orca 43 and 48 word their lines a
# little differently around the same text.
expect_once() {
    local n
    if [ "$1" = -x ]; then
        n=$(grep -cxE -- "$2" <<<"$(said)" || true)
        shift
    else
        n=$(grep -cF -- "$1" <<<"$(said)" || true)
    fi
    if [ "$n" != 1 ]; then
        echo "FAIL: \"$1\" said $n times, not once"
        failed=1
    fi
}
expect_once "All values must be entered"
expect_once "Balance using $optimal with the rods re-paired, or $retaining as numbered."
expect_once -x "Balance using, retaining, ${retaining//./\\.}( label)?\.?"
expect_once -x "Optimal pin 4 rods, $pin4( label)?\.?"
expect_once "Sheet cleared."
expect_once -x "${recip//./\\.} selected\.?"
exit "$failed"
