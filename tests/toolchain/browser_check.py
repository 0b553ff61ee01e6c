#!/usr/bin/env python3
"""Opens the bridge's page of the bundled example in headless Chromium: its DOM, once the page's script has
run, must hold the lanes and the alignment rows, and a screenshot must show drawn content in every lane.

  browser_check.py BUILD_DIR [--save PNG]

--save keeps the screenshot (the README's picture is made so: --save docs/timeline.png).
"""
import argparse
import os
import shutil
import subprocess
import sys
import struct
import tempfile
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bridge_page import Page  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINDOW = (1400, 1000)


def read_png(path):
    """(width, rows of RGB tuples) of an 8-bit RGB or RGBA PNG without interlace, as Chromium writes them."""
    with open(path, "rb") as f:
        data = f.read()
    at, chunks, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", data[at + 8:at + 21])
        elif kind == b"IDAT":
            chunks += data[at + 8:at + 8 + length]
        at += 12 + length
    width, height, depth, color, _, _, interlace = header
    assert depth == 8 and color in (2, 6) and not interlace, "unexpected PNG format"
    step = 3 if color == 2 else 4
    raw, stride, rows, previous = zlib.decompress(chunks), width * step, [], bytearray(width * step)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b, c = previous[i], previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[i:i + 3]) for i in range(0, stride, step)])
        previous = line
    return width, rows


def chromium(page, work, *what):
    profile = tempfile.mkdtemp(dir=work)
    command = [shutil.which("chromium") or shutil.which("chromium-headless-shell"), "--headless", "--no-sandbox",
               "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
               "--disable-component-update", "--disable-sync", "--user-data-dir=" + profile, "--hide-scrollbars",
               "--force-device-scale-factor=1", "--window-size=%d,%d" % WINDOW, *what, "file://" + page]
    return subprocess.run(command, capture_output=True, timeout=120, check=True).stdout.decode("utf-8")


def example_page(build, work):
    for name in os.listdir(os.path.join(ROOT, "examples")):
        shutil.copy(os.path.join(ROOT, "examples", name), work)
    env = dict(os.environ, VARNETDIR=os.path.join(build, "varnet"), MPS_DIR=build, LANG="C")
    names = sorted(n for n in os.listdir(work) if n.endswith((".tdc", ".rio")))
    subprocess.run([os.path.join(build, "mpsmerge"), *names, "-RDD=demo.rdd"], cwd=work, env=env, capture_output=True)
    return os.path.join(work, "demo.html")


def check(build, save):
    work = tempfile.mkdtemp(prefix="mpsuml-browser-")
    try:
        page = example_page(build, work)
        dom = Page(chromium(page, work, "--dump-dom"))
        lanes = dom.all("g", cls="lane")
        assert [lane["attrs"]["data-report"] for lane in lanes] == ["1", "2", "3"], "lanes"
        assert all(mark["attrs"].get("x") for mark in dom.all("rect", cls="m")), "the script placed no mark"
        rows = [row for row in dom.all("tr") if "data-shift" in row["attrs"]]
        assert [row["attrs"]["data-shift"] for row in rows] == ["5000", "5500", "0"], "alignment rows"

        shot = os.path.join(work, "page.png")
        chromium(page, work, "--screenshot=" + shot)
        width, pixels = read_png(shot)
        for lane in lanes:
            x, y, w, h = map(int, lane["attrs"]["data-plot"].split())
            assert x + w <= width and y + h <= len(pixels), "lane %s off screen" % lane["attrs"]["data-report"]
            band = pixels[y + h - 1][x + 1]
            drawn = sum(1 for row in pixels[y:y + h] for px in row[x:x + w]
                        if max(abs(px[k] - band[k]) for k in range(3)) > 40)
            assert drawn > 200, "lane %s: %d drawn pixels" % (lane["attrs"]["data-report"], drawn)
        if save:
            shutil.copy(shot, save)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--save")
    arguments = parser.parse_args()
    check(os.path.abspath(arguments.build), arguments.save)
    print("browser check: lanes, alignment rows and drawn lanes found")
