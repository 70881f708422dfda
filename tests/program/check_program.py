#!/usr/bin/env python3
"""taverin-host as a user and a script meet it: every refusal (exit status, one line naming
the file or argument and the place, nothing on standard output, no picture), the outputs of
good runs (transcript, pictures, JSON valid against the schema), and the command-line forms.

usage: check_program.py --program PATH --data DIR --scenes DIR --work DIR --schema FILE
                        [--emulator CMD] [--path-prefix PREFIX]
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

from cases import BAD_INPUT
import promises

ARGS = None
FAILURES = []


def fail(name, why):
    FAILURES.append(f"{name}: {why}")
    print(f"FAIL {name}: {why}")


def host_path(path):
    """A path as the program sees it (under Wine, on drive Z:)."""
    return ARGS.path_prefix + path


def run(args, cwd=None, stdin=None):
    status, out, err = run_once(args, cwd, stdin)
    if ARGS.emulator and status == 1 and not out and not err:
        # Wine that failed to start the program at all (seen once on a loaded machine) says
        # nothing; the program always says why it exits with 1. Such a start is tried again.
        status, out, err = run_once(args, cwd, stdin)
    return status, out, err


def run_once(args, cwd, stdin):
    cmd = ([ARGS.emulator] if ARGS.emulator else []) + [ARGS.program] + args
    # Files, not pipes: a wineserver started by the run inherits its streams and would keep
    # pipes open for seconds after the program ends.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err, tempfile.TemporaryFile() as given:
        given.write(stdin or b"")
        given.seek(0)
        p = subprocess.run(cmd, cwd=cwd, stdin=given if stdin is not None else subprocess.DEVNULL, stdout=out,
                           stderr=err, timeout=300)
        out.seek(0)
        err.seek(0)
        return p.returncode, out.read(), err.read()


def case_dir(name):
    d = os.path.join(ARGS.work, name)
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(d)
    return d


def expand(text, d):
    return (text.replace("{dir}", host_path(d)).replace("{data}", host_path(ARGS.data))
            .replace("{module}", host_path(ARGS.module)))


def check_bad_input():
    for case in BAD_INPUT:
        name = case["name"]
        if ARGS.emulator and case.get("linux_only"):
            continue
        d = case_dir("bad_" + name)
        for fname, content in case.get("files", {}).items():
            path = os.path.join(d, fname)
            if content is None:
                os.makedirs(path, exist_ok=True)
            elif isinstance(content, tuple):
                os.symlink(content[1], path)
            else:
                with open(path, "wb") as f:
                    f.write(content.encode() if isinstance(content, str) else content)
        args = [expand(a, d) for a in case["args"]]
        if "--out" not in args:
            args += ["--out", host_path(os.path.join(d, "out"))]
        status, out, err = run(args, cwd=d)
        want = case.get("status", 2)
        if status != want:
            fail(name, f"exit status {status}, expected {want}; stderr: {err!r}")
            continue
        lines = err.decode("utf-8", "replace").split("\n")
        if len(lines) != 2 or lines[1] != "":
            fail(name, f"expected exactly one line on standard error, got {err!r}")
            continue
        expected = expand(case["expect"], d)
        if expected not in lines[0]:
            fail(name, f"the line {lines[0]!r} does not say {expected!r}")
        if out:
            fail(name, f"standard output was not empty: {out[:200]!r}")
        written = []
        for root, _, files in os.walk(d):
            for f in files:
                if f.endswith(".svg") or f.endswith(".partial") or f.endswith(".html"):
                    written.append(os.path.join(root, f))
        if written:
            fail(name, f"files were written: {written}")


def check_svg(name, path):
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError as e:
        fail(name, f"{path} is not well-formed XML: {e}")
        return
    if not root.tag.endswith("svg") or float(root.get("width")) <= 0:
        fail(name, f"{path} is not an SVG picture")


def check_demo():
    d = case_dir("demo")
    out_dir = os.path.join(d, "out")
    status, out, err = run(["--out", host_path(out_dir)], cwd=d)
    text = out.decode("utf-8")
    if status != 0:
        fail("demo", f"exit status {status}: {err!r}")
        return
    for expected in ["focal distance 5.00 m -> 7.14 m", "command \"FocalDistance 7.143110\"",
                     "depth of field: sharp from 5.96 m to 8.91 m (2.95 m deep), hyperfocal distance 35.75 m",
                     "panel field H = 15.301499", "panel field P = 0.15", "step 9: click in \"Camera View\""]:
        if expected not in text:
            fail("demo", f"the transcript does not say {expected!r}")
    pictures = sorted(os.listdir(out_dir))
    expected = [".taverin-host-pictures"] + [f"step_{n:02d}_{v}.svg" for n in range(10) for v in ("camera", "top")]
    if pictures != expected:
        fail("demo", f"pictures {pictures}, expected {expected}")
    for p in pictures[1:]:
        check_svg("demo", os.path.join(out_dir, p))


def validate(name, document):
    try:
        import jsonschema
    except ImportError:
        print(f"skip {name} schema validation: the python3-jsonschema package is not installed")
        return
    with open(ARGS.schema) as f:
        schema = json.load(f)
    try:
        jsonschema.validate(document, schema)
    except jsonschema.ValidationError as e:
        fail(name, f"the output does not match the schema: {e.message} at {list(e.absolute_path)}")


def json_run(name, args, cwd):
    status, out, err = run(args + ["--json", "--no-pictures"], cwd=cwd)
    if status != 0:
        fail(name, f"exit status {status}: {err!r}")
        return None
    try:
        doc = json.loads(out.decode("utf-8"))  # strict: the output is UTF-8
    except (UnicodeDecodeError, json.JSONDecodeError) as e:
        fail(name, f"the output is not valid JSON: {e}")
        return None
    validate(name, doc)
    return doc


def check_json():
    d = case_dir("json")
    doc = json_run("json_demo", [], d)
    if doc:
        step = doc["steps"][2]
        if step["hit"]["object"] != "Ball" or abs(step["focal_distance_after_m"] - 7.14311) > 1e-5:
            fail("json_demo", f"step 2 is {step}")
        if doc["steps"][0]["kind"] != "initial" or len(doc["steps"]) != 10:
            fail("json_demo", "expected the initial state and nine steps")
        if step["commands"] != ["DepthOfField", "FocalDistance 7.143110"]:
            fail("json_demo", f"commands {step['commands']}")
    doc = json_run("json_envelope", ["--scene", host_path(os.path.join(ARGS.data, "envelope_scene.json"))], d)
    if doc:
        keys = [k for s in doc["steps"] for k in s["envelope_keys"]]
        if keys != [{"time_s": 0, "value_m": 7.5, "created": False}, {"time_s": 1, "value_m": 7.5, "created": True}]:
            fail("json_envelope", f"envelope keys {keys}")
        if doc["camera"]["focal_envelope"] is not True:
            fail("json_envelope", "the camera's focal-distance envelope is not reported")
    doc = json_run("json_fstop_zero", ["--scene", host_path(os.path.join(ARGS.scenes, "fstop_zero.json"))], d)
    if doc:
        dof = doc["steps"][0]["depth_of_field"]
        if dof["near_m"] is not None or not dof["hyperfocal_is_infinite"] or "no blur" not in dof["limits_note"]:
            fail("json_fstop_zero", f"depth of field {dof}")
        if doc["steps"][0]["marks_m"]["near"] is not None:
            fail("json_fstop_zero", "a near disc was drawn")
    status, out, err = run(["--json", "--scene", host_path(os.path.join(d, "missing.json"))], cwd=d)
    lines = err.decode().split("\n")
    try:
        e = json.loads(lines[0])
        if status != 2 or e["exit_status"] != 2 or "missing.json: no such file" not in e["message"] or out:
            fail("json_error", f"{status} {e}")
    except json.JSONDecodeError:
        fail("json_error", f"the error is not JSON: {err!r}")


def check_command_line():
    d = case_dir("command_line")
    status, out, _ = run(["--version"], cwd=d)
    if status != 0 or not out.decode().startswith("taverin-host "):
        fail("version", f"{status} {out!r}")
    status, out, _ = run(["--help"], cwd=d)
    if status != 0 or "exit status:" not in out.decode():
        fail("help", f"{status}")
    doc = json_run("focus_at", ["--focus-at", "Camera View:319.5,300"], d)
    if doc and (len(doc["steps"]) != 2 or abs(doc["steps"][1]["focal_distance_after_m"] - 7.14311) > 1e-5):
        fail("focus_at", f"{len(doc['steps'])} steps")
    doc = json_run("inline_session", ["--session", '[{"do": "open_panel"}, {"do": "type", "control": "H", "value": 2}]'], d)
    if doc and (len(doc["steps"]) != 3 or doc["steps"][2]["panel_fields"]["H"] != 2):
        fail("inline_session", "expected two steps, H = 2")
    # A module named without a folder is the file in the current folder, not a library search.
    module_dir = os.path.dirname(ARGS.module)
    status, _, err = run(["--module", os.path.basename(ARGS.module), "--no-pictures"], cwd=module_dir)
    if status != 0:
        fail("module_in_this_folder", f"exit status {status}: {err!r}")
    # Report.
    report = os.path.join(d, "report.html")
    status, out, err = run(["--report", host_path(report), "--no-pictures"], cwd=d)
    if status != 0 or not os.path.exists(report):
        fail("report", f"exit status {status}: {err!r}")
    else:
        page = open(report, encoding="utf-8").read()
        outside = [w for w in ("src=", "href=", "url(http", "@import") if w in page]
        if not page.startswith("<!DOCTYPE html>") or outside:
            fail("report", f"not a self-contained page: {outside}")


def check_utf8_paths():
    if ARGS.emulator:
        print("skip utf8_paths: file names that are not UTF-8 are Linux's (Windows names are UTF-16)")
        return
    d = case_dir("utf8")
    name = os.path.join(d.encode(), b"b\xff.json")
    shutil.copy(os.path.join(ARGS.data, "envelope_scene.json"), name)
    shutil.copy(os.path.join(ARGS.data, "panel.obj"), os.path.join(d, "panel.obj"))
    doc = json_run("utf8_paths", ["--scene", name.decode("utf-8", "surrogateescape")], d)
    if doc and "b\ufffd.json" not in doc["scene"]["source"]:
        fail("utf8_paths", f"source {doc['scene']['source']!r}")
    status, out, err = run(["--scene", name.decode("utf-8", "surrogateescape"), "--out", os.path.join(d, "out"),
                            "--report", os.path.join(d, "r\xff.html".encode("latin-1").decode("utf-8", "surrogateescape"))], cwd=d)
    if status != 0:
        fail("utf8_paths", f"transcript run: exit status {status}: {err!r}")


def main():
    global ARGS
    p = argparse.ArgumentParser()
    for a in ("--program", "--module", "--data", "--scenes", "--work", "--schema"):
        p.add_argument(a, required=True)
    p.add_argument("--emulator", default="")
    p.add_argument("--path-prefix", default="")
    ARGS = p.parse_args()
    for a in ("program", "module", "data", "scenes", "work", "schema"):
        setattr(ARGS, a, os.path.abspath(getattr(ARGS, a)))
    os.makedirs(ARGS.work, exist_ok=True)
    check_bad_input()
    check_demo()
    check_json()
    check_command_line()
    check_utf8_paths()
    promises.check_all(sys.modules[__name__])
    print(f"{len(BAD_INPUT)} refusals and the good runs checked; {len(FAILURES)} failures")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
