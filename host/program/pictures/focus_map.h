// The focus map: the camera view coloured by how blurred each visible surface will be, one
// colour for sharp (within the module's limits) and a scale of colours for the blur in pixels
// of the camera view. The ground, which no click can hit, is shown in the same colours, dimmed;
// where the ray meets nothing the map is dark. Outlines mark where one surface ends and another
// begins. It is drawn at the camera view's samples (CameraView::kLongSide on the long side) and
// embedded in the picture as a PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/program/session/camera_view.h"
#include "host/program/session/sharpness.h"

namespace host {

struct Rgb {
    uint8_t r, g, b;
};

// One colour of the scale: blur from `from_px` up to `to_px` (pixels of the camera view).
struct FocusColour {
    Rgb colour;
    double from_px, to_px;  // to_px is infinite for the last
    std::string label;      // "sharp (within the limits)", "1 to 2 px", ...
};

// The scale for a step: sharp first (up to one circle of confusion), then bands of blur in
// pixels that double each time, starting above the circle of confusion.
std::vector<FocusColour> focus_scale(const Sharpness& s);

// The colour of a surface blurred by `blur_px` (sharp when within the limits).
Rgb focus_colour(const std::vector<FocusColour>& scale, const Sharpness& s, double distance_m);

inline constexpr Rgb kNothingColour{38, 38, 38};

// The map's pixels: `view.columns()` x `view.rows()`, RGB, row after row from the top.
std::vector<uint8_t> focus_pixels(const CameraView& view, const Sharpness& s);

// The map as an SVG image element covering (x, y, width, height).
std::string focus_map_image(const CameraView& view, const Sharpness& s, double x, double y, double width, double height);

// "#rrggbb".
std::string hex(Rgb c);

}  // namespace host
