#include "host/program/pictures/focus_map.h"

#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>

#include "host/program/pictures/png.h"
#include "host/program/pictures/svg.h"
#include "host/program/text/focus_words.h"

namespace host {

namespace {

// Green for sharp; then from yellow through orange and red to purple as the blur grows.
constexpr Rgb kSharp{64, 196, 96};
constexpr Rgb kBlurred[] = {{236, 230, 90}, {244, 190, 64}, {242, 142, 52}, {232, 96, 44},
                            {214, 52, 60},  {176, 40, 110}, {120, 44, 160}};
// Band edges in pixels of the camera view.
constexpr double kEdges[] = {1, 2, 4, 8, 16, 32};

Rgb dim(Rgb c) { return {static_cast<uint8_t>(c.r * 9 / 20), static_cast<uint8_t>(c.g * 9 / 20), static_cast<uint8_t>(c.b * 9 / 20)}; }
Rgb darker(Rgb c) { return {static_cast<uint8_t>(c.r / 3), static_cast<uint8_t>(c.g / 3), static_cast<uint8_t>(c.b / 3)}; }

}  // namespace

std::string hex(Rgb c) {
    char b[8];
    std::snprintf(b, sizeof b, "#%02x%02x%02x", c.r, c.g, c.b);
    return b;
}

std::vector<FocusColour> focus_scale(const Sharpness& s) {
    const double inf = std::numeric_limits<double>::infinity();
    const double c = s.kind == Sharpness::Kind::Blur ? s.confusion_mm * s.pixels_per_mm : inf;
    std::vector<FocusColour> scale = {{kSharp, 0, c, "sharp (within the limits: blur up to " + blur_px_text(c) + ")"}};
    if (s.kind != Sharpness::Kind::Blur) {
        scale[0].label = s.kind == Sharpness::Kind::NoBlur ? "sharp (f-stop 0: no blur)" : "sharp";
        return scale;
    }
    double from = c;
    size_t colour = 0;
    for (double edge : kEdges) {
        if (edge <= from) continue;
        scale.push_back({kBlurred[colour++], from, edge, blur_px_number(from) + " to " + blur_px_number(edge) + " px blur"});
        from = edge;
    }
    scale.push_back({kBlurred[colour], from, inf, "over " + blur_px_number(from) + " px blur"});
    return scale;
}

Rgb focus_colour(const std::vector<FocusColour>& scale, const Sharpness& s, double distance_m) {
    if (s.kind == Sharpness::Kind::Unfocusable) return kBlurred[std::size(kBlurred) - 1];
    if (s.sharp(distance_m)) return scale.front().colour;
    const double b = s.blur_px(distance_m);
    for (size_t i = 1; i < scale.size(); ++i)
        if (b <= scale[i].to_px) return scale[i].colour;
    return scale.back().colour;
}

std::vector<uint8_t> focus_pixels(const CameraView& view, const Sharpness& s) {
    const auto scale = focus_scale(s);
    const int w = view.columns(), h = view.rows();
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * 3);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const CameraView::Sample& p = view.at(c, r);
            Rgb colour = kNothingColour;
            if (p.surface != CameraView::kNothing) {
                colour = focus_colour(scale, s, p.distance);
                if (p.surface == CameraView::kGround) colour = dim(colour);
                // An outline where the next sample to the right or below shows another surface.
                const bool edge = (c + 1 < w && view.at(c + 1, r).surface != p.surface) ||
                                  (r + 1 < h && view.at(c, r + 1).surface != p.surface);
                if (edge && p.surface >= 0) colour = darker(colour);
            }
            uint8_t* o = &out[(static_cast<size_t>(r) * w + c) * 3];
            o[0] = colour.r, o[1] = colour.g, o[2] = colour.b;
        }
    return out;
}

std::string focus_map_image(const CameraView& view, const Sharpness& s, double x, double y, double width, double height) {
    const std::string png = png_rgb(focus_pixels(view, s), view.columns(), view.rows());
    return "<image class=\"focus-map\" x=\"" + svg::num(x) + "\" y=\"" + svg::num(y) + "\" width=\"" + svg::num(width) +
           "\" height=\"" + svg::num(height) + "\" preserveAspectRatio=\"none\" style=\"image-rendering: pixelated\" href=\"data:image/png;base64," +
           base64(png) + "\"/>\n";
}

}  // namespace host
