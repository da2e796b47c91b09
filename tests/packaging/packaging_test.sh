#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks what the build installs and what its Debian package holds.
#
#   packaging_test.sh install|validate|deb|licence BUILD_DIR APP_ID VERSION ICON_SIZES [XCB_PLUGIN]
#
#   install   `cmake --install` into a scratch prefix: exactly the expected files, the program
#             executable, each bitmap icon at its pixel size, the desktop entry's Exec= and
#             Icon= naming what was installed, the metadata's id, launchable, binary and release
#             agreeing with them;
#   validate  the installed desktop entry through desktop-file-validate (not a word out of it)
#             and the metadata through appstreamcli (no error, and no warning but the one for
#             the homepage the project does not have yet);
#   deb       the package built by cpack into a scratch directory: its file name, the files it
#             holds under /usr with their modes, its control fields (Depends naming Qt's
#             libraries and the package of the xcb platform plugin, Recommends naming the
#             Wayland plugin and the labels' face), lintian --pedantic with no error and no
#             warning, a machine-readable copyright file, a manual page man reads without a
#             warning, the program hardened (BIND_NOW, stack protector) where HARDENED=1
#             says the build is a hardened release build, and the program extracted from the
#             package starting and staying up;
#   licence   `reuse lint` over the source tree (SOURCE_DIR), build folders left out: every file
#             says who holds its copyright and under which licence, and each licence named has
#             its text in LICENSES/.
#
# ICON_SIZES is a comma-separated list of the sizes the build draws; XCB_PLUGIN the path of Qt's
# xcb platform plugin, when known. Scratch files live under /tmp and go at exit. Exits 77 when
# a tool the check needs is missing.
set -euo pipefail

mode=$1
build=$2
app_id=$3
version=$4
IFS=, read -r -a sizes <<<"$5"
xcb_plugin=${6:-}
cmake=${CMAKE:-cmake}
cpack=${CPACK:-cpack}

scratch=$(mktemp -d /tmp/torvane-packaging.XXXXXX)
program_pid=
cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill -KILL "$program_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
skip() {
    echo "SKIP: $*"
    exit 77
}
need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || skip "$tool is not installed"
    done
}
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "PASS: $mode"
}

# The files an install holds, relative to its prefix, one a line, sorted.
expected_files() {
    local size
    {
        echo bin/torvane
        echo share/doc/torvane/changelog.gz
        echo share/doc/torvane/copyright
        [ "${LINTIAN_OVERRIDES:-0}" != 1 ] || echo share/lintian/overrides/torvane
        echo share/man/man1/torvane.1.gz
        echo "share/applications/$app_id.desktop"
        echo "share/metainfo/$app_id.metainfo.xml"
        echo "share/icons/hicolor/scalable/apps/$app_id.svg"
        for size in "${sizes[@]}"; do
            echo "share/icons/hicolor/${size}x${size}/apps/$app_id.png"
        done
    } | LC_ALL=C sort
}

install_into() {
    "$cmake" --install "$build" --prefix "$1" >"$scratch/install.log" 2>&1 || {
        cat "$scratch/install.log" >&2
        echo "FAIL: cmake --install $build failed" >&2
        exit 1
    }
}

# The value of KEY in the [Desktop Entry] group of a desktop file.
desktop_value() {
    awk -F= -v key="$2" '
        /^\[/ { group = $0; next }
        group == "[Desktop Entry]" && $1 == key { sub(/^[^=]*=/, ""); print; exit }
    ' "$1"
}

check_install() {
    need python3
    local prefix=$scratch/prefix
    install_into "$prefix"

    local actual
    actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
    if [ "$actual" != "$(expected_files)" ]; then
        fail "the install does not hold exactly the expected files"
        diff <(expected_files) <(echo "$actual") | sed 's/^/    /' >&2 || true
    fi

    [ -x "$prefix/bin/torvane" ] || fail "bin/torvane is not an executable file"

    local desktop=$prefix/share/applications/$app_id.desktop
    local metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
    if [ -f "$desktop" ]; then
        local exec icon
        exec=$(desktop_value "$desktop" Exec)
        icon=$(desktop_value "$desktop" Icon)
        [ "${exec%% *}" = torvane ] || fail "Exec= runs '${exec%% *}', not torvane"
        [ -x "$prefix/bin/${exec%% *}" ] || fail "Exec= names '${exec%% *}', not in bin/"
        [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
            fail "Icon=$icon: no hicolor/scalable/apps/$icon.svg installed"
        local size
        for size in "${sizes[@]}"; do
            [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png" ] ||
                fail "Icon=$icon: no hicolor/${size}x${size}/apps/$icon.png installed"
        done
    fi

    # The bitmaps' sizes from their PNG headers, the SVG's root element, and the metadata
    # against the desktop entry and the program.
    python3 - "$prefix" "$app_id" "$version" "${sizes[@]}" <<'EOF' || failures=$((failures + 1))
import os, struct, sys
import xml.etree.ElementTree as ET

prefix, app_id, version, sizes = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
bad = []
for size in sizes:
    path = f"{prefix}/share/icons/hicolor/{size}x{size}/apps/{app_id}.png"
    if not os.path.isfile(path):
        continue  # already reported as missing
    with open(path, "rb") as png:
        head = png.read(24)
    if len(head) < 24 or head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        bad.append(f"{path}: not a PNG")
        continue
    width, height = struct.unpack(">II", head[16:24])
    if (width, height) != (int(size), int(size)):
        bad.append(f"{path}: {width} x {height} px, not {size} x {size}")

svg = f"{prefix}/share/icons/hicolor/scalable/apps/{app_id}.svg"
if os.path.isfile(svg):
    try:
        if ET.parse(svg).getroot().tag != "{http://www.w3.org/2000/svg}svg":
            bad.append(f"{svg}: not an SVG drawing")
    except ET.ParseError as error:
        bad.append(f"{svg}: {error}")

metainfo = f"{prefix}/share/metainfo/{app_id}.metainfo.xml"
if os.path.isfile(metainfo):
    root = ET.parse(metainfo).getroot()
    found = {
        "id": root.findtext("id"),
        "launchable": root.findtext("launchable[@type='desktop-id']"),
        "binary": root.findtext("provides/binary"),
        "release": next((r.get("version") for r in root.iterfind("releases/release")), None),
    }
    wanted = {"id": app_id, "launchable": f"{app_id}.desktop", "binary": "torvane",
              "release": version}
    for key, value in wanted.items():
        if found[key] != value:
            bad.append(f"{metainfo}: {key} is {found[key]!r}, not {value!r}")
    for image in root.iterfind("screenshots/screenshot/image"):
        if not (image.text or "").startswith("https://"):
            bad.append(f"{metainfo}: screenshot {image.text!r} is not an https URL")

for line in bad:
    print("FAIL:", line, file=sys.stderr)
sys.exit(1 if bad else 0)
EOF
    finish
}

check_validate() {
    need desktop-file-validate appstreamcli
    local prefix=$scratch/prefix
    install_into "$prefix"
    local desktop=$prefix/share/applications/$app_id.desktop
    local metainfo=$prefix/share/metainfo/$app_id.metainfo.xml

    local out
    if ! out=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$out" ]; then
        fail "desktop-file-validate $desktop:"
        echo "$out" | sed 's/^/    /' >&2
    fi
    # Information and pedantic hints are let through; an error or a warning fails.
    # AppStream 1.0 (Debian 13) warns that a desktop application names no homepage; until the
    # project has a public home, naming none beats naming an address that serves nothing.
    local status=0 others
    out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || status=$?
    others=$(grep -E '^[[:space:]]*[EW]: ' <<<"$out" | grep -v ': url-homepage-missing$' || true)
    if [ "$status" -ne 0 ] && [ -z "$others" ] && grep -q 'url-homepage-missing' <<<"$out"; then
        echo "$out"
        echo "the one warning is the homepage the project does not have yet"
    elif [ "$status" -ne 0 ]; then
        fail "appstreamcli validate $metainfo:"
        echo "$out" | sed 's/^/    /' >&2
    else
        echo "$out"
    fi
    finish
}

# The names in a control field's list of packages, alternatives included, one a line. A
# library package renamed for the 64-bit time_t ABI (libqt6core6t64 on Debian 13, which
# provides libqt6core6) is given under its library's name.
package_names() {
    tr ',|' '\n\n' <<<"$1" | sed -e 's/(.*)//' -e 's/\[.*\]//' -e 's/:.*//' -e 's/[[:space:]]//g' |
        sed -e '/^$/d' -e 's/^\(lib.*[0-9]\)t64$/\1/'
}

check_deb() {
    need dpkg-deb dpkg-shlibdeps file dpkg
    local out=$scratch/package
    "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$scratch/cpack.log" 2>&1 || {
        cat "$scratch/cpack.log" >&2
        echo "FAIL: cpack -G DEB failed" >&2
        exit 1
    }
    local deb
    deb=$out/torvane_${version}_$(dpkg --print-architecture).deb
    if [ ! -f "$deb" ]; then
        echo "FAIL: cpack made no $(basename "$deb"); it made:" >&2
        ls "$out" >&2
        exit 1
    fi

    # Contents: exactly the install's files under /usr, owned by root, the program executable
    # and the rest read-only to all but root.
    local listing actual
    listing=$(dpkg-deb -c "$deb")
    actual=$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | sed 's|^\./usr/||' | LC_ALL=C sort)
    if [ "$actual" != "$(expected_files)" ]; then
        fail "the package does not hold exactly the expected files under /usr"
        diff <(expected_files) <(echo "$actual") | sed 's/^/    /' >&2 || true
    fi
    local modes
    modes=$(awk '$1 !~ /^d/ {
            want = ($6 == "./usr/bin/torvane") ? "-rwxr-xr-x" : "-rw-r--r--"
            if ($1 != want || $2 != "root/root") print "    " $6 ": " $1 " " $2 ", not " want " root/root"
        }' <<<"$listing")
    if [ -n "$modes" ]; then
        fail "files of the package with the wrong mode or owner:"
        echo "$modes" >&2
    fi

    # Control fields.
    local field value
    for field in Package:torvane Version:"$version" Architecture:"$(dpkg --print-architecture)" \
        Section:science; do
        value=$(dpkg-deb -f "$deb" "${field%%:*}")
        [ "$value" = "${field#*:}" ] || fail "${field%%:*} is '$value', not '${field#*:}'"
    done
    [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
    [ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no Description"

    local depends recommends
    depends=$(dpkg-deb -f "$deb" Depends)
    recommends=$(dpkg-deb -f "$deb" Recommends)
    echo "Depends: $depends"
    echo "Recommends: $recommends"
    # libcups2 is loaded at the first Print rather than linked: it must be named all the same.
    local wanted=(libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6
                  libcups2)
    # The xcb platform plugin, without which the program cannot open its window under X11,
    # is not linked: the package holding it must be named outright or come with one that is.
    if [ -n "$xcb_plugin" ]; then
        local owner
        if owner=$(dpkg-query -S "$xcb_plugin" 2>/dev/null); then
            owner=${owner%%:*}
            [[ " ${wanted[*]} " == *" $owner "* ]] || wanted+=("$owner")
            echo "the xcb platform plugin comes with $owner"
        else
            echo "note: $xcb_plugin belongs to no Debian package; its package is not checked"
        fi
    fi
    local package
    for package in "${wanted[@]}"; do
        package_names "$depends" | grep -qxF "$package" || fail "Depends does not name $package"
    done
    for package in qt6-wayland fonts-liberation; do
        package_names "$recommends" | grep -qxF "$package" ||
            fail "Recommends does not name $package"
    done
    if package_names "$depends" | grep -E -e '-dev$'; then
        fail "Depends names development packages"
    fi

    # Debian's own checks, to the pedantic level: an error or a warning fails, the rest is
    # shown.
    if command -v lintian >/dev/null; then
        local tags
        tags=$(lintian --pedantic --info --display-experimental "$deb" 2>&1 |
            grep -v 'running with root privileges' || true)
        [ -z "$tags" ] || echo "$tags"
        if grep -E '^[EW]: ' <<<"$tags" >/dev/null; then
            fail "lintian reports errors or warnings"
        fi
    else
        fail "lintian is not installed"
    fi

    local root=$scratch/root
    dpkg-deb -x "$deb" "$root"
    local doc=$root/usr/share/doc/torvane
    head -n 1 "$doc/copyright" |
        grep -qxF 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "the copyright file does not start with the machine-readable format line"
    grep -qx 'License: GPL-3+' "$doc/copyright" || fail "the copyright file names no GPL-3+"
    local man_page=$root/usr/share/man/man1/torvane.1.gz
    if [ -f "$man_page" ]; then
        local warnings
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$man_page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man reads torvane(1) with warnings: $warnings"
        zcat "$man_page" | grep -q '^\.SH NAME' || fail "torvane(1) has no NAME section"
    fi

    # Hardened as Debian builds its packages: relocations read-only before main (BIND_NOW)
    # and a stack protector.
    local program=$root/usr/bin/torvane
    if [ "${HARDENED:-0}" != 1 ]; then
        echo "hardening not checked: this is not a hardened release build"
    elif command -v readelf >/dev/null; then
        # Read whole before grep: grep -q stopping early would break readelf's pipe.
        local dynamic symbols
        dynamic=$(readelf -d "$program")
        symbols=$(readelf --dyn-syms -W "$program")
        grep -qE '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' <<<"$dynamic" ||
            fail "the program is not linked with BIND_NOW"
        grep -q '__stack_chk_fail' <<<"$symbols" || fail "the program has no stack protector"
    else
        fail "readelf is not installed"
    fi

    # The program as the package holds it starts and keeps its window open.
    if [ -x "$root/usr/bin/torvane" ]; then
        QT_QPA_PLATFORM=offscreen "$root/usr/bin/torvane" >"$scratch/program.log" 2>&1 &
        program_pid=$!
        sleep 1
        if kill -0 "$program_pid" 2>/dev/null; then
            kill -TERM "$program_pid"
            wait "$program_pid" 2>/dev/null || true
            echo "the packaged program started and was still running after 1 s"
        else
            local status=0
            wait "$program_pid" || status=$?
            fail "the packaged program ended within 1 s (exit status $status):"
            sed 's/^/    /' "$scratch/program.log" >&2
        fi
        program_pid=
    else
        fail "the package's /usr/bin/torvane is not executable"
    fi
    finish
}

check_licence() {
    need reuse
    local source=${SOURCE_DIR:?SOURCE_DIR names the source tree}
    # reuse leaves out what git ignores only inside a git checkout: the tree is copied without
    # its build folders first, so that an exported tree is checked the same way.
    local tree=$scratch/tree
    mkdir -p "$tree"
    tar -C "$source" --exclude='./build*' --exclude=__pycache__ --exclude=.git \
        --exclude='*.user' -cf - . | tar -C "$tree" -xf -
    local out
    if ! out=$(reuse --root "$tree" lint 2>&1); then
        echo "$out" >&2
        fail "reuse lint"
    else
        tail -n 1 <<<"$out"
    fi
    finish
}

case $mode in
install) check_install ;;
licence) check_licence ;;
validate) check_validate ;;
deb) check_deb ;;
*)
    echo "usage: $0 install|validate|deb|licence BUILD_DIR APP_ID VERSION ICON_SIZES [XCB_PLUGIN]" >&2
    exit 2
    ;;
esac
