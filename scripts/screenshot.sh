#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Types the worked example (tests/worked-example.tsv) into the real program under a virtual
# screen, presses Calculate and saves a picture of the window. Needs xvfb, xdotool and
# imagemagick.
# Usage: scripts/screenshot.sh [program] [picture]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/app/torvane}
picture=${2:-docs/window.png}

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 800x700x24" "$0" "$@"
fi
"$program" &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
window=$(xdotool search --sync --name "Torvane - Quillon Assistant" | head -n 1)
xdotool windowmove "$window" 0 0
sleep 0.5
mapfile -t weights < <(awk -F '\t' '$1 == "field" { print $3 }' tests/worked-example.tsv)
for weight in "${weights[@]}"; do
    xdotool type --delay 5 "$weight"
    xdotool key Tab
done
xdotool key space  # the focus is on Calculate now
sleep 0.5
mkdir -p "$(dirname "$picture")"
import -window "$window" "$picture"
echo "saved $picture"
