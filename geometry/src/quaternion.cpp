#include "taverin/geometry/quaternion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "common.h"
#include "scalar.h"
#include "simd.h"

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

void scalar::quat_multiply(const Quatf& a, const Quatf& b, Quatf& out) {
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


// ---------------------------------------------------------------- the fast paths

void quat_multiply(const Quatf& a, const Quatf& b, Quatf& out) {
#if TAVERIN_GEOMETRY_SSE2
    // Lanes (x, y, z, w) of ((v1 + v2) + v3) - v4: the scalar sums term by term, with the
    // scalar's subtractions in w made additions of negated products (x - y is x + (-y)).
    const __m128 qa = _mm_loadu_ps(&a.x), qb = _mm_loadu_ps(&b.x);
    const __m128 negate_w = _mm_castsi128_ps(_mm_set_epi32(INT32_MIN, 0, 0, 0));
    const __m128 v1 = _mm_mul_ps(pick<3, 3, 3, 3>(qa), qb);
    const __m128 v2 = _mm_mul_ps(flip_sign(pick<0, 1, 2, 0>(qa), negate_w), pick<3, 3, 3, 0>(qb));
    const __m128 v3 = _mm_mul_ps(flip_sign(pick<1, 2, 0, 1>(qa), negate_w), pick<2, 0, 1, 1>(qb));
    const __m128 v4 = _mm_mul_ps(pick<2, 0, 1, 2>(qa), pick<1, 2, 0, 2>(qb));
    _mm_storeu_ps(&out.x, _mm_sub_ps(_mm_add_ps(_mm_add_ps(v1, v2), v3), v4));
#else
    scalar::quat_multiply(a, b, out);
#endif
}

// The same steps in single precision throughout: 2 / n and 1 - v formed in double and
// rounded to float equal the float division and subtraction for every float n and v (an
// exhaustive check over all 2^32 values of each; docs/performance.md).
void quat_to_matrix3(const Quatf& q, Mat3f& m) {
    const float n = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    const float s = n == 0.0f ? 1.0f : 2.0f / n;
#if TAVERIN_GEOMETRY_SSE2
    // Lanes (x, y, z, w) of q s, then the nine products by w, x, y and z, and the sums; each lane
    // performs the scalar steps for its entry.
    const __m128 qv = _mm_loadu_ps(&q.x);
    const __m128 qs = _mm_mul_ps(qv, splat(s));                      // xs, ys, zs, ws
    const __m128 w = _mm_mul_ps(pick<3, 3, 3, 3>(qv), qs);           // wx, wy, wz
    const __m128 x = _mm_mul_ps(pick<0, 0, 0, 0>(qv), qs);           // xx, xy, xz
    const __m128 yz = _mm_mul_ps(pick<1, 1, 2, 2>(qv), pick<1, 2, 2, 2>(qs));  // yy, yz, zz
    // The diagonal: 1 - (yy + zz), 1 - (xx + zz), 1 - (xx + yy).
    const __m128 xxyy = _mm_unpacklo_ps(x, yz);                      // xx, yy, xy, yz
    const __m128 diag = _mm_sub_ps(splat(1.0f), _mm_add_ps(pick<1, 0, 0, 0>(xxyy), pick<2, 2, 0, 0>(yz)));
    // xy, xz, yz against wz, wy, wx: their sums and differences.
    const __m128 b = _mm_shuffle_ps(x, yz, _MM_SHUFFLE(1, 1, 2, 1));  // xy, xz, yz, yz
    const __m128 c = pick<2, 1, 0, 0>(w);                              // wz, wy, wx
    const __m128 plus = _mm_add_ps(b, c), minus = _mm_sub_ps(b, c);
    alignas(16) float d[4], p[4], mi[4];
    _mm_store_ps(d, diag);
    _mm_store_ps(p, plus);
    _mm_store_ps(mi, minus);
    m = Mat3f{{d[0], mi[0], p[1], p[0], d[1], mi[2], mi[1], p[2], d[2]}};
#else
    const float xs = q.x * s, ys = q.y * s, zs = q.z * s;
    const float wx = q.w * xs, wy = q.w * ys, wz = q.w * zs;
    const float xx = q.x * xs, xy = q.x * ys, xz = q.x * zs;
    const float yy = q.y * ys, yz = q.y * zs, zz = q.z * zs;
    m = Mat3f{{1.0f - (yy + zz), xy - wz, xz + wy, xy + wz, 1.0f - (xx + zz), yz - wx, xz - wy, yz + wx, 1.0f - (xx + yy)}};
#endif
}

namespace {

// The pivot branch for pivot i and the axes j, k after it, with constant indices. 0.5 / s in
// double rounded to float equals the float division (exhaustively checked, as above).
template <int i, int j, int k>
void pivot_quat(const Mat3f& mt, Quatf& out) {
    const float* m = mt.m;
    float s = to_f(std::sqrt(wide(m[4 * i] - (m[4 * j] + m[4 * k])) + 1.0));
    float q[3];
    q[i] = s * 0.5f;
    if (s != 0.0f) s = 0.5f / s;
    const float w = (m[3 * k + j] - m[3 * j + k]) * s;
    q[j] = (m[3 * j + i] + m[3 * i + j]) * s;
    q[k] = (m[3 * k + i] + m[3 * i + k]) * s;
    out = Quatf{q[0], q[1], q[2], w};
}

}  // namespace

void matrix3_to_quat(const Mat3f& mt, Quatf& out) {
    const float* m = mt.m;
    const float tr = m[0] + m[4] + m[8];
    if (wide(tr) > 0.0) {
        const float s = to_f(std::sqrt(wide(tr) + 1.0));
        const float r = 0.5f / s;
        out = Quatf{(m[7] - m[5]) * r, (m[2] - m[6]) * r, (m[3] - m[1]) * r, s * 0.5f};
        return;
    }
    if (m[4] > m[0]) {
        if (m[8] > m[4]) pivot_quat<2, 0, 1>(mt, out);
        else pivot_quat<1, 2, 0>(mt, out);
    } else {
        if (m[8] > m[0]) pivot_quat<2, 0, 1>(mt, out);
        else pivot_quat<0, 1, 2>(mt, out);
    }
}

}  // namespace geometry
