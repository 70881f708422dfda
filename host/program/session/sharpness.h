// How sharp a point will be: the diameter of the blur circle a point at a given distance
// makes on the film.
//
// The module draws its near and far limits by the hyperfocal-distance method, with a circle of
// confusion c of one 1730th of the film diagonal and the hyperfocal distance H = f²/(N c) + f
// (f the focal length, N the f-stop). The blur here is the thin-lens model's with that same H:
//
//     blur(d) = c · H · |s − d| / (d · (s − f))        (s the focal distance; all in mm)
//
// so that a point at the focal distance blurs by 0 and a point at the near or far limit the
// module draws (H s / (H ± (s − f))) by exactly c: what the module calls sharp is exactly what
// blurs by at most one circle of confusion. Distances are measured along the ray from the
// camera, as the module measures them.
#pragma once

#include "host/scene.h"

namespace host {

struct Sharpness {
    enum class Kind {
        Blur,         // the usual case
        NoBlur,       // f-stop 0: every distance is sharp
        Unfocusable,  // focused at or nearer than the focal length: a lens cannot form an image
    };
    Kind kind = Kind::NoBlur;
    double confusion_mm = 0;  // c, the circle of confusion: the blur at the near and far limits
    double focus_m = 0;       // s
    double focal_mm = 0;      // f
    double scale_mm = 0;      // c · H / (s − f), so that blur(d) = scale · |s − d| / d
    double pixels_per_mm = 0; // on the film, in pixels of the camera view

    // The blur circle's diameter on the film, in mm (0 with no blur, NaN when unfocusable).
    double blur_mm(double distance_m) const;
    // The same in pixels of the camera view.
    double blur_px(double distance_m) const { return blur_mm(distance_m) * pixels_per_mm; }
    // Whether a point at that distance is within the module's limits (blurs by at most c).
    bool sharp(double distance_m) const;
};

// The camera's sharpness at `time`, for a camera view `view_width` pixels wide (the film spans
// the view's width, as the host's rays do).
Sharpness sharpness_of(const Camera& camera, double time, double view_width);

}  // namespace host
