#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed Windows program prints under Wine, on a virtual X display, through a CUPS
# scheduler of the test's own (tests/print/spooler.sh) whose default printer is a cups-pdf
# queue: Wine's spooler takes CUPS's printers and its default as Windows' own, and the page
# goes through Qt's Windows print engine and Wine's PostScript driver to cups-pdf.
#   1. a silent install (/S) into a fresh prefix, whose default printer is the test's queue;
#   2. the worked example typed by keyboard and calculated, then Print: one PostScript job
#      from Wine's driver, and no message;
#   3. the page cups-pdf writes: one page, the window at its true size with its top left at
#      the printable area's corner (the imageable area of the queue's PPD), the balance
#      figures red;
#   4. every caption and input of the window on it, as text, or read by OCR off the page
#      drawn without its text, and every result cell read by itself off the page drawn
#      whole, where the window's layout puts it; said which texts are text, which are
#      drawn, and in which faces the text is. Qt's print engine draws as a picture every
#      part of the window drawn with transparency over something else (more than ten such
#      parts: the rectangle around them all), and under Wine's theme the style draws the
#      fields' and buttons' frames as images with transparency, so the rectangle from the
#      first button to the last field, with every caption in it, prints as a picture; and a
#      text whose face the printer's driver cannot take (the labels' face, which the program
#      loads for itself alone, as the prefix's Windows has no such face) is drawn as
#      outlines;
#   5. the refusals as far as Wine reports them: on a stopped queue the job waits and is
#      printed once the queue is started again (or the program says the printer is
#      stopped, and no job is left); on a queue that rejects jobs, with the printer's port
#      through lp, the program says the printer did not take the job (the message read by
#      OCR), the window stays as it was, and there is no job and no page; once the queue
#      takes jobs again, the same road prints;
#   6. in Wine's classic look (its theme off), where nothing is drawn with transparency,
#      every caption, input and result once more.
# The prefix keeps its drive Z:: Wine lists its own faces (Tahoma, the desktop's) for
# DirectWrite by their paths under Z:, and without it DirectWrite opens none of them and the
# fields and buttons take a monospace stand-in.
#
#   print_test.sh INSTALLER
#
# TORVANE_PRINT_KEEP=DIR keeps the job as spooled, the page cups-pdf wrote, the page drawn
# without its text (read-drawn.png) and the window's photograph there, and the page in the
# classic look (classic.pdf). Needs root (the scheduler runs in a mount namespace of its
# own), Wine, Xvfb, xdotool, ImageMagick, CUPS with cups-pdf, poppler-utils, Ghostscript,
# tesseract-ocr and python3.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
installer=$(realpath "$1")
keep=${TORVANE_PRINT_KEEP:+$(realpath -m "$TORVANE_PRINT_KEEP")}

if [ "${TORVANE_ON_DISPLAY:-}" != 1 ]; then
    TORVANE_ON_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
# shellcheck source=tests/windows/wine.sh
source "$here/wine.sh"
# shellcheck source=tests/print/spooler.sh
source "$here/../print/spooler.sh"
scratch=$(mktemp -d)
finish() {
    program_stop
    wine_stop
    spooler_stop
    rm -rf "$scratch"
}
trap finish EXIT
# shellcheck source=tests/checks.sh
source "$here/../checks.sh"
# shellcheck source=tests/print/page.sh
source "$here/../print/page.sh"
# shellcheck source=tests/windows/program.sh
source "$here/program.sh"

# The scheduler first: the prefix's printers are CUPS's as Wine finds them when it starts.
spooler_setup "$scratch" || { echo "FAIL: no print spooler"; exit 1; }
wine_start

echo "== Silent install, with the test's queue as the default printer"
program_install "$installer" /S
check "torvane.exe is under Program Files" [ -f "$WINEPREFIX/drive_c/Program Files/Torvane/torvane.exe" ]
# What GetDefaultPrinterW answers: the printer named in the user's Device setting.
device=$("$wine" reg query 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows' /v Device \
    2>/dev/null | tr -d '\r' | awk '$1 == "Device" {print $3}')
echo "  Windows' default printer: $device"
check "Windows' default printer is the test's cups-pdf queue" \
    [ "${device%%,*}" = "$spooler_queue" ]

# The installed program started, the worked example typed and calculated, the window
# photographed into $1, and the focus taken on to Print.
start_and_calculate() {
    program_start "$scratch/program.log" QT_FORCE_STDERR_LOGGING=1
    sleep 3
    program_calculate_worked_example
    import -window "$program_window" "$1"
    xdotool key Tab Tab  # past Clear to Print
    sleep 1
}

job_count() { lpstat -o "$spooler_queue" 2>/dev/null | wc -l; }
has_jobs() { [ "$(job_count)" -ge "$1" ]; }
pdf_count() { find "$scratch/out" -name '*.pdf' | wc -l; }
has_pdfs() { [ "$(pdf_count)" -ge "$1" ]; }
# Print pressed (the focus stays on it), and a moment for the program to answer.
press_print() {
    xdotool windowactivate --sync "$program_window" 2>/dev/null || true
    xdotool key space
    sleep 5
}
# The text of the message box over the window, on one line, read by OCR off its photograph
# enlarged: Qt draws it, and no window text of Wine's holds it.
message_text() {
    local box
    box=$(xdotool search --onlyvisible --name "^$program_title\$" 2>/dev/null |
        grep -vx "$program_window" | head -n 1)
    [ -n "$box" ] || return 0
    import -window "$box" "$scratch/message.png"
    convert "$scratch/message.png" -resize 300% -colorspace Gray "$scratch/message-big.png"
    tesseract "$scratch/message-big.png" - 2>/dev/null | tr -s '\n ' ' '
}
# Which texts of a printed page are text and which are drawn, and the faces of its text;
# every caption, input and result must be on it, one way or the other (tests/print/page.sh).
read_page() {  # PDF
    local faces drawn rows
    page_read "$1" "$scratch/read"
    drawn=$(printf '%s\n' "${page_drawn[@]}" | sed '/^\//d' | paste -sd ' ')
    rows=$(printf '%s\n' "${page_drawn[@]}" | grep -c '^/' || true)
    echo "  $page_as_text of $((${#page_texts[@]} + ${#page_rows[@]})) texts and rows are" \
        "text; drawn: $rows of ${#page_rows[@]} result rows, and ${drawn:-no other text}"
    faces=$(pdffonts "$1" | awk 'NR > 2 {sub(/^[A-Z]+\+/, "", $1); print $1}' | sort -u |
        tr '\n' ' ')
    echo "  faces of the text: ${faces:-none}"
    check "every caption and input is on the page, as text or drawn" \
        [ ${#page_absent[@]} -eq 0 ]
    [ ${#page_absent[@]} -eq 0 ] || printf '  missing: %s\n' "${page_absent[@]}"
    check "every result cell reads as its figure, cell by cell" [ ${#page_unread[@]} -eq 0 ]
    [ ${#page_unread[@]} -eq 0 ] || printf '  read: %s\n' "${page_unread[@]}"
}
# A message box, closed by Enter; says whether one came up.
close_message() {
    program_message_shown || return 1
    xdotool key Return
    spooler_wait_for 10 program_message_gone || fail "the message box did not close on Enter"
    return 0
}

echo "== The worked example, typed, and Print"
start_and_calculate "$scratch/window.png"
foreign=$(wine_machine_faces)
check "the prefix's Windows has no face of the machine's" [ -z "$foreign" ]
[ -z "$foreign" ] || printf '  %s\n' "$foreign"
press_print
if spooler_wait_for 60 has_jobs 1; then
    check "one job in the queue" [ "$(job_count)" -eq 1 ]
    spooler_take_job "$(spooler_held_jobs | head -n 1)" "$scratch/job.ps" || fail "copy the job from the spool"
    check "the job is PostScript from Wine's driver" \
        grep -aq -m 1 '^%%Creator: Wine PostScript Driver' "$scratch/job.ps"
    spooler_wait_for 60 has_pdfs 1 || fail "cups-pdf wrote the page"
    spooler_wait_for 30 spooler_queue_empty || fail "the queue emptied"
else
    fail "Print sent a job"
fi
if close_message; then fail "Print brought up a message"; else echo "ok: Print brought up no message"; fi

printed=$(find "$scratch/out" -name '*.pdf' | head -n 1)
if [ -n "$printed" ]; then
    echo "== The page cups-pdf wrote"
    pdfinfo "$printed" | awk '/^Page size:/ {sub(/^Page size: */, "  paper: "); print}'
    page_check_window "$printed" "$scratch/page"
    # The printable area's top left corner, in inches from the paper's: the imageable area of
    # the queue's default paper in its PPD, which Wine's driver reports as the page's offset.
    read -r corner_left corner_top < <(awk '
        /^\*DefaultPageSize:/ { paper = $2 }
        /^\*PaperDimension / { split($2, n, /[\/:]/); height[n[1]] = $NF }
        /^\*ImageableArea / { split($2, n, /[\/:]/); gsub(/"/, ""); area[n[1]] = $(NF - 3) " " $NF }
        END { split(area[paper], a, " "); gsub(/"/, "", height[paper])
              printf "%.3f %.3f\n", a[1] / 72, (height[paper] - a[2]) / 72 }' \
        "$spooler_dir/etc/ppd/$spooler_queue.ppd")
    echo "  printable area's corner: $corner_left in from the left, $corner_top in from the top"
    check "the window prints at the printable area's top left corner" python3 -c \
        "exit(abs($page_left - $corner_left) > 0.02 or abs($page_top - $corner_top) > 0.02)"

    read_page "$printed"
    if [ -n "$keep" ]; then
        mkdir -p "$keep"
        cp "$scratch/job.ps" "$printed" "$scratch/read-drawn.png" "$scratch/window.png" "$keep/"
    fi
fi

echo "== Print on a stopped queue"
# Jobs no longer held: one that is not printed waits for the queue, not for the test.
lpadmin -p "$spooler_queue" -o job-hold-until-default=no-hold
cupsdisable "$spooler_queue"
rm -f "$scratch"/out/*.pdf
press_print
if close_message; then
    echo "  the program says so: a message box"
    check "no job was left in the queue" [ "$(job_count)" -eq 0 ]
else
    # Wine's spooler does not take CUPS's printer state: the printer is not paused for
    # Windows, so the program prints, and CUPS keeps the job until the queue runs again.
    echo "  no message: Wine reports no state of the printer, and the job goes to CUPS"
    check "the job waits in the stopped queue" spooler_wait_for 30 has_jobs 1
    sleep 3
    check "nothing is printed while the queue is stopped" [ "$(pdf_count)" -eq 0 ]
    cupsenable "$spooler_queue"
    check "the job is printed once the queue is started again" spooler_wait_for 60 has_pdfs 1
    spooler_wait_for 30 spooler_queue_empty || fail "the queue emptied"
fi
cupsenable "$spooler_queue"

echo "== Print on a queue that rejects jobs"
# Wine's spooler hands a job on to the printer's port within EndDoc, and a port that fails
# there fails EndDoc: the one refusal Wine passes on to a program. Its own CUPS port loses
# CUPS's refusal on the way (Wine 10's PostScript print processor does not check its writes
# to the port), so here the printer's port goes through lp instead, Wine's setting for a port
# to be a pipe to a command, and lp exits with an error on a queue that rejects jobs. The
# print engine (the project's patch to Qt) passes the failed EndDoc on, and the program says
# so as it does on Linux.
printer_key="HKLM\\System\\CurrentControlSet\\Control\\Print\\Printers\\$spooler_queue"
port=$("$wine" reg query "$printer_key" /v Port 2>/dev/null | tr -d '\r' |
    awk '$1 == "Port" {print $3}')
echo "  the printer's port: ${port:-none}, sent through lp -d $spooler_queue"
"$wine" reg add 'HKCU\Software\Wine\Printing\Spooler' /v "$port" /t REG_SZ \
    /d "|lp -d $spooler_queue" /f >/dev/null
cupsreject "$spooler_queue"
rm -f "$scratch"/out/*.pdf
xdotool windowactivate --sync "$program_window" 2>/dev/null || true
import -window "$program_window" "$scratch/before-refusal.png"
press_print
spooler_wait_for 30 program_message_shown || true
said=$(message_text)
echo "  the program says: ${said:-nothing}"
tr -d '\r' <"$scratch/program.log" | grep -a 'QWin32PrintEngine' | sed 's/^/  Qt: /' || true
check "the message says the printer did not take the job" grep -q "did not take the job" <<<"$said"
check "the message says the window was not printed" grep -q "was not printed" <<<"$said"
close_message || fail "the message box came up"
import -window "$program_window" "$scratch/after-refusal.png"
changed=$(compare -metric AE "$scratch/before-refusal.png" "$scratch/after-refusal.png" \
    null: 2>&1 || true)
changed=${changed%% *}
echo "  pixels of the window changed by the refusal: $changed"
check "the window stays as it was" [ "$changed" = 0 ]
check "no job is in the queue" [ "$(job_count)" -eq 0 ]
check "nothing is printed" [ "$(pdf_count)" -eq 0 ]
check "the program is still up" kill -0 "$program_pid"
# The same road once the queue takes jobs again: the page is printed and nothing is said, so
# the refusal above was the queue's, not the road's.
cupsaccept "$spooler_queue"
press_print
check "through lp, a queue that takes jobs prints the page" spooler_wait_for 60 has_pdfs 1
if close_message; then fail "Print through lp brought up a message"; fi
"$wine" reg delete 'HKCU\Software\Wine\Printing\Spooler' /v "$port" /f >/dev/null

echo "== Print in Wine's classic look"
# Without Wine's theme the style draws the fields and buttons itself, with nothing
# transparent, and Qt's print engine hands over no picture of them: every text is text.
program_close
"$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
    /v ThemeActive /t REG_SZ /d 0 /f >/dev/null
start_and_calculate "$scratch/window-classic.png"
rm -f "$scratch"/out/*.pdf
press_print
if spooler_wait_for 60 has_pdfs 1; then
    printed=$(find "$scratch/out" -name '*.pdf' | head -n 1)
    read_page "$printed"
    [ -z "$keep" ] || { cp "$printed" "$keep/classic.pdf"; cp "$scratch/window-classic.png" "$keep/"; }
else
    fail "cups-pdf wrote the page"
fi

echo "print test under Wine: $failures failure(s)"
[ "$failures" -eq 0 ]
