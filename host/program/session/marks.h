// The module's drawing, read back: after setting a colour it draws the focus circle, then the
// near-limit disc, then the far-limit circle, each centred on the camera and each left out
// when it has no finite radius. This is the one place that knows which drawn call is which mark.
#pragma once

#include <vector>

#include "host/recorder.h"
#include "host/scene.h"

namespace host {

// One mark the module drew, with the colour it set for it.
struct DrawnMark {
    DrawKind kind;
    float rgba[4];
    Vec3 center;
    double radius;
    const char* role;  // "focus", "near", "far"
};

// The marks of one redraw, in drawing order.
std::vector<DrawnMark> drawn_marks(const std::vector<DrawCall>& draws);

// Radii of the marks in one redraw: focus circle, near disc, far circle (NaN when not drawn).
struct Marks {
    double focus, near_limit, far_limit;
};
Marks mark_radii(const std::vector<DrawnMark>& marks);

}  // namespace host
