// The SSE2 fast paths of the 4x4 product, point transform and inverse, in single and double
// precision. Each lane performs exactly the scalar code's operations in the scalar code's
// order (matrix.cpp keeps that code, as the fallback without SSE2 and as the tests' oracle),
// so both give the same bits.
#include <cmath>
#include <cstdint>

#include "common.h"
#include "simd.h"
#include "taverin/geometry/matrix.h"

#if TAVERIN_GEOMETRY_SSE2

namespace geometry {

namespace {

// Row i of A B: for each column j, ((((0 + A(i,0) B(0,j)) + A(i,1) B(1,j)) + ...), as the
// scalar product sums, four columns at a time.
void multiply4_sse(const float* a, const float* b, float* out) {
    const __m128 b0 = _mm_loadu_ps(b), b1 = _mm_loadu_ps(b + 4), b2 = _mm_loadu_ps(b + 8), b3 = _mm_loadu_ps(b + 12);
    __m128 r[4];
    for (int i = 0; i < 4; ++i) {
        const __m128 row = _mm_loadu_ps(a + 4 * i);
        __m128 acc = _mm_setzero_ps();
        acc = _mm_add_ps(acc, _mm_mul_ps(pick<0, 0, 0, 0>(row), b0));
        acc = _mm_add_ps(acc, _mm_mul_ps(pick<1, 1, 1, 1>(row), b1));
        acc = _mm_add_ps(acc, _mm_mul_ps(pick<2, 2, 2, 2>(row), b2));
        r[i] = _mm_add_ps(acc, _mm_mul_ps(pick<3, 3, 3, 3>(row), b3));
    }
    for (int i = 0; i < 4; ++i) _mm_storeu_ps(out + 4 * i, r[i]);  // after every read: out may be a or b
}

void multiply4_sse(const double* a, const double* b, double* out) {
    const D4 b0 = load4(b), b1 = load4(b + 4), b2 = load4(b + 8), b3 = load4(b + 12);
    D4 r[4];
    for (int i = 0; i < 4; ++i) {
        const double* row = a + 4 * i;
        D4 acc = zero4();
        acc = add(acc, mul(b0, _mm_set1_pd(row[0])));
        acc = add(acc, mul(b1, _mm_set1_pd(row[1])));
        acc = add(acc, mul(b2, _mm_set1_pd(row[2])));
        r[i] = add(acc, mul(b3, _mm_set1_pd(row[3])));
    }
    for (int i = 0; i < 4; ++i) store4(out + 4 * i, r[i]);
}

// (p, 1) M as ((x R0 + y R1) + z R2) + R3 in every lane, the homogeneous coordinate in lane 3.
void transform_point_sse(const Vec3f& p, const float* m, Vec3f& out) {
    __m128 v = _mm_add_ps(_mm_mul_ps(splat(p.x), _mm_loadu_ps(m)), _mm_mul_ps(splat(p.y), _mm_loadu_ps(m + 4)));
    v = _mm_add_ps(_mm_add_ps(v, _mm_mul_ps(splat(p.z), _mm_loadu_ps(m + 8))), _mm_loadu_ps(m + 12));
    const __m128 w = pick<3, 3, 3, 3>(v);
    if (_mm_cvtss_f32(w) != 0.0f) v = _mm_div_ps(v, w);
    alignas(16) float r[4];
    _mm_store_ps(r, v);
    out = Vec3f{r[0], r[1], r[2]};
}

void transform_point_sse(const Vec3d& p, const double* m, Vec3d& out) {
    const __m128d x = _mm_set1_pd(p.x), y = _mm_set1_pd(p.y), z = _mm_set1_pd(p.z);
    D4 v = add(add(add(mul(load4(m), x), mul(load4(m + 4), y)), mul(load4(m + 8), z)), load4(m + 12));
    const double w = _mm_cvtsd_f64(_mm_unpackhi_pd(v.hi, v.hi));
    if (w != 0.0) {
        const __m128d ww = _mm_set1_pd(w);
        v = {_mm_div_pd(v.lo, ww), _mm_div_pd(v.hi, ww)};
    }
    alignas(16) double r[4];
    store4(r, v);
    out = Vec3d{r[0], r[1], r[2]};
}

// The 4x4 cofactors, four per register: register r holds dst(r, c) for c = 0..3, that is
// (-1)^(r+c) times the transposed 3x3 minor without row c and column r, expanded exactly as
// the scalar code expands it: (A P1 - B P2) + C P3, where A, B, C are the minor's first column
// and P1, P2, P3 the 2x2 determinants of its other two columns, each formed from the same two
// products in the same order. `minors[c]` receives the unsigned minor without row 0 and
// column c, from which the determinant is expanded.
template <typename V, typename Ops>
void cofactors4(const V col[4], V out[4], V minors[4], Ops o) {
    // The three column pairs the minors use: (2, 3) for output rows 0 and 1, (1, 3) for
    // row 2, (1, 2) for row 3.
    const int pairs[3][2] = {{2, 3}, {1, 3}, {1, 2}};
    V p1[3], p2[3], p3[3];
    for (int cp = 0; cp < 3; ++cp) {
        const V a = col[pairs[cp][0]], b = col[pairs[cp][1]];
        // pair(ra, rb) = a[ra] b[rb] - a[rb] b[ra], for the row pairs each lane needs.
        p1[cp] = o.sub(o.mul(o.template pick<2, 2, 1, 1>(a), o.template pick<3, 3, 3, 2>(b)),
                       o.mul(o.template pick<3, 3, 3, 2>(a), o.template pick<2, 2, 1, 1>(b)));
        p2[cp] = o.sub(o.mul(o.template pick<1, 0, 0, 0>(a), o.template pick<3, 3, 3, 2>(b)),
                       o.mul(o.template pick<3, 3, 3, 2>(a), o.template pick<1, 0, 0, 0>(b)));
        p3[cp] = o.sub(o.mul(o.template pick<1, 0, 0, 0>(a), o.template pick<2, 2, 1, 1>(b)),
                       o.mul(o.template pick<2, 2, 1, 1>(a), o.template pick<1, 0, 0, 0>(b)));
    }
    const int pair_of_row[4] = {0, 0, 1, 2};
    for (int r = 0; r < 4; ++r) {
        const V first = col[r == 0 ? 1 : 0];
        const int cp = pair_of_row[r];
        const V m = o.add(o.sub(o.mul(o.template pick<1, 0, 0, 0>(first), p1[cp]),
                                o.mul(o.template pick<2, 2, 1, 1>(first), p2[cp])),
                          o.mul(o.template pick<3, 3, 3, 2>(first), p3[cp]));
        minors[r] = m;
        out[r] = o.negate_odd(m, r);
    }
}

struct FloatOps {
    template <int a, int b, int c, int d>
    __m128 pick(__m128 v) const { return geometry::pick<a, b, c, d>(v); }
    __m128 add(__m128 a, __m128 b) const { return _mm_add_ps(a, b); }
    __m128 sub(__m128 a, __m128 b) const { return _mm_sub_ps(a, b); }
    __m128 mul(__m128 a, __m128 b) const { return _mm_mul_ps(a, b); }
    // Lanes c with r + c odd negated (a sign flip, as the scalar code negates).
    __m128 negate_odd(__m128 v, int r) const {
        const __m128 even = _mm_castsi128_ps(_mm_set_epi32(INT32_MIN, 0, INT32_MIN, 0));
        const __m128 odd = _mm_castsi128_ps(_mm_set_epi32(0, INT32_MIN, 0, INT32_MIN));
        return _mm_xor_ps(v, (r % 2) ? odd : even);
    }
};

// Lanes c with r + c odd negated, for a row r of doubles.
D4 negate_odd(D4 v, int r) {
    const __m128d plus_minus = _mm_castsi128_pd(_mm_set_epi64x(INT64_MIN, 0));
    const __m128d minus_plus = _mm_castsi128_pd(_mm_set_epi64x(0, INT64_MIN));
    const __m128d mask = (r % 2) ? minus_plus : plus_minus;
    return {_mm_xor_pd(v.lo, mask), _mm_xor_pd(v.hi, mask)};
}

float lane0(__m128 v) { return _mm_cvtss_f32(v); }
double lane0(D4 v) { return _mm_cvtsd_f64(v.lo); }

void invert4_sse(const float* src, float* dst) {
    __m128 c0 = _mm_loadu_ps(src), c1 = _mm_loadu_ps(src + 4), c2 = _mm_loadu_ps(src + 8), c3 = _mm_loadu_ps(src + 12);
    _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
    const __m128 col[4] = {c0, c1, c2, c3};
    __m128 cof[4], minors[4];
    cofactors4(col, cof, minors, FloatOps{});
    const float det = ((src[0] * lane0(minors[0]) - src[1] * lane0(minors[1])) + src[2] * lane0(minors[2])) -
                      src[3] * lane0(minors[3]);
    if (std::fabs(static_cast<double>(det)) < Precision<float>::tolerance) return;
    const __m128 r = _mm_set1_ps(1.0f / det);
    for (int i = 0; i < 4; ++i) _mm_storeu_ps(dst + 4 * i, _mm_mul_ps(cof[i], r));
}

// The double inverse lays its 2x2 determinants out by row pairs instead: for a column pair,
// the registers (01, 23), (02, 13) and (03, 12) hold its six row pairs, formed from the columns
// with few shuffles; each cofactor then takes its three determinants and three elements as the
// float path does. Every lane's operations are the scalar code's.
struct RowPairs {
    __m128d a, b, c;  // row pairs (0,1) (2,3); (0,2) (1,3); (0,3) (1,2)
};

inline __m128d swap2(__m128d v) { return _mm_shuffle_pd(v, v, 1); }

RowPairs row_pairs(const D4& ca, const D4& cb) {
    // pair(ra, rb) = ca[ra] cb[rb] - ca[rb] cb[ra]
    const __m128d a02 = _mm_unpacklo_pd(ca.lo, ca.hi), a13 = _mm_unpackhi_pd(ca.lo, ca.hi);
    const __m128d b02 = _mm_unpacklo_pd(cb.lo, cb.hi), b13 = _mm_unpackhi_pd(cb.lo, cb.hi);
    return {_mm_sub_pd(_mm_mul_pd(a02, b13), _mm_mul_pd(a13, b02)),
            _mm_sub_pd(_mm_mul_pd(ca.lo, cb.hi), _mm_mul_pd(ca.hi, cb.lo)),
            _mm_sub_pd(_mm_mul_pd(ca.lo, swap2(cb.hi)), _mm_mul_pd(swap2(ca.hi), cb.lo))};
}

// (A P1 - B P2) + C P3 for the four cofactor lanes of an output row, unsigned.
D4 minor_row(const D4& first, const RowPairs& p) {
    const __m128d p1_lo = _mm_unpackhi_pd(p.a, p.a), p2_lo = _mm_shuffle_pd(p.b, p.c, 1), p3_lo = _mm_shuffle_pd(p.c, p.b, 1);
    const __m128d p1_hi = _mm_unpackhi_pd(p.b, p.c), p2_hi = _mm_unpacklo_pd(p.c, p.b), p3_hi = _mm_unpacklo_pd(p.a, p.a);
    const __m128d a_lo = swap2(first.lo), b_lo = _mm_unpacklo_pd(first.hi, first.hi), c_lo = _mm_unpackhi_pd(first.hi, first.hi);
    const __m128d a_hi = _mm_unpacklo_pd(first.lo, first.lo), b_hi = _mm_unpackhi_pd(first.lo, first.lo), c_hi = swap2(first.hi);
    return {_mm_add_pd(_mm_sub_pd(_mm_mul_pd(a_lo, p1_lo), _mm_mul_pd(b_lo, p2_lo)), _mm_mul_pd(c_lo, p3_lo)),
            _mm_add_pd(_mm_sub_pd(_mm_mul_pd(a_hi, p1_hi), _mm_mul_pd(b_hi, p2_hi)), _mm_mul_pd(c_hi, p3_hi))};
}

void invert4_sse(const double* src, double* dst) {
    const D4 r0 = load4(src), r1 = load4(src + 4), r2 = load4(src + 8), r3 = load4(src + 12);
    const D4 col[4] = {{_mm_unpacklo_pd(r0.lo, r1.lo), _mm_unpacklo_pd(r2.lo, r3.lo)},
                       {_mm_unpackhi_pd(r0.lo, r1.lo), _mm_unpackhi_pd(r2.lo, r3.lo)},
                       {_mm_unpacklo_pd(r0.hi, r1.hi), _mm_unpacklo_pd(r2.hi, r3.hi)},
                       {_mm_unpackhi_pd(r0.hi, r1.hi), _mm_unpackhi_pd(r2.hi, r3.hi)}};
    const RowPairs p23 = row_pairs(col[2], col[3]), p13 = row_pairs(col[1], col[3]), p12 = row_pairs(col[1], col[2]);
    const D4 minors[4] = {minor_row(col[1], p23), minor_row(col[0], p23), minor_row(col[0], p13), minor_row(col[0], p12)};
    const double det = ((src[0] * lane0(minors[0]) - src[1] * lane0(minors[1])) + src[2] * lane0(minors[2])) -
                       src[3] * lane0(minors[3]);
    if (std::fabs(det) < Precision<double>::tolerance) return;
    const __m128d r = _mm_set1_pd(1.0 / det);
    for (int i = 0; i < 4; ++i) store4(dst + 4 * i, mul(negate_odd(minors[i], i), r));
}

}  // namespace

void multiply(const Mat4f& a, const Mat4f& b, Mat4f& out) { multiply4_sse(a.m, b.m, out.m); }
void multiply(const Mat4d& a, const Mat4d& b, Mat4d& out) { multiply4_sse(a.m, b.m, out.m); }
void transform_point(const Vec3f& p, const Mat4f& m, Vec3f& out) { transform_point_sse(p, m.m, out); }
void transform_point(const Vec3d& p, const Mat4d& m, Vec3d& out) { transform_point_sse(p, m.m, out); }
void invert(const Mat4f& src, Mat4f& dst) { invert4_sse(src.m, dst.m); }
void invert(const Mat4d& src, Mat4d& dst) { invert4_sse(src.m, dst.m); }

}  // namespace geometry

#endif
