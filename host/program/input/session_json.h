// Reading session steps (a JSON array of steps) for the stand-in host program. Every name a
// step uses is checked against the scene, and resolved to its viewport, object or panel
// control, as it is read.
//
//   {"do": "click", "viewport": NAME, "pixel": [x, y], "alternate": bool}
//   {"do": "drag", "viewport": NAME, "pixel": [x, y], "motions": [dx, ...], "alternate": bool}
//   {"do": "open_panel"}, {"do": "close_panel"}, {"do": "apply"}
//   {"do": "choose", "control": "Origin" | "Method", "index": 0 | 1}
//   {"do": "type", "control": "H" | "P" | "B" | "X" | "Y" | "Z", "value": v}
//   {"do": "drag_button", "control": "H" | ... | "Z", "values": [v, ...]}
//   {"do": "select_item", "item": OBJECT NAME, or "" for no selection}
//   {"do": "time", "value": seconds}
// A pixel lies inside its viewport: 0 <= x < width, 0 <= y < height.
#pragma once

#include <string>
#include <vector>

#include "host/program/input/json_fields.h"
#include "host/program/input/scene_names.h"
#include "host/program/session/step.h"
#include "host/scene.h"

namespace host {

// Reads the steps of the array `v` found at `path`, appending them to `out`.
void read_steps(const json::Value& v, const std::string& path, const Scene& scene, const SceneNames& names,
                std::vector<Step>& out);

// Reads a session document (a JSON array of steps). False with `error` set to one line naming
// the source, the place and the reason.
bool read_session(const Source& source, const Scene& scene, const SceneNames& names, std::vector<Step>& session,
                  std::string& error);

// A click given as "VIEWPORT:X,Y". False with `why` set.
bool parse_click(const std::string& arg, const Scene& scene, const SceneNames& names, Step& step, std::string& why);

}  // namespace host
