#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds the program for 64-bit Windows on Debian 12 or 13, as root (or with sudo):
#   1. installs the MinGW-w64 compiler and the rest of torvane_windows_packages (deps.sh);
#   2. builds Qt for Windows (Core, Gui, Widgets, PrintSupport, Test, the windows platform
#      plugin and the windowsvista style) from Debian's own qt6-base source of the release the
#      machine runs, at the version of the machine's own Qt, whose moc, rcc and uic it uses.
#      The source comes through a private apt set-up made from the machine's apt sources, so
#      the machine's own package lists are left as they are. Qt goes into a cache outside the
#      source tree, in a folder named after its version and a digest of how it was built, and
#      counts as built only once installed whole: a later run reuses it. A build that failed
#      or was stopped carries on where it stopped the next time;
#   3. cross-builds the program and its tests with the project's CMake files into
#      build-windows/, and checks the program's hardening (stack protector, ASLR, DEP);
#   4. makes the installer and the portable .zip (cpack: NSIS and ZIP) in build-windows/;
#   5. runs the tests under Wine (tests/windows/suite_test.sh) and the installer as a user
#      would (tests/windows/installer_test.sh).
# TORVANE_WINDOWS_CACHE names the cache (default /var/cache/torvane-windows).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
source scripts/deps.sh

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
started=$SECONDS
torvane_install_packages windows

triplet=x86_64-w64-mingw32
cxx=$triplet-g++-posix
objdump=$triplet-objdump
toolchain=$repo/cmake/mingw-w64-x86_64.cmake
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
. /etc/os-release
codename=${VERSION_CODENAME:?/etc/os-release names no release}

# The machine's Qt, whose tools build Qt for Windows: the Debian version of its source
# package, and Qt's own version.
host_qt=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
qt_version=${host_qt#*:}
qt_version=${qt_version%-*}
qt_version=${qt_version%%[+~]*}

# Only what the program and its tests use, with Qt's own copies of the libraries it brings
# (none is taken from the MinGW tree, whatever else is installed there); the rest is off to
# keep the build short, and so is -O3, which Qt would use for Core and Gui: -O2 throughout.
# Qt 6.4's Windows platform plugin does not compile without OpenGL, so OpenGL stays, loaded
# at run time (dynamic); nor does its print support link without Direct2D, which brings the
# DirectWrite font engine with it. The tablet events would need wintab.h, which Debian's
# source leaves out, as it does SQLite and IAccessible2.
qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DQT_USE_DEFAULT_CMAKE_OPTIMIZATION_FLAGS=ON
    "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    -DQT_BUILD_MANUAL_TESTS=OFF
    -DFEATURE_pkg_config=OFF
    -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_printsupport=ON -DFEATURE_testlib=ON
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_opengl=ON -DINPUT_opengl=dynamic
    -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF
    -DFEATURE_gif=OFF -DFEATURE_jpeg=OFF -DFEATURE_ico=OFF
    -DFEATURE_png=ON -DFEATURE_system_png=OFF -DFEATURE_system_zlib=OFF
    -DFEATURE_harfbuzz=ON -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF
    -DFEATURE_pcre2=ON -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_system_libb2=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF
    -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF -DFEATURE_textodfwriter=OFF
    -DFEATURE_androiddeployqt=OFF
)

# The cache folder is named after Qt's version and a digest of all that makes the build: the
# options, the toolchain file, the compiler and the Debian version of the machine's Qt.
digest=$({
    printf '%s\n' "${qt_options[@]}"
    cat "$toolchain"
    "$cxx" --version | head -n 1
    echo "qt6-base $host_qt"
} | sha1sum | cut -c1-12)
key=qt-$qt_version-$digest

cache=${TORVANE_WINDOWS_CACHE:-/var/cache/torvane-windows}
if ! mkdir -p "$cache" 2>/dev/null || [ ! -w "$cache" ]; then
    "${sudo[@]}" install -d -o "$(id -u)" -g "$(id -g)" "$cache"
fi
cache=$(cd "$cache" && pwd)
case $cache/ in
    "$repo"/*)
        echo "$0: TORVANE_WINDOWS_CACHE must lie outside the source tree" >&2
        exit 2
        ;;
esac
qt=$cache/$key
work=$cache/$key.build
marker=$qt/torvane-build.txt

# One run at a time builds or reads the cache.
exec 9>"$cache/.lock"
if ! flock -n 9; then
    echo "Waiting for another run to finish with $cache"
    flock 9
fi

# The machine's own apt sources of its release (main archive, updates, security), as
# deb-src lines; deb822 or one-line.
source_lines() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v codename="$codename" 'BEGIN { RS = ""; FS = "\n" }
            {
                uris = ""; suites = ""; types = ""; comps = ""; key = ""; enabled = "yes"
                for (i = 1; i <= NF; i++) {
                    if ($i ~ /^URIs:/) uris = substr($i, 6)
                    if ($i ~ /^Suites:/) suites = substr($i, 8)
                    if ($i ~ /^Types:/) types = substr($i, 7)
                    if ($i ~ /^Components:/) comps = substr($i, 12)
                    if ($i ~ /^Signed-By:/) key = substr($i, 11)
                    if ($i ~ /^Enabled:/) enabled = substr($i, 9)
                }
                if (types !~ /(^| )deb( |$)/ || enabled ~ /no/) next
                gsub(/^ +| +$/, "", key)
                option = key ~ /^\// ? "[signed-by=" key "] " : ""
                nu = split(uris, u, " ")
                ns = split(suites, s, " ")
                for (j = 1; j <= nu; j++)
                    for (k = 1; k <= ns; k++)
                        if (s[k] == codename || index(s[k], codename "-") == 1)
                            print "deb-src " option u[j] " " s[k] comps
            }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk -v codename="$codename" '$1 == "deb" {
                n = 2
                if ($2 ~ /^\[/) while (n < NF && $n !~ /\]$/) n++
                if ($2 ~ /^\[/) n++
                suite = $(n + 1)
                if (suite == codename || index(suite, codename "-") == 1) {
                    sub(/^[ \t]*deb[ \t]/, "deb-src ")
                    print
                }
            }' "$file"
    done
}

# Debian's qt6-base source, at the version of the machine's Qt when the archive still has it,
# unpacked (with Debian's patches) under $work/src, which appears only once all is there.
fetch_qt_source() {
    local apt=$work/apt apt_options
    rm -rf "$apt" "$work/src" "$work/src.part"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$work/src.part"
    source_lines >"$apt/sources.list"
    if [ ! -s "$apt/sources.list" ]; then
        echo "$0: no apt source of $codename found in /etc/apt to fetch Qt's source from" >&2
        exit 1
    fi
    apt_options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache")
    [ "$(id -u)" -eq 0 ] && apt_options+=(-o APT::Sandbox::User=root)
    echo "== Fetching Debian's qt6-base source ($codename)"
    apt-get "${apt_options[@]}" -q update
    (
        cd "$work/src.part"
        apt-get "${apt_options[@]}" -q source --only-source "qt6-base=$host_qt" || {
            echo "qt6-base $host_qt is no longer in the archive: fetching its newest"
            apt-get "${apt_options[@]}" -q source --only-source qt6-base
        }
    )
    mv "$work/src.part" "$work/src"
    rm -rf "$apt"
}

build_qt() {
    local source start configured=yes
    start=$SECONDS
    # A folder without the mark of a finished install is what a stopped run left.
    rm -rf "$qt"
    if [ -d "$work" ]; then
        echo "== Carrying on with the unfinished Qt build in $work"
    fi
    mkdir -p "$work"
    source=
    [ -d "$work/src" ] &&
        source=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    if [ -z "$source" ]; then
        fetch_qt_source
        source=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' |
            head -n 1)
        rm -rf "$work/build"
    fi
    local fetched
    fetched=$(cd "$source" && dpkg-parsechangelog -S Version)
    case $fetched in
        "$qt_version"[+~-]* | "$qt_version") ;;
        *)
            echo "$0: Debian's source is Qt $fetched, the machine's Qt is $host_qt;" \
                "upgrade qt6-base-dev to match" >&2
            exit 1
            ;;
    esac
    [ -f "$work/build/build.ninja" ] || configured=no
    echo "== Qt $fetched for Windows into $qt"
    if [ "$configured" = no ]; then
        rm -rf "$work/build"
        cmake -S "$source" -B "$work/build" -G Ninja "${qt_options[@]}" \
            -DCMAKE_INSTALL_PREFIX="$qt" \
            -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DQT_HOST_PATH=/usr \
            -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$multiarch/cmake" >"$work/configure.log" 2>&1 || {
            tail -n 40 "$work/configure.log" >&2
            echo "$0: configuring Qt failed: $work/configure.log" >&2
            exit 1
        }
    fi
    cmake --build "$work/build" --parallel "$(nproc)"
    cmake --install "$work/build" >"$work/install.log"
    local minutes
    minutes=$(awk -v s=$((SECONDS - start)) 'BEGIN { printf "%.1f", s / 60 }')
    {
        echo "Qt $fetched (Debian source) for $triplet, tools of the machine's Qt $host_qt"
        echo "built in $minutes min with $(nproc) jobs on $(date -u +%Y-%m-%d)"
        printf '%s\n' "${qt_options[@]}"
    } >"$marker.new"
    mv "$marker.new" "$marker"
    rm -rf "$work"
    echo "== Qt for Windows built in $minutes minutes"
}

if [ -f "$marker" ]; then
    echo "== Reusing Qt for Windows built before: $qt"
    sed -n 2p "$marker"
else
    build_qt
fi
for file in bin/Qt6Core.dll bin/Qt6Widgets.dll bin/Qt6PrintSupport.dll \
    plugins/platforms/qwindows.dll plugins/styles/qwindowsvistastyle.dll \
    lib/cmake/Qt6/qt.toolchain.cmake; do
    [ -f "$qt/$file" ] || {
        echo "$0: $qt lacks $file: remove the folder to build it anew" >&2
        exit 1
    }
done
flock -u 9

echo "== The program and its tests for Windows in build-windows/"
gcc_runtime=$(dirname "$("$cxx" -print-file-name=libstdc++-6.dll)")
pthread_runtime=$(dirname "$("$cxx" -print-file-name=libwinpthread-1.dll)")
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
    -DTORVANE_WERROR=ON -DTORVANE_BUILD_TESTS=ON -DTORVANE_BUILD_BENCH=OFF \
    -DTORVANE_GTEST_SOURCE=/usr/src/googletest \
    -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/lib/wine/wine64 \
    -DTORVANE_QT_SOURCE="Debian's qt6-base $host_qt"
cmake --build build-windows --parallel "$(nproc)"

# Windows' own hardening of the program, read from its headers: ASLR anywhere in 64 bits,
# DEP, and the stack protector.
headers=$("$objdump" -p build-windows/app/torvane.exe)
characteristics=$(sed -n '/^DllCharacteristics/,/^[^ \t]/p' <<<"$headers")
for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
    grep -qw "$flag" <<<"$characteristics" || {
        echo "$0: torvane.exe lacks $flag" >&2
        exit 1
    }
done
echo "torvane.exe: $(tr -s ' \t\n' ' ' <<<"$characteristics")"
# The stack protector's check, which MinGW keeps in libssp: imported, so called.
grep -qw '__stack_chk_fail' <<<"$headers" || {
    echo "$0: torvane.exe has no stack protector" >&2
    exit 1
}

echo "== The installer and the portable archive"
(cd build-windows && cpack -C Release)
installer=build-windows/Torvane-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' \
    build-windows/CMakeCache.txt)-win64.exe
ls -l "$installer" "${installer%.exe}.zip"

echo "== The tests under Wine"
tests/windows/suite_test.sh build-windows "$qt/bin" "$gcc_runtime" "$pthread_runtime"

echo "== The installer under Wine"
# TORVANE_SCREENSHOT=FILE keeps the photograph of the installed program's window.
tests/windows/installer_test.sh "$installer" ${TORVANE_SCREENSHOT:+"$TORVANE_SCREENSHOT"}
echo "PASS: Windows, built, tested under Wine and packaged in $((SECONDS - started)) s"
