#include "host/program/pictures/labels.h"

#include <algorithm>
#include <cmath>

#include "host/program/text/utf8.h"

namespace host {

namespace {

// Whether the segment comes within `half` of the box (the box grown by `half`, clipped against
// the segment: Liang and Barsky).
bool crosses(double x0, double y0, double x1, double y1, double half, const Box& b) {
    const double dx = x1 - x0, dy = y1 - y0;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - (b.x0 - half), (b.x1 + half) - x0, y0 - (b.y0 - half), (b.y1 + half) - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

}  // namespace

Box text_box(double x, double y, const std::string& text, double font_size) {
    // Sans-serif text averages a little over half its size a character; 0.62 covers the wide
    // fonts, with a pixel to spare each side.
    const double w = 0.62 * font_size * static_cast<double>(utf8_length(text)) + 2;
    const double h = font_size + 2;
    return {x - w / 2, y - h / 2, x + w / 2, y + h / 2};
}

void LabelPlacer::keep_clear(double x0, double y0, double x1, double y1, double width) {
    segments_.push_back({x0, y0, x1, y1, width});
}

bool LabelPlacer::free(const Box& b) const {
    if (b.x0 < area_.x0 || b.y0 < area_.y0 || b.x1 > area_.x1 || b.y1 > area_.y1) return false;
    for (const Box& o : boxes_)
        if (o.overlaps(b)) return false;
    for (const Segment& s : segments_)
        if (crosses(s.x0, s.y0, s.x1, s.y1, s.width / 2, b)) return false;
    return true;
}

std::optional<Box> LabelPlacer::place(double x, double y, const std::string& text, double font_size) {
    const Box at = text_box(x, y, text, font_size);
    const double w = at.x1 - at.x0, h = at.y1 - at.y0;
    // On the anchor, then below, above, right, left and the corners, each farther out in turn.
    static const double kDirections[9][2] = {{0, 0}, {0, 1}, {0, -1}, {1, 0}, {-1, 0}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    for (int ring = 0; ring < 6; ++ring)
        for (const auto& d : kDirections) {
            if (ring == 0 && (d[0] != 0 || d[1] != 0)) continue;
            if (ring > 0 && d[0] == 0 && d[1] == 0) continue;
            const double ox = d[0] * (w / 2 + 4) * ring, oy = d[1] * (h + 2) * ring;
            const Box b{at.x0 + ox, at.y0 + oy, at.x1 + ox, at.y1 + oy};
            if (free(b)) {
                boxes_.push_back(b);
                return b;
            }
        }
    return std::nullopt;
}

}  // namespace host
