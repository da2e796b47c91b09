#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The window and the program under Wayland. Starts a headless weston on a socket of its own in
# a private runtime directory, then
#   1. runs the Qt test TST_WAYLAND there: the platform is Wayland, the window is exposed with
#      its title and at its size;
#   2. starts the program TORVANE there with the Wayland client library's protocol trace on,
#      and reads from the trace what the program told the compositor: the toplevel's title,
#      its minimum and maximum size (the window's fixed size), the compositor's configure
#      acknowledged and a frame attached and committed after it; the program must still be
#      running a second after that.
#
#   wayland_test.sh TST_WAYLAND TORVANE QT_PLUGIN_DIR
#
# Exits 77 when weston or Qt's Wayland platform plugin is not installed, or when weston cannot
# start a compositor on this machine (its log then says why).
set -euo pipefail

tst=$1
program=$2
plugins=$3
title="Torvane - Quillon Assistant"
width=615
height=538

skip() {
    echo "SKIP: $*"
    exit 77
}
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

command -v weston >/dev/null || skip "weston is not installed (Debian package weston)"
compgen -G "$plugins/platforms/libqwayland-*.so" >/dev/null ||
    skip "no Qt Wayland platform plugin in $plugins/platforms (Debian package qt6-wayland)"

runtime=$(mktemp -d /tmp/torvane-wayland.XXXXXX)
chmod 0700 "$runtime"
socket=torvane-test-$$
weston_pid=
program_pid=
stop() {  # PID: asks it to end, then makes it
    local pid=$1 i
    kill -0 "$pid" 2>/dev/null || return 0
    kill -TERM "$pid" 2>/dev/null || true
    for ((i = 0; i < 50; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
cleanup() {
    [ -z "$program_pid" ] || stop "$program_pid"
    [ -z "$weston_pid" ] || stop "$weston_pid"
    rm -rf "$runtime"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$runtime
unset DISPLAY WAYLAND_SOCKET WAYLAND_DISPLAY

weston --backend=headless-backend.so --socket="$socket" --idle-time=0 --no-config \
    --width=1024 --height=768 --log="$runtime/weston.log" >"$runtime/weston.out" 2>&1 &
weston_pid=$!
for ((i = 0; i < 100; i++)); do
    [ -S "$runtime/$socket" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -S "$runtime/$socket" ] || ! kill -0 "$weston_pid" 2>/dev/null; then
    for log in "$runtime/weston.log" "$runtime/weston.out"; do
        [ ! -s "$log" ] || tail -n 20 "$log" | sed 's/^/    /'
    done
    skip "weston could not start a headless compositor here (its log is above)"
fi
echo "weston $(weston --version | awk '{print $2}') listening on $runtime/$socket"

export WAYLAND_DISPLAY=$socket
export QT_QPA_PLATFORM=wayland

echo "== The window, through Qt"
timeout 120 "$tst" || fail "$(basename "$tst") failed under Wayland"

echo "== The program, through the protocol it speaks"
trace=$runtime/program.trace
WAYLAND_DEBUG=client "$program" 2>"$trace" &
program_pid=$!
# Up to 20 s for the first frame after the configure; then a second more, to see it stays.
committed() {
    awk '/-> xdg_surface@[0-9]+\.ack_configure\(/ { acked = 1 }
         acked && /-> wl_surface@[0-9]+\.attach\(wl_buffer@/ { attached = 1 }
         attached && /-> wl_surface@[0-9]+\.commit\(\)/ { found = 1; exit }
         END { exit !found }' "$trace"
}
for ((i = 0; i < 200; i++)); do
    committed && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
sleep 1
if kill -0 "$program_pid" 2>/dev/null; then
    stop "$program_pid"
else
    status=0
    wait "$program_pid" || status=$?
    fail "the program ended by itself (exit status $status)"
    grep -v '^\[' "$trace" | tail -20 | sed 's/^/    /' >&2
fi
program_pid=

grep -qF -- "-> xdg_toplevel@" "$trace" || fail "the program made no xdg toplevel"
grep -Eq -- "-> xdg_toplevel@[0-9]+\.set_title\(\"$title\"\)" "$trace" ||
    fail "the toplevel's title was never set to \"$title\""
for request in set_min_size set_max_size; do
    last=$(grep -Eo -- "-> xdg_toplevel@[0-9]+\.$request\([0-9]+, [0-9]+\)" "$trace" | tail -1)
    [ "${last#*(}" = "$width, $height)" ] ||
        fail "$request is '${last:-never sent}', not ($width, $height)"
done
grep -Eq "^\[[ 0-9.]+\] xdg_surface@[0-9]+\.configure\(" "$trace" ||
    fail "the compositor never configured the surface"
committed || fail "no frame was attached and committed after the configure was acknowledged"

if [ "$failures" -ne 0 ]; then
    echo "The program's requests to the compositor:" >&2
    grep -E -- "-> (xdg_toplevel|xdg_surface)@" "$trace" | head -20 | sed 's/^/    /' >&2
    exit 1
fi
echo "PASS: under Wayland the window is \"$title\", ${width} x ${height} px"
