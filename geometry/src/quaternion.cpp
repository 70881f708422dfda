#include "taverin/geometry/quaternion.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common.h"

namespace geometry {

namespace {

constexpr int kCycle[3] = {1, 2, 0};  // the axis after X, Y, Z

float& at(Mat3f& m, int r, int c) { return m.m[3 * r + c]; }
float at(const Mat3f& m, int r, int c) { return m.m[3 * r + c]; }

}  // namespace

// A sum of squares outside the normal range (overflowed to infinity, or subnormal or zero
// because every square underflowed) no longer gives the quaternion's length. Such a finite
// quaternion that is not all zeros is first divided by its largest component, which changes
// its length but not its direction; everything else is normalised as it stands.
template <typename Q, typename T>
Q rescaled_if_out_of_range(const Q& q, T sum, T smallest_normal) {
    const bool finite = std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
    const bool zero = q.x == T(0) && q.y == T(0) && q.z == T(0) && q.w == T(0);
    if (!finite || zero || (sum >= smallest_normal && std::isfinite(sum))) return q;
    const T m = std::max(std::max(std::fabs(q.x), std::fabs(q.y)), std::max(std::fabs(q.z), std::fabs(q.w)));
    return Q{q.x / m, q.y / m, q.z / m, q.w / m};
}

void quat_normalize(const Quatf& in, Quatf& out) {
    const Quatf q = rescaled_if_out_of_range(in, in.x * in.x + in.y * in.y + in.z * in.z + in.w * in.w,
                                             std::numeric_limits<float>::min());
    const float n = to_f(std::sqrt(wide(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w)));
    if (n == 0.0f) {
        out = Quatf{0.0f, 0.0f, 0.0f, 1.0f};
        return;
    }
    const float r = to_f(1.0 / wide(n));
    out = Quatf{q.x * r, q.y * r, q.z * r, q.w * r};
}

void quat_normalize(const Quatd& in, Quatd& out) {
    const Quatd q = rescaled_if_out_of_range(in, in.x * in.x + in.y * in.y + in.z * in.z + in.w * in.w,
                                             std::numeric_limits<double>::min());
    const double n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (n == 0.0) {
        out = Quatd{0.0, 0.0, 0.0, 1.0};
        return;
    }
    const double r = 1.0 / n;
    out = Quatd{q.x * r, q.y * r, q.z * r, q.w * r};
}

void quat_multiply(const Quatf& a, const Quatf& b, Quatf& out) {
    Quatf t;
    t.w = a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z;
    t.x = a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y;
    t.y = a.w * b.y + a.y * b.w + a.z * b.x - a.x * b.z;
    t.z = a.w * b.z + a.z * b.w + a.x * b.y - a.y * b.x;
    out = t;
}

void quat_inverse(const Quatf& q, Quatf& out) {
    float n = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    if (n == 0.0f) n = 1.0f;
    const float r = to_f(1.0 / wide(n));
    out = Quatf{(-q.x) * r, (-q.y) * r, (-q.z) * r, q.w * r};
}

void quat_to_matrix3(const Quatf& q, Mat3f& m) {
    const float n = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    const float s = n == 0.0f ? 1.0f : to_f(2.0 / wide(n));
    const float xs = q.x * s, ys = q.y * s, zs = q.z * s;
    const float wx = q.w * xs, wy = q.w * ys, wz = q.w * zs;
    const float xx = q.x * xs, xy = q.x * ys, xz = q.x * zs;
    const float yy = q.y * ys, yz = q.y * zs, zz = q.z * zs;
    at(m, 0, 0) = to_f(1.0 - wide(yy + zz));
    at(m, 0, 1) = xy - wz;
    at(m, 0, 2) = xz + wy;
    at(m, 1, 0) = xy + wz;
    at(m, 1, 1) = to_f(1.0 - wide(xx + zz));
    at(m, 1, 2) = yz - wx;
    at(m, 2, 0) = xz - wy;
    at(m, 2, 1) = yz + wx;
    at(m, 2, 2) = to_f(1.0 - wide(xx + yy));
}

void matrix3_to_quat(const Mat3f& m, Quatf& out) {
    const float tr = at(m, 0, 0) + at(m, 1, 1) + at(m, 2, 2);
    if (wide(tr) > 0.0) {
        float s = to_f(std::sqrt(wide(tr) + 1.0));
        const float w = to_f(wide(s) * 0.5);
        s = to_f(0.5 / wide(s));
        out = Quatf{(at(m, 2, 1) - at(m, 1, 2)) * s, (at(m, 0, 2) - at(m, 2, 0)) * s,
                    (at(m, 1, 0) - at(m, 0, 1)) * s, w};
        return;
    }
    int i = 0;
    if (at(m, 1, 1) > at(m, 0, 0)) i = 1;
    if (at(m, 2, 2) > at(m, i, i)) i = 2;
    const int j = kCycle[i];
    const int k = kCycle[j];
    float s = to_f(std::sqrt(wide(at(m, i, i) - (at(m, j, j) + at(m, k, k))) + 1.0));
    float q[3];
    q[i] = to_f(wide(s) * 0.5);
    if (s != 0.0f) s = to_f(0.5 / wide(s));
    const float w = (at(m, k, j) - at(m, j, k)) * s;
    q[j] = (at(m, j, i) + at(m, i, j)) * s;
    q[k] = (at(m, k, i) + at(m, i, k)) * s;
    out = Quatf{q[0], q[1], q[2], w};
}

void quat_from_axis_angle(float angle, const Vec3f& u, Quatf& out) {
    const float h = to_f(wide(angle) * 0.5);
    const float s = to_f(std::sin(wide(h)));
    out = Quatf{s * u.x, s * u.y, s * u.z, to_f(std::cos(wide(h)))};
}

void quat_to_axis_angle(const Quatf& q, float& angle, Vec3f& axis) {
    Quatf n;
    quat_normalize(q, n);
    const float t = to_f(std::acos(wide(clamp_unit(n.w))));
    angle = to_f(2.0 * wide(t));
    const float s = to_f(std::sin(wide(t)));
    if (std::fabs(wide(s)) > 1e-6) axis = Vec3f{n.x / s, n.y / s, n.z / s};
}

void quat_to_axis_angle(const Quatd& q, double& angle, Vec3d& axis) {
    Quatd n;
    quat_normalize(q, n);
    const double t = std::acos(clamp_unit(n.w));
    angle = 2.0 * t;
    const double s = std::sin(t);
    if (std::fabs(s) > 1e-6) axis = Vec3d{n.x / s, n.y / s, n.z / s};
}

float quat_relative_axis_angle(const Quatf& a, const Quatf& b, Vec3f& axis) {
    Quatf i, d;
    quat_inverse(a, i);
    quat_multiply(i, b, d);
    float angle = 0.0f;
    quat_to_axis_angle(d, angle, axis);
    return angle;
}

}  // namespace geometry
