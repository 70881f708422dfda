#!/usr/bin/env python3
"""The report page in a real browser: taverin-host writes a report, headless Chromium opens
it, the page's script must run without an error and show the step asked for, and a
screenshot must have the window's size and show more than a blank page.

usage: check_report.py --program PATH --scene FILE --work DIR
Exits 77 (skipped) when no Chromium is installed.
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync", "--hide-scrollbars"]


def browser():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def chromium(exe, args, work):
    with tempfile.TemporaryDirectory(dir=work) as profile:
        p = subprocess.run([exe] + FLAGS + [f"--user-data-dir={profile}"] + args, capture_output=True, timeout=120)
    return p.stdout.decode("utf-8", "replace"), p.returncode


def png_pixels(path):
    """Width, height and the set of distinct colours of an 8-bit RGB or RGBA PNG."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", chunk[:10])
            assert depth == 8 and colour in (2, 6), f"unexpected PNG format {depth} {colour}"
            bpp = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += chunk
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * bpp
    prev = bytearray(stride)
    colours = set()
    for y in range(height):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        if y % 4 == 0:
            for x in range(0, stride, bpp * 4):
                colours.add(bytes(line[x:x + 3]))
        prev = line
    return width, height, colours


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--program", required=True)
    p.add_argument("--scene", required=True)
    p.add_argument("--work", required=True)
    args = p.parse_args()
    exe = browser()
    if not exe:
        print("skipped: no Chromium is installed (the package chromium), so the report cannot be opened in a browser")
        return 77
    os.makedirs(args.work, exist_ok=True)
    report = os.path.join(os.path.abspath(args.work), "report.html")
    failures = []
    r = subprocess.run([args.program, "--scene", args.scene, "--out", os.path.join(args.work, "out"), "--report", report],
                       capture_output=True)
    if r.returncode != 0:
        print(f"FAIL: taverin-host exited {r.returncode}: {r.stderr!r}")
        return 1
    # Step 8 is a panel edit: its pictures are stored once, at step 6, and shown again here.
    page = open(report, encoding="utf-8").read()
    if 'id="step-8"' not in page or 'data-same-as="6"' not in page.split('id="step-8"')[1].split("</section>")[0]:
        failures.append("step 8's pictures are not the ones stored at step 6")
    dom, _ = chromium(exe, ["--virtual-time-budget=5000", "--dump-dom", f"file://{report}#step-8"], args.work)
    section = dom.split('id="step-8"')[1].split("</section>")[0] if 'id="step-8"' in dom else ""
    if section.count("<svg") < 2 or "same-picture" in section:
        failures.append("step 8 does not show its two pictures")
    body = re.search(r"<body[^>]*>", dom)
    body = body.group(0) if body else ""
    if 'data-ready="yes"' not in body:
        failures.append(f"the page's script did not finish: {body!r}")
    if "data-error" in body:
        failures.append(f"the page's script failed: {body!r}")
    if 'data-current="8"' not in body:
        failures.append(f"the page did not open at the step in its address: {body!r}")
    if len(re.findall(r'<section class="step', dom)) < 2:
        failures.append("the page has no steps")
    shot = os.path.join(args.work, "report.png")
    if os.path.exists(shot):
        os.remove(shot)
    chromium(exe, ["--window-size=1280,900", f"--screenshot={shot}", f"file://{report}"], args.work)
    if not os.path.exists(shot):
        failures.append("no screenshot")
    else:
        w, h, colours = png_pixels(shot)
        if (w, h) != (1280, 900):
            failures.append(f"the screenshot is {w} x {h}, expected 1280 x 900")
        if len(colours) < 20:
            failures.append(f"the screenshot shows {len(colours)} colours: an empty page")
    for f in failures:
        print("FAIL:", f)
    print("report page checked in", exe, "-", "ok" if not failures else f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
