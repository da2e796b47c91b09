# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# A throw-away 64-bit Wine prefix for the Windows tests: made with wine_start, ended and
# removed with wine_stop (also when the test is ended). Sourced by the tests under Wine;
# they run on an X display (xvfb-run) of their own.
#
# The prefix's Windows has the faces a Windows PC has: Wine's own (its data folder's fonts,
# /usr/share/wine/fonts, which Wine reads itself) and what the program installs, none of
# the machine's. Wine takes every face fontconfig knows of as one of the system's, from the
# folders its configuration names (Liberation and the URW faces in the build root): its
# fontconfig is given a configuration of the prefix's own that names no folder.

# Debian 13's Wine 10: the 64-bit loader of wine64, and libwine's wineserver, which starts
# wine64's wineserver64.
wine=${WINE64:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
wine_dir=

# Makes the prefix, without the Mono and Gecko installers a first start would ask for.
wine_start() {
    wine_dir=$(mktemp -d /tmp/torvane-wine.XXXXXX)
    export WINEPREFIX=$wine_dir/prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml=" HOME=$wine_dir/home
    export FONTCONFIG_FILE=$wine_dir/fonts.conf
    mkdir -p "$HOME"
    cat >"$FONTCONFIG_FILE" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <cachedir>$wine_dir/fontconfig</cachedir>
</fontconfig>
EOF
    "$wine" wineboot --init >"$wine_dir/wineboot.log" 2>&1 || {
        tail -n 20 "$wine_dir/wineboot.log"
        return 1
    }
    "$wineserver" -w
}

# The faces the prefix's Windows lists from the machine's folders (through drive Z:) other
# than Wine's own, one a line: none. Wine lists them once a program has asked for faces.
# shellcheck disable=SC1003  # backslashes, not an escaped quote
wine_machine_faces() {
    "$wine" reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' 2>/dev/null |
        tr -d '\r' | sed -n 's/^.*    REG_SZ    //p' | grep -i '^Z:' |
        grep -iv '^Z:\\usr\\share\\wine\\fonts\\' || true
}

wine_stop() {
    [ -n "$wine_dir" ] || return 0
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    rm -rf "$wine_dir"
    wine_dir=
}

# A Linux path as the Windows programs in the prefix see it (through drive Z:).
# shellcheck disable=SC1003  # a backslash, not an escaped quote
wine_path() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }

# A path on the prefix's drive C: (C:\users\...) as the machine sees it.
wine_machine_path() {
    local path=${1#[Cc]:}
    printf '%s' "$WINEPREFIX/drive_c${path//\\//}"
}

# Takes away the prefix's way to the machine's files (its drive Z:, the machine's /), as a
# Windows PC has none. Wine lists the faces it found (its own, Tahoma, the desktop's, among
# them) for DirectWrite by their paths under Z:, and lists them so again at every start:
# Z: is left holding those files alone, at the same paths, or the program would find none of
# them and its fields and buttons would fall back to a monospace face.
wine_cut_off_host() {
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' line path
    local faces=$wine_dir/faces
    mkdir -p "$faces"
    while IFS= read -r line; do
        path=${line##*    REG_SZ    }
        [[ $path == [Zz]:\\* ]] || continue
        path=${path:2}
        path=${path//\\//}
        mkdir -p "$faces${path%/*}"
        cp "$path" "$faces$path" || return 1
    done < <("$wine" reg query "$key" 2>/dev/null | tr -d '\r' | grep '    REG_SZ    ')
    "$wineserver" -w
    ln -sfn "$faces" "$WINEPREFIX/dosdevices/z:"
}
