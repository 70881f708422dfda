#include "taverin/geometry/vector.h"

#include <cmath>

#include "common.h"

namespace geometry {

namespace {

template <typename V, typename T>
int nearly_equal_t(const V& a, const V& b) {
    const T d[3] = {a.x - b.x, a.y - b.y, a.z - b.z};
    for (T v : d) {
        if (v < 0) v = -v;
        if (!(static_cast<double>(v) < Precision<T>::tolerance)) return 0;
    }
    return 1;
}

template <typename V, typename T>
T angle_between_t(const V& a, const V& b) {
    V u = a, v = b;
    detail::set_length(u, T(1));
    detail::set_length(v, T(1));
    return clamped_acos(detail::dot(u, v));
}

template <typename V, typename T>
void direction_to_angles_t(const V& dir, T& heading, T& pitch) {
    V v = dir;
    detail::set_length(v, T(1));
    pitch = d_asin(-v.y);
    if (1.0 - std::fabs(static_cast<double>(v.y)) > Precision<T>::tolerance) {
        T h = clamped_acos(v.z / d_cos(pitch));
        if (v.x < 0) h = static_cast<T>(kTwoPi - static_cast<double>(h));
        heading = h;
    } else {
        heading = 0;
    }
}

template <typename V, typename T>
void angles_to_direction_t(T h, T p, V& out) {
    const T sh = d_sin(h), ch = d_cos(h), sp = d_sin(p), cp = d_cos(p);
    out = V{sh * cp, -sp, ch * cp};
}

}  // namespace

int nearly_equal(const Vec3f& a, const Vec3f& b) { return nearly_equal_t<Vec3f, float>(a, b); }
int nearly_equal(const Vec3d& a, const Vec3d& b) { return nearly_equal_t<Vec3d, double>(a, b); }

float angle_between(const Vec3f& a, const Vec3f& b) { return angle_between_t<Vec3f, float>(a, b); }
double angle_between(const Vec3d& a, const Vec3d& b) { return angle_between_t<Vec3d, double>(a, b); }

void direction_to_angles(const Vec3f& v, float& heading, float& pitch) {
    direction_to_angles_t(v, heading, pitch);
}
void direction_to_angles(const Vec3d& v, double& heading, double& pitch) {
    direction_to_angles_t(v, heading, pitch);
}

void angles_to_direction(float h, float p, Vec3f& out) { angles_to_direction_t(h, p, out); }
void angles_to_direction(double h, double p, Vec3d& out) { angles_to_direction_t(h, p, out); }

}  // namespace geometry
