#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The outcome said to a screen reader on Windows: after Calculate, the window raises it as a
# UI Automation notification, under Wine, in a throw-away prefix on a virtual X display:
#   1. a silent install (/S) of the installer;
#   2. the installed program started, and a UI Automation client of this test's own
#      (uia_client.c, built here with MinGW) run beside it, as a screen reader is: it asks
#      for the window's element, which wakes the toolkit's UI Automation (it raises nothing
#      until a client has asked), and must get the toolkit's element for the window, named
#      by its title; then it listens for notifications;
#   3. the worked example typed by keyboard and Calculate pressed: exactly one notification,
#      and none before Calculate, with the text EXPECTED (by default the worked example's:
#      "Balance using OPTIMAL with the rods re-paired, or RETAINING as numbered.", with its
#      balance figures from tests/worked-example.tsv), of kind Other
#      and polite (delivered after what the screen reader is saying: NotificationProcessing_All).
#
#   announcement_test.sh INSTALLER [EXPECTED]
#
# Where the client is told of notifications, what it is told is checked. Wine 10 tells it
# nothing: its IUIAutomation5::AddNotificationEventHandler is a stub that answers E_NOTIMPL
# (dlls/uiautomationcore/uia_com_client.c) and so is UiaRaiseNotificationEvent, which the
# toolkit calls (dlls/uiautomationcore/uia_main.c); that stub, though, writes what it was
# given to Wine's log of the "uiautomation" channel, with the text, so there the log is what
# is checked: the program runs with WINEDEBUG=-all,fixme+uiautomation.
#
# Needs Wine, Xvfb, xdotool and the MinGW-w64 C compiler.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
installer=$(realpath "$1")
IFS=$'\t' read -r optimal retaining < <(awk -F '\t' '$1 == "balance" { figure[$2] = $3 }
    END { print figure["optimal"] "\t" figure["retaining"] }' "$here/../worked-example.tsv") || true
expected=${2:-"Balance using $optimal with the rods re-paired, or $retaining as numbered."}
if [ -z "${2:-}" ] && { [ -z "$optimal" ] || [ -z "$retaining" ]; }; then
    echo "$0: no balance figures in $here/../worked-example.tsv" >&2
    exit 2
fi
cc=${TORVANE_MINGW_CC:-x86_64-w64-mingw32-gcc-posix}

# Wine's log writes the text as Wine's debugstr_w does (include/wine/debug.h): a backslash and
# a double quote escaped, anything outside printable ASCII as \hhhh. The text looked for is
# written the same way here, for printable ASCII; any other is refused rather than mistaken.
if LC_ALL=C grep -q '[^ -~]' <<<"$expected"; then
    echo "$0: the expected text must be printable ASCII" >&2
    exit 2
fi
logged=${expected//\\/\\\\}
logged=${logged//\"/\\\"}

if [ "${TORVANE_ON_DISPLAY:-}" != 1 ]; then
    TORVANE_ON_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
# shellcheck source=tests/windows/wine.sh
source "$here/wine.sh"
# shellcheck source=tests/print/spooler.sh
source "$here/../print/spooler.sh"  # for spooler_wait_for
# shellcheck source=tests/windows/program.sh
source "$here/program.sh"
scratch=$(mktemp -d)
client_pid=
finish() {
    [ -z "$client_pid" ] || kill "$client_pid" 2>/dev/null || true
    program_stop
    wine_stop
    rm -rf "$scratch"
}
trap finish EXIT
# shellcheck source=tests/checks.sh
source "$here/../checks.sh"

# Wine asks CUPS for its printers: pointed at a print service that is not there.
export CUPS_SERVER=$scratch/no-print-service.sock
wine_start
drive_c=$WINEPREFIX/drive_c

echo "== The UI Automation client, built with $("$cc" --version | head -n 1)"
"$cc" -std=c11 -O2 -Wall -Wextra -Wpedantic -Werror -municode -static \
    -o "$drive_c/uia_client.exe" "$here/uia_client.c" -lole32 -loleaut32

echo "== Silent install"
program_install "$installer" /S
if [ ! -f "$drive_c/Program Files/Torvane/torvane.exe" ]; then
    fail "torvane.exe is not under Program Files after the install"
    exit 1
fi

echo "== The installed program, and the client beside it"
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM QT_QPA_PLATFORM_PLUGIN_PATH
program_start "$scratch/program.log" WINEDEBUG=-all,fixme+uiautomation

# The notifications the program raised, as Wine's stub logged them: ", KIND, PROCESSING,
# L"TEXT", L"ACTIVITY"): stub" after the provider's address.
raised() { grep -a ':UiaRaiseNotificationEvent (' "$scratch/program.log" || true; }

# The client waits for the window itself, then listens for 120 s at most: ended below.
: >"$scratch/client.log"
(cd "$drive_c" && exec "$wine" 'C:\uia_client.exe' "$program_title" 120) \
    >"$scratch/client.log" 2>"$scratch/client.err" &
client_pid=$!
said() { tr -d '\r' <"$scratch/client.log" | grep -qxF "$1"; }
client_ready() { said 'ready' || ! kill -0 "$client_pid" 2>/dev/null; }
spooler_wait_for 90 client_ready || true
tr -d '\r' <"$scratch/client.log" | sed 's/^/  client: /'
check "the client gets the window's element, named by its title" said "window: \"$program_title\""
check "the toolkit's own UI Automation provides it" said 'framework: "Qt"'
check "the client is listening" said 'ready'
said 'ready' || tail -n 20 "$scratch/client.err"
if said 'notifications: listening'; then listening=1; else listening=0; fi

echo "== The worked example, typed, and Calculate"
program_type_worked_example
# The window speaks once it has been still for 2 s: whatever the typing had made it say would
# be out by now, and there must be nothing.
sleep 3
check "nothing is announced before Calculate" [ -z "$(raised)" ]
xdotool key space

if [ "$listening" = 1 ]; then
    # UI Automation delivers notifications: the client must have been told.
    told() { tr -d '\r' <"$scratch/client.log" | grep '^notification: ' || true; }
    spooler_wait_for 30 bash -c "grep -q '^notification: ' '$scratch/client.log'" || true
    sleep 3  # for a second one, which must not come
    echo "  told the client: $(told)"
    check "the client is told exactly one notification" [ "$(told | wc -l)" -eq 1 ]
    check "it says \"$expected\", of kind Other, polite" \
        said "notification: kind 4, processing 2, \"$logged\""
else
    # Wine's stub keeps what it is given, in its log: the program's call, with its text.
    echo "  UI Automation here delivers no notification to a client: Wine's log is read"
    spooler_wait_for 30 bash -c "grep -aq ':UiaRaiseNotificationEvent (' '$scratch/program.log'" || true
    sleep 3  # for a second one, which must not come
    raised | sed 's/^/  wine: /'
    check "the program raises exactly one notification after Calculate" [ "$(raised | wc -l)" -eq 1 ]
    check "it says \"$expected\", of kind Other, polite" \
        grep -aqF ", 4, 2, L\"$logged\", L\"\"): stub" "$scratch/program.log"
fi
check "the program is still up" kill -0 "$program_pid"

kill "$client_pid" 2>/dev/null || true
wait "$client_pid" 2>/dev/null || true
client_pid=
program_close

echo "announcement test: $failures failure(s)"
[ "$failures" -eq 0 ]
