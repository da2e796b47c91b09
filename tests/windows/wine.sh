# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# A throw-away 64-bit Wine prefix for the Windows tests: made with wine_start, ended and
# removed with wine_stop (also when the test is ended). Sourced by the tests under Wine;
# they run on an X display (xvfb-run) of their own.

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
    mkdir -p "$HOME"
    "$wine" wineboot --init >"$wine_dir/wineboot.log" 2>&1 || {
        tail -n 20 "$wine_dir/wineboot.log"
        return 1
    }
    "$wineserver" -w
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

# Takes away the prefix's way to the machine's files (its drive Z:, the machine's /), as a
# Windows PC has none. Wine lists the faces it found (its own Tahoma, the desktop's, and the
# machine's) for DirectWrite by their paths under Z:, and lists them so again at every start:
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
