# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# What the stages that build in a Debian 13 root share (scripts/windows.sh, scripts/web.sh),
# on the machine and in the root. Sourced after deps.sh by a script with `set -euo pipefail`
# that sets $repo:
#
#   stage_on_machine NAME CACHE INSIDE WHAT [NAME=VALUE...]
#       on the machine, as root: makes the root (scripts/root.sh), binds the working tree into
#       it at the same path and the cache CACHE (made if missing, never inside the source tree)
#       at INSIDE, and runs the calling script there with --in-root and the variables given,
#       its log kept as NAME.log beside the root; WHAT names the stage in its last line. The
#       caller's root_on_exit runs at the end.
#   stage_hand_back FOLDER [INSIDE HOST...]
#       in root_on_exit: FOLDER of the working tree to its owner, and each file INSIDE the
#       root, if there, copied to HOST for the caller.
#   stage_in_root
#       in the root: refuses to run anywhere but in a Debian 13 root; goes to the working tree.
#   stage_timed WHAT COMMAND...    runs a step, noting how long it took; a failure ends all.
#   stage_test WHAT COMMAND...     runs a test, noting how long it took and whether it failed,
#                                  so that one test's failure does not keep the next from
#                                  running.
#   stage_end WHAT                 prints the durations, the failed tests and the verdict.
#   stage_build DIR QT CHAINLOAD CMAKE_OPTION...
#       configures and builds the program with the Qt in QT (its toolchain file, chaining to
#       CHAINLOAD) into DIR, set up anew when it was set up with another Qt.

# shellcheck disable=SC2154  # repo is the caller's
stage_release=trixie

stage_on_machine() {  # NAME CACHE INSIDE WHAT [NAME=VALUE...]
    local name=$1 cache=$2 inside=$3 what=$4 start=$SECONDS status=0
    shift 4
    [ "$(id -u)" -eq 0 ] || {
        echo "$0: making the Debian 13 root needs root: sudo $0" >&2
        exit 2
    }
    torvane_install_packages fresh-root
    source "$repo/scripts/root.sh"
    mkdir -p "$cache"
    cache=$(root_outside_tree "$cache" "The cache") || exit 2
    if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
        echo "note: the working tree has changes that are not committed; they are built too"
    fi
    root_make "$stage_release" "$name"
    root_bind "$repo" "$repo"
    root_bind "$cache" "$inside"
    echo "== $(basename "$0") --in-root, in Debian 13 ($cache is its $inside)"
    root_run "$root_scratch/$name.log" "$repo" "scripts/$(basename "$0") --in-root" "$@" ||
        status=$?
    echo "== $what, from a fresh Debian 13 root: $((SECONDS - start)) s in all"
    return "$status"
}

stage_hand_back() {  # FOLDER [INSIDE HOST...]
    [ -n "$root_dir" ] || return 0
    [ ! -d "$repo/$1" ] || chown -R --from=0:0 "$(stat -c %u:%g "$repo")" "$repo/$1"
    shift
    while [ $# -ge 2 ]; do
        if [ -f "$root_dir$1" ]; then
            cp "$root_dir$1" "$2"
            chown "$(stat -c %u:%g "$(dirname "$2")")" "$2"
            echo "Kept: $2"
        fi
        shift 2
    done
}

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

stage_build() {  # DIR QT CHAINLOAD CMAKE_OPTION...
    local dir=$1 toolchain=$2/lib/cmake/Qt6/qt.toolchain.cmake chainload=$3 fresh=()
    shift 3
    if [ -f "$dir/CMakeCache.txt" ] &&
        ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" "$dir/CMakeCache.txt"; then
        fresh=(--fresh)
    fi
    cmake "${fresh[@]}" -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQT_CHAINLOAD_TOOLCHAIN_FILE="$chainload" \
        -DTORVANE_WERROR=ON -DTORVANE_BUILD_BENCH=OFF "$@"
    cmake --build "$dir" --parallel "$(nproc)"
}
