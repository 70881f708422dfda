// Pictures of a played session: the camera view and a top view, with the objects, every click
// ray and its nearest hit, and the depth-of-field marks exactly as the module last drew them
// (from the recorded drawing calls).
#pragma once

#include <string>
#include <vector>

#include "host/player.h"

namespace host {

std::string camera_view_svg(const Scene& scene, const std::vector<StepRecord>& records,
                            const std::vector<DrawCall>& draws);
std::string top_view_svg(const Scene& scene, const std::vector<StepRecord>& records,
                         const std::vector<DrawCall>& draws);

// Writes `text` to `path` through a temporary file renamed into place, so that a reader never
// sees a half-written picture. False with `error` set on failure.
bool write_file_atomically(const std::string& path, const std::string& text, std::string& error);

}  // namespace host
