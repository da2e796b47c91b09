#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and running the program needs (not the test bench), builds the
# program and opens its window. Without a display it says so and exits with status 1, the
# program built but not started.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
torvane_install_packages build

cmake --preset release
cmake --build --preset release
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)."
    echo "On a machine without a screen, run it under a virtual one (Debian package xvfb):"
    echo "    xvfb-run scripts/run.sh"
    exit 1
fi
exec build/app/torvane
