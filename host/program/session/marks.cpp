#include "host/program/session/marks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace host {

std::vector<DrawnMark> drawn_marks(const std::vector<DrawCall>& draws) {
    std::vector<DrawnMark> out;
    float current[4] = {1, 1, 1, 1};
    int circles = 0;
    for (const DrawCall& d : draws) {
        if (d.kind == DrawKind::Color) {
            std::copy(d.rgba, d.rgba + 4, current);
            continue;
        }
        const char* role = d.kind == DrawKind::Disc ? "near" : (circles++ == 0 ? "focus" : "far");
        if (!std::isfinite(d.radius)) continue;
        out.push_back({d.kind, {current[0], current[1], current[2], current[3]}, {d.center[0], d.center[1], d.center[2]},
                       d.radius, role});
    }
    return out;
}

Marks mark_radii(const std::vector<DrawnMark>& marks) {
    Marks m{NAN, NAN, NAN};
    for (const DrawnMark& d : marks) {
        if (std::strcmp(d.role, "focus") == 0) m.focus = d.radius;
        else if (std::strcmp(d.role, "near") == 0) m.near_limit = d.radius;
        else m.far_limit = d.radius;
    }
    return m;
}

}  // namespace host
