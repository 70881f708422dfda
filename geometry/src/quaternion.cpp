#include "taverin/geometry/quaternion.h"

#include <cmath>
#include <cstdint>

#include "common.h"
#include "scalar.h"
#include "taverin/geometry/detail/sse.h"

namespace geometry {

namespace {

constexpr int kCycle[3] = {1, 2, 0};  // the axis after X, Y, Z

float& at(Mat3f& m, int r, int c) { return m.m[3 * r + c]; }
float at(const Mat3f& m, int r, int c) { return m.m[3 * r + c]; }

}  // namespace

void scalar::quat_multiply(const Quatf& a, const Quatf& b, Quatf& out) {
    Quatf t;
    t.w = a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z;
    t.x = a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y;
    t.y = a.w * b.y + a.y * b.w + a.z * b.x - a.x * b.z;
    t.z = a.w * b.z + a.z * b.w + a.x * b.y - a.y * b.x;
    out = t;
}

void scalar::quat_to_matrix3(const Quatf& q, Mat3f& m) {
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

void scalar::matrix3_to_quat(const Mat3f& m, Quatf& out) {
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
    const float s = d_sin(h);
    out = Quatf{s * u.x, s * u.y, s * u.z, d_cos(h)};
}

void quat_to_axis_angle(const Quatf& q, float& angle, Vec3f& axis) {
    Quatf n;
    quat_normalize(q, n);
    const float t = to_f(std::acos(wide(clamp_unit(n.w))));
    angle = to_f(2.0 * wide(t));
    const float s = d_sin(t);
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


#if !TAVERIN_GEOMETRY_SSE2  // otherwise the SSE2 paths (detail/quaternion_ops.h)
void quat_multiply(const Quatf& a, const Quatf& b, Quatf& out) { scalar::quat_multiply(a, b, out); }

// The same steps in single precision throughout (detail/quaternion_ops.h says why that is the
// same).
void quat_to_matrix3(const Quatf& q, Mat3f& m) {
    const float n = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    const float s = n == 0.0f ? 1.0f : 2.0f / n;
    const float xs = q.x * s, ys = q.y * s, zs = q.z * s;
    const float wx = q.w * xs, wy = q.w * ys, wz = q.w * zs;
    const float xx = q.x * xs, xy = q.x * ys, xz = q.x * zs;
    const float yy = q.y * ys, yz = q.y * zs, zz = q.z * zs;
    m = Mat3f{{1.0f - (yy + zz), xy - wz, xz + wy, xy + wz, 1.0f - (xx + zz), yz - wx, xz - wy, yz + wx, 1.0f - (xx + yy)}};
}
#endif

}  // namespace geometry
