# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# The window's printed page as the print tests read it, the same for every build: what must
# be on it (every caption, input and result of the worked example, tests/worked-example.tsv,
# and the rows the results stand in) and how big it prints. Sourced after tests/checks.sh,
# whose check and fail it uses; needs poppler-utils and python3.
#
#   page_count PDF              how many pages the PDF has
#   page_missing [DECIMAL]      reads a page's text (pdftotext -layout) on its standard
#                               input and prints, one a line, each text of page_texts that is
#                               not in it, and each row of page_rows that is not, as /ROW/;
#                               figures with DECIMAL (default '.') as their decimal separator
#   page_measure PDF PREFIX     renders the first page at page_dpi into PREFIX.ppm and sets
#                               page_width and page_height (inches) of what is drawn on it,
#                               page_left and page_top (inches from the paper's top left
#                               corner to it) and page_red (its pure red pixels)
#   page_read PDF PREFIX        reads every text and row off the page, as text or, where it
#                               is not text, off the page drawn (Ghostscript, 600 dpi): a
#                               caption or input by OCR off the drawing without its text
#                               (PREFIX-drawn.png), a row cell by cell, each result cell cut
#                               from the whole page (PREFIX-cells.png) where the window's
#                               layout puts it, and read by itself; sets page_as_text (how
#                               many texts and rows are text), page_drawn (those that are
#                               not), page_absent (captions and inputs on neither) and
#                               page_unread (each result cell that does not read as its
#                               figure, as NAME: READ (WANTED)); needs Ghostscript,
#                               ImageMagick and Tesseract
#   page_check_text WHAT PDF [DECIMAL]
#                               checks, as WHAT, that every text and row is text in the PDF,
#                               and names those that are not
#   page_check_window PDF PREFIX [INCHES]
#                               checks that the PDF has one page with the window on it at its
#                               true size, give or take INCHES (default 0.05), and the balance
#                               figures red; leaves the measures set
#   page_check_file PDF PREFIX  checks the page of the window printed straight into a PDF
#                               file, with no print service between: every text, the window
#                               at its true size to 2 pixels at 100 dpi, at the paper's top left

page_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
page_example=$page_here/../worked-example.tsv
page_dpi=100
if [ ! -r "$page_example" ]; then  # without it the page would be judged by its captions alone
    echo "FAIL: the worked example is not at $page_example" >&2
    exit 1
fi

# The window's size in inches: 615 x 538 pixels of 1/96 inch.
page_window_width=6.406
page_window_height=5.604

# The captions, then the worked example's weights and its bob-weights with a fraction: a
# single figure, or a whole bob-weight that begins another's text, would be found whatever
# the page showed.
page_texts=("CON-RODS" "PISTONS" "Big End" "Little End" "Rings" "Locks" "Shells" "Oil"
    "Recip. %" "Calculate" "Clear" "Print" "ROD-PISTON ASSEMBLIES" "Rod No." "Piston"
    "BOB-WEIGHT CALCULATIONS" "Optimal (may require" "Retaining Rod/Cyl" "Bob-Weight"
    "Balance Using")
mapfile -t -O ${#page_texts[@]} page_texts < <(awk -F '\t' '
    ($1 == "field" && length($3) > 1 || $1 == "cell" && index($3, ".")) && !seen[$3]++ {
        print $3 }' "$page_example")

# Every result cell, in reading order of the rows: rods with pistons, then the pins; each
# cell's name then replaced by its text as a regular expression ("8  7" as "8 +7").
page_rows=('Label29 +Label28 +Label39 +Label38' 'Label30 +Label33 +Label40 +Label43'
    'Label31 +Label34 +Label41 +Label44' 'Label32 +Label35 +Label42 +Label45'
    'Label52 +Label62 +1 +2 +Label66' 'Label55 +Label63 +3 +4 +Label67'
    'Label56 +Label64 +5 +6 +Label68' 'Label57 +Label65 +7 +8 +Label69'
    'Balance Using +Label71 +Balance Using +Label73')
while IFS=$'\t' read -r page_kind page_name page_text _; do
    [ "$page_kind" = cell ] || continue
    page_text=${page_text//./\\.}
    page_rows=("${page_rows[@]//"$page_name"/"${page_text//  / +}"}")
done <"$page_example"

page_count() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ {print $2}'; }

page_missing() {  # [DECIMAL]
    local decimal=${1:-.} printed text row
    printed=$(cat)
    for text in "${page_texts[@]}"; do
        [[ ! $text =~ ^[0-9.]+$ ]] || text=${text//./$decimal}
        grep -qF -- "$text" <<<"$printed" || echo "$text"
    done
    for row in "${page_rows[@]}"; do
        [ "$decimal" = . ] || row=${row//\\./$decimal}
        grep -qE -- "$row" <<<"$printed" || echo "/$row/"
    done
}

# Each result cell of the worked example: NAME WIDTHxHEIGHT+X+Y TEXT, its box on a page drawn
# at DPI in pixels, as ImageMagick's geometry, from its box in the window's layout (twips, 1440
# an inch) and the window's top left corner on the page (inches), then the text it shows.
page_cells() {  # DPI LEFT TOP
    awk -v dpi="$1" -v left="$2" -v top="$3" '
        FNR == NR { if ($1 == "cell") text[$2] = $3; next }
        { name = $1; gsub(/^\{"|",$/, "", name) }
        (name in text) && match($0, /\{ *[0-9]+, *[0-9]+, *[0-9]+, *[0-9]+\}/) {
            split(substr($0, RSTART + 1, RLENGTH - 2), b, / *, */)
            s = dpi / 1440
            printf "%s %dx%d+%d+%d %s\n", name, b[3] * s, b[4] * s, left * dpi + b[1] * s,
                top * dpi + b[2] * s, text[name] }' \
        FS='\t' "$page_example" FS=' ' "$page_here/../../ui/layout.h"
}

page_read() {  # PDF PREFIX
    local name box want read
    pdftotext -layout "$1" - 2>/dev/null | page_missing | sort >"$2.not-text"
    # Captions and inputs, sparse text wherever it lies, off the drawing without the text.
    gs -q -dSAFER -dBATCH -dNOPAUSE -dFILTERTEXT -sDEVICE=pnggray -r600 -o "$2-drawn.png" "$1"
    tesseract "$2-drawn.png" - --psm 11 2>/dev/null | page_missing | sed '/^\//d' |
        sort >"$2.not-read"
    # shellcheck disable=SC2034  # for the caller
    mapfile -t page_absent < <(sed '/^\//d' "$2.not-text" | comm -12 - "$2.not-read")
    # shellcheck disable=SC2034  # for the caller
    mapfile -t page_drawn <"$2.not-text"
    # shellcheck disable=SC2034  # for the caller
    page_as_text=$((${#page_texts[@]} + ${#page_rows[@]} - $(wc -l <"$2.not-text")))
    # Every result cell by itself, text or drawn, off the whole page: cut inside its frame,
    # given a white margin and read by Tesseract as a block of the figures and letters a cell
    # can hold, its spaces left out ("8  7" reads as 87).
    page_unread=()
    page_measure "$1" "$2-measure" || { page_unread=("the window is not on the page"); return; }
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pnggray -r600 -o "$2-cells.png" "$1"
    while read -r name box want; do
        read=$(convert "$2-cells.png" -crop "$box" +repage -shave 16x16 -bordercolor white \
            -border 60 png:- |
            tesseract stdin - --psm 6 -c tessedit_char_whitelist='0123456789.ABCDEFGH ' \
                2>/dev/null | tr -d ' \n') || read=''
        [ "$read" = "${want// /}" ] || page_unread+=("$name: ${read:-nothing} ($want)")
    done < <(page_cells 600 "$page_left" "$page_top")
}

page_check_text() {  # WHAT PDF [DECIMAL]
    local missing
    mapfile -t missing < <(pdftotext -layout "$2" - 2>/dev/null | page_missing "${3:-.}")
    check "$1" [ ${#missing[@]} -eq 0 ]
    [ ${#missing[@]} -eq 0 ] || printf '  missing: %s\n' "${missing[@]}"
}

page_measure() {  # PDF PREFIX
    page_width='' page_height='' page_left='' page_top='' page_red=''
    pdftoppm -r "$page_dpi" -singlefile "$1" "$2" || return 1
    read -r page_width page_height page_red page_left page_top < <(
        python3 "$page_here/measure_page.py" "$2.ppm" "$page_dpi")
    [ -n "$page_top" ]
}

page_check_window() {  # PDF PREFIX [INCHES]
    local within=${3:-0.05}
    check "one page printed" [ "$(page_count "$1")" = 1 ]
    page_measure "$1" "$2" || { fail "render the page"; return; }
    echo "  printed window: $page_width x $page_height inches, $page_red red pixels," \
        "$page_left in from the left and $page_top in from the top"
    check "the window prints 6.4 inches wide" \
        python3 -c "exit(abs($page_width - $page_window_width) > $within)"
    check "the window prints 5.6 inches high" \
        python3 -c "exit(abs($page_height - $page_window_height) > $within)"
    check "the balance figures print red" [ "$page_red" -gt 50 ]
}

page_check_file() {  # PDF PREFIX
    page_check_text "every caption, input and result is text" "$1"
    page_check_window "$1" "$2" 0.02
    check "the window prints at the paper's top left" \
        python3 -c "exit($page_left >= 0.5 or $page_top >= 0.5)"
}
