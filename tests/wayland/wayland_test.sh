#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The window and the program under Wayland. Starts a headless weston on a socket of its own in
# a private runtime directory, then
#   1. runs the Qt test TST_WAYLAND there: the platform is Wayland, the window is exposed with
#      its title and at its size;
#   2. starts the program TORVANE there with the Wayland client library's protocol trace on,
#      and reads from the trace what the program told the compositor: the toplevel's title,
#      its window geometry (the window's size and the frame margins TST_WAYLAND reported), the
#      same minimum and maximum size (the window's fixed size), the compositor's configure
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
# shellcheck source=tests/processes.sh
source "$(dirname "$0")/../processes.sh"
stop() {  # PID: asks it to end, then makes it
    end_processes "$1"
    wait "$1" 2>/dev/null || true
}
cleanup() {
    [ -z "$program_pid" ] || stop "$program_pid"
    [ -z "$weston_pid" ] || stop "$weston_pid"
    rm -rf "$runtime"
}
trap cleanup EXIT
# Ended by a signal, it still tidies up on its way out.
trap 'exit 143' TERM
trap 'exit 130' INT
trap 'exit 129' HUP

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

# libwayland-client's trace names an object interface@id up to 1.22, and interface#id after
# the name of its event queue in braces from 1.23 (Debian 13).
obj='[@#][0-9]+'

echo "== The window, through Qt"
timeout 120 "$tst" 2>&1 | tee "$runtime/tst.out" || fail "$(basename "$tst") failed under Wayland"
# The decoration Qt draws around the window when the compositor draws none (weston draws none),
# as the Qt test read it: left top right bottom.
margins=$(sed -n 's/.*frame margins: \([0-9 ]*\)$/\1/p' "$runtime/tst.out")
read -r left top right bottom <<<"$margins" || true
if [ -z "${bottom:-}" ]; then
    fail "$(basename "$tst") did not tell the window's frame margins"
    left=0 top=0 right=0 bottom=0
fi
frame="$((width + left + right)), $((height + top + bottom))"

echo "== The program, through the protocol it speaks"
trace=$runtime/program.trace
WAYLAND_DEBUG=client "$program" 2>"$trace" &
program_pid=$!
# Up to 20 s for the first frame after the configure; then a second more, to see it stays.
committed() {
    awk -v obj="$obj" '
        $0 ~ "-> xdg_surface" obj "\\.ack_configure\\(" { acked = 1 }
        acked && $0 ~ "-> wl_surface" obj "\\.attach\\(wl_buffer" obj { attached = 1 }
        attached && $0 ~ "-> wl_surface" obj "\\.commit\\(\\)" { found = 1; exit }
        END { exit !found }' "$trace"
}
# requests INTERFACE REQUEST: the arguments of each such request the program sent, one a line.
requests() {
    { grep -Eo -- "-> $1$obj\.$2\([^)]*\)" "$trace" || true; } | sed 's/^[^(]*(//; s/)$//'
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

[ -n "$(requests xdg_surface get_toplevel)" ] || fail "the program made no xdg toplevel"
requests xdg_toplevel set_title | grep -qxF "\"$title\"" ||
    fail "the toplevel's title was never set to \"$title\""
# The window geometry is the content and the decoration around it.
geometry=$(requests xdg_surface set_window_geometry | tail -n 1)
[ "${geometry#*, *, }" = "$frame" ] ||
    fail "the window geometry is '${geometry:-never set}', not ($frame) with its decoration"
# The same least and greatest size fix it: the window geometry's, as xdg-shell means them (Qt
# 6.8), or the content's alone (Qt 6.4).
for request in set_min_size set_max_size; do
    last=$(requests xdg_toplevel "$request" | tail -n 1)
    [ "$last" = "$frame" ] || [ "$last" = "$width, $height" ] ||
        fail "$request is '${last:-never sent}', not ($frame) nor ($width, $height)"
done
[ "$(requests xdg_toplevel set_min_size | tail -n 1)" = \
    "$(requests xdg_toplevel set_max_size | tail -n 1)" ] ||
    fail "the least and the greatest size differ: the window could be resized"
grep -Eq "^\[[ 0-9.]+\] ({[^}]*} )?xdg_surface$obj\.configure\(" "$trace" ||
    fail "the compositor never configured the surface"
committed || fail "no frame was attached and committed after the configure was acknowledged"

if [ "$failures" -ne 0 ]; then
    echo "The program's requests to the compositor:" >&2
    grep -E -- "-> (xdg_toplevel|xdg_surface)$obj" "$trace" | head -20 | sed 's/^/    /' >&2
    exit 1
fi
echo "PASS: under Wayland the window is \"$title\", ${width} x ${height} px ($frame with its frame)"
