# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Qt built from Debian's own qt6-base source for another platform, cached: the one way a stage
# that needs a Qt of its own makes it (scripts/windows.sh, scripts/web.sh). Sourced after
# deps.sh, in the Debian root the stage works in, by a script with `set -euo pipefail`, once
# cmake, ninja-build, dpkg-dev, xz-utils and the root's own Qt (qt6-base-dev) are installed:
#
#   debian_qt CACHE VERSION WHAT CMAKE_OPTION...
#       Qt VERSION, which must be the version of the root's own Qt, whose moc, rcc, uic and
#       syncqt it uses (QT_HOST_PATH), configured with the options given, built and installed
#       into CACHE/qt-VERSION-DIGEST; sets $qt to that folder, $qt_version to Qt's version and
#       $qt_debian_version to the Debian version of the root's Qt, whose source it is.
#       $debian_qt_toolchain, when set, is the CMake toolchain file Qt is built with.
#       DIGEST is of all that makes the build: the options, the toolchain file's text (not its
#       path, which is the clone's), the text of $debian_qt_key (the caller's compiler) and the
#       Debian version of the root's Qt, and the text of the project's own patches to Qt.
#       Debian's source comes through a private apt set-up made from the root's apt sources,
#       at the version of the root's Qt while the archive has it; then every *.patch in the
#       folder $debian_qt_patches (one folder per Qt build), in the order of their names, is
#       applied to it, and a patch that does not apply stops the build. The folder counts as
#       built only
#       once installed whole, marked by torvane-build.txt in it: a later run reuses it, and a
#       build that failed or was stopped carries on where it stopped the next time. Every file
#       named in $debian_qt_files must then be in it. One run at a time builds or reads CACHE.
#       WHAT names the build in messages ("for WebAssembly").

[ -v debian_qt_key ] || debian_qt_key=
[ -v debian_qt_toolchain ] || debian_qt_toolchain=
[ -v debian_qt_files ] || debian_qt_files=()
[ -v debian_qt_patches ] || debian_qt_patches=

# The project's own patches to Qt for this build, in the order they are applied.
debian_qt_patch_files() {
    [ -n "$debian_qt_patches" ] && [ -d "$debian_qt_patches" ] || return 0
    find "$debian_qt_patches" -maxdepth 1 -type f -name '*.patch' | LC_ALL=C sort
}

# Applies the project's patches to the source in DIR; each one's header says what it mends.
debian_qt_patch() {  # DIR
    local file
    while IFS= read -r file; do
        echo "== Patching Qt: $(basename "$file")"
        patch --directory="$1" --strip=1 --forward --batch --no-backup-if-mismatch \
            --input="$file" || {
            echo "debian_qt: $file does not apply to Debian's source" >&2
            return 1
        }
    done < <(debian_qt_patch_files)
}

# The root's own apt sources of its release (main archive, updates, security), as deb-src
# lines.
debian_qt_source_lines() {  # CODENAME
    torvane_apt_sources | awk -v codename="$1" '$2 == codename || index($2, codename "-") == 1 {
        line = "deb-src " ($3 == "-" ? "" : "[signed-by=" $3 "] ") $1 " " $2
        for (i = 4; i <= NF; i++) line = line " " $i
        print line
    }'
}

# Debian's qt6-base source at the given Debian version when the archive still has it,
# unpacked (with Debian's patches) under WORK/src, which appears only once all is there.
debian_qt_fetch() {  # WORK DEBIAN_VERSION
    local work=$1 version=$2 codename apt=$1/apt apt_options
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:?/etc/os-release names no release}")
    rm -rf "$apt" "$work/src" "$work/src.part"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$work/src.part"
    debian_qt_source_lines "$codename" >"$apt/sources.list"
    if [ ! -s "$apt/sources.list" ]; then
        echo "debian_qt: no apt source of $codename found in /etc/apt to fetch Qt's source from" >&2
        return 1
    fi
    apt_options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
        -o APT::Sandbox::User=root)
    echo "== Fetching Debian's qt6-base source ($codename)"
    apt-get "${apt_options[@]}" -q update
    (
        cd "$work/src.part" || exit
        apt-get "${apt_options[@]}" -q source --only-source "qt6-base=$version" || {
            echo "qt6-base $version is no longer in the archive: fetching its newest"
            apt-get "${apt_options[@]}" -q source --only-source qt6-base
        }
    )
    debian_qt_patch "$(find "$work/src.part" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*')"
    mv "$work/src.part" "$work/src"
    rm -rf "$apt"
}

debian_qt_source_dir() {  # WORK
    [ -d "$1/src" ] || return 0
    find "$1/src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1
}

# Configures, builds and installs Qt into $qt, from the source in $qt.build (fetched first
# when it is not there).
debian_qt_make() {  # WHAT HOST_QT CMAKE_OPTION...
    local what=$1 host_qt=$2 work=$qt.build marker=$qt/torvane-build.txt source fetched
    local start=$SECONDS minutes multiarch
    shift 2
    multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
    # A folder without the mark of a finished install is what a stopped run left.
    rm -rf "$qt"
    if [ -d "$work" ]; then
        echo "== Carrying on with the unfinished Qt build in $work"
    fi
    mkdir -p "$work"
    source=$(debian_qt_source_dir "$work")
    if [ -z "$source" ]; then
        debian_qt_fetch "$work" "$host_qt"
        source=$(debian_qt_source_dir "$work")
        rm -rf "$work/build"
    fi
    fetched=$(cd "$source" && dpkg-parsechangelog -S Version)
    case $fetched in
        "$qt_version"[+~-]* | "$qt_version") ;;
        *)
            echo "debian_qt: Debian's source is Qt $fetched, the root's Qt is $host_qt" >&2
            return 1
            ;;
    esac
    echo "== Qt $fetched $what into $qt"
    if [ ! -f "$work/build/build.ninja" ]; then
        rm -rf "$work/build"
        # Qt's own source tree, which has no presets of the project's: its options are the
        # caller's.
        cmake -S "$source" -B "$work/build" -G Ninja "$@" \
            ${debian_qt_toolchain:+-DCMAKE_TOOLCHAIN_FILE="$debian_qt_toolchain"} \
            -DCMAKE_INSTALL_PREFIX="$qt" \
            -DQT_HOST_PATH=/usr \
            -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$multiarch/cmake" >"$work/configure.log" 2>&1 || {
            tail -n 40 "$work/configure.log" >&2
            echo "debian_qt: configuring Qt failed: $work/configure.log" >&2
            return 1
        }
        echo "configured in $((SECONDS - start)) s"
    fi
    cmake --build "$work/build" --parallel "$(nproc)"
    cmake --install "$work/build" >"$work/install.log"
    minutes=$(awk -v s=$((SECONDS - start)) 'BEGIN { printf "%.1f", s / 60 }')
    {
        echo "Qt $fetched (Debian source) $what, tools of the root's Qt $host_qt"
        echo "built in $minutes min with $(nproc) jobs on $(date -u +%Y-%m-%d)"
        printf '%s\n' "$@"
        debian_qt_patch_files | sed 's|.*/|patched with |'
    } >"$marker.new"
    mv "$marker.new" "$marker"
    rm -rf "$work"
    echo "== Qt $what built in $minutes minutes"
}

debian_qt() {  # CACHE VERSION WHAT CMAKE_OPTION...
    local cache=$1 wanted=$2 what=$3 host_qt digest file other
    shift 3
    # The root's Qt: the Debian version of its source package, and Qt's own version.
    host_qt=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
    qt_version=${host_qt#*:}
    qt_version=${qt_version%-*}
    qt_version=${qt_version%%[+~]*}
    if [ "$qt_version" != "$wanted" ]; then
        echo "debian_qt: the builds are set for Qt $wanted, but this root's qt6-base is" \
            "$host_qt (Qt $qt_version): set stage_qt in scripts/stage.sh to $qt_version," \
            "or stage_release to a Debian release whose qt6-base is Qt $wanted" >&2
        return 1
    fi
    # shellcheck disable=SC2034  # for the caller
    qt_debian_version=$host_qt
    digest=$({
        printf '%s\n' "$@"
        [ -z "$debian_qt_toolchain" ] || cat "$debian_qt_toolchain"
        printf '%s\n' "$debian_qt_key"
        echo "qt6-base $host_qt"
        debian_qt_patch_files | while IFS= read -r file; do cat "$file"; done
    } | sha1sum | cut -c1-12)
    qt=$cache/qt-$qt_version-$digest

    exec 9>"$cache/.lock"
    if ! flock -n 9; then
        echo "Waiting for another run to finish with $cache"
        flock 9
    fi
    if [ -f "$qt/torvane-build.txt" ]; then
        echo "== Reusing Qt $what built before: $qt"
        sed -n 2p "$qt/torvane-build.txt"
    else
        debian_qt_make "$what" "$host_qt" "$@"
    fi
    for file in "${debian_qt_files[@]}"; do
        [ -e "$qt/$file" ] || {
            echo "debian_qt: $qt lacks $file: remove the folder to build it anew" >&2
            return 1
        }
    done
    for other in "$cache"/qt-*; do
        [ -d "$other" ] && [ "$other" != "$qt" ] && [ "$other" != "$qt.build" ] &&
            echo "note: $other is another build of Qt, which this one no longer uses"
    done
    flock -u 9
}
