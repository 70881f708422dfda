// The pictures of one step of a played session: the camera view and a top view, each with
// that step's click ray and the depth-of-field marks exactly as the module drew them after the
// step, the sharp zone between the near and far limits shaded, a scale, and a legend whose
// swatches are drawn in the marks' own styles. A mark that falls outside a picture is listed
// in its legend as such.
#pragma once

#include <string>

#include "host/program/player.h"

namespace host {

std::string camera_picture(const Scene& scene, const StepRecord& rec);
std::string top_picture(const Scene& scene, const StepRecord& rec);

// "Step 3: click in ..." or "Before the first step".
std::string picture_title(const StepRecord& rec);

// A picture's size (w x h, 900 pixels on the long side) with the aspect of the scene's first
// viewport of `viewport_type`, whose size goes to vw x vh (the defaults' aspect without one).
void picture_size(const Scene& scene, int viewport_type, double default_width, double default_height, double& w,
                  double& h, double& vw, double& vh);

}  // namespace host
