#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the program on a virtual X display with its own session bus and accessibility
# bus, gives its window the keyboard focus as a window manager would, and lets an
# assistive-technology client fill and read it (read_worked_example.py).
# Usage: atspi_test.sh PROGRAM. Exits 77 (skipped) when a tool it needs is missing.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)

for tool in xvfb-run dbus-run-session xdotool; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
# Debian's own interpreter, which the accessibility bindings are installed for.
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
    echo "skipped: /usr/bin/python3 has no pyatspi (python3-pyatspi)"
    exit 77
fi

if [ "${2:-}" = --inside ]; then  # on the display, within the buses
    export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    unset QT_SCALE_FACTOR
    "$program" &
    pid=$!
    trap 'kill "$pid" 2>/dev/null || true' EXIT
    # Ended by a signal, it still tidies up on its way out.
    trap 'exit 143' TERM
    trap 'exit 130' INT
    trap 'exit 129' HUP
    xdotool search --sync --name "^Torvane - Quillon Assistant\$" windowfocus --sync
    timeout 120 /usr/bin/python3 "$here/read_worked_example.py"
    exit
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$0" "$program" --inside
