#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Start-up of Torvane beside a bare Qt 6 window, started the same way, many times over.

Each round starts both programs, in alternating order, with the first-paint probe
(libfirst_paint_probe.so) preloaded: the probe notes when the top-level window is first
exposed and first painted, lets the frame finish, reports the moments on standard error and
ends the program. The harness takes its own clock (CLOCK_MONOTONIC, as the probe's) just
before it starts the process, and the peak resident memory from wait4 once it has ended.

Reported, for each program: the median and the spread (quartiles, least and most) of
  start -> expose      the window is exposed (mapped on the X server, or shown offscreen);
  start -> paint       its first paint event arrives;
  start -> painted     the first frame, every child included, is drawn and flushed;
and the peak resident memory, with the ratios program / bare.

    python3 bench/startup/run.py [--build build] [--runs 30] [--platform offscreen]
    xvfb-run -a python3 bench/startup/run.py --platform xcb
"""

import argparse
import json
import os
import pathlib
import resource
import statistics
import subprocess
import sys
import threading
import time

REPO = pathlib.Path(__file__).resolve().parents[2]
MOMENTS = ("expose", "paint", "frame")
LABELS = {"expose": "start -> expose", "paint": "start -> paint", "frame": "start -> painted"}


def run_once(program, env, timeout):
    """Starts the program once; returns its moments in ms after start and its peak RSS."""
    start = time.monotonic_ns()
    process = subprocess.Popen(
        [str(program)], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
        stderr=subprocess.PIPE)
    killer = threading.Timer(timeout, process.kill)
    killer.start()
    try:
        err = process.stderr.read().decode(errors="replace")
        _, status, usage = os.wait4(process.pid, 0)
    finally:
        killer.cancel()
        process.stderr.close()
    process.returncode = os.waitstatus_to_exitcode(status)
    line = next((l for l in err.splitlines() if l.startswith("first-paint ")), None)
    if process.returncode != 0 or line is None:
        sys.exit(f"{program} did not report its first paint (exit {process.returncode}):\n{err}")
    fields = dict(item.split("=", 1) for item in line.split()[1:])
    result = {m: (int(fields[m + "_ns"]) - start) / 1e6 for m in MOMENTS}
    result["maxrss_kib"] = usage.ru_maxrss  # KiB on Linux
    result["hwm_kib"] = int(fields["hwm_kb"])
    return result


def spread(values):
    q = statistics.quantiles(values, n=4, method="inclusive")
    return {"median": statistics.median(values), "q1": q[0], "q3": q[2],
            "min": min(values), "max": max(values)}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(REPO / "build"),
                        help="the build folder (default: build/ of the checkout)")
    parser.add_argument("--runs", type=int, default=30, help="measured runs of each program")
    parser.add_argument("--warmup", type=int, default=3, help="unmeasured runs of each first")
    parser.add_argument("--platform", default=os.environ.get("QT_QPA_PLATFORM", "offscreen"),
                        help="Qt platform plugin: offscreen (default) or xcb under xvfb-run")
    parser.add_argument("--timeout", type=float, default=30, help="seconds a run may take")
    parser.add_argument("--json", help="also write every run and the summary to this file")
    args = parser.parse_args()
    if args.runs < 2:
        parser.error("--runs must be at least 2")

    build = pathlib.Path(args.build).resolve()
    programs = {"torvane": build / "app" / "torvane",
                "bare": build / "bench" / "startup" / "bare_window"}
    probe = build / "bench" / "startup" / "libfirst_paint_probe.so"
    for path in (*programs.values(), probe):
        if not path.exists():
            sys.exit(f"{path} is missing: build the project first "
                     f"(cmake --build {args.build})")
    if args.platform == "xcb" and not os.environ.get("DISPLAY"):
        sys.exit("--platform xcb needs an X server: run under xvfb-run -a")

    env = dict(os.environ, QT_QPA_PLATFORM=args.platform, LD_PRELOAD=str(probe))
    env.setdefault("XDG_RUNTIME_DIR", f"/tmp/runtime-{os.getuid()}")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)

    runs = {name: [] for name in programs}
    order = list(programs)
    for round_ in range(args.warmup + args.runs):
        for name in order:
            result = run_once(programs[name], env, args.timeout)
            if round_ >= args.warmup:
                runs[name].append(result)
        order.reverse()  # ABBA: neither program always goes first

    summary = {}
    for name, results in runs.items():
        summary[name] = {m: spread([r[m] for r in results]) for m in MOMENTS}
        summary[name]["maxrss_mib"] = spread([r["maxrss_kib"] / 1024 for r in results])
        summary[name]["hwm_mib"] = spread([r["hwm_kib"] / 1024 for r in results])

    print(f"Start-up, {args.runs} runs of each, alternating, platform {args.platform}: "
          f"median [quartiles] (least)")
    print(f"{'':17}{'torvane':>30}{'bare window':>30}{'ratio':>8}")
    rows = [(LABELS[m], m, "ms") for m in MOMENTS] + [("peak resident", "maxrss_mib", "MiB")]
    for label, key, unit in rows:
        cells = []
        for name in programs:
            s = summary[name][key]
            cells.append(f"{s['median']:5.1f} {unit:<3} [{s['q1']:5.1f}-{s['q3']:5.1f}] "
                         f"({s['min']:.1f})")
        ratio = summary["torvane"][key]["median"] / summary["bare"][key]["median"]
        print(f"{label:17}{cells[0]:>30}{cells[1]:>30}{ratio:8.3f}")
    # A forked child starts as a copy of this interpreter, so its ru_maxrss can never read
    # below the harness's own resident size: say so when that floor is near.
    own = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
    least = min(summary[n]["maxrss_mib"]["min"] for n in programs)
    if own > 0.8 * least:
        print(f"note: the harness itself holds {own:.1f} MiB; the peaks above may be its own")

    if args.json:
        with open(args.json, "w", encoding="utf-8") as out:
            json.dump({"platform": args.platform, "runs": runs, "summary": summary}, out,
                      indent=1)


if __name__ == "__main__":
    main()
