// Polygon triangulation for the OBJ reader: a fan for convex polygons (time linear in their
// corners, any size), ear clipping for concave ones up to kMaxConcaveCorners corners.
#pragma once

#include <vector>

#include "host/scene.h"

namespace host {

// Triangulates the polygon `corners` (three or more points) into `out`. False when it is
// concave and has more than kMaxConcaveCorners corners.
bool triangulate(const std::vector<Vec3>& corners, std::vector<Triangle>& out);

}  // namespace host
