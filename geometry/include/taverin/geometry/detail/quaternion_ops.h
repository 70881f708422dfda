// Private to the geometry library: the code of the small quaternion operations, which
// quaternion.h defines inline where it can (exact.h) and the compiled library compiles out of
// line. The product and the conversion to a matrix have SSE2 paths; the library keeps the
// plain scalar code beside them (src/quaternion.cpp), as the fallback and the tests' oracle.
//
// Where the rule is a step in double rounded to float (1 / n, 2 / n, 0.5 / s, 1 - v, the
// square root of a widened float), the float operation computes it: rounding a double result
// of +, -, *, / or the square root of floats to float gives the correctly rounded float result,
// since a double carries more than twice a float's precision.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "../types.h"
#include "exact.h"
#include "sse.h"

#if TAVERIN_GEOMETRY_DEFINE_OPS
namespace geometry::detail {

template <typename Q>
inline auto sum_of_squares(const Q& q) {
    return ((prod(q.x, q.x) + prod(q.y, q.y)) + prod(q.z, q.z)) + prod(q.w, q.w);
}

// A sum of squares outside the normal range (overflowed to infinity, or subnormal or zero
// because every square underflowed) no longer gives the quaternion's length. Such a finite
// quaternion that is not all zeros is first divided by its largest component, which changes
// its length but not its direction; everything else is normalised as it stands.
template <typename Q, typename T>
inline Q rescaled_if_out_of_range(const Q& q, T sum) {
    const bool finite = std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
    const bool zero = q.x == T(0) && q.y == T(0) && q.z == T(0) && q.w == T(0);
    if (!finite || zero || (sum >= std::numeric_limits<T>::min() && std::isfinite(sum))) return q;
    const T m = std::max(std::max(std::fabs(q.x), std::fabs(q.y)), std::max(std::fabs(q.z), std::fabs(q.w)));
    return Q{q.x / m, q.y / m, q.z / m, q.w / m};
}

template <typename Q, typename T>
inline void quat_normalize(const Q& in, Q& out) {
    const Q q = rescaled_if_out_of_range<Q, T>(in, sum_of_squares(in));
    const T n = root(sum_of_squares(q));
    if (n == T(0)) {
        out = Q{T(0), T(0), T(0), T(1)};
        return;
    }
    const T r = T(1) / n;
    out = Q{q.x * r, q.y * r, q.z * r, q.w * r};
}

inline void quat_inverse(const Quatf& q, Quatf& out) {
    float n = sum_of_squares(q);
    if (n == 0.0f) n = 1.0f;
    const float r = 1.0f / n;
    out = Quatf{(-q.x) * r, (-q.y) * r, (-q.z) * r, q.w * r};
}

// The pivot branch for pivot i and the axes j, k after it, with constant indices.
template <int i, int j, int k>
inline void pivot_quat(const float* m, Quatf& out) {
    float s = static_cast<float>(root(static_cast<double>(m[4 * i] - (m[4 * j] + m[4 * k])) + 1.0));
    float q[3];
    q[i] = s * 0.5f;
    if (s != 0.0f) s = 0.5f / s;
    const float w = (m[3 * k + j] - m[3 * j + k]) * s;
    q[j] = (m[3 * j + i] + m[3 * i + j]) * s;
    q[k] = (m[3 * k + i] + m[3 * i + k]) * s;
    out = Quatf{q[0], q[1], q[2], w};
}

inline void matrix3_to_quat(const float* m, Quatf& out) {
    const float tr = (m[0] + m[4]) + m[8];
    if (static_cast<double>(tr) > 0.0) {
        const float s = static_cast<float>(root(static_cast<double>(tr) + 1.0));
        const float r = 0.5f / s;
        out = Quatf{(m[7] - m[5]) * r, (m[2] - m[6]) * r, (m[3] - m[1]) * r, s * 0.5f};
        return;
    }
    if (m[4] > m[0]) {
        if (m[8] > m[4]) pivot_quat<2, 0, 1>(m, out);
        else pivot_quat<1, 2, 0>(m, out);
    } else {
        if (m[8] > m[0]) pivot_quat<2, 0, 1>(m, out);
        else pivot_quat<0, 1, 2>(m, out);
    }
}

#if TAVERIN_GEOMETRY_SSE2

// Lanes (x, y, z, w) of ((v1 + v2) + v3) - v4: the scalar sums term by term, with the scalar's
// subtractions in w made additions of negated products (x - y is x + (-y)).
inline void quat_multiply(const Quatf& a, const Quatf& b, Quatf& out) {
    const __m128 qa = _mm_loadu_ps(&a.x), qb = _mm_loadu_ps(&b.x);
    const __m128 negate_w = _mm_castsi128_ps(_mm_set_epi32(INT32_MIN, 0, 0, 0));
    const __m128 v1 = prod(pick<3, 3, 3, 3>(qa), qb);
    const __m128 v2 = prod(flip_sign(pick<0, 1, 2, 0>(qa), negate_w), pick<3, 3, 3, 0>(qb));
    const __m128 v3 = prod(flip_sign(pick<1, 2, 0, 1>(qa), negate_w), pick<2, 0, 1, 1>(qb));
    const __m128 v4 = prod(pick<2, 0, 1, 2>(qa), pick<1, 2, 0, 2>(qb));
    _mm_storeu_ps(&out.x, _mm_sub_ps(_mm_add_ps(_mm_add_ps(v1, v2), v3), v4));
}

// Lanes (x, y, z, w) of q s, then the nine products by w, x, y and z, and the sums; each lane
// performs the scalar steps for its entry.
inline void quat_to_matrix3(const Quatf& q, Mat3f& m) {
    const float n = sum_of_squares(q);
    const float s = n == 0.0f ? 1.0f : 2.0f / n;
    const __m128 qv = _mm_loadu_ps(&q.x);
    const __m128 qs = prod(qv, splat(s));                                 // xs, ys, zs, ws
    const __m128 w = prod(pick<3, 3, 3, 3>(qv), qs);                      // wx, wy, wz
    const __m128 x = prod(pick<0, 0, 0, 0>(qv), qs);                      // xx, xy, xz
    const __m128 yz = prod(pick<1, 1, 2, 2>(qv), pick<1, 2, 2, 2>(qs));   // yy, yz, zz
    // The diagonal: 1 - (yy + zz), 1 - (xx + zz), 1 - (xx + yy).
    const __m128 xxyy = _mm_unpacklo_ps(x, yz);                           // xx, yy, xy, yz
    const __m128 diag = _mm_sub_ps(splat(1.0f), _mm_add_ps(pick<1, 0, 0, 0>(xxyy), pick<2, 2, 0, 0>(yz)));
    // xy, xz, yz against wz, wy, wx: their sums and differences.
    const __m128 b = _mm_shuffle_ps(x, yz, _MM_SHUFFLE(1, 1, 2, 1));     // xy, xz, yz, yz
    const __m128 c = pick<2, 1, 0, 0>(w);                                 // wz, wy, wx
    const __m128 plus = _mm_add_ps(b, c), minus = _mm_sub_ps(b, c);
    alignas(16) float d[4], p[4], mi[4];
    _mm_store_ps(d, diag);
    _mm_store_ps(p, plus);
    _mm_store_ps(mi, minus);
    m = Mat3f{{d[0], mi[0], p[1], p[0], d[1], mi[2], mi[1], p[2], d[2]}};
}

#endif  // TAVERIN_GEOMETRY_SSE2

}  // namespace geometry::detail
#endif  // TAVERIN_GEOMETRY_DEFINE_OPS

// The public operations, inline in a caller's code, or compiled once into the library.
#if TAVERIN_GEOMETRY_DEFINE_PUBLIC_OPS
namespace geometry {
TAVERIN_GEOMETRY_INLINE_BEGIN

TAVERIN_GEOMETRY_OP void quat_normalize(const Quatf& q, Quatf& out) { detail::quat_normalize<Quatf, float>(q, out); }
TAVERIN_GEOMETRY_OP void quat_normalize(const Quatd& q, Quatd& out) { detail::quat_normalize<Quatd, double>(q, out); }
TAVERIN_GEOMETRY_OP void quat_inverse(const Quatf& q, Quatf& out) { detail::quat_inverse(q, out); }
TAVERIN_GEOMETRY_OP void matrix3_to_quat(const Mat3f& m, Quatf& out) { detail::matrix3_to_quat(m.m, out); }
#if TAVERIN_GEOMETRY_SSE2  // otherwise the library's scalar code (src/quaternion.cpp)
TAVERIN_GEOMETRY_OP void quat_multiply(const Quatf& a, const Quatf& b, Quatf& out) { detail::quat_multiply(a, b, out); }
TAVERIN_GEOMETRY_OP void quat_to_matrix3(const Quatf& q, Mat3f& out) { detail::quat_to_matrix3(q, out); }
#endif

TAVERIN_GEOMETRY_INLINE_END
}  // namespace geometry
#endif
