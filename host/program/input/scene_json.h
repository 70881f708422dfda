// Reading scene files (JSON) for the stand-in host program.
//
// A scene file:
//   {
//     "time": seconds,
//     "camera": {"position": [x, y, z] (m), "rotation": [h, p, b] (degrees),
//                "film_size": [w, h] (m), "focal_length": mm, "f_stop": N,
//                "focal_distance": m, "depth_of_field": bool,
//                "focal_envelope": [{"time": t, "value": m}, ...]},
//     "objects": [{"type": "sphere", "name": "...", "center": [..], "radius": r},
//                 {"type": "box", "name": "...", "center": [..], "size": [w, h, d]},
//                 {"type": "mesh", "name": "...", "file": "x.obj", "position": [..], "scale": s}],
//     "viewports": [{"name": "...", "type": "camera" | "top" | "front" | "perspective" | code,
//                    "width": px, "height": px}],
//     "session": [steps, as in session_json.h]
//   }
// Every field is optional except where an object or step needs it; unknown fields, duplicate
// keys, duplicate object or viewport names and values outside the limits of limits.h are
// refused. Meshes are read by obj_reader.h, relative to the scene file's folder.
#pragma once

#include <string>
#include <vector>

#include "host/program/input/json_fields.h"
#include "host/program/input/progress.h"
#include "host/program/session/step.h"
#include "host/scene.h"

namespace host {

// Reads a scene from `source`; mesh files are looked up relative to `base_dir`. On failure
// returns false and sets `error` to one line: the source, the place (line, column and JSON
// path, or the mesh file and line) and the reason. `progress` hears how far long mesh loads
// have got.
bool read_scene(const Source& source, const std::string& base_dir, Scene& scene, std::vector<Step>& session,
                std::string& error, const Progress* progress = nullptr);

}  // namespace host
