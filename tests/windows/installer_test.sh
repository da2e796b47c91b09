#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer under Wine, as a shop's user meets it, in a throw-away prefix on a
# virtual X display:
#   1. a silent install (/S) puts the program under Program Files, with its Start-menu entry
#      and its entry among the installed programs;
#   2. the installed program starts with nothing of the build machine within its reach (the
#      prefix's drive Z:, the way to Linux's files, is removed) and stays up;
#   3. the worked example typed by keyboard and Calculate pressed; the window is photographed;
#   4. Print with no printer: a message says so, and the window is as it was (Wine's own
#      PostScript driver fails on a real job: see below);
#   5. a silent uninstall leaves no file, no Start-menu entry and no uninstall entry behind.
#
#   installer_test.sh INSTALLER [SCREENSHOT.png]
#
# Needs Wine, Xvfb, xdotool and ImageMagick.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
installer=$(realpath "$1")
screenshot=${2:+$(realpath -m "$2")}
title="Torvane - Quillon Assistant"

if [ "${TORVANE_ON_DISPLAY:-}" != 1 ]; then
    TORVANE_ON_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
source "$here/wine.sh"
source "$here/../print/spooler.sh"  # for spooler_wait_for
scratch=$(mktemp -d)
program_pid=
finish() {
    [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
    wine_stop
    rm -rf "$scratch"
}
trap finish EXIT
source "$here/../checks.sh"

# Wine asks CUPS for its printers: it is pointed at a print service that is not there, so
# that it sees none, whatever the machine has.
export CUPS_SERVER=$scratch/no-print-service.sock
wine_start
drive_c=$WINEPREFIX/drive_c
folder="$drive_c/Program Files/Torvane"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Torvane"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Torvane'
registered() { "$wine" reg query "$uninstall_key" >/dev/null 2>&1; }

echo "== Silent install"
cp "$installer" "$drive_c/setup.exe"
"$wine" 'C:\setup.exe' /S
"$wineserver" -w
rm "$drive_c/setup.exe"
check "torvane.exe is under Program Files" [ -f "$folder/torvane.exe" ]
check "the platform plugin is beside it" [ -f "$folder/platforms/qwindows.dll" ]
check "the labels' face is beside it" [ -f "$folder/fonts/LiberationSans-Bold.ttf" ]
check "the licences are beside it" [ -f "$folder/licences/README-licences.txt" ]
check "the Start menu has the program" [ -f "$menu/Torvane.lnk" ]
check "the program is listed among the installed programs" registered
"$wine" reg query "$uninstall_key" 2>/dev/null | tr -d '\r' | grep -E 'DisplayName|DisplayIcon|UninstallString' | sed 's/^ */  /'

echo "== The installed program, with nothing of the build machine in reach"
rm -f "$WINEPREFIX/dosdevices/z:"
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM QT_QPA_PLATFORM_PLUGIN_PATH
(cd "$drive_c" && exec "$wine" 'C:\Program Files\Torvane\torvane.exe') >"$scratch/program.log" 2>&1 &
program_pid=$!
shown() { xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; }
if ! spooler_wait_for 60 shown; then
    fail "the window never showed"
    cat "$scratch/program.log"
    exit 1
fi
window=$(xdotool search --onlyvisible --name "^$title\$" | head -n 1)
sleep 5
check "the program is still up after 5 s" kill -0 "$program_pid"

echo "== The worked example, typed"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 1
# The first field has the focus; Tab walks the fields in order, then Calculate.
for value in 296 302 296 297.5 298 304 303 300 104 98 98 99 104 97 103 97 \
    199 196.5 199.5 207.5 206.5 198 207 196 10 2 20 4 50; do
    xdotool type --delay 30 "$value"
    xdotool key --delay 30 Tab
done
xdotool key space
sleep 2
if [ -n "$screenshot" ]; then
    import -window "$window" "$screenshot"
    echo "The window: $screenshot ($(identify -format '%w x %h' "$screenshot") px)"
fi

echo "== Print, with no printer"
# Wine 8's PostScript printer driver (wineps.drv) fails with a page fault as soon as Qt's
# Windows print engine starts a job on a CUPS printer, so the page cannot be printed under
# Wine: Print is tried where there is no printer, and must say so and change nothing.
xdotool key Tab Tab  # from Calculate past Clear to Print
sleep 1
import -window "$window" "$scratch/before-print.png"
xdotool key space
windows_of_program() { xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | wc -l; }
message_shown() { [ "$(windows_of_program)" -ge 2 ]; }
if spooler_wait_for 30 message_shown; then
    echo "ok: a message box came up"
    xdotool key Return
    spooler_wait_for 10 bash -c "[ \$(xdotool search --onlyvisible --name '^$title\$' | wc -l) -eq 1 ]" ||
        fail "the message box did not close on Enter"
else
    fail "no message box came up"
fi
check "the program is still up after Print" kill -0 "$program_pid"
import -window "$window" "$scratch/after-print.png"
check "the window shows what it showed before Print" \
    compare -metric AE "$scratch/before-print.png" "$scratch/after-print.png" null: 2>/dev/null

# Closed as a user would, by the window's close button; ended if it does not go.
xdotool windowclose "$window" 2>/dev/null || true
spooler_wait_for 20 bash -c "! kill -0 $program_pid 2>/dev/null" || kill "$program_pid" 2>/dev/null
wait "$program_pid" 2>/dev/null || true
program_pid=
timeout 60 "$wineserver" -w || "$wineserver" -k

echo "== Silent uninstall"
"$wine" 'C:\Program Files\Torvane\Uninstall.exe' /S
timeout 120 "$wineserver" -w || fail "the uninstaller did not finish within 2 minutes"
spooler_wait_for 30 test ! -e "$folder" || true
check "no file is left under Program Files" [ ! -e "$folder" ]
check "no Start-menu entry is left" [ ! -e "$menu" ]
if registered; then fail "the uninstall entry is left"; else echo "ok: no uninstall entry is left"; fi

echo "installer test: $failures failure(s)"
[ "$failures" -eq 0 ]
