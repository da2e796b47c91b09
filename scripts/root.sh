# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# A freshly bootstrapped Debian root for a stage to work in, the one way every stage makes it
# (scripts/fresh-root.sh, scripts/windows.sh, scripts/web.sh). Sourced, as root, by a script with
# `set -euo pipefail`:
#
#   root_make RELEASE NAME     debootstrap --variant=minbase RELEASE, from the package mirror
#                              the machine's own apt sources name, into a new folder
#                              torvane-NAME.XXXXXX under TORVANE_ROOTS (default /var/tmp, never
#                              inside the source tree): $root_scratch, with the root itself in
#                              $root_dir and debootstrap's log beside it. The root is mounted as
#                              a machine's / is: a private mount of its own, with /proc, /sys,
#                              /dev, /dev/pts and a /dev/shm of its own; no package's service
#                              starts in it, and it resolves names as the machine does.
#   root_bind HOST_DIR DIR     binds HOST_DIR of the machine at DIR inside the root.
#   root_run LOG DIR COMMAND [NAME=VALUE...]
#                              runs COMMAND with bash in DIR inside the root, as a fresh login
#                              of root would (no display, no stdin, nothing of the caller's
#                              environment but the NAME=VALUE given), its output shown and kept
#                              in LOG; then ends whatever it left running there.
#   root_packages              how many packages the root has installed.
#   root_outside_tree DIR WHAT  DIR's absolute path, refused (WHAT names it) when it lies
#                              inside the source tree.
#
# Sourcing it sets the traps on EXIT, INT, TERM and HUP: whatever happens, also on Ctrl-C or
# a TERM while debootstrap runs, the cleanup ends debootstrap and every process whose root is
# the root (or a root inside it), unmounts what is mounted under it, deepest first, and removes
# the folder; a folder that cannot be unmounted is left in place and named. A script that has
# work of its own to do first at its end defines root_on_exit, which the cleanup calls.

root_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root_scratch=
root_dir=
root_mounts=()
root_debootstrap=

# The machine's Debian mirror: the first main archive (not security, updates or backports)
# in its apt sources, deb822 or one-line; debootstrap's default when there is none.
root_mirror() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
            {
                uris = ""; suites = ""; types = ""; enabled = "yes"
                for (i = 1; i <= NF; i++) {
                    if ($i ~ /^URIs:/) uris = substr($i, 6)
                    if ($i ~ /^Suites:/) suites = substr($i, 8)
                    if ($i ~ /^Types:/) types = substr($i, 7)
                    if ($i ~ /^Enabled:/) enabled = substr($i, 9)
                }
                split(uris, u, " ")
                if (types ~ /(^| )deb( |$)/ && enabled !~ /no/ && u[1] !~ /security/ &&
                    suites !~ /-security/) { print u[1]; exit }
            }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        sed -e 's/\[[^]]*\]//' "$file" |
            awk '$1 == "deb" && $2 !~ /security/ && $3 !~ /-(security|updates|backports)$/ {
                print $2; exit }'
    done
}

# Processes whose root directory is the root, or a root made inside it: what a step left
# running there.
root_processes() {
    local dir link
    for dir in /proc/[0-9]*; do
        link=$(readlink "$dir/root" 2>/dev/null) || continue
        case $link in
            "$root_dir" | "$root_dir"/*) echo "${dir#/proc/}" ;;
        esac
    done
    return 0
}

root_end_processes() {
    local pids i signal
    [ -n "$root_dir" ] || return 0
    for signal in TERM KILL; do
        mapfile -t pids < <(root_processes)
        [ ${#pids[@]} -ne 0 ] || return 0
        echo "Ending what still runs in the root ($signal): ${pids[*]}"
        kill "-$signal" "${pids[@]}" 2>/dev/null || true
        for ((i = 0; i < 50; i++)); do
            [ -n "$(root_processes)" ] || return 0
            sleep 0.1
        done
    done
}

# debootstrap runs in a session of its own (setsid), so that all it started, its downloads
# and the package scripts it runs in the root, is one process group to end.
root_end_debootstrap() {
    local group=$root_debootstrap signal i
    [ -n "$group" ] || return 0
    for signal in TERM KILL; do
        kill -0 -- "-$group" 2>/dev/null || break
        echo "Ending debootstrap ($signal)"
        kill "-$signal" -- "-$group" 2>/dev/null || true
        for ((i = 0; i < 50; i++)); do
            kill -0 -- "-$group" 2>/dev/null || break 2
            sleep 0.1
        done
    done
    wait "$group" 2>/dev/null || true
    root_debootstrap=
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
    root_end_debootstrap
    if [ -n "$root_dir" ]; then
        root_end_processes
        for ((i = ${#root_mounts[@]} - 1; i >= 0; i--)); do
            target=${root_mounts[i]}
            umount "$target" 2>/dev/null || umount -l "$target" ||
                echo "could not unmount $target" >&2
        done
        # What debootstrap mounted, or a mount made just as a signal came, before it was
        # noted: deepest first.
        root_mounted | sort -r | while read -r target; do umount -l "$target"; done
        if [ -n "$(root_mounted)" ]; then
            echo "Still mounted, so $root_scratch is left in place:" >&2
            root_mounted >&2
            exit 1
        fi
    fi
    rm -rf --one-file-system "$root_scratch"
    echo "Removed $root_scratch"
    exit "$status"
}
trap root_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

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
    local release=$1 name=$2 parent mirror log start status=0
    [ "$(id -u)" -eq 0 ] || { echo "root_make: debootstrap, chroot and mount need root" >&2; return 2; }
    local tool
    for tool in debootstrap chroot findmnt setsid; do
        command -v "$tool" >/dev/null || { echo "root_make: $tool is not installed" >&2; return 2; }
    done
    parent=$(root_outside_tree "${TORVANE_ROOTS:-/var/tmp}" TORVANE_ROOTS) || return 2
    root_scratch=$(mktemp -d "$parent/torvane-$name.XXXXXX")
    root_dir=$root_scratch/root
    log=$root_scratch/debootstrap.log
    mirror=$(root_mirror | head -n 1)

    echo "== debootstrap --variant=minbase $release ${mirror:-from the default mirror}"
    start=$SECONDS
    # In the background, waited for: a signal is then handled at once, not once debootstrap
    # is done.
    setsid debootstrap --variant=minbase "$release" "$root_dir" ${mirror:+"$mirror"} \
        >"$log" 2>&1 </dev/null &
    root_debootstrap=$!
    wait "$root_debootstrap" || status=$?
    root_debootstrap=
    if [ "$status" -ne 0 ]; then
        tail -n 30 "$log" >&2
        echo "FAIL: debootstrap $release failed" >&2
        return 1
    fi
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
    # and nothing mounted inside the root is seen outside it.
    root_mount "" --bind "$root_dir"
    mount --make-private "$root_dir"
    root_mount /proc -t proc proc
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
# The command runs in the background, waited for, so that a signal is handled at once.
root_run() {  # LOG DIR COMMAND [NAME=VALUE...]
    local log=$1 dir=$2 command=$3 status=0
    shift 3
    (
        set +e
        chroot "$root_dir" /usr/bin/env -i HOME=/root TERM=dumb \
            CUPS_SERVER=/run/cups/cups.sock \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@" \
            /bin/bash -c "cd $(printf '%q' "$dir") && $command" </dev/null 2>&1 | tee "$log"
        exit "${PIPESTATUS[0]}"
    ) &
    wait $! || status=$?
    root_end_processes
    return "$status"
}
