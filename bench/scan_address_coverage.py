#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Eefabe Labs
"""How many of the image-tag addresses pagesift-scan lists are addresses the engine uses.

For every page of a folder of saved pages (FOLDER/pages.tsv: id and the page's
original address, a tab between; FOLDER/ID.html: the page's body HTML as the
engine serialised it):

- each pagesift-scan given runs as `pagesift-scan --url ORIGINAL --out TMP
  FOLDER/ID.html` and its `img` lines are taken;
- the page is served from 127.0.0.1, wrapped as `<!doctype html><html><head>
  <base href="ORIGINAL"></head>BODY</html>` (in a temporary folder) so that
  the engine resolves against the original address, and
  `PageSift --list-images` gives the engine's own list of every image the
  page uses (any kind).

A listed address is used when the engine lists it as it stands, or once both
are normalised as a browser parses an address (letter case of scheme and
host, default port, dot segments, percent-escapes, no fragment): those are
counted apart as "escaping". For every listed address the engine does not
use the script prints the page, the name, the address, the tag it came from
and a first guess at the reason; look at each one before you count it.

    bench/scan_address_coverage.py [--show-unused] PAGESIFT FOLDER SCAN [SCAN...]

Each SCAN is a pagesift-scan executable (for example one built from main and
one from a branch); every one is measured against the same engine lists.
"""
import functools
import html
import http.server
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
import threading
from urllib.parse import quote, unquote, urljoin, urlsplit, urlunsplit

RAW_TEXT = ("script", "style", "textarea", "title", "noscript", "template", "xmp", "iframe", "noembed", "noframes")


def normalise(address):
    """An address as a browser would request it, roughly (WHATWG for http and https)."""
    address = re.sub(r"[\t\n\r]", "", address.strip(" \t\n\f\r"))
    parts = urlsplit(address.replace("\\", "/") if re.match(r"(?i)https?:", address) else address)
    scheme = parts.scheme.lower()
    host = (parts.hostname or "").lower()
    try:
        port = parts.port if parts.port not in ({"http": 80, "https": 443}.get(scheme), None) else None
    except ValueError:  # not a port: leave the address as it is
        return address
    netloc = host + (":%d" % port if port else "")
    segments = []
    for segment in parts.path.split("/")[1:] if parts.path.startswith("/") else parts.path.split("/"):
        if unquote(segment) == "..":
            if segments:
                segments.pop()
        elif unquote(segment) != ".":
            segments.append(segment)
    if parts.path.rstrip("/").split("/")[-1:] in (["."], [".."]):
        segments.append("")
    path = "/" + "/".join(segments)
    # What a browser escapes; escapes already there stay as they are.
    path = quote(path, safe="/%:@!$&'()*+,;=-._~[]|^", errors="surrogateescape")
    query = quote(parts.query, safe="/%:@!$&()*+,;=-._~?[]|^{}`\\", errors="surrogateescape")
    return urlunsplit((scheme, netloc, path, query, ""))


def context_map(body):
    """For each tag start "<img" in the body: where it stands (text, a raw-text
    element such as script or noscript, a comment, or inside another tag)."""
    where = {}
    i, n = 0, len(body)
    lower = body.lower()
    while i < n:
        lt = body.find("<", i)
        if lt < 0:
            break
        if body.startswith("<!--", lt):
            end = body.find("-->", lt + 4)
            end = n if end < 0 else end + 3
            for m in re.finditer(r"(?i)<img|<a ", body[lt:end]):
                where[lt + m.start()] = "comment"
            i = end
            continue
        m = re.match(r"<([A-Za-z][A-Za-z0-9-]*)", body[lt:])
        if not m:
            i = lt + 1
            continue
        name = m.group(1).lower()
        where[lt] = "element"
        # The tag runs to the first ">" outside quoted attribute values.
        j, quote_char = lt + len(m.group(0)), None
        while j < n:
            c = body[j]
            if quote_char:
                if c == quote_char:
                    quote_char = None
            elif c in "\"'":
                quote_char = c
            elif c == ">":
                break
            j += 1
        for inner in re.finditer(r"(?i)<img|<a ", body[lt + 1:j]):
            where[lt + 1 + inner.start()] = "attribute of <%s>" % name
        i = j + 1
        if name in RAW_TEXT:
            end = lower.find("</" + name, i)
            end = n if end < 0 else end
            for inner in re.finditer(r"(?i)<img|<a ", body[i:end]):
                where[i + inner.start()] = name
            i = end
    return where


def take_reference(line):
    """The reference of an image-tag line and the attribute its "src=" stands
    in, as pagesift-scan takes it (first "src=", quoted or not by the character
    after it)."""
    low = line.lower()
    at = low.find("src=")
    if at < 0:
        return None, None, None
    attribute = re.search(r"[^\s\"'<>/=]*$", line[:at]).group(0).lower() + "src"
    close = line.find(">", at + 4)
    value = line[at:close + 1 if close >= 0 else len(line)].replace("'", '"')[4:]
    quoted = value.startswith('"')
    if quoted:
        if value[1:2] == '"':
            return None, attribute, quoted
        value = value[1:]
    value = re.sub(r"(?i)href=", "", value).lstrip('"')
    end = re.search(r'"', value) if quoted else re.search(r"[ \t\n\f\r>]", value)
    value = (value[:end.start()] if end else value).replace('"', "")
    value = re.sub(r"[\t\n\r]", "", value.strip(" \t\n\f\r"))
    return value, attribute, quoted


def image_tags(body):
    """Every "<img" of the body with its reference, its attribute and where it stands."""
    where = context_map(body)
    starts = [m.start() for m in re.finditer(r"(?i)<img", body)]
    tags = []
    for k, start in enumerate(starts):
        # A tag line runs to the next "<img" or the next CR (the scan's lines).
        end = starts[k + 1] if k + 1 < len(starts) else len(body)
        cr = body.find("\r", start, end)
        line = body[start:cr if cr >= 0 else end]
        reference, attribute, quoted = take_reference(line)
        if reference:
            tags.append({"at": start, "reference": reference, "attribute": attribute, "quoted": quoted,
                         "where": where.get(start, "element"), "line": line})
    return tags


def file_name_part(reference):
    return reference.rsplit("/", 1)[-1].replace(" border=", "").replace('"', "")


def read_five_references(text):
    """&amp; &lt; &gt; &quot; &#39; read back once, left to right."""
    five = {"&amp;": "&", "&lt;": "<", "&gt;": ">", "&quot;": '"', "&#39;": "'"}
    return re.sub("&amp;|&lt;|&gt;|&quot;|&#39;", lambda m: five[m.group(0)], text)


def guess_reason(address, tag, engine_normal, original):
    """A first guess; every one is to be checked by hand."""
    if read_five_references(address) != address and normalise(read_five_references(address)) in engine_normal:
        return "the address keeps the page text's &amp; (or another of the five references)"
    if tag is None:
        return "tag not found again (check by hand)"
    browser = normalise(urljoin(original, html.unescape(tag["reference"])))
    if browser in engine_normal:
        if "../" in tag["reference"]:
            return "\"../\" climbs two levels whatever the reference says (by design)"
        return "resolved otherwise than the browser does (check by hand)"
    if tag["where"].startswith("attribute"):
        return "a reference inside another tag's attribute value (escaped markup), not an image of the page"
    if tag["where"] != "element":
        return "a reference inside %s text, not an image of the page" % tag["where"]
    if tag["attribute"] != "src":
        return "the first \"src=\" is inside %s= (by design)" % tag["attribute"]
    return "an <img> whose src the engine does not use (check by hand)"


def serve(folder):
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    args = sys.argv[1:]
    show_unused = "--show-unused" in args
    args = [a for a in args if a != "--show-unused"]
    if len(args) < 3:
        sys.exit(__doc__)
    program, folder, scans = args[0], args[1], args[2:]
    with open(os.path.join(folder, "pages.tsv"), encoding="utf-8") as f:
        pages = [line.rstrip("\n").split("\t") for line in f][1:]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QTWEBENGINE_DISABLE_SANDBOX="1")
    totals = {scan: {"listed": 0, "exact": 0, "escaping": 0, "shares": [], "reasons": {}} for scan in scans}
    unused_lines = []
    with tempfile.TemporaryDirectory() as served, tempfile.TemporaryDirectory() as out:
        server = serve(served)
        for page_id, original in pages:
            with open(os.path.join(folder, page_id + ".html"), encoding="utf-8", errors="surrogateescape") as f:
                body = f.read()
            with open(os.path.join(served, page_id + ".html"), "w", encoding="utf-8", errors="surrogateescape") as f:
                f.write('<!doctype html><html><head><base href="%s"></head>%s</html>'
                        % (html.escape(original, quote=True), body))
            url = "http://127.0.0.1:%d/%s.html" % (server.server_address[1], quote(page_id))
            run = subprocess.run([program, "--list-images", url], capture_output=True, text=True, env=env)
            engine = {json.loads(line)["address"] for line in run.stdout.splitlines() if line.startswith("{")}
            engine_normal = {normalise(a) for a in engine}
            tags = image_tags(body)
            row = ["%-42s engine %4d" % (page_id[:42], len(engine))]
            for scan in scans:
                listed = subprocess.run([scan, "--url", original, "--out", out, os.path.join(folder, page_id + ".html")],
                                        capture_output=True, text=True, errors="surrogateescape", check=True)
                finds = [line.split("\t")[1:] for line in listed.stdout.splitlines() if line.startswith("img\t")]
                t = totals[scan]
                exact = escaping = 0
                for name, address in finds:
                    if address in engine:
                        exact += 1
                        continue
                    name_tags = [tg for tg in tags if file_name_part(tg["reference"]) == name]
                    tag = name_tags[0] if name_tags else None
                    if normalise(address) in engine_normal:
                        escaping += 1
                        unused_lines.append("%s\t%s\t%s\t%s\t%s\t%s" % (
                            scan, page_id, "used once normalised", name, address,
                            (tag["line"][:300] if tag else "").replace("\t", " ").replace("\n", " ")))
                        continue
                    reason = guess_reason(address, tag, engine_normal, original)
                    unused_lines.append("%s\t%s\t%s\t%s\t%s\t%s" % (
                        scan, page_id, reason, name, address,
                        (tag["line"][:300] if tag else "").replace("\t", " ").replace("\n", " ")))
                    t["reasons"][reason] = t["reasons"].get(reason, 0) + 1
                t["listed"] += len(finds)
                t["exact"] += exact
                t["escaping"] += escaping
                share = (exact + escaping) / len(finds) if finds else None
                if share is not None:
                    t["shares"].append(share)
                row.append("%s: listed %3d used %3d (exact %3d) %s" % (
                    os.path.basename(scan), len(finds), exact + escaping, exact,
                    "%5.1f%%" % (100 * share) if share is not None else "    -"))
            print("  ".join(row), flush=True)
        server.shutdown()
    for scan in scans:
        t = totals[scan]
        used = t["exact"] + t["escaping"]
        print("\n%s: %d img addresses listed on %d pages; the engine uses %d (%.1f%%), %d (%.1f%%) as they stand"
              % (scan, t["listed"], len(pages), used, 100 * used / t["listed"], t["exact"],
                 100 * t["exact"] / t["listed"]))
        print("  %d of them only once both are normalised (percent-escapes, letter case, dot segments)"
              % t["escaping"])
        print("  per page (pages listing any): median %.1f%%, mean %.1f%%, worst %.1f%%, %d of %d at 100%%"
              % (100 * statistics.median(t["shares"]), 100 * statistics.mean(t["shares"]), 100 * min(t["shares"]),
                 sum(1 for s in t["shares"] if s == 1), len(t["shares"])))
        print("  not used, by first guess:")
        for reason, count in sorted(t["reasons"].items(), key=lambda kv: -kv[1]):
            print("  %5d  %s" % (count, reason))
    if show_unused:
        print("\nscan\tpage\tfirst guess\tname\taddress\ttag line")
        print("\n".join(unused_lines))


if __name__ == "__main__":
    main()
