// Reading scenes (JSON) and meshes (Wavefront OBJ) for the stand-in host program.
//
// A scene file:
//   {
//     "time": 0.0,
//     "camera": {"position": [x, y, z], "rotation": [h, p, b] (degrees),
//                "film_size": [w, h] (metres), "focal_length": mm, "f_stop": N,
//                "focal_distance": m, "depth_of_field": bool,
//                "focal_envelope": [{"time": t, "value": m}, ...]},
//     "objects": [{"type": "sphere", "name": "...", "center": [..], "radius": r},
//                 {"type": "box", "name": "...", "center": [..], "size": [w, h, d]},
//                 {"type": "mesh", "name": "...", "file": "x.obj", "position": [..], "scale": s}],
//     "viewports": [{"name": "...", "type": "camera" | "top" | "front" | "perspective" | code,
//                    "width": px, "height": px}],
//     "session": [{"do": "click", "viewport": "...", "pixel": [x, y], "alternate": bool}, ...]
//   }
// Every field is optional except where an object or step needs it; unknown fields are errors.
// Session steps: click, drag {"viewport", "motions": [dx...], "alternate"}, open_panel,
// close_panel, choose {"control", "index"}, type {"control", "value"}, drag_button
// {"control", "values": [...]}, select_item {"item"}, apply, time {"value"}.
#pragma once

#include <string>
#include <vector>

#include "host/scene.h"
#include "host/session.h"

namespace host {

// Parses scene text. `file` names the source in messages; mesh files are looked up relative to
// `base_dir`. On failure returns false and sets `error` to one line: the file, the place (line
// and column, or the field's JSON path, or the mesh file and face) and the reason.
bool read_scene(const std::string& text, const std::string& file, const std::string& base_dir,
                Scene& scene, std::vector<Step>& session, std::string& error);

// Reads a whole file; false with `error` set when it is missing or unreadable.
bool read_file(const std::string& path, std::string& text, std::string& error);

// Parses session steps alone (a JSON array), as given on the command line or in a file.
bool read_session(const std::string& text, const std::string& file, std::vector<Step>& session,
                  std::string& error);

// Loads an OBJ mesh's triangles, scaled and moved; false with `error` naming the file and the
// face (with its line) that is bad.
bool read_obj(const std::string& path, double scale, Vec3 offset, std::vector<Triangle>& out,
              std::string& error);

// The scene and session the program plays when no scene is given.
const char* default_scene_json();

}  // namespace host
