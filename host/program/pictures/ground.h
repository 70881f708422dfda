// The module's marks where they meet the ground. The module draws each mark about the camera
// with the distance along the ray as its radius: the sphere of points at that distance. On the
// ground (y = 0), below a camera h up, that sphere is the circle of radius √(r² − h²) about the
// point below the camera, and there is none when r < h. The pictures draw the marks as these
// circles, and the sharp zone as the ring between the near and far limits' circles, so that
// nothing drawn on the ground says sharp where it is not.
#pragma once

#include "host/program/session/player.h"

namespace host {

// The radius on the ground of a mark of radius `r` about a point `height` above or below it;
// NaN when it does not reach the ground.
double ground_radius(double r, double height);

// The sharp zone on the ground: between `inner` and `outer` (infinite when the far limit is)
// about the point below the camera. False when no point of the ground is sharp (or the module
// draws no limits).
bool sharp_ground(const StepRecord& rec, double height, double& inner, double& outer);

}  // namespace host
