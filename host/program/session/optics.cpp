#include "host/program/session/optics.h"

#include <cmath>
#include <limits>

#include "host/program/text/format.h"

namespace host {

DepthOfField depth_of_field(const Camera& camera, double time) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    DepthOfField d;
    d.focus = camera.focal_distance_at(time);
    const double diagonal_mm = std::hypot(camera.film_width, camera.film_height) * 1000.0;
    const double blur_mm = camera.f_stop * (diagonal_mm / 1730.0);
    const double f = camera.focal_length;
    const double s = d.focus * 1000.0;
    if (blur_mm == 0) {
        d.hyperfocal = inf;
        d.near_limit = d.far_limit = d.total = std::nan("");
        d.limits_note = "f-stop 0 means no blur: every distance is sharp, so there are no near and far limits to draw";
        d.limits_short = "f-stop 0, no blur";
        return d;
    }
    const double h = f * f / blur_mm + f;
    d.hyperfocal = h / 1000.0;
    d.near_limit = h * s / (h + (s - f)) / 1000.0;
    const double far_den = h - (s - f);
    d.far_limit = far_den > 0 ? h * s / far_den / 1000.0 : inf;
    d.total = d.far_limit - d.near_limit;
    if (far_den <= 0) d.limits_short = "focused beyond the hyperfocal distance " + metres(d.hyperfocal);
    if (far_den <= 0)
        d.limits_note = "focused at or beyond the hyperfocal distance (" + metres(d.hyperfocal) +
                        "): everything from the near limit to infinity is sharp, so the far limit is at infinity and "
                        "no far circle is drawn";
    return d;
}

}  // namespace host
