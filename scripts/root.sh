# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# A freshly bootstrapped Debian root for a stage to work in, the one way every stage makes it
# (scripts/fresh-root.sh, scripts/windows.sh, scripts/web.sh), on the machine. Sourced, as
# root, after deps.sh, by a script with `set -euo pipefail`:
#
#   root_make RELEASE NAME     debootstrap --variant=minbase RELEASE, from the package mirror
#                              the machine's own apt sources name, into a new folder
#                              torvane-NAME.XXXXXX under TORVANE_ROOTS (default /var/tmp, never
#                              inside the source tree): $root_scratch, with the root itself in
#                              $root_dir and debootstrap's log beside it. The root is mounted as
#                              a machine's / is: a private mount of its own, with /sys, /dev,
#                              /dev/pts and a /dev/shm of its own; no package's service starts
#                              in it, and it resolves names as the machine does.
#   root_bind HOST_DIR DIR     binds HOST_DIR of the machine at DIR inside the root.
#   root_run LOG DIR COMMAND [NAME=VALUE...]
#                              runs COMMAND with bash in DIR inside the root, as a fresh login
#                              of root would (no display, no stdin, nothing of the caller's
#                              environment but the NAME=VALUE given), its output shown and kept
#                              in LOG.
#   root_packages              how many packages the root has installed.
#   root_outside_tree DIR WHAT  DIR's absolute path, refused (WHAT names it) when it lies
#                              inside the source tree.
#   root_stage RELEASE NAME CACHE INSIDE WHAT [NAME=VALUE...]
#                              a stage that builds in a Debian 13 root (scripts/stage.sh): makes
#                              the root of RELEASE, binds the working tree into it at the same path and
#                              CACHE (made if missing, never inside the source tree) at INSIDE,
#                              and runs the calling script there with --in-root and the
#                              variables given, its log kept as NAME.log beside the root; WHAT
#                              names the stage in its last line.
#   root_hand_back FOLDER [INSIDE HOST...]
#                              in root_on_exit: FOLDER of the working tree to its owner, and each
#                              file INSIDE the root, if there, copied to HOST for the caller.
#
# debootstrap and every command run in the root run in a PID namespace of their own, with a
# /proc of their own: whatever they start ends with them, and ending them ends it all. From
# root_make on, whatever happens, also on Ctrl-C or a TERM while debootstrap runs, the cleanup
# ends what still runs, unmounts what is mounted under the root, deepest first, and removes the
# folder; a folder that cannot be unmounted is left in place and named. A script that has work
# of its own to do first at its end defines root_on_exit, which the cleanup calls.

root_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root_scratch=
root_dir=
root_mounts=()
root_job=

# The machine's Debian mirror: the first main archive (not security, updates or backports) in
# its apt sources; debootstrap's default when there is none.
root_mirror() {
    torvane_apt_sources |
        awk '$1 !~ /security/ && $2 !~ /-(security|updates|backports)$/ { print $1; exit }'
}

# Runs COMMAND... in the background in a PID namespace of its own, with a /proc of its own
# mounted at PROC and its output in LOG (or the caller's, where LOG is empty), and waits for
# it: a signal is then handled at once. When it ends, or is ended (root_end_job), all it
# started ends too.
root_isolated() {  # PROC LOG COMMAND...
    local proc=$1 log=$2 status=0
    shift 2
    local isolated=(unshare --pid --fork --kill-child --mount-proc="$proc" "$@")
    if [ -n "$log" ]; then
        "${isolated[@]}" >"$log" 2>&1 </dev/null &
    else
        "${isolated[@]}" </dev/null &
    fi
    root_job=$!
    wait "$root_job" || status=$?
    root_job=
    return "$status"
}

root_end_job() {
    [ -n "$root_job" ] || return 0
    echo "Ending what still runs in the root"
    # unshare holds TERM and INT back for what it runs; its end ends the namespace.
    kill -KILL "$root_job" 2>/dev/null || true
    wait "$root_job" 2>/dev/null || true
    root_job=
}

root_mounted() {  # what is mounted at the root or under it
    findmnt -rn -o TARGET | awk -v root="$root_dir" 'index($0, root) == 1 &&
        (length($0) == length(root) || substr($0, length(root) + 1, 1) == "/")'
}

root_cleanup() {
    local status=$? i target
    trap - EXIT INT TERM HUP
    if declare -F root_on_exit >/dev/null; then
        root_on_exit || status=$((status == 0 ? 1 : status))
    fi
    [ -n "$root_scratch" ] || exit "$status"
    root_end_job
    for ((i = ${#root_mounts[@]} - 1; i >= 0; i--)); do
        target=${root_mounts[i]}
        umount "$target" 2>/dev/null || umount -l "$target" || echo "could not unmount $target" >&2
    done
    # A mount made just as a signal came, before it was noted: deepest first.
    root_mounted | sort -r | while read -r target; do umount -l "$target"; done
    if [ -n "$(root_mounted)" ]; then
        echo "Still mounted, so $root_scratch is left in place:" >&2
        root_mounted >&2
        exit 1
    fi
    rm -rf --one-file-system "$root_scratch"
    echo "Removed $root_scratch"
    exit "$status"
}

root_outside_tree() {  # DIR WHAT
    local dir
    dir=$(cd "$1" && pwd) || return 2
    case $dir/ in
        "$root_repo"/*)
            echo "$2 ($dir) must lie outside the source tree" >&2
            return 2
            ;;
    esac
    echo "$dir"
}

root_mount() {  # TARGET (inside the root) then mount's arguments
    local target=$root_dir$1
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    root_mounts+=("$target")
}

root_make() {
    local release=$1 name=$2 parent mirror log start tool
    [ "$(id -u)" -eq 0 ] || { echo "root_make: debootstrap, chroot and mount need root" >&2; return 2; }
    for tool in debootstrap chroot findmnt unshare; do
        command -v "$tool" >/dev/null || { echo "root_make: $tool is not installed" >&2; return 2; }
    done
    parent=$(root_outside_tree "${TORVANE_ROOTS:-/var/tmp}" TORVANE_ROOTS) || return 2
    trap root_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    trap 'exit 129' HUP
    root_scratch=$(mktemp -d "$parent/torvane-$name.XXXXXX")
    root_dir=$root_scratch/root
    log=$root_scratch/debootstrap.log
    mirror=$(root_mirror)

    echo "== debootstrap --variant=minbase $release ${mirror:-from the default mirror}"
    start=$SECONDS
    root_isolated /proc "$log" debootstrap --variant=minbase "$release" "$root_dir" \
        ${mirror:+"$mirror"} || {
        tail -n 30 "$log" >&2
        echo "FAIL: debootstrap $release failed" >&2
        return 1
    }
    echo "debootstrap $release: $((SECONDS - start)) s, $(root_packages) packages"

    # The root's / open to all as a machine's is: what runs in it as another user (CUPS's
    # filters run as lp) must be able to reach its files.
    chmod 0755 "$root_dir"
    # No service is started by a package's maintainer scripts inside the root: what needs one
    # starts its own.
    printf '#!/bin/sh\nexit 101\n' >"$root_dir/usr/sbin/policy-rc.d"
    chmod 0755 "$root_dir/usr/sbin/policy-rc.d"
    cp -L /etc/resolv.conf "$root_dir/etc/resolv.conf"

    # The root is a mount of its own, private, as a machine's / is: a test that makes a mount
    # namespace of its own (the print test does) can then keep its mounts from the machine's,
    # and nothing mounted inside the root is seen outside it. Its /proc is each command's own.
    root_mount "" --bind "$root_dir"
    mount --make-private "$root_dir"
    root_mount /sys -t sysfs sysfs
    root_mount /dev --bind /dev
    root_mount /dev/pts --bind /dev/pts
    root_mount /dev/shm -t tmpfs -o mode=1777,nosuid,nodev tmpfs
}

root_bind() {  # HOST_DIR DIR
    root_mount "$2" --bind "$1"
}

root_packages() {
    # shellcheck disable=SC2016  # dpkg-query's own field, not the shell's
    chroot "$root_dir" dpkg-query -W -f='${Status}\n' | grep -c 'install ok installed'
}

# The root shares the machine's network: its print clients are held to the root's own print
# service's socket, or without one they would reach the machine's service on localhost:631.
root_run() {  # LOG DIR COMMAND [NAME=VALUE...]
    local log=$1 dir=$2 command=$3
    shift 3
    # shellcheck disable=SC2016  # the inner script's own variables
    root_isolated "$root_dir/proc" "" bash -c '
        log=$1; shift
        chroot "$@" 2>&1 | tee "$log"
        exit "${PIPESTATUS[0]}"' root_run "$log" "$root_dir" /usr/bin/env -i HOME=/root \
        TERM=dumb CUPS_SERVER=/run/cups/cups.sock \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@" \
        /bin/bash -c "cd $(printf '%q' "$dir") && $command"
}

root_stage() {  # RELEASE NAME CACHE INSIDE WHAT [NAME=VALUE...]
    local release=$1 name=$2 cache=$3 inside=$4 what=$5 start=$SECONDS status=0
    shift 5
    [ "$(id -u)" -eq 0 ] || {
        echo "$0: making the Debian 13 root needs root: sudo $0" >&2
        exit 2
    }
    torvane_install_packages fresh-root
    mkdir -p "$cache"
    cache=$(root_outside_tree "$cache" "The cache") || exit 2
    if [ -n "$(git -C "$root_repo" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
        echo "note: the working tree has changes that are not committed; they are built too"
    fi
    root_make "$release" "$name"
    root_bind "$root_repo" "$root_repo"
    root_bind "$cache" "$inside"
    echo "== $(basename "$0") --in-root, in Debian 13 ($cache is its $inside)"
    root_run "$root_scratch/$name.log" "$root_repo" "scripts/$(basename "$0") --in-root" "$@" ||
        status=$?
    echo "== $what, from a fresh Debian 13 root: $((SECONDS - start)) s in all"
    return "$status"
}

root_hand_back() {  # FOLDER [INSIDE HOST...]
    [ -n "$root_dir" ] || return 0
    [ ! -d "$root_repo/$1" ] || chown -R --from=0:0 "$(stat -c %u:%g "$root_repo")" "$root_repo/$1"
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
