#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer under Wine, as a shop's user meets it, in a throw-away prefix on a
# virtual X display:
#   1. an older release installed silently (/S), then this one over it, silently: one program
#      folder under Program Files, one Start-menu entry and one entry among the installed
#      programs, all of this release;
#   2. the installed program starts with nothing of the build machine within its reach (the
#      prefix's drive Z:, the way to Linux's files, is removed) and stays up;
#   3. the worked example typed by keyboard and Calculate pressed; the window is photographed;
#   4. Print with no printer: a message says so, and the window is as it was;
#   5. under display scaling of 150 % (LogPixels 144) the window opens at 922.5 x 807 pixels, and
#      under Windows 11's dark app mode it is dark with the balance figures still red: both
#      photographed;
#   6. a silent uninstall leaves no file, no Start-menu entry and no uninstall entry behind;
#   7. the older release installed again and this one run over it as a user runs it, page by
#      page (Enter on each): the same single folder, entry and listing, then uninstalled;
#   8. for the user alone (/S /CurrentUser), the older release and this one over it: one folder
#      under %LOCALAPPDATA%\Programs, one entry in the user's Start menu and one uninstall entry
#      under HKCU, all of this release, and nothing under Program Files, the common Start menu
#      or HKLM's uninstall key; the program runs from there and shows the worked example; the
#      uninstall its entry names leaves nothing of it;
#   9. the MSI packages beside the installers (Torvane-<version>-win64.msi): the older one
#      installed with msiexec /qn, then this one over it, leave one program folder, one
#      Start-menu shortcut and one entry among the installed programs, of this release, its
#      icon published; the program shows the worked example; msiexec /x leaves nothing.
#
#   installer_test.sh INSTALLER OLDER_INSTALLER [SCREENSHOT.png]
#
# SCREENSHOT.png keeps the worked example's photograph, and beside it -150.png and -dark.png.
# Needs Wine, Xvfb, xdotool and ImageMagick.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
installer=$(realpath "$1")
older=$(realpath "$2")
screenshot=${3:+$(realpath -m "$3")}

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
finish() {
    program_stop
    wine_stop
    rm -rf "$scratch"
}
trap finish EXIT
# shellcheck source=tests/checks.sh
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

version_of() {  # INSTALLER: the version its file name carries
    basename "$1" | sed -n 's/^Torvane-\(.*\)-win64\.exe$/\1/p'
}
new_version=$(version_of "$installer")
old_version=$(version_of "$older")

# The installed program's own version, as its version resource gives it: the UTF-16 string
# after the key FileVersion and its padding.
installed_version() {
    grep -aoP 'F\x00i\x00l\x00e\x00V\x00e\x00r\x00s\x00i\x00o\x00n\x00(?:\x00\x00)+\K(?:[0-9.]\x00)+' \
        "$folder/torvane.exe" | head -n 1 | tr -d '\0'
}
listed_version() {
    "$wine" reg query "$uninstall_key" /v DisplayVersion 2>/dev/null | tr -d '\r' |
        awk '$1 == "DisplayVersion" { print $3 }'
}
# One of each, of the release given: the folder, the Start-menu entry, the uninstall entry.
check_installed() {  # VERSION WHEN
    check "torvane.exe is under Program Files ($2)" [ -f "$folder/torvane.exe" ]
    check "it is version $1 ($2)" [ "$(installed_version)" = "$1" ]
    check "the program is listed as version $1 ($2)" [ "$(listed_version)" = "$1" ]
    check "one program folder ($2)" \
        [ "$(find "$drive_c/Program Files" -maxdepth 2 -iname torvane.exe | wc -l)" -eq 1 ]
    check "one Start-menu entry ($2)" \
        [ "$(find "$drive_c" -iname 'Torvane*.lnk' -path '*Start Menu*' | wc -l)" -eq 1 ]
    check "one uninstall entry ($2)" \
        [ "$("$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null |
            tr -d '\r' | grep -ci 'torvane')" -eq 1 ]
}

echo "== Silent install of $old_version, then $new_version over it"
check "the older installer is of an older release" [ "$old_version" != "$new_version" ]
program_install "$older" /S
check "version $old_version is installed" [ "$(listed_version)" = "$old_version" ]
program_install "$installer" /S
check_installed "$new_version" "silent upgrade"
check "the platform plugin is beside it" [ -f "$folder/platforms/qwindows.dll" ]
check "the style plugin is beside it" [ -f "$folder/styles/qmodernwindowsstyle.dll" ]
check "the labels' face is beside it" [ -f "$folder/fonts/LiberationSans-Bold.ttf" ]
check "the licences are beside it" [ -f "$folder/licences/README-licences.txt" ]
check "the Start menu has the program" [ -f "$menu/Torvane.lnk" ]
"$wine" reg query "$uninstall_key" 2>/dev/null | tr -d '\r' | grep -E 'DisplayName|DisplayVersion|DisplayIcon|UninstallString' | sed 's/^ */  /'

echo "== The installed program, with nothing of the build machine in reach"
wine_cut_off_host
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM QT_QPA_PLATFORM_PLUGIN_PATH
start_program() {
    program_start "$scratch/program.log"
    sleep 5
    check "the program is still up after 5 s" kill -0 "$program_pid"
}
photograph() {  # FILE
    import -window "$program_window" "$1"
    echo "The window: $1 ($(identify -format '%w x %h' "$1") px)"
}
start_program

echo "== The worked example, typed"
program_calculate_worked_example
[ -z "$screenshot" ] || photograph "$screenshot"

echo "== Print, with no printer"
# Here Print is tried where there is no printer, and must say so and change nothing.
xdotool key Tab Tab  # from Calculate past Clear to Print
sleep 1
import -window "$program_window" "$scratch/before-print.png"
xdotool key space
if spooler_wait_for 30 program_message_shown; then
    echo "ok: a message box came up"
    xdotool key Return
    spooler_wait_for 10 program_message_gone || fail "the message box did not close on Enter"
else
    fail "no message box came up"
fi
check "the program is still up after Print" kill -0 "$program_pid"
# The window photographed again until it is as before, for a while: it repaints where the
# message box was once the box is gone.
as_before_print() {
    import -window "$program_window" "$scratch/after-print.png"
    compare -metric AE "$scratch/before-print.png" "$scratch/after-print.png" null: 2>/dev/null
}
if spooler_wait_for 10 as_before_print; then
    echo "ok: the window shows what it showed before Print"
else
    fail "the window shows what it showed before Print"
    echo "  pixels changed: $(compare -metric AE "$scratch/before-print.png" \
        "$scratch/after-print.png" null: 2>&1)"
fi
program_close

# The prefix's settings as Windows' own settings pages write them; read at the next start.
setting() {  # KEY NAME VALUE
    (cd "$drive_c" && "$wine" reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null)
    "$wineserver" -w
}
# How many of a photograph's pixels are red, and its mean brightness (0 to 1).
red_pixels() {
    convert "$1" -depth 8 txt:- |
        sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
        awk '$1 > 190 && $2 < 80 && $3 < 80 { n++ } END { print n + 0 }'
}
brightness() { convert "$1" -colorspace Gray -format '%[fx:mean]' info:; }

echo "== Display scaling of 150 %"
setting 'HKCU\Control Panel\Desktop' LogPixels 144
setting 'HKCC\Software\Fonts' LogPixels 144
start_program
# 9225 x 8070 twips at 144 pixels an inch: 922.5 x 807, the half pixel rounded either way.
size=$(xdotool getwindowgeometry "$program_window" | awk '/Geometry:/ { print $2 }')
check "the window opens at 922 or 923 x 807 pixels (it is $size)" \
    [ "$size" = 922x807 -o "$size" = 923x807 ]
program_calculate_worked_example
photograph "$scratch/150.png"
check "the balance figures are red at 150 %" \
    [ "$(red_pixels "$scratch/150.png")" -gt 100 ]
[ -z "$screenshot" ] || cp "$scratch/150.png" "${screenshot%.png}-150.png"
program_close
setting 'HKCU\Control Panel\Desktop' LogPixels 96
setting 'HKCC\Software\Fonts' LogPixels 96

echo "== Windows 11's dark app mode"
# Qt takes its Windows 11 style, which follows the dark mode, on Windows 11 only.
(cd "$drive_c" && "$wine" winecfg /v win11 >/dev/null 2>&1)
setting 'HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize' AppsUseLightTheme 0
start_program
program_calculate_worked_example
photograph "$scratch/dark.png"
light=$(brightness "$scratch/dark.png")
check "the window is dark (mean brightness $light)" awk -v b="$light" 'BEGIN { exit !(b < 0.35) }'
check "the balance figures are red in the dark" \
    [ "$(red_pixels "$scratch/dark.png")" -gt 50 ]
[ -z "$screenshot" ] || cp "$scratch/dark.png" "${screenshot%.png}-dark.png"
program_close
setting 'HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize' AppsUseLightTheme 1
(cd "$drive_c" && "$wine" winecfg /v win10 >/dev/null 2>&1)

uninstall() {  # WHEN
    (cd "$drive_c" && "$wine" 'C:\Program Files\Torvane\Uninstall.exe' /S)
    timeout 120 "$wineserver" -w || fail "the uninstaller did not finish within 2 minutes ($1)"
    spooler_wait_for 30 test ! -e "$folder" || true
    check "no file is left under Program Files ($1)" [ ! -e "$folder" ]
    check "no Start-menu entry is left ($1)" [ ! -e "$menu" ]
    if registered; then fail "the uninstall entry is left ($1)"; else echo "ok: no uninstall entry is left ($1)"; fi
}
echo "== Silent uninstall"
uninstall "silent"

echo "== $new_version over $old_version, page by page"
program_install "$older" /S
check "version $old_version is installed again" [ "$(listed_version)" = "$old_version" ]
cp "$installer" "$drive_c/setup.exe"
(cd "$drive_c" && exec "$wine" 'C:\setup.exe') >"$scratch/setup.log" 2>&1 &
setup_pid=$!
# Enter takes each page's default button: OK to remove the older release, then Next, I Agree,
# Next, Next, Install, Next and Finish.
for ((i = 0; i < 40; i++)); do
    kill -0 "$setup_pid" 2>/dev/null || break
    sleep 3
    # Between two pages there may be no window at all.
    page=$(xdotool search --onlyvisible --name 'Torvane' 2>/dev/null | tail -n 1) || true
    [ -n "$page" ] || continue
    xdotool windowfocus --sync "$page" 2>/dev/null || true
    xdotool key Return 2>/dev/null || true
done
if kill -0 "$setup_pid" 2>/dev/null; then
    fail "the installer was still open after 40 pages"
    xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | sed 's/^/  window: /'
    [ -z "$screenshot" ] || import -window root "${screenshot%.png}-setup.png"
    kill "$setup_pid" 2>/dev/null
fi
wait "$setup_pid" 2>/dev/null || true
"$wineserver" -w
rm -f "$drive_c/setup.exe"
check_installed "$new_version" "upgrade page by page"
uninstall "after the upgrade page by page"

# --- For the user alone ---
# The prefix's user's own folders, as Windows names them.
windows_folder() {  # VARIABLE: the folder it names, as a path of the machine
    local path
    path=$(cd "$drive_c" && "$wine" cmd /c "echo %$1%" 2>/dev/null | tr -d '\r')
    wine_machine_path "$path"
}
user_folder="$(windows_folder LOCALAPPDATA)/Programs/Torvane"
user_menu="$(windows_folder APPDATA)/Microsoft/Windows/Start Menu/Programs/Torvane"
user_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Torvane'
user_value() {  # NAME: the value of the user's uninstall entry
    "$wine" reg query "$user_key" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v name="$1" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print }'
}
nothing_machine_wide() {  # WHEN
    check "nothing under Program Files ($1)" \
        [ -z "$(find "$drive_c"/Program\ Files* -iname '*torvane*' 2>/dev/null)" ]
    check "nothing in the common Start menu ($1)" [ ! -e "$menu" ]
    if registered; then fail "an uninstall entry under HKLM ($1)"; else echo "ok: no uninstall entry under HKLM ($1)"; fi
}

echo "== For me only: $old_version, then $new_version over it (/S /CurrentUser)"
program_install "$older" /S /CurrentUser
check "version $old_version is installed for the user" [ "$(user_value DisplayVersion)" = "$old_version" ]
program_install "$installer" /S /CurrentUser
check "torvane.exe is under %LOCALAPPDATA%\\Programs\\Torvane" [ -f "$user_folder/torvane.exe" ]
check "the user's program is listed as version $new_version" \
    [ "$(user_value DisplayVersion)" = "$new_version" ]
check "one program folder for the user" \
    [ "$(find "$drive_c/users" -iname torvane.exe | wc -l)" -eq 1 ]
check "one entry in the user's Start menu" \
    [ "$(find "$drive_c" -iname 'Torvane*.lnk' -path '*Start Menu*' | wc -l)" -eq 1 ]
check "the entry is in the user's Start menu" [ -f "$user_menu/Torvane.lnk" ]
nothing_machine_wide "installed for the user"
"$wine" reg query "$user_key" 2>/dev/null | tr -d '\r' | grep -E 'DisplayVersion|UninstallString' | sed 's/^ */  /'

echo "== The user's program, with the worked example"
everyones_exe=$program_exe
program_exe="$(user_value InstallLocation)\\torvane.exe"
start_program
program_calculate_worked_example
photograph "$scratch/user.png"
check "the balance figures show, red" [ "$(red_pixels "$scratch/user.png")" -gt 100 ]
program_close

echo "== The user's uninstall, as its entry names it"
quiet=$(user_value QuietUninstallString)
uninstaller=$(sed -n 's/^"\([^"]*\)".*/\1/p' <<<"$quiet")
read -ra switches <<<"${quiet:${#uninstaller}+2}"
check "the entry names the uninstaller and the user's scope ($quiet)" \
    [ "${switches[*]}" = "/S /CurrentUser" ]
(cd "$drive_c" && "$wine" "$uninstaller" "${switches[@]}")
timeout 120 "$wineserver" -w || fail "the user's uninstaller did not finish within 2 minutes"
spooler_wait_for 30 test ! -e "$user_folder" || true
check "no file is left in the user's folder" [ ! -e "$user_folder" ]
check "no entry is left in the user's Start menu" [ ! -e "$user_menu" ]
if "$wine" reg query "$user_key" >/dev/null 2>&1; then fail "the user's uninstall entry is left"; else echo "ok: no uninstall entry is left under HKCU"; fi
if "$wine" reg query 'HKCU\Software\The Torvane developers' >/dev/null 2>&1; then
    fail "the user's registry key is left"
else
    echo "ok: no registry key is left under HKCU"
fi
nothing_machine_wide "uninstalled for the user"
program_exe=$everyones_exe

# --- The MSI ---
msi=${installer%.exe}.msi
older_msi=${older%.exe}.msi
msiexec() {  # /i|/x PACKAGE: silently, with the package copied into the prefix
    cp "$2" "$drive_c/setup.msi"
    (cd "$drive_c" && "$wine" msiexec "$1" 'C:\setup.msi' /qn)
    timeout 300 "$wineserver" -w || fail "msiexec $1 did not finish within 5 minutes"
    rm -f "$drive_c/setup.msi"
}
# The entries among the installed programs named Torvane: KEY VERSION, one a line.
msi_entries() {
    "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
        tr -d '\r' | awk '
            /^HKEY_/ { if (name == "Torvane") print key, version; key = $0; name = version = "" }
            $1 == "DisplayName" { name = $3 }
            $1 == "DisplayVersion" { version = $3 }
            END { if (name == "Torvane") print key, version }'
}
# The icon Windows Installer published for the product, which the list of installed programs
# shows (its ProductIcon, a copy under C:\Windows\Installer), as a path of the machine.
msi_icon() {
    local icon
    icon=$("$wine" reg query 'HKLM\Software\Classes\Installer\Products' /s 2>/dev/null |
        tr -d '\r' | awk '
            /^HKEY_/ { if (name == "Torvane") print icon; name = icon = "" }
            $1 == "ProductName" { name = $3 }
            $1 == "ProductIcon" { sub(/^ *ProductIcon +REG_SZ +/, ""); icon = $0 }
            END { if (name == "Torvane") print icon }')
    [ -z "$icon" ] || wine_machine_path "$icon"
}

echo "== The MSI: $old_version, then $new_version over it (msiexec /i /qn)"
msiexec /i "$older_msi"
check "version $old_version is listed" [ "$(msi_entries | awk '{ print $2 }')" = "$old_version" ]
msiexec /i "$msi"
msi_entries | sed 's/^/  entry: /'
check "one entry, of version $new_version" [ "$(msi_entries | awk '{ print $2 }')" = "$new_version" ]
icon=$(msi_icon)
check "the entry's icon is published (${icon#"$drive_c"})" test -s "$icon"
check "torvane.exe is under Program Files, version $new_version" \
    [ "$(installed_version)" = "$new_version" ]
check "one program folder" \
    [ "$(find "$drive_c" -iname torvane.exe | wc -l)" -eq 1 ]
check "the labels' face is beside it" [ -f "$folder/fonts/LiberationSans-Bold.ttf" ]
check "one Start-menu shortcut" \
    [ "$(find "$drive_c" -iname 'Torvane*.lnk' -path '*Start Menu*' | wc -l)" -eq 1 ]

echo "== The MSI's program, with the worked example"
start_program
program_calculate_worked_example
photograph "$scratch/msi.png"
check "the balance figures show, red" [ "$(red_pixels "$scratch/msi.png")" -gt 100 ]
program_close

echo "== The MSI removed (msiexec /x /qn)"
msiexec /x "$msi"
check "no file is left under Program Files" [ ! -e "$folder" ]
check "no Start-menu shortcut is left" \
    [ -z "$(find "$drive_c" -iname 'Torvane*.lnk' -path '*Start Menu*')" ]
check "no entry is left among the installed programs" [ -z "$(msi_entries)" ]
check "no product is left published" [ -z "$(msi_icon)" ]

echo "installer test: $failures failure(s)"
[ "$failures" -eq 0 ]
