# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Ending what a test started, the one way the shell tests do it. Sourced; sets nothing else.

# end_processes PID...: asks each to end (TERM), then makes those still there five seconds
# later end (KILL).
end_processes() {
    local i pid alive=("$@")
    [ $# -ne 0 ] || return 0
    kill -TERM "$@" 2>/dev/null
    for ((i = 0; i < 50 && ${#alive[@]} != 0; i++)); do
        sleep 0.1
        for pid in "${!alive[@]}"; do
            kill -0 "${alive[pid]}" 2>/dev/null || unset 'alive[pid]'
        done
    done
    [ ${#alive[@]} -eq 0 ] || kill -KILL "${alive[@]}" 2>/dev/null
    return 0
}
