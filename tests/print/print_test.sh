#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the window through a real CUPS scheduler of the test's own into a cups-pdf queue, and
# checks what the program handed to the spooler and what came out of the printer; then walks
# the roads on which printing fails. Needs root (the scheduler runs in a mount namespace of its
# own), cups, cups-client, printer-driver-cups-pdf and poppler-utils; exits 77 (skipped)
# without them.
# Usage: print_test.sh path/to/tst_print
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tst=$1
export QT_QPA_PLATFORM=offscreen

if [ "$(id -u)" -ne 0 ] || [ ! -x /usr/sbin/cupsd ] || [ ! -e /usr/lib/cups/backend/cups-pdf ] ||
    ! command -v pdftotext >/dev/null || ! command -v unshare >/dev/null; then
    echo "skipped: needs root, CUPS, cups-pdf, poppler-utils and unshare"
    exit 77
fi
source "$here/spooler.sh"

scratch=$(mktemp -d)
trap 'spooler_stop; rm -rf "$scratch"' EXIT
source "$here/../checks.sh"
# shellcheck source=tests/print/page.sh
source "$here/page.sh"

spooler_setup "$scratch" || { echo "FAIL: no print spooler"; exit 1; }

held_count() { spooler_held_jobs | wc -l; }
has_jobs() { [ "$(held_count)" -ge "$1" ]; }
pdfs_written() { [ "$(find "$scratch/out" -name '*.pdf' | wc -l)" -ge "$1" ]; }

# Takes every held job (expecting $1 of them) into $scratch/sent-N.pdf, releases them and
# waits for cups-pdf's output.
take_jobs() {
    spooler_wait_for 30 has_jobs "$1" || { fail "$1 job(s) in the queue"; return 1; }
    check "exactly $1 job(s) in the queue" [ "$(held_count)" -eq "$1" ]
    local n=0 id
    for id in $(spooler_held_jobs); do
        n=$((n + 1))
        spooler_take_job "$id" "$scratch/sent-$n.pdf" || fail "copy job $id from the spool"
    done
    spooler_wait_for 60 pdfs_written "$1" || { fail "cups-pdf wrote $1 PDF(s)"; return 1; }
    spooler_wait_for 30 spooler_queue_empty || fail "the queue emptied"
}

check_printed_page() {  # file cups-pdf wrote
    page_check_window "$1" "$scratch/page"
    echo "$page_width $page_height" >"$1.size"
}

echo "== Print once"
"$tst" printWorkedExample >"$scratch/log" 2>&1 || { cat "$scratch/log"; fail "Print from the window"; }
if take_jobs 1; then
    check "the program sent one page" [ "$(page_count "$scratch/sent-1.pdf")" = 1 ]
    page_check_text "the job holds every caption, input and result as text" "$scratch/sent-1.pdf"
    printed=$(find "$scratch/out" -name '*.pdf' | head -n 1)
    check_printed_page "$printed"
    [ -n "${TORVANE_PRINTED_PAGE:-}" ] && pdftoppm -r 60 -png -singlefile "$printed" "$TORVANE_PRINTED_PAGE"
fi

echo "== Print twice"
rm -f "$scratch"/out/*.pdf "$scratch"/sent-*.pdf
"$tst" printTwice >"$scratch/log" 2>&1 || { cat "$scratch/log"; fail "Print twice from the window"; }
if take_jobs 2; then
    check "both jobs carry the same texts" \
        cmp -s <(pdftotext -layout "$scratch/sent-1.pdf" -) <(pdftotext -layout "$scratch/sent-2.pdf" -)
    for printed in "$scratch"/out/*.pdf; do check_printed_page "$printed"; done
    check "both pages have the same size" \
        [ "$(cat "$scratch"/out/*.size | sort -u | wc -l)" -eq 1 ]
fi

refused() {  # what the message must say, then the state it is tested in
    echo "== Print $2"
    TORVANE_EXPECT=$1 "$tst" printRefused >"$scratch/log" 2>&1 || { cat "$scratch/log"; fail "message for $2"; }
    check "no job was left in the queue ($2)" [ "$(held_count)" -eq 0 ]
}
cupsreject "$spooler_queue"
refused "is not accepting jobs" "on a queue that rejects jobs"
cupsaccept "$spooler_queue"
cupsdisable "$spooler_queue"
refused "is stopped" "on a stopped queue"
cupsenable "$spooler_queue"
lpadmin -p Other -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
lpadmin -x "$spooler_queue"
refused "No printer is chosen as the default" "with printers but no default queue"
lpadmin -x Other
refused "no printer set up" "with no queue at all"
spooler_stop
refused "printing service of this computer is not running" "with no scheduler running"

echo "print test: $failures failure(s)"
[ "$failures" -eq 0 ]
