#!/usr/bin/env python3
"""`PageSift --list-images` on hostile pages: time past the page's own load and peak memory of the process tree.

Writes the pages (100,000 images; 100,000 lazy images; 30 MB of noscript;
100,000 images and one image that takes 24 s), serves them from 127.0.0.1,
and for each runs `inventory_timing` (the page's own load in a headless
page) and `PageSift --list-images`, sampling every 50 ms the resident and
proportional memory of PageSift and every process under it (the engine's
QtWebEngineProcess children). Prints, per page, the load, the listing's
wall time and the time past the load, the rows printed, what it said on
standard error, and the peaks of the summed RSS and PSS.

    bench/list_images_budget.py build/bin/PageSift build/bench/inventory_timing [RUNS [PAGE.html...]]
"""
import functools
import http.server
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

PNG = bytes.fromhex("89504e470d0a1a0a0000000d4948445200000001000000010806000000"
                    "1f15c4890000000d49444154789c63f8ff9f0100050001ffa3c0d2cb0000000049454e44ae426082")


def pages(folder):
    n = 100_000
    with open(os.path.join(folder, "images.html"), "w") as f:
        f.write("".join(f'<img src="p.png?{i % 100}" alt="i{i}">' for i in range(n)))
    with open(os.path.join(folder, "lazy.html"), "w") as f:
        f.write("".join(f'<img loading="lazy" data-src="l{i}.png" src="p.png" width="10" height="10">' for i in range(n)))
    with open(os.path.join(folder, "noscript.html"), "w") as f:
        chunk = '<img src="n.png" alt="x"><p style="background:url(b.png)">text</p>'
        f.write("<noscript>" + chunk * (30_000_000 // len(chunk)) + "</noscript>")
    with open(os.path.join(folder, "slow.html"), "w") as f:
        f.write("".join(f'<img src="p.png?{i % 100}">' for i in range(n)) + '<img src="slow.png">')
    with open(os.path.join(folder, "p.png"), "wb") as f:
        f.write(PNG)
    return ["images.html", "lazy.html", "noscript.html", "slow.html"]


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/slow.png"):
            time.sleep(24)
        if self.path.split("?")[0].endswith(".png") and not os.path.exists(self.translate_path(self.path)):
            self.path = "/p.png"
        return super().do_GET()

    def log_message(self, *args):
        pass


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


def memory(pids):
    rss = pss = 0
    for p in pids:
        try:
            with open(f"/proc/{p}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Rss:"):
                        rss += int(line.split()[1])
                    elif line.startswith("Pss:"):
                        pss += int(line.split()[1])
        except OSError:
            pass
    return rss, pss


def run_listing(program, url, env):
    start = time.monotonic()
    proc = subprocess.Popen([program, "--list-images", url], stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    peak = [0, 0]
    done = threading.Event()

    def sample():
        while not done.is_set():
            rss, pss = memory(tree(proc.pid))
            peak[0], peak[1] = max(peak[0], rss), max(peak[1], pss)
            time.sleep(0.05)

    sampler = threading.Thread(target=sample)
    sampler.start()
    out, err = proc.communicate()
    wall = time.monotonic() - start
    done.set()
    sampler.join()
    said = [line for line in err.decode(errors="replace").splitlines() if url in line]
    return wall, out.count(b"\n"), proc.returncode, said, peak


def load_time(timing, url, env):
    out = subprocess.run([timing, url], capture_output=True, env=env, text=True).stdout
    for line in out.splitlines():
        if line.startswith(url):
            return float(line.split(" load ")[1].split("ms")[0]) / 1000
    return float("nan")


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    program, timing = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    only = sys.argv[4:]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QTWEBENGINE_DISABLE_SANDBOX="1",
               QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu")
    with tempfile.TemporaryDirectory() as folder:
        names = pages(folder)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=folder))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        base = f"http://127.0.0.1:{server.server_port}/"
        for name in names:
            if only and name not in only:
                continue
            url = base + name
            past, walls, loads = [], [], []
            for _ in range(runs):
                load = load_time(timing, url, env)
                wall, rows, status, said, peak = run_listing(program, url, env)
                loads.append(load)
                walls.append(wall)
                past.append(wall - load)
            print(f"{name:14} load {statistics.median(loads):6.2f} s  listing {statistics.median(walls):6.2f} s  "
                  f"past the load {statistics.median(past):5.2f} s  rows {rows:6}  exit {status}  "
                  f"peak RSS {peak[0] / 1024:6.0f} MB  PSS {peak[1] / 1024:6.0f} MB  {' | '.join(said)[:160]}")
        server.shutdown()


if __name__ == "__main__":
    main()
