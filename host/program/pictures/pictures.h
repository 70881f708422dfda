// The pictures of one step of a played session, each with its title in a band of its own, the
// step's click and the module's marks where they meet the ground, labels that say how sharp
// each object is, and a legend whose swatches are drawn in the marks' own styles:
//   - the camera view: the focus map, what the camera sees coloured by its blur;
//   - the top view: the scene from above, the camera and its field of view, the sharp zone on
//     the ground, a scale, and an enlarged inset where the marks lie too close to tell apart.
// A mark that falls outside a picture, or does not reach the ground, is listed as such.
#pragma once

#include <cstddef>
#include <string>

#include "host/program/session/player.h"

namespace host {

// Meshes of up to this many triangles are drawn triangle by triangle; larger ones as their
// bounds, so that a picture stays a size a browser opens.
inline constexpr size_t kMaxMeshTriangles = 3000;

std::string camera_picture(const Scene& scene, const StepRecord& rec, const CameraView& view);
std::string top_picture(const Scene& scene, const StepRecord& rec);

// "Step 3: click in ..." or "Before the first step".
std::string picture_title(const StepRecord& rec);

// A picture without its title (the step's number and what the user did): two steps whose
// pictures are equal this way show the same thing. The title is the picture's <title> element
// and the text of class "title".
std::string untitled_picture(const std::string& svg);

// A picture's size (w x h, 900 pixels on the long side) with the aspect of the scene's first
// viewport of `viewport_type`, whose size goes to vw x vh (the defaults' aspect without one).
void picture_size(const Scene& scene, int viewport_type, double default_width, double default_height, double& w,
                  double& h, double& vw, double& vh);

}  // namespace host
