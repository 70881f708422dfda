"""Every input taverin-host refuses: the files a case writes into its folder (None: a folder),
the arguments ({dir}: the case's folder, {data}: tests/data, {module}: the module file), the
text the one error line must hold, and the exit status (2 unless said)."""
import json

CAMERA = {"position": [0, 1, -5], "film_size": [0.036, 0.024], "focal_length": 50, "f_stop": 2.8, "focal_distance": 5}
VIEWPORTS = [{"name": "Cam", "type": "camera", "width": 400, "height": 300}]
OBJECTS = [{"type": "sphere", "name": "Ball", "center": [0, 1, 3], "radius": 1}]


def scene(camera=None, objects=None, viewports=None, session=None, **extra):
    doc = {"camera": dict(CAMERA, **(camera or {})), "objects": OBJECTS if objects is None else objects,
           "viewports": VIEWPORTS if viewports is None else viewports, "session": session or []}
    doc.update(extra)
    return json.dumps(doc)


def case(name, expect, files=None, args=None, status=2, **more):
    c = {"name": name, "expect": expect, "files": files or {}, "status": status,
         "args": args if args is not None else ["--scene", "{dir}/s.json"]}
    c.update(more)
    return c


def scene_case(name, expect, text, **more):
    return case(name, expect, files={"s.json": text}, **more)


def mesh_case(name, expect, obj):
    return case(name, expect, files={"s.json": scene(objects=[{"type": "mesh", "name": "M", "file": "m.obj"}]),
                                     "m.obj": obj})


CONCAVE_300 = "".join(f"v {(1 if i % 2 else 2) * __import__('math').cos(i * 0.0209):.6f} "
                      f"{(1 if i % 2 else 2) * __import__('math').sin(i * 0.0209):.6f} 0\n" for i in range(300))
CONCAVE_300 += "f " + " ".join(str(i + 1) for i in range(300)) + "\n"

BAD_INPUT = [
    # Files that are not there, not files, not JSON.
    case("scene_missing", "{dir}/none.json: no such file", args=["--scene", "{dir}/none.json"]),
    case("scene_is_a_folder", "{dir}/sub: is a folder, not a file", files={"sub": None}, args=["--scene", "{dir}/sub"]),
    scene_case("malformed", "s.json:3:1: malformed JSON: expected ',' or '}' in an object", '{"camera": {}\n\n"x": 1}'),
    scene_case("empty", "s.json:1:1: malformed JSON: unexpected end of the text; expected a value", ""),
    scene_case("not_utf8", "s.json:1:23: malformed JSON: the text is not UTF-8 here", b'{"objects": [], "x": "\xff"}'),
    scene_case("nan", "s.json:1:23: malformed JSON: NaN and Infinity are not JSON numbers", '{"camera": {"f_stop": NaN}}'),
    scene_case("overflow", "s.json:1:31: malformed JSON: the number 1e999 is out of the range of a double",
               '{"camera": {"focal_distance": 1e999}}'),
    scene_case("duplicate_key", "malformed JSON: the key \"f_stop\" appears twice in one object",
               '{"camera": {"f_stop": 2, "f_stop": 4}}'),
    scene_case("unknown_field", "/camera/focal_lenght: unknown field", '{"camera": {"focal_lenght": 50}}'),
    scene_case("wrong_type", "/objects/0/center/2: expected a number",
               scene(objects=[{"type": "sphere", "name": "B", "center": [0, 0, "1"], "radius": 1}])),
    # The camera.
    scene_case("film_zero", "/camera/film_size/0: must be at least 0.0001 m", scene(camera={"film_size": [0, 0.024]})),
    scene_case("film_huge", "/camera/film_size/1: must be at most 1 m", scene(camera={"film_size": [0.036, 1e308]})),
    scene_case("focal_length_zero", "/camera/focal_length: must be at least 0.1 mm", scene(camera={"focal_length": 0})),
    scene_case("focal_length_huge", "/camera/focal_length: must be at most 10000 mm", scene(camera={"focal_length": 1e6})),
    scene_case("focal_distance_negative", "/camera/focal_distance: must be at least 0.000001 m",
               scene(camera={"focal_distance": -3})),
    scene_case("focal_distance_huge", "/camera/focal_distance: must be at most 1000000000 m",
               scene(camera={"focal_distance": 1e308})),
    scene_case("f_stop_negative", "/camera/f_stop: must not be negative", scene(camera={"f_stop": -2.8})),
    scene_case("f_stop_huge", "/camera/f_stop: must be at most 1000", scene(camera={"f_stop": 1e9})),
    scene_case("camera_far_away", "/camera/position/0: must be at most 1000000000 m", scene(camera={"position": [1e300, 0, 0]})),
    scene_case("rotation_huge", "/camera/rotation/0: must be at most 1000000 degrees", scene(camera={"rotation": [1e300, 0, 0]})),
    scene_case("envelope_negative", "/camera/focal_envelope/0/value: must be at least 0.000001 m",
               scene(camera={"focal_envelope": [{"time": 0, "value": -1}]})),
    scene_case("envelope_key_unknown_field", "/camera/focal_envelope/0/valu: unknown field",
               scene(camera={"focal_envelope": [{"time": 0, "value": 1, "valu": 2}]})),
    scene_case("envelope_twice", "/camera/focal_envelope/1/time: two keys at the same time",
               scene(camera={"focal_envelope": [{"time": 0, "value": 1}, {"time": 0, "value": 2}]})),
    # Objects and viewports.
    scene_case("sphere_huge", "/objects/0/radius: must be at most 1000000000 m",
               scene(objects=[{"type": "sphere", "name": "B", "center": [0, 0, 0], "radius": 1e308}])),
    scene_case("box_flat", "/objects/0/size/2: must be at least 0.000001 m",
               scene(objects=[{"type": "box", "name": "B", "center": [0, 0, 0], "size": [1, 1, 0]}])),
    scene_case("same_names", "/objects/1: two objects named \"Ball\"", scene(objects=OBJECTS + OBJECTS)),
    scene_case("viewport_huge", "/viewports/0/width: must be from 1 to 16384",
               scene(viewports=[{"name": "Cam", "type": "camera", "width": 2147483648, "height": 300}])),
    scene_case("viewport_zero", "/viewports/0/height: must be from 1 to 16384",
               scene(viewports=[{"name": "Cam", "type": "camera", "width": 300, "height": 0}])),
    scene_case("same_viewports", "/viewports/1: two viewports named \"Cam\"", scene(viewports=VIEWPORTS + VIEWPORTS)),
    # Sessions in the scene.
    scene_case("click_outside", "/session/0/pixel: the pixel (-5000, 1000000000) is outside \"Cam\" (400 x 300 pixels)",
               scene(session=[{"do": "click", "viewport": "Cam", "pixel": [-5000, 1e9]}])),
    scene_case("click_nowhere", "/session/0/viewport: no viewport named \"Side\"",
               scene(session=[{"do": "click", "viewport": "Side", "pixel": [1, 1]}])),
    scene_case("choose_99", "/session/0/index: must be from 0 to 1",
               scene(session=[{"do": "choose", "control": "Method", "index": 99}])),
    scene_case("type_huge", "/session/0/value: must be at most 1000000000",
               scene(session=[{"do": "type", "control": "X", "value": 1e300}])),
    scene_case("select_missing", "/session/0/item: no object named \"Moon\"",
               scene(session=[{"do": "select_item", "item": "Moon"}])),
    scene_case("time_huge", "/session/0/value: must be at most 1000000000 s", scene(session=[{"do": "time", "value": 1e300}])),
    # Meshes.
    mesh_case("mesh_bad_face", "m.obj:4: face 1 refers to vertex 9 but 3 vertices come before it",
              "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n"),
    mesh_case("mesh_no_faces", "m.obj: no faces", "v 0 0 0\n"),
    mesh_case("mesh_far_vertex", "m.obj:1: the vertex lies beyond the scene's extent", "v 1e300 0 0\n"),
    mesh_case("mesh_concave_300", "face 1 is a concave polygon of 300 corners", CONCAVE_300),
    # Text in another encoding than UTF-8 (a UTF-8 byte order mark is skipped).
    mesh_case("mesh_utf16", "m.obj: the text is UTF-16 (little-endian); save it as UTF-8",
              b"\xff\xfe" + "v 0 0 0\n".encode("utf-16-le")),
    scene_case("scene_utf32", "s.json: the text is UTF-32 (big-endian); save it as UTF-8",
               b"\x00\x00\xfe\xff" + "{}".encode("utf-32-be")),
    scene_case("name_too_long", "/objects/0/name: longer than 256 characters",
               scene(objects=[{"type": "sphere", "name": "\u00e9" * 257, "center": [0, 0, 0], "radius": 1}])),
    scene_case("drag_button_huge", "/session/0/values/0: must be from -1000000000 to 1000000000",
               scene(session=[{"do": "drag_button", "control": "H", "values": [2147483647]}])),
    case("mesh_is_a_folder", "m.obj: is a folder, not a file",
         files={"s.json": scene(objects=[{"type": "mesh", "name": "M", "file": "m.obj"}]), "m.obj": None}),
    # The command line.
    case("unknown_option", "unknown option \"--scenery\" (see --help)", args=["--scenery", "x"]),
    case("three_dashes", "unknown option \"---json\" (see --help)", args=["---json"]),
    case("stray_argument", "unexpected argument \"scene.json\" (see --help)", args=["scene.json"]),
    case("no_value", "--scene needs a value", args=["--scene"]),
    case("empty_value", "--out needs a value that is not empty", args=["--out", ""]),
    case("twice", "--scene is given twice", args=["--scene", "a.json", "--scene", "b.json"]),
    case("flag_with_value", "--json takes no value", args=["--json=yes"]),
    case("click_malformed", "--click \"Camera View:12\": expected VIEWPORT:X,Y", args=["--click", "Camera View:12"]),
    case("click_unknown_viewport", "--click \"Side:1,1\": no viewport named \"Side\" in the scene", args=["--click", "Side:1,1"]),
    case("click_outside_arg", "--click \"Top:-5000,1e9\": the pixel (-5000, 1000000000) is outside \"Top\"",
         args=["--click", "Top:-5000,1e9"]),
    case("focus_at_in_a_top_view", "--focus-at \"Top:1,1\": \"Top\" is not a camera view", args=["--focus-at", "Top:1,1"]),
    case("both_from_standard_input", "--scene - and --session - cannot both read standard input",
         args=["--scene", "-", "--session", "-"]),
    case("focus_at_with_click", "--focus-at plays one click on its own",
         args=["--focus-at", "Top:1,1", "--click", "Top:2,2"]),
    case("session_inline_malformed", "--session:1:2: malformed JSON", args=["--session", "[x]"]),
    case("session_inline_unknown", "--session:1:30: /0/viewport: no viewport named \"Nowhere\"",
         args=["--session", '[{"do": "click", "viewport": "Nowhere", "pixel": [1, 1]}]']),
    case("session_file_missing", "--session {dir}/none.json: no such file", args=["--session", "{dir}/none.json"]),
    # Outputs.
    case("out_is_a_file", "--out {dir}/f: is a file, not a folder", files={"f": "x"}, args=["--out", "{dir}/f"]),
    case("report_is_a_folder", "--report {dir}/r: is a folder, not a file", files={"r": None},
         args=["--report", "{dir}/r"]),
    case("report_is_the_scene", "--report {dir}/./s.json: is the scene file; the report would replace it",
         files={"s.json": scene()}, args=["--scene", "{dir}/s.json", "--report", "{dir}/./s.json"]),
    case("report_is_a_link_to_the_scene", "--report {dir}/r.txt: is the scene file; the report would replace it",
         files={"s.json": scene(), "r.txt": ("link", "s.json")}, args=["--scene", "{dir}/s.json", "--report", "{dir}/r.txt"],
         linux_only=True),
    case("report_is_the_session", "--report {dir}/t.json: is the session file; the report would replace it",
         files={"t.json": "[]"}, args=["--session", "{dir}/t.json", "--report", "{dir}/t.json"]),
    case("report_is_a_mesh", "--report {dir}/m.obj: is the mesh file of \"M\"; the report would replace it",
         files={"s.json": scene(objects=[{"type": "mesh", "name": "M", "file": "m.obj"}]),
                "m.obj": "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"},
         args=["--scene", "{dir}/s.json", "--report", "{dir}/m.obj"]),
    case("report_is_a_picture", "--report {dir}/out/step_01_top.svg: is the name of a picture this run writes",
         files={"s.json": scene(session=[{"do": "time", "value": 1}])},
         args=["--scene", "{dir}/s.json", "--out", "{dir}/out", "--report", "{dir}/out/step_01_top.svg"]),
    case("out_below_a_file", "{dir}/f/out/step_00_camera.svg: cannot be written (a part of the path is a file, not a folder)",
         files={"f": "x"}, args=["--out", "{dir}/f/out"], status=3),
    case("out_is_a_dangling_link", "--out {dir}/link: is a link to something that does not exist",
         files={"link": ("link", "nowhere")}, args=["--out", "{dir}/link"], linux_only=True),
    # The module.
    case("module_missing", "{dir}/none.p: no such file", args=["--module", "{dir}/none.p"], status=1),
    case("module_is_a_folder", "{dir}/m.p: not a regular file", files={"m.p": None}, args=["--module", "{dir}/m.p"],
         status=1),
    case("module_is_text", "{dir}/m.p: not a loadable module", files={"m.p": "text"}, args=["--module", "{dir}/m.p"],
         status=1),
]
