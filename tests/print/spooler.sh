#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A print spooler for the print tests: a CUPS scheduler with a cups-pdf queue as the default
# printer, its PDFs written to a scratch folder and its jobs held so that the job as the
# program sent it can be copied from the spool before cups-pdf converts it.
#
# Sourced by the print tests. Never disturbs a machine's own printers: where a scheduler
# already runs, the queue is added beside the others and removed afterwards, the default
# printer and the cups-pdf configuration are put back, and only a scheduler started here is
# stopped (spooler_stop, also run from an EXIT trap).

spooler_queue=${SPOOLER_QUEUE:-TorvaneTestPdf}
spooler_conf=/etc/cups/cups-pdf.conf
spooler_started_pid=
spooler_saved_default=
spooler_saved_conf=
spooler_out=

spooler_running() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }

spooler_wait_for() {  # seconds, command...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

spooler_start_scheduler() {
    spooler_running && return 0
    /usr/sbin/cupsd -f >/dev/null 2>&1 &
    spooler_started_pid=$!
    spooler_wait_for 20 spooler_running
}

spooler_stop_scheduler() {
    if [ -n "$spooler_started_pid" ]; then
        kill "$spooler_started_pid" 2>/dev/null
        wait "$spooler_started_pid" 2>/dev/null
        spooler_started_pid=
    fi
}

# Starts the scheduler if none runs and adds the queue as the default printer. $1 is the
# folder cups-pdf writes into.
spooler_setup() {
    spooler_out=$1
    mkdir -p "$spooler_out"
    chmod 0777 "$spooler_out"
    trap spooler_stop EXIT
    spooler_saved_conf=$(mktemp)
    cp "$spooler_conf" "$spooler_saved_conf"
    sed -i "s|^#\?Out .*|Out $spooler_out|" "$spooler_conf"
    spooler_start_scheduler || { echo "the CUPS scheduler did not start"; return 1; }
    spooler_saved_default=$(lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')
    cancel -a -x "$spooler_queue" 2>/dev/null
    lpadmin -p "$spooler_queue" -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
        -o job-hold-until-default=indefinite 2>/dev/null
    lpadmin -d "$spooler_queue"
    cupsenable "$spooler_queue"
    cupsaccept "$spooler_queue"
}

spooler_stop() {
    if spooler_running; then
        cancel -a -x "$spooler_queue" 2>/dev/null
        lpadmin -x "$spooler_queue" 2>/dev/null
        [ -n "$spooler_saved_default" ] && lpadmin -d "$spooler_saved_default" 2>/dev/null
    fi
    if [ -n "$spooler_saved_conf" ]; then
        cp "$spooler_saved_conf" "$spooler_conf"
        rm -f "$spooler_saved_conf"
        spooler_saved_conf=
    fi
    spooler_stop_scheduler
}

# The ids of the queue's held jobs, oldest first.
spooler_held_jobs() {
    lpstat -o "$spooler_queue" 2>/dev/null | awk '{print $1}' | sed "s/^$spooler_queue-//"
}

# Copies the job's document as the program sent it, then releases the job to cups-pdf.
spooler_take_job() {  # id, destination file
    local spool
    spool=$(ls /var/spool/cups/d$(printf '%05d' "$1")-* 2>/dev/null | head -n 1)
    [ -n "$spool" ] && cp "$spool" "$2" || return 1
    lp -i "$spooler_queue-$1" -H resume
}

spooler_queue_empty() { [ -z "$(lpstat -o "$spooler_queue" 2>/dev/null)" ]; }
