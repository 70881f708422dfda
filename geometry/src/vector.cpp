#include "taverin/geometry/vector.h"

#include <cmath>

#include "common.h"

namespace geometry {

namespace {

template <typename V, typename T>
void set_length_t(V& v, T length) {
    const T n = d_sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (n == T(0)) return;
    const T f = length / n;
    v.x *= f;
    v.y *= f;
    v.z *= f;
}

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
void plane_normal_t(const V& p1, const V& p2, const V& p3, V& out) {
    const V u{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
    const V v{p3.x - p1.x, p3.y - p1.y, p3.z - p1.z};
    out = V{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    set_length_t(out, T(1));
}

template <typename V, typename T>
T distance_t(const V& a, const V& b) {
    const T dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return d_sqrt(dx * dx + dy * dy + dz * dz);
}

template <typename V, typename T>
T angle_between_t(const V& a, const V& b) {
    V u = a, v = b;
    set_length_t(u, T(1));
    set_length_t(v, T(1));
    return clamped_acos(u.x * v.x + u.y * v.y + u.z * v.z);
}

template <typename V, typename T>
void direction_to_angles_t(const V& dir, T& heading, T& pitch) {
    V v = dir;
    set_length_t(v, T(1));
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

void set_length(Vec3f& v, float length) { set_length_t(v, length); }
void set_length(Vec3d& v, double length) { set_length_t(v, length); }
void normalize(Vec3f& v) { set_length_t(v, 1.0f); }
void normalize(Vec3d& v) { set_length_t(v, 1.0); }

int nearly_equal(const Vec3f& a, const Vec3f& b) { return nearly_equal_t<Vec3f, float>(a, b); }
int nearly_equal(const Vec3d& a, const Vec3d& b) { return nearly_equal_t<Vec3d, double>(a, b); }

void lerp(const Vec3f& a, const Vec3f& b, float t, Vec3f& out) {
    out = Vec3f{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}
void lerp(const Vec3d& a, const Vec3d& b, double t, Vec3d& out) {
    out = Vec3d{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

void linear_combination(const Vec3f& a, const Vec3f& b, Vec3f& out, float s, float u) {
    out = Vec3f{s * a.x + u * b.x, s * a.y + u * b.y, s * a.z + u * b.z};
}
void linear_combination(const Vec3d& a, const Vec3d& b, Vec3d& out, double s, double u) {
    out = Vec3d{s * a.x + u * b.x, s * a.y + u * b.y, s * a.z + u * b.z};
}

void plane_normal(const Vec3f& p1, const Vec3f& p2, const Vec3f& p3, Vec3f& out) {
    plane_normal_t<Vec3f, float>(p1, p2, p3, out);
}
void plane_normal(const Vec3d& p1, const Vec3d& p2, const Vec3d& p3, Vec3d& out) {
    plane_normal_t<Vec3d, double>(p1, p2, p3, out);
}

float distance(const Vec3f& a, const Vec3f& b) { return distance_t<Vec3f, float>(a, b); }
double distance(const Vec3d& a, const Vec3d& b) { return distance_t<Vec3d, double>(a, b); }

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
