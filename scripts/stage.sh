# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# The root's side of the stages that build in a Debian 13 root (scripts/windows.sh,
# scripts/web.sh; the machine's side is root_stage in scripts/root.sh). Sourced after deps.sh by
# a script with `set -euo pipefail` that sets $repo:
#
#   stage_in_root
#       in the root: refuses to run anywhere but in a Debian 13 root; goes to the working tree.
#   stage_timed WHAT COMMAND...    runs a step, noting how long it took; a failure ends all.
#   stage_test WHAT COMMAND...     runs a test, noting how long it took and whether it failed,
#                                  so that one test's failure does not keep the next from
#                                  running.
#   stage_end WHAT                 prints the durations, the failed tests and the verdict.
#   stage_build PRESET DIR CMAKE_OPTION...
#       configures and builds the CMake preset PRESET, whose folder is DIR, with the Qt in $qt
#       (debian-qt.sh), set up anew when it was set up with another Qt.

# The Debian release the Windows and browser builds are made in, and the Qt they are built on:
# that release's qt6-base, from Debian's source, with the root's own Qt as its host tools (moc,
# rcc, uic), which must be the very same version. Moving Qt means moving to a release whose
# qt6-base is that version (scripts/debian-qt.sh stops on a mismatch), and the Qt build's cache
# then makes a new folder.
# shellcheck disable=SC2034,SC2154  # for the caller; and $repo, $qt are the caller's
stage_release=trixie
stage_qt=6.8.2

stage_started=$SECONDS
stage_in_root() {
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:?/etc/os-release names no release}")
    [ "$codename" = "$stage_release" ] || {
        echo "$0: --in-root is for the Debian 13 root that $0 makes" >&2
        exit 2
    }
    cd "$repo" || exit
    stage_started=$SECONDS
}

stage_timings=()
stage_failed=()
stage_timed() {  # WHAT COMMAND...
    local what=$1 start=$SECONDS
    shift
    "$@"
    stage_timings+=("$(printf '%-44s %5d s' "$what" $((SECONDS - start)))")
}

stage_test() {  # WHAT COMMAND...
    local what=$1 start=$SECONDS status=0
    shift
    "$@" || status=$?
    stage_timings+=("$(printf '%-44s %5d s' "$what" $((SECONDS - start)))")
    [ "$status" -eq 0 ] || stage_failed+=("$what (status $status)")
}

stage_end() {  # WHAT
    echo "== Durations"
    printf '%s\n' "${stage_timings[@]}"
    if [ ${#stage_failed[@]} -ne 0 ]; then
        printf 'FAIL: %s\n' "${stage_failed[@]}"
        exit 1
    fi
    echo "PASS: $1 in $((SECONDS - stage_started)) s"
}

stage_build() {  # PRESET DIR CMAKE_OPTION...
    local preset=$1 dir=$2 fresh=()
    shift 2
    export TORVANE_QT=$qt
    if [ -f "$dir/CMakeCache.txt" ] && [ "$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' \
        "$dir/CMakeCache.txt")" != "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
        fresh=(--fresh)
    fi
    cmake "${fresh[@]}" --preset "$preset" -DTORVANE_QT_SOURCE="qt6-base $qt_debian_version" "$@"
    cmake --build --preset "$preset"
}
