#include "host/program/session/sharpness.h"

#include <cmath>

namespace host {

Sharpness sharpness_of(const Camera& camera, double time, double view_width) {
    Sharpness s;
    const double diagonal_mm = std::hypot(camera.film_width, camera.film_height) * 1000.0;
    s.confusion_mm = diagonal_mm / 1730.0;
    s.focus_m = camera.focal_distance_at(time);
    s.focal_mm = camera.focal_length;
    s.pixels_per_mm = view_width / (camera.film_width * 1000.0);
    const double k = camera.f_stop * s.confusion_mm;
    const double f = camera.focal_length, focus = s.focus_m * 1000.0;
    if (k == 0) {
        s.kind = Sharpness::Kind::NoBlur;
    } else if (!(focus > f)) {
        s.kind = Sharpness::Kind::Unfocusable;
    } else {
        s.kind = Sharpness::Kind::Blur;
        const double hyperfocal = f * f / k + f;
        s.scale_mm = s.confusion_mm * hyperfocal / (focus - f);
    }
    return s;
}

double Sharpness::blur_mm(double distance_m) const {
    switch (kind) {
        case Kind::NoBlur: return 0;
        case Kind::Unfocusable: return NAN;
        case Kind::Blur: break;
    }
    return scale_mm * std::fabs(focus_m - distance_m) / distance_m;
}

bool Sharpness::sharp(double distance_m) const {
    // Within the limits: blur at most c (up to rounding in the last bits, so that a point
    // exactly at a limit the module drew counts as sharp).
    return kind == Kind::NoBlur || (kind == Kind::Blur && blur_mm(distance_m) <= confusion_mm * (1 + 1e-12));
}

}  // namespace host
