#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Eefabe Labs
"""`PageSift --list-images` on hostile pages: time past the page's own load and peak memory of the process tree.

Writes the pages (100,000 images; 100,000 lazy images; 30 MB of noscript;
100,000 images and one image that takes 24 s), serves them from 127.0.0.1,
and for each run starts `PageSift --list-images`, and `--baseline`'s program
beside it when one is given (one first, then the other, in turn), so that
the two share the machine's state. Each page tells the server when its load
event fires (a fetch of /loaded from its load handler, the one script it
has), so the time past the page's own load is measured in the listing's own
run: the listing's end minus that moment. `inventory_timing` gives the load
of the same page in a headless page of its own, for reference.

Memory: every 50 ms the resident memory (VmRSS) of PageSift and every
process under it (the engine's QtWebEngineProcess children) is summed; the
peak of that sum is "RSS", the sum of each process's own peak (VmHWM, which
no sampling misses, though the peaks need not coincide) is "peaks". The
proportional set size (smaps_rollup, "PSS") walks the page tables, and read
every 50 ms it slowed the page's load by a quarter: it is read once a second
during the load and every 250 ms after it, when the listing does its work.
Shared libraries and what the engine's processes share count in full in
each process's RSS: PSS is the fairer sum, RSS the upper bound.

A listing that ends before the page's load event (the page with the slow
image, collected after 25 s as it is) counts as 0 s past the load, and is
"-" in the list of runs.

"listing - load alone" is the listing's whole run (the program's start
included) less the load in a page of its own: a coarser figure, which the
machine's noise between the two runs enters twice.

Prints, per page and program, the medians over the runs, the rows printed
and what the listing said on standard error; with a baseline, the ratio of
the medians of the time past the load.

    bench/list_images_budget.py PROGRAM TIMING [RUNS [PAGE.html...]] [--baseline OTHER_PROGRAM]
e.g.
    bench/list_images_budget.py build/bin/PageSift build/bench/inventory_timing 3
"""
import functools
import http.server
import os
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib


def png(width, height):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + b"\0\0\0\xff" * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


# Tells the server when the page's load event fires.
BEACON = "<script>addEventListener('load', () => fetch('/loaded' + location.search));</script>"


def pages(folder):
    n = 100_000
    with open(os.path.join(folder, "images.html"), "w") as f:
        f.write(BEACON + "".join(f'<img src="p.png?{i % 100}" alt="i{i}">' for i in range(n)))
    with open(os.path.join(folder, "lazy.html"), "w") as f:
        f.write(BEACON + "".join(f'<img loading="lazy" data-src="l{i}.png" src="p.png" width="10" height="10">'
                                 for i in range(n)))
    with open(os.path.join(folder, "noscript.html"), "w") as f:
        chunk = '<img src="n.png" alt="x"><p style="background:url(b.png)">text</p>'
        f.write(BEACON + "<noscript>" + chunk * (30_000_000 // len(chunk)) + "</noscript>")
    with open(os.path.join(folder, "slow.html"), "w") as f:
        f.write(BEACON + "".join(f'<img src="p.png?{i % 100}">' for i in range(n)) + '<img src="slow.png">')
    with open(os.path.join(folder, "p.png"), "wb") as f:
        f.write(png(1, 1))
    return ["images.html", "lazy.html", "noscript.html", "slow.html"]


class Handler(http.server.SimpleHTTPRequestHandler):
    loads = {}  # the query of a /loaded request: when it came

    def do_GET(self):
        if self.path.startswith("/loaded"):
            Handler.loads[self.path.partition("?")[2]] = time.monotonic()
            self.send_response(204)
            self.end_headers()
            return None
        if self.path.startswith("/slow.png"):
            time.sleep(24)
        if self.path.split("?")[0].endswith(".png") and not os.path.exists(self.translate_path(self.path)):
            self.path = "/p.png"
        return super().do_GET()

    def log_message(self, *args):
        pass

    def handle(self):
        try:
            super().handle()
        except (BrokenPipeError, ConnectionResetError):
            pass  # a listing that ended before its images came


def tree(pid):
    """pid and every process under it."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    parent = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(parent, []).append(int(entry))
            except (OSError, ValueError, IndexError):
                pass
    out, todo = [], [pid]
    while todo:
        p = todo.pop()
        out.append(p)
        todo.extend(children.get(p, []))
    return out


def status(pid):
    """(VmRSS, VmHWM) of pid in kB; zeros once it is gone."""
    rss = hwm = 0
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    rss = int(line.split()[1])
                elif line.startswith("VmHWM:"):
                    hwm = int(line.split()[1])
    except OSError:
        pass
    return rss, hwm


def pss(pids):
    total = 0
    for p in pids:
        try:
            with open(f"/proc/{p}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def run_listing(program, url, env, loaded):
    """The listing's start and end, rows, exit status, what it said, and its memory peaks in kB;
    `loaded()` says whether the page's load event has fired."""
    start = time.monotonic()
    proc = subprocess.Popen([program, "--list-images", url], stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    peak = {"rss": 0, "pss": 0}
    hwms = {}
    done = threading.Event()

    def sample():
        looks = 0
        while not done.is_set():
            pids = tree(proc.pid)
            rss = 0
            for p in pids:
                r, h = status(p)
                rss += r
                hwms[p] = max(hwms.get(p, 0), h)
            peak["rss"] = max(peak["rss"], rss)
            if looks % (5 if loaded() else 20) == 0:
                peak["pss"] = max(peak["pss"], pss(pids))
            looks += 1
            time.sleep(0.05)

    sampler = threading.Thread(target=sample)
    sampler.start()
    out, err = proc.communicate()
    end = time.monotonic()
    done.set()
    sampler.join()
    said = [line for line in err.decode(errors="replace").splitlines() if url in line]
    return start, end, out.count(b"\n"), proc.returncode, said, peak["rss"], sum(hwms.values()), peak["pss"]


def load_time(timing, url, env):
    out = subprocess.run([timing, url], capture_output=True, env=env, text=True).stdout
    for line in out.splitlines():
        if line.startswith(url):
            return float(line.split(" load ")[1].split("ms")[0]) / 1000
    return float("nan")


def median(values):
    values = [v for v in values if v == v]  # without NaN
    return statistics.median(values) if values else float("nan")


def main():
    args = sys.argv[1:]
    baseline = None
    if "--baseline" in args:
        at = args.index("--baseline")
        baseline = args[at + 1]
        del args[at:at + 2]
    if len(args) < 2:
        sys.exit(__doc__)
    program, timing = args[0], args[1]
    runs = int(args[2]) if len(args) > 2 else 1
    only = args[3:]
    programs = [program] + ([baseline] if baseline else [])
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QTWEBENGINE_DISABLE_SANDBOX="1",
               QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu")
    with open("/proc/loadavg") as f:
        print(f"load average at start: {' '.join(f.read().split()[:3])}")
    with tempfile.TemporaryDirectory() as folder:
        names = pages(folder)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=folder))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        base = f"http://127.0.0.1:{server.server_port}/"
        token = 0
        for name in names:
            if only and name not in only:
                continue
            alone = []
            results = {p: [] for p in programs}
            for run in range(runs):
                alone.append(load_time(timing, base + name, env))
                for p in programs if run % 2 == 0 else programs[::-1]:
                    token += 1
                    url = f"{base}{name}?run={token}"
                    key = f"run={token}"
                    start, end, rows, status_, said, rss, peaks, pss_ = run_listing(
                        p, url, env, lambda key=key: key in Handler.loads)
                    loaded = Handler.loads.get(key, float("nan"))
                    past = end - loaded if loaded == loaded else 0.0
                    results[p].append({"load": loaded - start, "wall": end - start, "past": past, "before": loaded != loaded,
                                       "rows": rows,
                                       "status": status_, "said": said, "rss": rss, "peaks": peaks, "pss": pss_})
            for p in programs:
                r = results[p]
                m = {key: median([x[key] for x in r]) for key in ("load", "wall", "past", "rss", "peaks", "pss")}
                said = " | ".join(r[-1]["said"]).replace(base, "/")[:140]
                each = " ".join("-" if x["before"] else f"{x['past']:.2f}" for x in r)
                print(f"{name:14} {p}  "
                      f"load alone {median(alone):5.2f} s  load {m['load']:5.2f} s  listing {m['wall']:5.2f} s  "
                      f"past the load {m['past']:5.2f} s ({each})  listing - load alone {m['wall'] - median(alone):5.2f} s  "
                      f"rows {r[-1]['rows']:6}  exit {r[-1]['status']}  RSS {m['rss'] / 1024:4.0f} MB  "
                      f"peaks {m['peaks'] / 1024:4.0f} MB  PSS {m['pss'] / 1024:4.0f} MB  {said}")
            if baseline:
                ours, theirs = (median([x["past"] for x in results[q]]) for q in (program, baseline))
                ratio = f"{ours / theirs:.2f}" if theirs > 0 else "n/a (the baseline ended before the load)"
                print(f"{name:14} past the load, {program} / {baseline}: {ratio}")
        server.shutdown()
    with open("/proc/loadavg") as f:
        print(f"load average at end: {' '.join(f.read().split()[:3])}")


if __name__ == "__main__":
    main()
