// Reading session steps (a JSON array) for the stand-in host program.
//
// Steps: {"do": "click", "viewport": "...", "pixel": [x, y], "alternate": bool},
// drag {"viewport", "pixel", "motions": [dx...], "alternate"}, open_panel, close_panel,
// choose {"control", "index"}, type {"control", "value"}, drag_button {"control", "values"},
// select_item {"item"}, apply, time {"value"}.
#pragma once

#include <string>
#include <vector>

#include "host/json_fields.h"
#include "host/session.h"

namespace host {

// Reads the steps of the array `j` found at `path` and appends them to `out`.
void read_steps(const json& j, const std::string& path, std::vector<Step>& out);

// Parses session steps alone (a JSON array), as given on the command line or in a file.
// False with `error` set to one line naming `file`, the place and the reason.
bool read_session(const std::string& text, const std::string& file, std::vector<Step>& session,
                  std::string& error);

}  // namespace host
