# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# The program as the tests under Wine install and drive it, by its installer and the keyboard,
# as a user would. Sourced after wine.sh, ../checks.sh and ../print/spooler.sh (for
# spooler_wait_for), once wine_start has made the prefix; the test's own clean-up calls
# program_stop.
# shellcheck disable=SC2154  # wine and wineserver are wine.sh's

program_title="Torvane - Quillon Assistant"
program_example=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/worked-example.tsv
program_pid=
program_window=
# Where the program is installed, as Windows sees it: for everyone on the PC, unless a test
# installs it elsewhere.
program_exe='C:\Program Files\Torvane\torvane.exe'

# Runs an installer inside the prefix, with the arguments given (/S: silently), and waits until
# it and all it started are done.
program_install() {  # INSTALLER [ARGUMENT...]
    cp "$1" "$WINEPREFIX/drive_c/setup.exe"
    "$wine" 'C:\setup.exe' "${@:2}"
    "$wineserver" -w
    rm "$WINEPREFIX/drive_c/setup.exe"
}

program_shown() { xdotool search --onlyvisible --name "^$program_title\$" >/dev/null 2>&1; }

# Starts the installed program, from C:\ and with the environment variables given, its output
# in LOG, and waits until its window shows (a start after a change of the display's scale
# takes Wine a while on a busy machine); the test ends there if it never does.
program_start() {  # LOG [NAME=VALUE...]
    local log=$1
    shift
    (cd "$WINEPREFIX/drive_c" && exec env "$@" "$wine" "$program_exe") \
        >"$log" 2>&1 &
    program_pid=$!
    if ! spooler_wait_for 180 program_shown; then
        fail "the window never showed"
        cat "$log"
        exit 1
    fi
    program_window=$(xdotool search --onlyvisible --name "^$program_title\$" | head -n 1)
}

# The worked example (tests/worked-example.tsv) typed into the window just started: its first
# field has the focus, and Tab walks the fields in order, ending on Calculate, which is not
# pressed. The test ends there if the file does not give the 29 weights.
program_type_worked_example() {
    local weights value
    mapfile -t weights < <(awk -F '\t' '$1 == "field" { print $3 }' "$program_example")
    if [ ${#weights[@]} -ne 29 ]; then
        fail "the 29 weights of the worked example in $program_example"
        exit 1
    fi
    xdotool windowactivate --sync "$program_window" 2>/dev/null ||
        xdotool windowfocus --sync "$program_window"
    sleep 1
    for value in "${weights[@]}"; do
        xdotool type --delay 30 "$value"
        xdotool key --delay 30 Tab
    done
}

# The worked example typed, Calculate pressed, and a moment for the results to show.
program_calculate_worked_example() {
    program_type_worked_example
    xdotool key space
    sleep 2
}

# How many windows titled as the program show: its own, and a message box over it.
program_windows() { xdotool search --onlyvisible --name "^$program_title\$" 2>/dev/null | wc -l; }
program_message_shown() { [ "$(program_windows)" -ge 2 ]; }
program_message_gone() { [ "$(program_windows)" -eq 1 ]; }  # and the window stays

# Closed as a user would, by the window's close button; ended if it does not go. Waits for the
# prefix's processes to end too, so that a setting written next is read at the next start.
program_close() {
    xdotool windowclose "$program_window" 2>/dev/null || true
    spooler_wait_for 20 bash -c "! kill -0 $program_pid 2>/dev/null" ||
        kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
    timeout 60 "$wineserver" -w || "$wineserver" -k
}

program_stop() {
    [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
    program_pid=
}
