#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The page's load over a slow line, beside a bare Qt for WebAssembly window's.

Serves the built page (build-web/site/) and the same page with the bare window in the
program's place (bench/web/, built here with the same Qt and options, without the program's
service worker) from the loopback, as a static server that compresses does: a file's
precompressed copy beside it (.br, .gz) when the browser takes that encoding, else gzip made on
the fly for text, with validators and "Cache-Control: no-cache" (every later visit asks whether
a file changed). The slow line (10 Mbit/s, 40 ms by default) is the server's: each answer
waits the latency, and its bytes go out at the line's rate, shared by all the server's
connections, whoever asked, the page or its service worker (DevTools' emulation of the page's
network would not reach the worker, which would then fetch at the loopback's speed and hand the
page its files). Headless Chromium is driven through its WebDriver. Each round opens each page,
in alternating order, on a port of its own (an origin no other round or page has had, so that
no worker or cache of another is at hand) in a fresh browser with a fresh profile:

  cold          the first visit, nothing cached;
  HTTP cache    the next visit, the service worker bypassed, from the browser's HTTP cache;
  offline       the next visit with no network at all, from the service worker, when the
                page has one (once it is ready): "no service worker" otherwise.

The time is the first frame: from the navigation's start to the first animation frame after
Qt first puts its window's pixels on its canvas. Reported: medians and quartiles, the ratios
program / bare window, the bytes that crossed the line for each cold visit (to the first frame
and, where there is one, the service worker ready with what it keeps: far less than the page's
compressed size shows a visit that was not cold), and the files' sizes as they are, gzip'd and
brotli'd.

    python3 bench/web/load.py [--build build-web] [--rounds 5] [--serve br,gzip] [--serve gzip]
                              [--page NAME=FOLDER]

--page adds another built page to the rounds, such as an earlier build's site/ kept aside.

Run in the root scripts/web.sh makes (TORVANE_WEB_BENCH="--rounds 5" scripts/web.sh), or
wherever the browser build, emscripten's CMake set-up, chromium and its driver are at hand.
"""

import argparse
import email.utils
import gzip
import json
import mimetypes
import pathlib
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse


REPO = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "web"))
import harness  # noqa: E402
PROGRAM_FILES = ("torvane.js", "torvane.wasm")
COMPRESSED = {"br": ".br", "gzip": ".gz"}
MODES = ("cold", "cached", "offline")
LABELS = {"cold": "cold", "cached": "HTTP cache", "offline": "offline (worker)"}
TEXT_TYPES = ("text/", "application/javascript", "application/json", "application/wasm",
              "font/", "image/svg")

# Notes, in the page, the first frame: the first animation frame after Qt first puts pixels on a
# canvas of the document, in ms since the navigation started.
FIRST_FRAME_PROBE = """
(() => {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    const result = put.apply(this, args);
    if (window.__putAt === undefined && this.canvas.isConnected) {
      window.__putAt = performance.now();
      requestAnimationFrame(at => { window.__firstFrame = at; });
    }
    return result;
  };
})();
"""


class Line:
    """The slow line between the server and the browser: every answer waits the latency, then
    its bytes, headers and all, go out at the rate, one line shared by every connection."""

    def __init__(self, mbit, latency):
        self.rate, self.latency = mbit * 1e6 / 8, latency / 1000
        self.lock = threading.Lock()
        self.free = 0.0  # when the line has sent all it was given, by time.monotonic()
        self.sent = 0
        self.offline = False

    def send(self, write, data):
        for at in range(0, len(data), 16384):
            chunk = data[at:at + 16384]
            with self.lock:
                self.free = max(self.free, time.monotonic()) + len(chunk) / self.rate
                self.sent += len(chunk)
                done = self.free
            time.sleep(max(0.0, done - time.monotonic()))
            write(chunk)


class Site(harness.Quiet):
    """One folder, served as a compressing static server serves it (see the module's text),
    over its server's line."""
    protocol_version = "HTTP/1.1"
    encodings = ("br", "gzip")
    made = {}  # gzip made on the fly, by file

    def setup(self):
        super().setup()
        write = self.wfile.write
        self.wfile.write = lambda data: self.server.line.send(write, data)

    def do_HEAD(self):
        self.answer(body=False)

    def do_GET(self):
        self.answer(body=True)

    def answer(self, body):
        if self.server.line.offline:
            self.close_connection = True
            return
        time.sleep(self.server.line.latency)
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        root = pathlib.Path(self.directory).resolve()
        file = (root / path.lstrip("/")).resolve()
        if file.is_dir():
            file = file / "index.html"
        if root not in file.parents or not file.is_file():
            self.send_error(404)
            return
        kind = mimetypes.guess_type(file.name)[0] or "application/octet-stream"
        kind = {".wasm": "application/wasm", ".js": "text/javascript"}.get(file.suffix, kind)
        taken = {part.split(";")[0].strip()
                 for part in self.headers.get("Accept-Encoding", "").split(",")}
        encoding, data = None, None
        for name in self.encodings:
            copy = file.with_name(file.name + COMPRESSED[name])
            if name in taken and copy.is_file():
                encoding, data = name, copy.read_bytes()
                break
        if encoding is None and "gzip" in self.encodings and "gzip" in taken \
                and kind.startswith(TEXT_TYPES):
            if file not in Site.made:
                Site.made[file] = gzip.compress(file.read_bytes(), 6, mtime=0)
            encoding, data = "gzip", Site.made[file]
        if data is None:
            data = file.read_bytes()
        stat = file.stat()
        tag = f'"{stat.st_mtime_ns:x}-{stat.st_size:x}-{encoding or "identity"}"'
        if self.headers.get("If-None-Match") == tag:
            self.send_response(304)
            self.send_header("ETag", tag)
            self.end_headers()
            return
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(data)))
        if encoding:
            self.send_header("Content-Encoding", encoding)
        self.send_header("Vary", "Accept-Encoding")
        self.send_header("ETag", tag)
        self.send_header("Last-Modified", email.utils.formatdate(stat.st_mtime, usegmt=True))
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        if body:
            self.wfile.write(data)


def compress(file):
    """The file's gzip -9 and, where there is brotli, brotli copies, as the build makes them."""
    subprocess.run(["gzip", "-9", "-n", "-k", "-f", str(file)], check=True)
    if shutil.which("brotli"):
        subprocess.run(["brotli", "-q", "11", "-f", str(file)], check=True)


def bare_site(build, scratch):
    """The page's folder with the bare window in the program's place, and without the program's
    service worker or its registration: the bare window has no worker of its own."""
    subprocess.run(["cmake", "--build", str(build), "--target", "bare_window"], check=True,
                   stdout=subprocess.DEVNULL)
    site = scratch / "bare"
    shutil.copytree(build / "site", site)
    for name in PROGRAM_FILES:
        shutil.copy2(build / "bench" / "web" / "bare" / name, site / name)
        for suffix in COMPRESSED.values():
            site.joinpath(name + suffix).unlink(missing_ok=True)
        compress(site / name)
    (site / "sw.js").unlink()
    page = site / "index.html"
    text = page.read_text(encoding="utf-8")
    registration = '"serviceWorker" in navigator'
    if registration not in text:
        sys.exit(f"{page}: no {registration} to turn the worker's registration off by")
    page.write_text(text.replace(registration, "false"), encoding="utf-8")
    return site


def first_frame(driver, url):
    """Opens the page; the first frame's time in seconds."""
    driver.get("about:blank")
    driver.get(url)
    deadline = time.monotonic() + 90
    while (at := driver.execute_script("return window.__firstFrame")) is None:
        if time.monotonic() > deadline:
            raise TimeoutError(f"{url}: no frame drawn in 90 s")
        time.sleep(0.05)
    return at / 1000


def worker_ready(driver):
    """Whether the page has a service worker, once it is active with what it keeps."""
    return driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        if (!('serviceWorker' in navigator)) return done(false);
        navigator.serviceWorker.getRegistration().then(registration => registration
            ? navigator.serviceWorker.ready.then(() => done(true)) : done(false));""")


def visit(site, encodings, args, servers):
    """One round of one page, its three visits on an origin of their own (a port of a server
    kept in servers, bound to the end, so that no other round has it) in a browser with a fresh
    profile: {mode: seconds}, and in "bytes" what crossed the line for the cold visit, the
    service worker's own downloads included."""
    server = harness.serve(site, type("Served", (Site,), {"encodings": encodings}))
    server.line = Line(args.mbit, args.latency)
    servers.append(server)
    url = f"http://127.0.0.1:{server.server_address[1]}/"
    with tempfile.TemporaryDirectory(ignore_cleanup_errors=True) as profile:
        driver = harness.browser(f"--user-data-dir={profile}")
        try:
            driver.set_script_timeout(60)
            driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                   {"source": FIRST_FRAME_PROBE})
            driver.execute_cdp_cmd("Network.enable", {})
            times = {"cold": first_frame(driver, url)}
            has_worker = worker_ready(driver)
            times["bytes"] = server.line.sent
            driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})
            times["cached"] = first_frame(driver, url)
            driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": False})
            if has_worker:
                worker_ready(driver)
                harness.offline(driver)
                server.line.offline = True
                try:
                    times["offline"] = first_frame(driver, url)
                except TimeoutError as error:
                    print(f"offline: {error}", file=sys.stderr)
                    times["offline failed"] = True
            return times
        finally:
            driver.quit()
            server.shutdown()


def sizes(site):
    """(name, bytes, gzip'd, brotli'd) of the files a first visit downloads."""
    rows = []
    for file in sorted(site.rglob("*")):
        if file.is_file() and file.suffix in (".wasm", ".js", ".ttf", ".html", ".json"):
            if "licences" in file.parts:
                continue
            packed = [len(gzip.compress(file.read_bytes(), 9))]
            br = file.with_name(file.name + ".br")
            packed.append(br.stat().st_size if br.is_file() else None)
            gz = file.with_name(file.name + ".gz")
            if gz.is_file():
                packed[0] = gz.stat().st_size
            rows.append((str(file.relative_to(site)), file.stat().st_size, *packed))
    return rows


def spread(values):
    if len(values) < 2:
        return {"median": values[0], "q1": values[0], "q3": values[0]}
    q = statistics.quantiles(values, n=4, method="inclusive")
    return {"median": statistics.median(values), "q1": q[0], "q3": q[2]}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(REPO / "build-web"),
                        help="the browser build (default: build-web/ of the checkout)")
    parser.add_argument("--rounds", type=int, default=5, help="rounds of both pages")
    parser.add_argument("--serve", action="append",
                        help="encodings the server sends, best first: br,gzip (default), gzip "
                             "or identity; more than one measures each")
    parser.add_argument("--mbit", type=float, default=10, help="the line's Mbit/s")
    parser.add_argument("--latency", type=float, default=40, help="the line's latency in ms")
    parser.add_argument("--page", action="append", default=[],
                        help="NAME=FOLDER: another built page to measure in the same rounds")
    parser.add_argument("--json", help="also write every visit and the summary to this file")
    args = parser.parse_args()
    build = pathlib.Path(args.build).resolve()
    if not (build / "site" / "torvane.wasm").is_file():
        sys.exit(f"{build}/site/torvane.wasm is missing: build the page first (scripts/web.sh)")
    variants = args.serve or ["br,gzip"]

    with tempfile.TemporaryDirectory() as scratch:
        sites = {"torvane": build / "site", "bare": bare_site(build, pathlib.Path(scratch))}
        for page in args.page:
            name, _, folder = page.partition("=")
            sites[name] = pathlib.Path(folder).resolve()
        runs = {v: {name: [] for name in sites} for v in variants}
        servers = []
        try:
            for variant in variants:
                encodings = tuple(e for e in variant.split(",") if e != "identity")
                order = list(sites)
                for _ in range(args.rounds):
                    for name in order:
                        runs[variant][name].append(visit(sites[name], encodings, args, servers))
                    order.reverse()  # ABBA: neither page always goes first
        finally:
            for server in servers:
                server.server_close()

        print(f"Load over a {args.mbit:g} Mbit/s line with {args.latency:g} ms latency, "
              f"{args.rounds} rounds, alternating: first frame, median [quartiles]")
        summary = {}
        for variant in variants:
            print(f"served {variant}:" + "".join(f"{name:>26}" for name in sites) + "   ratio")
            summary[variant] = {}
            for mode in MODES + ("bytes",):
                cells = []
                for name in sites:
                    values = [r[mode] for r in runs[variant][name] if mode in r]
                    if not values:
                        failed = any("offline failed" in r for r in runs[variant][name])
                        cells.append("failed" if failed else "no service worker")
                        continue
                    s = spread(values)
                    summary[variant].setdefault(name, {})[mode] = s
                    cells.append(f"{s['median'] / 1e6:.2f} MB" if mode == "bytes" else
                                 f"{s['median']:.2f} s [{s['q1']:.2f}-{s['q3']:.2f}]")
                label = "bytes, cold" if mode == "bytes" else LABELS[mode]
                program = summary[variant].get("torvane", {}).get(mode)
                bare = summary[variant].get("bare", {}).get(mode)
                ratio = f"{program['median'] / bare['median']:8.2f}" if program and bare else ""
                print(f"  {label:18}" + "".join(f"{cell:>26}" for cell in cells) + ratio)
            for name in sites:
                print(f"  {name}, MB over the line for each cold visit: " + ", ".join(
                    f"{r['bytes'] / 1e6:.2f}" for r in runs[variant][name]))

        print("Files, bytes: as they are, gzip -9, brotli -q 11")
        for name, site in sites.items():
            rows = sizes(site)
            for file, raw, gz, br in rows:
                if file in PROGRAM_FILES or name == "torvane":
                    print(f"  {name:8}{file:36}{raw:>10}{gz:>10}{br if br else '-':>10}")
            print(f"  {name:8}{'the whole page (brotli, else gzip)':36}"
                  f"{sum(r[1] for r in rows):>10}{sum(r[2] for r in rows):>10}"
                  f"{sum(r[3] or r[2] for r in rows):>10}")
        if args.json:
            pathlib.Path(args.json).write_text(json.dumps(
                {"mbit": args.mbit, "latency": args.latency, "runs": runs,
                 "summary": summary}, indent=1), encoding="utf-8")


if __name__ == "__main__":
    main()
