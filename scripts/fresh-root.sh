#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Both of the README's commands on a freshly bootstrapped Debian, as a new user would run them.
#
#   scripts/fresh-root.sh RELEASE        (as root; RELEASE is trixie or bookworm)
#   scripts/fresh-root.sh --ci RELEASE   (CI itself on a fresh machine)
#
# Makes a minimal root (debootstrap --variant=minbase) from the package mirror this machine's
# own apt sources name, puts a clean export of the committed tree (git archive HEAD) into it,
# mounts /proc, /sys, /dev, /dev/pts and a /dev/shm of its own, and runs there, as root:
#   1. ./scripts/run.sh: it must install, build and end in its no-display message (status 1,
#      there being no screen); the program it built must then start and stay up (offscreen);
#   2. TORVANE_QUICK=1 ./scripts/test.sh, with CI=true: every test of the release build must
#      pass; a test that skips counts as a failure, since the test command installs all the
#      tests need.
# Prints each step's duration, the packages each command installed and CTest's summary, and
# exits non-zero when anything failed. Whatever happens, also on Ctrl-C, it ends what still
# runs inside the root, unmounts what it mounted and removes the root.
# With --ci the root is a fresh machine for CI instead: a clone of the committed branch goes
# into it, and `CI=true bash .ci/run` runs there as CI runs it, with nothing installed
# beforehand but git (which made the clone); it runs this script again inside, one root in
# another. The root goes under TORVANE_ROOTS (default /var/tmp), never inside the source tree.
set -euo pipefail

ci=false
if [ "${1:-}" = --ci ]; then
    ci=true
    shift
fi
release=${1:-}
case $release in
    trixie | bookworm) ;;
    *)
        echo "usage: $0 [--ci] trixie|bookworm" >&2
        exit 2
        ;;
esac
[ "$(id -u)" -eq 0 ] || { echo "$0: debootstrap, chroot and mount need root" >&2; exit 2; }
repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/scripts/deps.sh"
torvane_install_packages fresh-root
for tool in debootstrap chroot git findmnt; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 2; }
done

parent=$(cd "${TORVANE_ROOTS:-/var/tmp}" && pwd)
case $parent/ in
    "$repo"/*)
        echo "$0: TORVANE_ROOTS must lie outside the source tree" >&2
        exit 2
        ;;
esac

scratch=
root=
mounted=()
debootstrap_pid=

# Processes whose root directory is the fresh root: what a step left running there.
processes_in_root() {
    local dir pid
    for dir in /proc/[0-9]*; do
        pid=${dir#/proc/}
        [ "$(readlink "$dir/root" 2>/dev/null)" = "$root" ] && echo "$pid"
    done
    return 0
}

end_processes_in_root() {
    local pids i signal
    for signal in TERM KILL; do
        mapfile -t pids < <(processes_in_root)
        [ ${#pids[@]} -ne 0 ] || return 0
        echo "Ending what still runs in the root ($signal): ${pids[*]}"
        kill "-$signal" "${pids[@]}" 2>/dev/null || true
        for ((i = 0; i < 50; i++)); do
            [ -n "$(processes_in_root)" ] || return 0
            sleep 0.1
        done
    done
}

mounts_under_root() {
    findmnt -rn -o TARGET | awk -v root="$root" 'index($0, root) == 1 &&
        (length($0) == length(root) || substr($0, length(root) + 1, 1) == "/")'
}

cleanup() {
    local status=$? i target
    trap - EXIT INT TERM HUP
    [ -n "$scratch" ] || exit "$status"
    if [ -n "$debootstrap_pid" ]; then
        echo "Ending debootstrap"
        kill -TERM -- "-$debootstrap_pid" 2>/dev/null || true
        wait "$debootstrap_pid" 2>/dev/null || true
    fi
    if [ -n "$root" ]; then
        end_processes_in_root
        for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
            target=${mounted[i]}
            umount "$target" 2>/dev/null || umount -l "$target" ||
                echo "could not unmount $target" >&2
        done
        # A mount made just as a signal came, before it was noted: deepest first.
        mounts_under_root | sort -r | while read -r target; do umount -l "$target"; done
    fi
    if [ -n "$root" ] && [ -n "$(mounts_under_root)" ]; then
        echo "Still mounted, so $scratch is left in place:" >&2
        mounts_under_root >&2
        exit 1
    fi
    rm -rf --one-file-system "$scratch"
    echo "Removed $scratch"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

mount_in_root() {  # TARGET (inside the root) then mount's arguments
    local target=$root$1
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounted+=("$target")
}

# The machine's Debian mirror: the first main archive (not security, updates or backports)
# in its apt sources, deb822 or one-line; debootstrap's default when there is none.
machine_mirror() {
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

packages_installed() {
    chroot "$root" dpkg-query -W -f='${Status}\n' | grep -c 'install ok installed'
}

# in_root LOG COMMAND: runs COMMAND with bash in the source tree inside the root, as a fresh
# login of root would (no display, no stdin), its output shown and kept in LOG. The root shares
# the machine's network: its print clients are held to the root's own print service's socket,
# or without one they would reach the machine's service on localhost:631.
in_root() {
    local log=$1 command=$2 status
    set +e
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb CUPS_SERVER=/run/cups/cups.sock \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        /bin/bash -c "cd /root/torvane && $command" </dev/null 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    set -e
    end_processes_in_root
    return "$status"
}

summary=()
failures=0
# step LOG COMMAND: runs COMMAND in the root, with its output in LOG, and notes how long it took
# and how many packages it installed; its exit status is left in $status.
step() {
    local start=$SECONDS before after
    echo "== $2"
    before=$(packages_installed)
    status=0
    in_root "$1" "$2" || status=$?
    after=$(packages_installed)
    note "$2" "$((SECONDS - start)) s, $((after - before)) packages installed"
}
# note_lines LOG PATTERN: notes every line of LOG that matches; fails if none does.
note_lines() {
    local lines line
    lines=$(grep -E "$2" "$1" || true)
    while IFS= read -r line; do
        [ -z "$line" ] || note "" "$line"
    done <<<"$lines"
    [ -n "$lines" ] || failed "no line of $(basename "$1") says /$2/"
}
note() { summary+=("$(printf '%-40s %s' "$1" "$2")"); }
failed() {
    echo "FAIL: $*" >&2
    summary+=("FAIL: $*")
    failures=$((failures + 1))
}

scratch=$(mktemp -d "$parent/torvane-fresh-$release.XXXXXX")
root=$scratch/root
mirror=$(machine_mirror | head -n 1)
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
    echo "note: the working tree has changes that are not committed; the root gets HEAD only"
fi

echo "== debootstrap --variant=minbase $release ${mirror:-from the default mirror}"
start=$SECONDS
# In the background, in a process group of its own, waited for: a signal then reaches this
# script at once (not when debootstrap is done), and the cleanup ends debootstrap with all it
# started.
setsid debootstrap --variant=minbase "$release" "$root" ${mirror:+"$mirror"} \
    >"$scratch/debootstrap.log" 2>&1 </dev/null &
debootstrap_pid=$!
wait "$debootstrap_pid" || {
    debootstrap_pid=
    tail -n 30 "$scratch/debootstrap.log" >&2
    echo "FAIL: debootstrap $release failed" >&2
    exit 1
}
debootstrap_pid=
base=$(packages_installed)
note "debootstrap $release" "$((SECONDS - start)) s, $base packages"

# No service is started by a package's maintainer scripts inside the root: the tests start
# their own print service and D-Bus.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 0755 "$root/usr/sbin/policy-rc.d"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
if [ "$ci" = true ]; then
    git clone --quiet --no-hardlinks "$repo" "$root/root/torvane"
    echo "A clone of the committed tree ($(git -C "$repo" rev-parse --short HEAD)) is in /root/torvane"
else
    mkdir -p "$root/root/torvane"
    git -C "$repo" archive --format=tar HEAD | tar -x -C "$root/root/torvane"
    echo "The committed tree ($(git -C "$repo" rev-parse --short HEAD)) is in /root/torvane"
fi

# The root is a mount of its own, private, as a machine's / is: a test that makes a mount
# namespace of its own (the print test does) can then keep its mounts from the machine's, and
# nothing mounted inside the root is seen outside it.
mount_in_root "" --bind "$root"
mount --make-private "$root"
mount_in_root /proc -t proc proc
mount_in_root /sys -t sysfs sysfs
mount_in_root /dev --bind /dev
mount_in_root /dev/pts --bind /dev/pts
mount_in_root /dev/shm -t tmpfs -o mode=1777,nosuid,nodev tmpfs

if [ "$ci" = true ]; then
    step "$scratch/ci.log" 'CI=true bash .ci/run'
    note_lines "$scratch/ci.log" 'tests passed, [0-9]+ tests? failed out of|^No findings|^PASS:'
    [ "$status" -eq 0 ] || failed "CI=true bash .ci/run ended with status $status"
    echo "== CI on a fresh $release"
    printf '%s\n' "${summary[@]}"
    [ "$failures" -eq 0 ] || exit 1
    echo "PASS: CI on a fresh $release"
    exit 0
fi

step "$scratch/run.log" ./scripts/run.sh
if [ "$status" -eq 1 ] && grep -q '^There is no display' "$scratch/run.log"; then
    note "" "built, ended in the no-display message"
else
    failed "./scripts/run.sh ended with status $status before its no-display message"
fi
status=0
in_root "$scratch/start.log" \
    'QT_QPA_PLATFORM=offscreen timeout 5 build/app/torvane; [ $? -eq 124 ]' || status=$?
if [ "$status" -eq 0 ]; then
    note "build/app/torvane (offscreen)" "started, still up after 5 s"
else
    failed "the program built by ./scripts/run.sh did not stay up for 5 s (offscreen)"
fi

step "$scratch/test.log" 'CI=true TORVANE_QUICK=1 ./scripts/test.sh'
note_lines "$scratch/test.log" 'tests passed, [0-9]+ tests? failed out of|^Total Test time'
[ "$status" -eq 0 ] || failed "CI=true TORVANE_QUICK=1 ./scripts/test.sh ended with status $status"
skipped=$(grep -E '^[[:space:]]*[0-9]+ - .*\(Skipped\)' "$scratch/test.log" || true)
if [ -n "$skipped" ]; then
    failed "tests skipped although the test command installed their tools:"
    summary+=("$skipped")
fi

echo "== Debian $release from a fresh root: $(packages_installed) packages in the end"
printf '%s\n' "${summary[@]}"
[ "$failures" -eq 0 ] || exit 1
echo "PASS: both commands on a fresh $release"
