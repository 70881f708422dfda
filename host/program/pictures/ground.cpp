#include "host/program/pictures/ground.h"

#include <cmath>

namespace host {

double ground_radius(double r, double height) {
    const double h = std::fabs(height);
    return r >= h ? std::sqrt((r - h) * (r + h)) : NAN;
}

bool sharp_ground(const StepRecord& rec, double height, double& inner, double& outer) {
    const Marks& m = rec.marks;
    if (!std::isfinite(m.near_limit)) return false;
    const double far = std::isfinite(m.far_limit) ? m.far_limit : rec.optics.far_limit;
    if (std::isnan(far)) return false;
    outer = std::isinf(far) ? INFINITY : ground_radius(far, height);
    if (std::isnan(outer)) return false;  // the whole sharp zone is nearer than the ground
    inner = std::isnan(ground_radius(m.near_limit, height)) ? 0.0 : ground_radius(m.near_limit, height);
    return true;
}

}  // namespace host
