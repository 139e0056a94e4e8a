#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Eefabe Labs
"""How much of a page's images the inventory finds, compared with a plain HTML parser.

Serves each page of a folder from 127.0.0.1 as a whole page, runs
`PageSift --list-images` on it, and compares its addresses with the ones a
plain HTML parser finds in the page: img src and srcset, the lazy-load
attributes, picture sources, links to image files and CSS url() in style
attributes. Prints one line per page and a summary.

    bench/inventory_coverage.py build/bin/PageSift FOLDER [PAGE.html ...]
"""
import functools
import http.server
import json
import os
import re
import statistics
import subprocess
import sys
import threading
import time
from html.parser import HTMLParser
from urllib.parse import quote, urljoin, urlsplit, urlunsplit

IMAGE_EXTENSIONS = ("bmp", "gif", "ico", "jpeg", "jpg", "png", "svg", "webp", "avif", "tif", "tiff")
LAZY = {"data-src", "data-original", "data-original-src", "data-lazy", "data-lazy-src", "data-hi-res-src",
        "data-full-src", "data-echo", "data-bg", "data-background"}
LAZY_SRCSET = {"data-srcset", "data-lazy-srcset"}
CSS_URL = re.compile(r"url\(\s*(['\"]?)(.*?)\1\s*\)", re.I | re.S)


def srcset_addresses(value):
    # The address is a run of non-space characters (commas included); a
    # descriptor list follows up to the next comma outside parentheses.
    i, n = 0, len(value)
    while i < n:
        while i < n and (value[i].isspace() or value[i] == ","):
            i += 1
        start = i
        while i < n and not value[i].isspace():
            i += 1
        address = value[start:i]
        if address.endswith(","):
            address = address.rstrip(",")
        else:
            depth = 0
            while i < n and (value[i] != "," or depth):
                depth += {"(": 1, ")": -1}.get(value[i], 0)
                i += 1
        if address:
            yield address


def is_image_path(address):
    path = urlsplit(address).path.lower()
    return path.rsplit(".", 1)[-1] in IMAGE_EXTENSIONS if "." in path else False


class ImageFinder(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.found = []
        self.base = None
        self.in_picture = 0

    def handle_starttag(self, tag, attrs):
        a = {k: (v or "") for k, v in attrs}
        if tag == "base" and self.base is None and a.get("href"):
            self.base = a["href"]
        if tag == "picture":
            self.in_picture += 1
        if tag == "img":
            if a.get("src"):
                self.found.append(a["src"])
            self.found += srcset_addresses(a.get("srcset", ""))
        if tag == "source" and self.in_picture:
            self.found += srcset_addresses(a.get("srcset", ""))
            if a.get("src"):
                self.found.append(a["src"])
        if tag in ("img", "source", "picture"):
            for name, value in a.items():
                if name in LAZY and value:
                    self.found.append(value)
                elif name in LAZY_SRCSET:
                    self.found += srcset_addresses(value)
        if tag == "a" and a.get("href") and (is_image_path(a["href"]) or a.get("type", "").startswith("image/")):
            self.found.append(a["href"])
        for match in CSS_URL.finditer(a.get("style", "")):
            self.found.append(match.group(2))

    def handle_endtag(self, tag):
        if tag == "picture" and self.in_picture:
            self.in_picture -= 1


def normalise(address):
    parts = urlsplit(address.strip())
    path = quote(parts.path, safe="/%:@!$&'()*+,;=-._~")
    query = quote(parts.query, safe="/%:@!$&'()*+,;=-._~?")
    return urlunsplit((parts.scheme.lower(), parts.netloc.lower(), path or "/", query, ""))


def parser_addresses(html, page_url):
    finder = ImageFinder()
    finder.feed(html)
    base = urljoin(page_url, finder.base) if finder.base else page_url
    out = set()
    for value in finder.found:
        address = urljoin(base, value.strip())
        if urlsplit(address).scheme in ("http", "https"):
            out.add(normalise(address))
    return out


def serve(folder):
    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)
    handler.log_message = lambda *args: None
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    program, folder = sys.argv[1], sys.argv[2]
    pages = sys.argv[3:] or sorted(f for f in os.listdir(folder) if f.endswith(".html"))
    server = serve(folder)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QTWEBENGINE_DISABLE_SANDBOX="1")
    shares, seconds = [], []
    for page in pages:
        url = "http://127.0.0.1:%d/%s" % (server.server_address[1], quote(page))
        with open(os.path.join(folder, page), encoding="utf-8", errors="replace") as f:
            expected = parser_addresses(f.read(), url)
        start = time.monotonic()
        run = subprocess.run([program, "--list-images", url], capture_output=True, text=True, env=env)
        seconds.append(time.monotonic() - start)
        listed = set()
        for line in run.stdout.splitlines():
            row = json.loads(line)
            if not row["address"].startswith("data:"):
                listed.add(normalise(row["address"]))
        found = len(expected & listed)
        share = found / len(expected) if expected else 1.0
        shares.append(share)
        print("%-50s exit %d  parser %4d  inventory %4d  found %4d  %5.1f%%  %.1f s"
              % (page[:50], run.returncode, len(expected), len(listed), found, 100 * share, seconds[-1]))
    print("pages %d  share median %.1f%%  worst %.1f%%  mean %.1f%%  run time median %.1f s  worst %.1f s"
          % (len(shares), 100 * statistics.median(shares), 100 * min(shares), 100 * statistics.mean(shares),
             statistics.median(seconds), max(seconds)))


if __name__ == "__main__":
    main()
