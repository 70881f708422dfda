// Reading session steps (a JSON array of steps) for the stand-in host program. Every name a
// step uses is checked against the scene as it is read.
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

#include "host/program/json_fields.h"
#include "host/scene.h"
#include "host/program/session.h"

namespace host {

// Reads the steps of the array `v` found at `path`, appending them to `out`.
void read_steps(const json::Value& v, const std::string& path, const Scene& scene, std::vector<Step>& out);

// Reads a session document (a JSON array of steps). False with `error` set to one line naming
// the source, the place and the reason.
bool read_session(const Source& source, const Scene& scene, std::vector<Step>& session, std::string& error);

// A click given as "VIEWPORT:X,Y". False with `why` set.
bool parse_click(const std::string& arg, const Scene& scene, Step& step, std::string& why);

// The index of the viewport or object named `name`, or -1.
int viewport_index(const Scene& scene, const std::string& name);
int object_index(const Scene& scene, const std::string& name);

// The panel control a session names: a choice ("Origin", "Method") or a field's letter, as
// its creation index on the panel; -1 when there is none.
int choice_control(const std::string& name);
int field_control(const std::string& name);
int drag_control(const std::string& name);

}  // namespace host
