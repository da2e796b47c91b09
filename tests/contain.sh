#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one test that starts processes of its own (an X server, session buses, a screen reader,
# a print scheduler, a compositor) so that none of them outlives it, however it ends.
#
#   contain.sh COMMAND [ARGUMENT...]
#
# Everything the test starts carries a mark in its environment, which children inherit even
# when their parent has gone. When the test ends, when this wrapper is ended by a signal, and
# when CTest itself goes away (the wrapper is told by the kernel: setpriv --pdeathsig), the
# test is first asked to end and tidy up, and then every process with the mark is ended. A
# watcher does the same if the wrapper is killed outright (as CTest does at a test's time-out).
# The test's own exit status is passed on. The test runs in one locale whatever the machine's
# own is: the worked example is typed with decimal points, and what the screen reader, the
# packaging tools and the print service say is read in English.
set -uo pipefail

if [ "${1:-}" != --armed ]; then
    exec setpriv --pdeathsig TERM -- bash "$0" --armed "$@"
fi
shift

mark="TORVANE_TEST_RUN=$$.$RANDOM$RANDOM"
wrapper=$$

# The processes that carry the mark: the test and everything it started.
marked() {
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        grep -qzxF -- "$mark" "$environ" 2>/dev/null && echo "$pid"
    done
    return 0
}

# shellcheck source=tests/processes.sh
source "$(dirname "$0")/processes.sh"

# Asks every marked process to end, then makes those that have not, and any started meanwhile.
end_marked() {
    local pids
    mapfile -t pids < <(marked)
    end_processes "${pids[@]}"
    mapfile -t pids < <(marked)
    [ ${#pids[@]} -eq 0 ] || kill -KILL "${pids[@]}" 2>/dev/null
    return 0
}

# Outlives the wrapper only if it is killed outright, and then ends what the test left.
(
    trap '' TERM INT HUP
    while kill -0 "$wrapper" 2>/dev/null; do sleep 0.5; done
    end_marked
) &
watcher=$!

test_pid=
# A signal to the wrapper: the test is asked to end first, with time to tidy up, then
# whatever is left of it is ended.
stop() {
    local status=$1
    trap '' TERM INT HUP
    [ -z "$test_pid" ] || end_processes "$test_pid"
    end_marked
    kill "$watcher" 2>/dev/null
    exit "$status"
}
trap 'stop 143' TERM
trap 'stop 130' INT
trap 'stop 129' HUP

env -u LANGUAGE LC_ALL=C.UTF-8 "$mark" "$@" &
test_pid=$!
wait "$test_pid"
status=$?
test_pid=
end_marked
kill "$watcher" 2>/dev/null
exit "$status"
