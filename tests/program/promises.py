"""taverin-host keeps its promises whatever it accepts and however long the session: every
accepted scene at the edges of the limits gives JSON valid against the schema and words where
a figure is missing; files from Windows editors read as they are meant; memory stays flat and
the report small in a long session; no picture of another run is left for this one's; names
sort in step order. Called by check_program.py, whose helpers it uses."""
import json
import os
import random
import subprocess

from make_long_session import long_session

cp = None  # check_program, set by check_all

SPHERE = {"type": "sphere", "name": "Ball", "center": [0, 1, 3], "radius": 1}


def write(path, content):
    with open(path, "wb") as f:
        f.write(content.encode() if isinstance(content, str) else content)


def scene_file(d, name, doc):
    path = os.path.join(d, name)
    write(path, json.dumps(doc))
    return cp.host_path(path)


def edge_scenes():
    """Scenes at the edges of every limit: each camera quantity at its smallest and largest,
    objects tiny and huge, near and far, viewports of one pixel and of the largest size."""
    rng = random.Random(5)
    cameras = {"film_size": [[0.0001, 0.0001], [1, 1], [0.0001, 1]], "focal_length": [0.1, 10000, 50],
               "f_stop": [0, 0.5, 1000, -0.0], "focal_distance": [0.000001, 1e9, 5],
               "position": [[0, 1, -5], [1e9, -1e9, 1e9]], "rotation": [[0, 0, 0], [0, 90, 0], [0, -90, 0], [1e6, -1e6, 1e6]]}
    objects = [SPHERE, {"type": "sphere", "name": "Speck", "center": [0, 1, 1], "radius": 0.000001},
               {"type": "box", "name": "World", "center": [0, 0, 0], "size": [1e9, 1e9, 1e9]},
               {"type": "sphere", "name": "Far", "center": [0, 0, 1e9], "radius": 1e9}]
    viewports = [[{"name": "Cam", "type": "camera", "width": 1, "height": 1}],
                 [{"name": "Cam", "type": "camera", "width": 16384, "height": 1}],
                 [{"name": "Cam", "type": "camera", "width": 16384, "height": 16384}],
                 [{"name": "Cam", "type": "camera", "width": 640, "height": 480}]]
    scenes = []
    for i in range(36):
        camera = {k: rng.choice(v) for k, v in cameras.items()}
        if i < 2:  # one of each pair of extremes for certain, whatever the draws give
            camera = {k: v[i] for k, v in cameras.items()}
        vps = viewports[i % len(viewports)]
        w, h = vps[0]["width"], vps[0]["height"]
        clicks = [[0, 0], [w - 0.001, h - 0.001], [w / 2, h / 2]]
        session = [{"do": "click", "viewport": "Cam", "pixel": p} for p in clicks]
        session += [{"do": "click", "viewport": "Cam", "pixel": clicks[2], "alternate": True}, {"do": "time", "value": 1e9},
                    {"do": "open_panel"}, {"do": "type", "control": "H", "value": rng.choice([1e-37, -1e9, 0.001])},
                    {"do": "drag_button", "control": "X", "values": [1000000000, -1000000000]}]
        scenes.append({"camera": camera, "objects": objects[: 1 + i % len(objects)] + [SPHERE | {"name": "Ball 2"}],
                       "viewports": vps, "session": session})
    return scenes


def check_edges():
    """Every accepted scene at the limits: JSON valid against the schema, no figure missing
    without a word saying why, nothing undefined or empty in the transcript."""
    d = cp.case_dir("edges")
    for i, doc in enumerate(edge_scenes()):
        if cp.ARGS.emulator and i % 3:
            continue  # a third of them under Wine, where each run costs a second or more
        name = f"edges_{i}"
        path = scene_file(d, f"s{i}.json", doc)
        out = cp.json_run(name, ["--scene", path], d)
        if out:
            for step in out["steps"]:
                dof = step["depth_of_field"]
                if dof["near_m"] is None and not dof["limits_note"]:
                    cp.fail(name, f"step {step['number']}: no near limit and no word why: {dof}")
        args = ["--scene", path] + (["--out", cp.host_path(os.path.join(d, f"out{i}"))] if i % 6 == 0 else ["--no-pictures"])
        status, text, err = cp.run(args, cwd=d)
        text = text.decode("utf-8", "replace")
        bad = [w for w in ("nan", "undefined", "inf ", ": \n", "f/-0") if w in text]
        if status != 0 or bad:
            cp.fail(name, f"transcript: exit status {status}, says {bad}: {err[:200]!r}")
        if i % 6 == 0:
            for f in os.listdir(os.path.join(d, f"out{i}")):
                if f.endswith(".svg"):
                    cp.check_svg(name, os.path.join(d, f"out{i}", f))


def check_encodings():
    """A byte order mark from a Windows editor: skipped in scene, session and OBJ files, so
    that the mesh is read whole and the click hits it at 5 m."""
    d = cp.case_dir("encodings")
    bom = b"\xef\xbb\xbf"
    write(os.path.join(d, "wall.obj"), bom + b"v -2 -2 5\r\nv 2 -2 5\r\nv 2 2 5\r\nv -2 2 5\r\nf 1 2 3 4\r\n")
    write(os.path.join(d, "s.json"), bom + json.dumps({
        "camera": {"position": [0, 0, 0]}, "objects": [{"type": "mesh", "name": "Wall", "file": "wall.obj"}],
        "viewports": [{"name": "Cam", "type": "camera", "width": 64, "height": 48}]}).encode())
    write(os.path.join(d, "t.json"), bom + b'[{"do": "click", "viewport": "Cam", "pixel": [31.5, 23.5]}]')
    out = cp.json_run("byte_order_marks", ["--scene", cp.host_path(os.path.join(d, "s.json")),
                                           "--session", cp.host_path(os.path.join(d, "t.json"))], d)
    if out and (out["steps"][1]["hit"] or {}).get("distance_m") != 5:
        cp.fail("byte_order_marks", f"the click's hit: {out['steps'][1]['hit']}")


def peak_kib(args, d):
    """Runs the program; its exit status and the peak of its resident memory in KiB."""
    p = subprocess.Popen([cp.ARGS.program] + args, cwd=d, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(p.pid, 0)
    p.returncode = os.waitstatus_to_exitcode(status)
    return p.returncode, usage.ru_maxrss


def check_long_sessions():
    """Memory flat in the session's length: 3,000 clicks on 200 spheres in the memory 300
    take; a report of 300 panel edits (whose pictures do not change) holds each picture once."""
    if cp.ARGS.emulator or b"__asan_init" in open(cp.ARGS.program, "rb").read():
        print("skip long_sessions: peak memory is measured on the plain Linux build")
        return
    d = cp.case_dir("long")
    short = scene_file(d, "short.json", long_session(300, 200))
    long = scene_file(d, "long.json", long_session(3000, 200))
    (s1, short_kib), (s2, long_kib) = peak_kib(["--scene", short, "--json", "--no-pictures"], d), \
        peak_kib(["--scene", long, "--json", "--no-pictures"], d)
    if s1 or s2 or long_kib > 1.25 * short_kib + 2048:
        cp.fail("long_session_memory", f"exit {s1}, {s2}; peak {short_kib} KiB for 300 clicks, {long_kib} KiB for 3,000")
    edits = {"objects": [SPHERE], "session": [{"do": "open_panel"}] +
             [{"do": "type", "control": "X", "value": i} for i in range(300)]}
    status, out, err = cp.run(["--scene", scene_file(d, "edits.json", edits), "--out", cp.host_path(os.path.join(d, "out")),
                               "--report", cp.host_path(os.path.join(d, "r.html"))], cwd=d)
    first = [os.path.join(d, "out", f"step_000_{v}.svg") for v in ("camera", "top")]
    one_step = sum(os.path.getsize(f) for f in first if os.path.exists(f))
    size = os.path.getsize(os.path.join(d, "r.html")) if status == 0 else 0
    if status != 0 or not one_step or size > 4 * one_step + 300 * 3000:
        cp.fail("long_session_report", f"exit {status}: a report of {size} bytes for 301 steps of {one_step} bytes "
                                       f"of pictures each: {err[:200]!r}")


def check_earlier_pictures():
    """A shorter run into the folder of a longer one leaves none of the longer run's pictures
    (and nothing that is not its own is touched), a run again keeps its own; step numbers are
    padded to the last step's."""
    d = cp.case_dir("earlier")
    out = os.path.join(d, "out")
    status, _, err = cp.run(["--out", cp.host_path(out)], cwd=d)  # the demo: steps 00 to 09
    write(os.path.join(out, "notes.txt"), "mine")
    write(os.path.join(out, "step_77_top.svg"), "<svg/> not written by a run")
    steps = {"objects": [SPHERE], "session": [{"do": "time", "value": i} for i in range(100)]}
    path = scene_file(d, "s.json", steps)
    status2, _, err2 = cp.run(["--scene", path, "--out", cp.host_path(out)], cwd=d)
    names = sorted(os.listdir(out))
    expected = sorted([".taverin-host-pictures", "notes.txt", "step_77_top.svg"] +
                      [f"step_{n:03d}_{v}.svg" for n in range(101) for v in ("camera", "top")])
    if status or status2 or names != expected:
        cp.fail("earlier_pictures", f"exit {status}, {status2} {err2[:200]!r}; left {sorted(set(names) ^ set(expected))}")
    steps["session"] = steps["session"][:3]
    for _ in range(2):  # the second time over its own pictures, which it keeps
        status3, _, _ = cp.run(["--scene", scene_file(d, "s.json", steps), "--out", cp.host_path(out)], cwd=d)
    names = sorted(os.listdir(out))
    if status3 or names != [".taverin-host-pictures", "notes.txt", "step_00_camera.svg", "step_00_top.svg",
                            "step_01_camera.svg", "step_01_top.svg", "step_02_camera.svg", "step_02_top.svg",
                            "step_03_camera.svg", "step_03_top.svg", "step_77_top.svg"]:
        cp.fail("earlier_pictures", f"after a 3-step run: {names}")


def check_small_things():
    """An f-stop of -0 reads as 0; a single-precision panel value is printed as the shortest
    text that reads back to it."""
    d = cp.case_dir("small")
    path = scene_file(d, "s.json", {"camera": {"f_stop": -0.0}, "objects": [SPHERE], "session": [
        {"do": "open_panel"}, {"do": "type", "control": "H", "value": 0.001}]})
    status, out, _ = cp.run(["--scene", path, "--json", "--no-pictures"], cwd=d)
    text = out.decode()
    if status or '"H": 0.001,' not in text or '"f_stop": 0,' not in text:
        cp.fail("small_things", f"exit {status}; H or the f-stop not as given: {text[-2000:]}")
    status, out, _ = cp.run(["--scene", path, "--no-pictures"], cwd=d)
    if status or b"f/0," not in out or b"panel field H = 0.001\n" not in out:
        cp.fail("small_things", f"exit {status}; transcript {out[:400]!r}")


def check_pipelines():
    """Scenes and sessions from standard input ("-", and /dev/stdin on Linux); a --focus-at
    that hits nothing has an exit status of its own; --version --json is JSON."""
    d = cp.case_dir("pipelines")
    scene = json.dumps({"objects": [SPHERE], "viewports": [{"name": "Cam", "type": "camera", "width": 64, "height": 48}]})
    click = b'[{"do": "click", "viewport": "Cam", "pixel": [31.5, 23.5]}]'
    for name, args, given in (("scene_from_stdin", ["--scene", "-", "--session", '[{"do": "open_panel"}]'], scene.encode()),
                              ("session_from_stdin", ["--scene", scene_file(d, "s.json", json.loads(scene)), "--session", "-"], click)):
        status, out, err = cp.run(args + ["--json", "--no-pictures"], cwd=d, stdin=given)
        try:
            doc = json.loads(out)
            ok = status == 0 and len(doc["steps"]) == 2 and doc["scene"]["objects"][0]["name"] == "Ball"
        except (ValueError, KeyError):
            ok = False
        if not ok:
            cp.fail(name, f"exit {status}: {err[:200]!r} {out[:200]!r}")
    if not cp.ARGS.emulator:
        status, out, err = cp.run(["--scene", "/dev/stdin", "--no-pictures"], cwd=d, stdin=scene.encode())
        if status != 0 or b"1 objects" not in out:
            cp.fail("dev_stdin", f"exit {status}: {err[:200]!r}")
    path = scene_file(d, "s.json", json.loads(scene))
    status, out, err = cp.run(["--scene", path, "--focus-at", "Cam:0,0", "--no-pictures"], cwd=d)
    lines = err.decode("utf-8", "replace").split("\n")
    if status != 5 or len(lines) != 2 or "the click hit nothing, so the focus is unchanged" not in lines[0] or \
            b"no object hit" not in out:
        cp.fail("focus_at_miss", f"exit {status}: {err!r}")
    status, out, _ = cp.run(["--scene", path, "--focus-at", "Cam:31.5,23.5", "--no-pictures"], cwd=d)
    if status != 0:
        cp.fail("focus_at_hit", f"exit {status}")
    status, out, _ = cp.run(["--version", "--json"], cwd=d)
    try:
        version = json.loads(out)
        if status != 0 or version["program"] != "taverin-host" or not version["version"]:
            raise ValueError
    except (ValueError, KeyError):
        cp.fail("version_json", f"exit {status}: {out!r}")


def check_all(check_program):
    global cp
    cp = check_program
    check_edges()
    check_encodings()
    check_long_sessions()
    check_earlier_pictures()
    check_small_things()
    check_pipelines()
