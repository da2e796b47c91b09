#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Both of the README's commands on a freshly bootstrapped Debian, as a new user would run them.
#
#   scripts/fresh-root.sh RELEASE        (as root; RELEASE is trixie or bookworm)
#   scripts/fresh-root.sh --ci RELEASE   (CI itself on a fresh machine)
#
# Makes a minimal root (debootstrap --variant=minbase, by scripts/root.sh) from the package
# mirror this machine's own apt sources name, with /proc, /sys, /dev, /dev/pts and a /dev/shm
# of its own, puts a clean export of the committed tree (git archive HEAD) into it, and runs
# there, as root:
#   1. ./scripts/run.sh: it must install, build and end in its no-display message (status 1,
#      there being no screen); the program it built must then start and stay up (offscreen);
#   2. TORVANE_QUICK=1 ./scripts/test.sh, with CI=true: every test of the release build must
#      pass; a test that would skip fails (TORVANE_REQUIRE_ALL_TESTS), since the test command
#      installs all the tests need.
# Prints each step's duration, the packages each command installed and CTest's summary, and
# exits non-zero when anything failed. Whatever happens, also on Ctrl-C or TERM (at once, even
# while debootstrap runs), it ends what still runs inside the root, unmounts what it mounted
# and removes the root.
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
command -v git >/dev/null || { echo "$0: git is not installed" >&2; exit 2; }
source "$repo/scripts/root.sh"

# in_root LOG COMMAND: runs COMMAND in the source tree inside the root (root_run).
in_root() { root_run "$1" /root/torvane "$2"; }

summary=()
failures=0
# step LOG COMMAND: runs COMMAND in the root, with its output in LOG, and notes how long it took
# and how many packages it installed; its exit status is left in $status.
step() {
    local start=$SECONDS before after
    echo "== $2"
    before=$(root_packages)
    status=0
    in_root "$1" "$2" || status=$?
    after=$(root_packages)
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

if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
    echo "note: the working tree has changes that are not committed; the root gets HEAD only"
fi

start=$SECONDS
root_make "$release" "fresh-$release"
note "debootstrap $release" "$((SECONDS - start)) s, $(root_packages) packages"
if [ "$ci" = true ]; then
    git clone --quiet --no-hardlinks "$repo" "$root_dir/root/torvane"
    echo "A clone of the committed tree ($(git -C "$repo" rev-parse --short HEAD)) is in /root/torvane"
else
    mkdir -p "$root_dir/root/torvane"
    git -C "$repo" archive --format=tar HEAD | tar -x -C "$root_dir/root/torvane"
    echo "The committed tree ($(git -C "$repo" rev-parse --short HEAD)) is in /root/torvane"
fi

if [ "$ci" = true ]; then
    step "$root_scratch/ci.log" 'CI=true bash .ci/run'
    note_lines "$root_scratch/ci.log" 'tests passed, [0-9]+ tests? failed out of|^No findings|^PASS:'
    [ "$status" -eq 0 ] || failed "CI=true bash .ci/run ended with status $status"
    echo "== CI on a fresh $release"
    printf '%s\n' "${summary[@]}"
    [ "$failures" -eq 0 ] || exit 1
    echo "PASS: CI on a fresh $release"
    exit 0
fi

step "$root_scratch/run.log" ./scripts/run.sh
if [ "$status" -eq 1 ] && grep -q '^There is no display' "$root_scratch/run.log"; then
    note "" "built, ended in the no-display message"
else
    failed "./scripts/run.sh ended with status $status before its no-display message"
fi
status=0
in_root "$root_scratch/start.log" \
    'QT_QPA_PLATFORM=offscreen timeout 5 build/app/torvane; [ $? -eq 124 ]' || status=$?
if [ "$status" -eq 0 ]; then
    note "build/app/torvane (offscreen)" "started, still up after 5 s"
else
    failed "the program built by ./scripts/run.sh did not stay up for 5 s (offscreen)"
fi

step "$root_scratch/test.log" 'CI=true TORVANE_QUICK=1 ./scripts/test.sh'
note_lines "$root_scratch/test.log" 'tests passed, [0-9]+ tests? failed out of|^Total Test time'
[ "$status" -eq 0 ] || failed "CI=true TORVANE_QUICK=1 ./scripts/test.sh ended with status $status"

echo "== Debian $release from a fresh root: $(root_packages) packages in the end"
printf '%s\n' "${summary[@]}"
[ "$failures" -eq 0 ] || exit 1
echo "PASS: both commands on a fresh $release"
