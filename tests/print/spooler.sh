# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A print spooler for the print tests that shares nothing with the machine: a CUPS scheduler
# of its own, with its own configuration, spool, state and logs in a scratch folder, listening
# only on a socket there (CUPS_SERVER points every client at it, the program under test
# among them), with one cups-pdf queue as its default printer. Jobs are held, so that the job
# as the program sent it can be copied from the spool before cups-pdf converts it.
#
# cups-pdf reads its settings from /etc/cups/cups-pdf.conf and nowhere else, so the scheduler
# runs in a mount namespace of its own where a private copy, writing into the scratch folder,
# is mounted over that file; the machine's /etc/cups is never written. Two test runs at once
# on one machine each have their own scheduler and never meet, nor meet the machine's.
#
# Sourced by the print tests: spooler_setup SCRATCH, then spooler_stop (also run on exit).

spooler_queue=TorvaneTestPdf
spooler_dir=
spooler_out=
spooler_pid=

spooler_running() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }

spooler_wait_for() {  # seconds, command...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

# The scheduler's files: everything it reads and writes lies under $spooler_dir.
spooler_write_configuration() {
    local d=$spooler_dir
    mkdir -p "$d"/{etc/ppd,etc/ssl,spool/tmp,cache,state,log} "$spooler_out" "$d/home"
    # The scheduler's user (lp) works in the spool; cups-pdf writes as the job's owner.
    chgrp lp "$d/spool" "$d/spool/tmp" "$d/cache" 2>/dev/null || true
    chmod 0710 "$d/spool"
    chmod 1770 "$d/spool/tmp"
    chmod 0777 "$spooler_out"
    cat >"$d/etc/cups-files.conf" <<EOF
ServerRoot $d/etc
RequestRoot $d/spool
TempDir $d/spool/tmp
CacheDir $d/cache
StateDir $d/state
AccessLog $d/log/access_log
ErrorLog $d/log/error_log
PageLog $d/log/page_log
Printcap $d/printcap
SystemGroup root
FileDevice No
EOF
    cat >"$d/etc/cupsd.conf" <<EOF
LogLevel info
Listen $d/cups.sock
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    sed -e "s|^#\?Out .*|Out $spooler_out|" /etc/cups/cups-pdf.conf >"$d/cups-pdf.conf"
}

spooler_start_scheduler() {
    # shellcheck disable=SC2016  # expanded by the namespace's own shell
    unshare --mount --propagation private -- sh -c \
        'mount --bind "$1" /etc/cups/cups-pdf.conf && exec /usr/sbin/cupsd -f -c "$2" -s "$3"' \
        scheduler "$spooler_dir/cups-pdf.conf" "$spooler_dir/etc/cupsd.conf" \
        "$spooler_dir/etc/cups-files.conf" >"$spooler_dir/log/cupsd.out" 2>&1 &
    spooler_pid=$!
    spooler_wait_for 20 spooler_running
}

spooler_stop() {
    if [ -n "$spooler_pid" ]; then
        kill "$spooler_pid" 2>/dev/null
        wait "$spooler_pid" 2>/dev/null
        spooler_pid=
    fi
}

# Starts the scheduler in SCRATCH/cups and adds the queue as its default printer; cups-pdf
# writes into SCRATCH/out.
spooler_setup() {
    spooler_dir=$1/cups
    mkdir -p "$1"
    chmod 0755 "$1"  # the scheduler's filters run as lp and read the spool inside
    spooler_out=$1/out
    export CUPS_SERVER=$spooler_dir/cups.sock
    # Nor does a client read the machine's or the user's own client settings and defaults.
    export CUPS_SERVERROOT=$spooler_dir/client HOME=$spooler_dir/home
    mkdir -p "$CUPS_SERVERROOT"
    spooler_write_configuration
    if ! spooler_start_scheduler; then
        echo "the test's CUPS scheduler did not start:"
        tail -n 20 "$spooler_dir/log/cupsd.out" "$spooler_dir/log/error_log" 2>/dev/null
        return 1
    fi
    lpadmin -p "$spooler_queue" -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
        -o job-hold-until-default=indefinite &&
        lpadmin -d "$spooler_queue" && cupsenable "$spooler_queue" &&
        cupsaccept "$spooler_queue"
}

# The ids of the queue's held jobs, oldest first.
spooler_held_jobs() {
    lpstat -o "$spooler_queue" 2>/dev/null | awk '{print $1}' | sed "s/^$spooler_queue-//"
}

# Copies the job's document as the program sent it, then releases the job to cups-pdf.
spooler_take_job() {  # id, destination file
    local spool
    spool=$(ls "$spooler_dir/spool/d$(printf '%05d' "$1")"-* 2>/dev/null | head -n 1)
    [ -n "$spool" ] && cp "$spool" "$2" || return 1
    lp -i "$spooler_queue-$1" -H resume
}

spooler_queue_empty() { [ -z "$(lpstat -o "$spooler_queue" 2>/dev/null)" ]; }
