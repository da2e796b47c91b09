# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What the shell tests share, sourced after they set their EXIT trap: a count of the checks
# that failed, check and fail to note them, and TERM, INT and HUP turned into an exit, so that
# the test's own clean-up runs when it is ended.

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {  # WHAT COMMAND...: runs COMMAND, and notes WHAT as passed or failed
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else fail "$what"; fi
}
trap 'exit 143' TERM
trap 'exit 130' INT
trap 'exit 129' HUP
