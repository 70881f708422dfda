// Reading scene files (JSON) for the stand-in host program.
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
// The session's steps are described in session_json.h; meshes are read by obj_reader.h.
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

}  // namespace host
