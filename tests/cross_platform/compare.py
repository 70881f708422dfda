#!/usr/bin/env python3
"""Linux and Windows give the same bits: every scene of the corpus (and the built-in demo) is
played by the Linux taverin-host and by the Windows one under Wine; the transcript, the JSON,
every picture and the report must be the same bytes once the module's path (which differs) is
replaced by MODULE. The geometry library's digest (geometry/tests/consumer/digest.cpp) must match
too: exactly, except for the operations listed in LIBM_OPERATIONS, which call the platform's
arc tangent, arc sine, arc cosine or double sine and cosine; those are compared value by value
within a stated tolerance (docs/reliability.md). A difference names the first differing line.

usage: compare.py --linux-program P --linux-module M --linux-digest D
                  --windows-program P --windows-module M --windows-digest D --emulator CMD
                  --scenes DIR --data DIR --work DIR
"""
import argparse
import math
import os
import shutil
import subprocess
import sys
import tempfile

# Operations whose results come partly from the platform's maths library (atan, atan2, asin,
# acos, and sin and cos in double precision) appear twice in the digest. Over bounded inputs
# (within 1e4) they are compared within TOLERANCE, relative to the value's size (or absolute
# below 1). Over any input they are reported, not compared: for huge arguments the platforms'
# libraries disagree arbitrarily (docs/reliability.md). Every other operation must match to
# the bit.
TOLERANCE = 1e-6

FAILURES = []
ARGS = None


def fail(what):
    FAILURES.append(what)
    print("FAIL", what)


def run(cmd, cwd):
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        p = subprocess.run(cmd, cwd=cwd, stdin=subprocess.DEVNULL, stdout=out, stderr=err, timeout=600)
        out.seek(0)
        err.seek(0)
        return p.returncode, out.read(), err.read()


def first_difference(name, a, b):
    la, lb = a.split(b"\n"), b.split(b"\n")
    for i, (x, y) in enumerate(zip(la, lb)):
        if x != y:
            return f"{name}: line {i + 1} differs:\n  linux:   {x[:300]!r}\n  windows: {y[:300]!r}"
    return f"{name}: one is longer ({len(la)} and {len(lb)} lines)"


def play(platform, scene, cwd):
    """Plays a scene; returns {output name: bytes} with the module path replaced."""
    program, module = (ARGS.linux_program, ARGS.linux_module) if platform == "linux" else (ARGS.windows_program, ARGS.windows_module)
    prefix = [] if platform == "linux" else [ARGS.emulator]
    shown_module = module if platform == "linux" else "Z:" + module
    os.makedirs(cwd)
    scene_args = ["--scene", os.path.relpath(scene, cwd)] if scene else []
    outputs = {}
    for kind, extra in (("transcript", ["--out", "out", "--report", "report.html"]), ("json", ["--json", "--no-pictures"])):
        status, out, err = run(prefix + [program, "--module", shown_module] + scene_args + extra, cwd)
        if status != 0:
            fail(f"{platform} {scene or 'demo'} ({kind}): exit status {status}: {err[:300]!r}")
            return {}
        outputs[kind] = out
    for root, _, files in os.walk(cwd):
        for f in sorted(files):
            path = os.path.join(root, f)
            outputs[os.path.relpath(path, cwd)] = open(path, "rb").read()
    needle = shown_module.encode()
    return {k: v.replace(needle, b"MODULE") for k, v in outputs.items()}


def compare_scenes():
    scenes = [None] + sorted(os.path.join(ARGS.scenes, f) for f in os.listdir(ARGS.scenes) if f.endswith(".json"))
    scenes.append(os.path.join(ARGS.data, "envelope_scene.json"))
    for scene in scenes:
        name = os.path.basename(scene) if scene else "built-in demo"
        base = os.path.join(ARGS.work, name)
        shutil.rmtree(base, ignore_errors=True)
        linux = play("linux", scene, os.path.join(base, "linux"))
        windows = play("windows", scene, os.path.join(base, "windows"))
        if not linux or not windows:
            continue
        if sorted(linux) != sorted(windows):
            fail(f"{name}: different outputs: {sorted(set(linux) ^ set(windows))}")
            continue
        same = 0
        for k in sorted(linux):
            if linux[k] != windows[k]:
                fail(first_difference(f"{name} {k}", linux[k], windows[k]))
            else:
                same += 1
        print(f"{name}: {same} of {len(linux)} outputs the same bytes")
    return len(scenes)


def digest(platform):
    cmd = [ARGS.linux_digest] if platform == "linux" else [ARGS.emulator, ARGS.windows_digest]
    status, out, err = run(cmd, ARGS.work)
    if status != 0:
        fail(f"{platform} digest: exit status {status}: {err[:300]!r}")
    return out.decode().replace("\r\n", "\n").split("\n")


def values(platform, op):
    cmd = [ARGS.linux_digest] if platform == "linux" else [ARGS.emulator, ARGS.windows_digest]
    _, out, _ = run(cmd + ["--values", op], ARGS.work)
    return [float.fromhex(v) if "nan" not in v and "inf" not in v else float(v) for v in out.decode().split()]


def compare_digests():
    linux, windows = digest("linux"), digest("windows")
    if len(linux) != len(windows):
        fail(f"geometry digest: {len(linux)} lines on Linux, {len(windows)} on Windows")
    same = 0
    for a, b in zip(linux, windows):
        if not a.strip():
            continue
        if a == b:
            same += 1
            continue
        op = a[:40].strip()
        if not op.endswith(")"):
            fail(f"geometry digest: {op} differs between Linux and Windows, and it uses no platform function:\n  {a}\n  {b}")
            continue
        la, lb = values("linux", op), values("windows", op)
        worst, count = 0.0, 0
        for x, y in zip(la, lb):
            if x == y or (math.isnan(x) and math.isnan(y)):
                continue
            count += 1
            d = abs(x - y) / max(1.0, abs(x)) if math.isfinite(x) and math.isfinite(y) else math.inf
            worst = max(worst, d)
        if op.endswith("(any input)"):
            print(f"geometry digest: {op}: {count} of {len(la)} values differ, the largest by {worst:.3g} "
                  f"(the platforms' maths libraries, which disagree arbitrarily for huge arguments: reported, "
                  f"not compared)")
        elif len(la) != len(lb) or worst > TOLERANCE:
            fail(f"geometry digest: {op}: {count} values differ, the largest by {worst:.3g} (tolerance {TOLERANCE})")
        else:
            print(f"geometry digest: {op} differs in {count} of {len(la)} values (the platforms' maths libraries), "
                  f"the largest by {worst:.3g}, within {TOLERANCE}")
    print(f"geometry digest: {same} operations the same bits")


def main():
    global ARGS
    p = argparse.ArgumentParser()
    for a in ("--linux-program", "--linux-module", "--linux-digest", "--windows-program", "--windows-module",
              "--windows-digest", "--emulator", "--scenes", "--data", "--work"):
        p.add_argument(a, required=True)
    ARGS = p.parse_args()
    for a in vars(ARGS):
        if a != "emulator":
            setattr(ARGS, a, os.path.abspath(getattr(ARGS, a)))
    os.makedirs(ARGS.work, exist_ok=True)
    n = compare_scenes()
    compare_digests()
    print(f"{n} scenes and the geometry digest compared; {len(FAILURES)} failures")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
