# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A throw-away 64-bit Wine prefix for the Windows tests: made with wine_start, ended and
# removed with wine_stop (also when the test is ended). Sourced by the tests under Wine;
# they run on an X display (xvfb-run) of their own.

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
wine_path() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }
