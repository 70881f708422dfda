#!/usr/bin/env python3
"""The report page in a real browser: taverin-host writes a report, headless Chromium opens it
(driven through its DevTools protocol on a pipe), and the page must: run its script without an
error; open at the step its address names (the nearest, with a word, for one beyond the last);
show that step's focus map, its pictures (stored once, shown again) and its table of objects,
with the heading below the sticky bar; move between steps by the arrow keys, with the address
following; show every step one after the other with scripts off; and look like more than a
blank page in a screenshot.

usage: check_report.py --program PATH --scene FILE --work DIR
Exits 77 (skipped) when no Chromium is installed.
"""
import argparse
import base64
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync", "--hide-scrollbars",
         "--window-size=1280,900"]


def browser():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


class Page:
    """One page of a headless Chromium, driven through the DevTools protocol on a pipe (the
    browser reads commands on its descriptor 3 and answers on 4)."""

    def __init__(self, exe, work, scripts=True):
        self.profile = tempfile.mkdtemp(dir=work)
        r_in, self.commands = os.pipe()
        self.answers, w_out = os.pipe()

        def on_3_and_4():
            os.dup2(r_in, 3)
            os.dup2(w_out, 4)
        self.process = subprocess.Popen([exe] + FLAGS + ["--remote-debugging-pipe", f"--user-data-dir={self.profile}",
                                                         "about:blank"], pass_fds=(3, 4, r_in, w_out),
                                        preexec_fn=on_3_and_4, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(r_in)
        os.close(w_out)
        self.buffer, self.last = b"", 0
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        if not scripts:
            self.send("Emulation.setScriptExecutionDisabled", {"value": True}, self.session)

    def send(self, method, params=None, session=None):
        self.last += 1
        message = {"id": self.last, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        deadline = time.time() + 60
        while time.time() < deadline:
            while b"\0" not in self.buffer:
                chunk = os.read(self.answers, 1 << 16)
                if not chunk:
                    raise RuntimeError("the browser closed its pipe")
                self.buffer += chunk
            raw, self.buffer = self.buffer.split(b"\0", 1)
            answer = json.loads(raw)
            if answer.get("id") == self.last:
                if "error" in answer:
                    raise RuntimeError(f"{method}: {answer['error']}")
                return answer.get("result", {})
        raise RuntimeError(f"{method}: no answer")

    def open(self, url):
        self.send("Page.navigate", {"url": url}, self.session)
        for _ in range(100):  # until the page's script says it is ready (or there is none)
            if self.eval("document.readyState") == "complete" and self.eval("document.body.getAttribute('data-ready')") != "no":
                break
            time.sleep(0.05)

    def eval(self, expression):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True}, self.session)
        return result.get("result", {}).get("value")

    def key(self, name, code):
        for kind in ("keyDown", "keyUp"):
            self.send("Input.dispatchKeyEvent", {"type": kind, "key": name, "code": name, "windowsVirtualKeyCode": code},
                      self.session)

    def screenshot(self):
        return base64.b64decode(self.send("Page.captureScreenshot", {"format": "png"}, self.session)["data"])

    def close(self):
        self.process.kill()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


def png_pixels(data):
    """Width, height and the set of distinct colours of an 8-bit RGB or RGBA PNG."""
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


def check(exe, report, objects, work):
    failures = []
    page = Page(exe, work)
    try:
        url = "file://" + report
        page.open(url + "#step-8")
        state = page.eval("[document.body.getAttribute('data-ready'), document.body.getAttribute('data-error'), "
                          "document.body.getAttribute('data-current')]")
        if state != ["yes", None, "8"]:
            failures.append(f"opened at #step-8, the page's state (ready, error, step) is {state}")
        # Step 8 is a panel edit: its pictures are stored once, at step 6, and shown again here.
        shown = page.eval("[document.querySelectorAll('#step-8 svg').length > 1, "
                          "document.querySelector('#step-8 .focus-map') !== null, "
                          "document.querySelectorAll('#step-8 .same-picture').length, "
                          "document.querySelectorAll('#step-8 table.objects tr[data-object]').length, "
                          "document.querySelector('#step-8 h2').getBoundingClientRect().top >= "
                          "document.querySelector('nav').getBoundingClientRect().bottom, "
                          "document.getElementById('position').textContent, "
                          "Array.prototype.map.call(document.querySelectorAll('#step-8 table.objects tr[data-object]'), "
                          "function (r) { return r.cells[1].textContent !== ''; })]")
        if shown != [True, True, 0, len(objects), True, "step 8 of 18", [o["in_view"] for o in objects]]:
            failures.append(f"step 8 shows (pictures, focus map, notes left, table rows, heading below the bar, "
                            f"position, a distance for each object in view) {shown}")
        page.key("ArrowRight", 39)
        after = page.eval("[document.body.getAttribute('data-current'), location.hash]")
        page.key("ArrowLeft", 37)
        page.key("ArrowLeft", 37)
        back = page.eval("[document.body.getAttribute('data-current'), location.hash]")
        if after != ["9", "#step-9"] or back != ["7", "#step-7"]:
            failures.append(f"the arrow keys led to {after} and then {back}")
        page.open(url + "#step-99")
        beyond = page.eval("[document.body.getAttribute('data-current'), document.getElementById('notice').textContent]")
        if beyond[0] != "18" or "There is no step 99" not in (beyond[1] or ""):
            failures.append(f"#step-99 shows {beyond}")
        page.open(url)
        first = page.eval("[document.body.getAttribute('data-current'), document.getElementById('position').textContent]")
        if first != ["0", "before the first step (of 18)"]:
            failures.append(f"with no step in the address the page shows {first}")
        w, h, colours = png_pixels(page.screenshot())
        if w != 1280 or h < 600 or len(colours) < 20:
            failures.append(f"the screenshot is {w} x {h} with {len(colours)} colours: an empty page")
    finally:
        page.close()
    page = Page(exe, work, scripts=False)
    try:
        page.open("file://" + report + "#step-5")
        visible = page.eval("Array.prototype.filter.call(document.querySelectorAll('section.step'), "
                            "function (s) { return getComputedStyle(s).display !== 'none'; }).length")
        if visible != 19:
            failures.append(f"with scripts off {visible} of 19 steps show")
    finally:
        page.close()
    return failures


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
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    report = os.path.join(work, "report.html")
    r = subprocess.run([args.program, "--scene", args.scene, "--out", os.path.join(work, "out"), "--report", report,
                        "--json"], capture_output=True)
    if r.returncode != 0:
        print(f"FAIL: taverin-host exited {r.returncode}: {r.stderr!r}")
        return 1
    objects = json.loads(r.stdout)["steps"][8]["objects"]
    failures = check(exe, report, objects, work)
    for f in failures:
        print("FAIL:", f)
    print("report page checked in", exe, "-", "ok" if not failures else f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
