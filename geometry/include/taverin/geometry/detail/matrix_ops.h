// Private to the geometry library: the code of the small matrix operations, which matrix.h
// defines inline where it can (exact.h) and the compiled library compiles out of line. The
// 4x4 product, point transform and inverse have SSE2 paths; the library keeps the plain scalar
// code of those beside them (src/matrix.cpp), as the fallback and the tests' oracle.
#pragma once

#include <cstring>

#include "../types.h"
#include "exact.h"
#include "sse.h"

#if defined(__GNUC__) && defined(__SSE2__)
// Compiled into the library (src/matrix_avx2.cpp), for processors with AVX2: the 4x4 products
// and inverses with 256-bit registers, each element's operations the same and in
// the same order as the SSE2 forms', so the same bits in about half the instructions.
// `use_avx2` is set while the library loads, where the processor and the operating system run
// AVX2 and the library has its SIMD paths; until then, and where it is cleared (the tests do,
// to run the SSE2 forms), the SSE2 forms run.
namespace geometry::detail {
extern bool use_avx2;
void multiply4_avx2(const float* a, const float* b, float* out);
void multiply4_avx2(const double* a, const double* b, double* out);
void invert4_avx2(const float* src, float* dst);
void invert4_avx2(const double* src, double* dst);
}  // namespace geometry::detail
#endif

#if TAVERIN_GEOMETRY_DEFINE_OPS
namespace geometry::detail {

// A B into a temporary that starts at zero: element (i, j) adds A(i, k) B(k, j) for k = 0
// upwards. The columns of a row are independent, so they sit in the inner loop.
template <typename T, int N>
inline void multiply_n(const T* a, const T* b, T* out) {
    T t[N * N];
    TAVERIN_GEOMETRY_UNROLLED
    for (int i = 0; i < N; ++i) {
        T acc[N];
        TAVERIN_GEOMETRY_UNROLLED
        for (int j = 0; j < N; ++j) acc[j] = T(0);
        TAVERIN_GEOMETRY_UNROLLED
        for (int k = 0; k < N; ++k) {
            const T aik = a[N * i + k];
            TAVERIN_GEOMETRY_UNROLLED
            for (int j = 0; j < N; ++j) acc[j] = acc[j] + prod(aik, b[N * k + j]);
        }
        TAVERIN_GEOMETRY_UNROLLED
        for (int j = 0; j < N; ++j) t[N * i + j] = acc[j];
    }
    std::memcpy(out, t, sizeof t);
}

template <typename V, typename M>
inline void transform_vector(const V& v, const M& mat, V& out) {
    const V in = v;
    const auto* m = mat.m;
    out.x = (prod(in.x, m[0]) + prod(in.y, m[3])) + prod(in.z, m[6]);
    out.y = (prod(in.x, m[1]) + prod(in.y, m[4])) + prod(in.z, m[7]);
    out.z = (prod(in.x, m[2]) + prod(in.y, m[5])) + prod(in.z, m[8]);
}

template <typename T>
inline T det2(T a, T b, T c, T d) {
    return prod(a, d) - prod(b, c);
}

// Expanded along the first row, the minors by det2.
template <typename T>
inline T det3(const T* m) {
    const T d0 = det2(m[4], m[5], m[7], m[8]);
    const T d1 = det2(m[3], m[5], m[6], m[8]);
    const T d2 = det2(m[3], m[4], m[6], m[7]);
    return (prod(m[0], d0) - prod(m[1], d1)) + prod(m[2], d2);
}

#if TAVERIN_GEOMETRY_SSE2

// Row i of A B: for each column j, ((((0 + A(i,0) B(0,j)) + A(i,1) B(1,j)) + ...), four
// columns at a time.
inline void multiply4(const float* a, const float* b, float* out) {
    const __m128 b0 = _mm_loadu_ps(b), b1 = _mm_loadu_ps(b + 4), b2 = _mm_loadu_ps(b + 8), b3 = _mm_loadu_ps(b + 12);
    __m128 r[4];
    TAVERIN_GEOMETRY_UNROLLED
    for (int i = 0; i < 4; ++i) {
        const __m128 row = _mm_loadu_ps(a + 4 * i);
        __m128 acc = _mm_add_ps(_mm_setzero_ps(), prod(pick<0, 0, 0, 0>(row), b0));
        acc = _mm_add_ps(acc, prod(pick<1, 1, 1, 1>(row), b1));
        acc = _mm_add_ps(acc, prod(pick<2, 2, 2, 2>(row), b2));
        r[i] = _mm_add_ps(acc, prod(pick<3, 3, 3, 3>(row), b3));
    }
    TAVERIN_GEOMETRY_UNROLLED
    for (int i = 0; i < 4; ++i) _mm_storeu_ps(out + 4 * i, r[i]);  // after every read: out may be a or b
}

inline void multiply4(const double* a, const double* b, double* out) {
    const D4 b0 = load4(b), b1 = load4(b + 4), b2 = load4(b + 8), b3 = load4(b + 12);
    D4 r[4];
    TAVERIN_GEOMETRY_UNROLLED
    for (int i = 0; i < 4; ++i) {
        const double* row = a + 4 * i;
        D4 acc = add(zero4(), prod(b0, _mm_set1_pd(row[0])));
        acc = add(acc, prod(b1, _mm_set1_pd(row[1])));
        acc = add(acc, prod(b2, _mm_set1_pd(row[2])));
        r[i] = add(acc, prod(b3, _mm_set1_pd(row[3])));
    }
    TAVERIN_GEOMETRY_UNROLLED
    for (int i = 0; i < 4; ++i) store4(out + 4 * i, r[i]);
}

// The 4x4 product in the form the processor runs fastest: the library's AVX2 form where
// `use_avx2` is set (declared above), else the SSE2 form above; both give the same bits.
template <typename T>
inline void multiply4_fastest(const T* a, const T* b, T* out) {
    if (use_avx2)
        multiply4_avx2(a, b, out);
    else
        multiply4(a, b, out);
}

// (p, 1) M as ((x R0 + y R1) + z R2) + R3 in every lane, the homogeneous coordinate in lane 3,
// which divides the others unless it is exactly 0.
inline void transform_point(const Vec3f& p, const float* m, Vec3f& out) {
    __m128 v = _mm_add_ps(prod(splat(p.x), _mm_loadu_ps(m)), prod(splat(p.y), _mm_loadu_ps(m + 4)));
    v = _mm_add_ps(_mm_add_ps(v, prod(splat(p.z), _mm_loadu_ps(m + 8))), _mm_loadu_ps(m + 12));
    const __m128 w = pick<3, 3, 3, 3>(v);
    if (_mm_cvtss_f32(w) != 0.0f) v = _mm_div_ps(v, w);
    alignas(16) float r[4];
    _mm_store_ps(r, v);
    out = Vec3f{r[0], r[1], r[2]};
}

inline void transform_point(const Vec3d& p, const double* m, Vec3d& out) {
    const __m128d x = _mm_set1_pd(p.x), y = _mm_set1_pd(p.y), z = _mm_set1_pd(p.z);
    D4 v = add(add(add(prod(load4(m), x), prod(load4(m + 4), y)), prod(load4(m + 8), z)), load4(m + 12));
    const double w = _mm_cvtsd_f64(_mm_unpackhi_pd(v.hi, v.hi));
    if (w != 0.0) {
        const __m128d ww = _mm_set1_pd(w);
        v = {_mm_div_pd(v.lo, ww), _mm_div_pd(v.hi, ww)};
    }
    alignas(16) double r[4];
    store4(r, v);
    out = Vec3d{r[0], r[1], r[2]};
}

// The 4x4 inverse. dst(r, c) = (-1)^(r+c) times the 3x3 minor without row c and column r,
// built transposed (its row i holds the remaining rows of its i-th remaining column) and
// expanded as the 3x3 determinant: (A P1 - B P2) + C P3, with A, B, C the minor's first row
// and P1, P2, P3 the 2x2 determinants of its other two rows, each formed from the same two
// products in the same order. Four cofactors to a register; the determinant is expanded along
// the first row from the unsigned minors without row 0. A determinant whose magnitude is below
// the threshold (tested in double) leaves dst untouched.
inline float lane0(__m128 v) { return _mm_cvtss_f32(v); }
inline double lane0(D4 v) { return _mm_cvtsd_f64(v.lo); }

template <typename T>
inline T expand_first_row(const T* src, T m0, T m1, T m2, T m3) {
    return ((prod(src[0], m0) - prod(src[1], m1)) + prod(src[2], m2)) - prod(src[3], m3);
}

inline void invert4(const float* src, float* dst) {
    __m128 c0 = _mm_loadu_ps(src), c1 = _mm_loadu_ps(src + 4), c2 = _mm_loadu_ps(src + 8), c3 = _mm_loadu_ps(src + 12);
    _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
    const __m128 col[4] = {c0, c1, c2, c3};
    // The three column pairs the minors use: (2, 3) for output rows 0 and 1, (1, 3) for row 2,
    // (1, 2) for row 3; pair(ra, rb) = a[ra] b[rb] - a[rb] b[ra] for the row pairs each lane needs.
    const int pairs[3][2] = {{2, 3}, {1, 3}, {1, 2}};
    __m128 p1[3], p2[3], p3[3];
    TAVERIN_GEOMETRY_UNROLLED
    for (int cp = 0; cp < 3; ++cp) {
        const __m128 a = col[pairs[cp][0]], b = col[pairs[cp][1]];
        p1[cp] = _mm_sub_ps(prod(pick<2, 2, 1, 1>(a), pick<3, 3, 3, 2>(b)), prod(pick<3, 3, 3, 2>(a), pick<2, 2, 1, 1>(b)));
        p2[cp] = _mm_sub_ps(prod(pick<1, 0, 0, 0>(a), pick<3, 3, 3, 2>(b)), prod(pick<3, 3, 3, 2>(a), pick<1, 0, 0, 0>(b)));
        p3[cp] = _mm_sub_ps(prod(pick<1, 0, 0, 0>(a), pick<2, 2, 1, 1>(b)), prod(pick<2, 2, 1, 1>(a), pick<1, 0, 0, 0>(b)));
    }
    const int pair_of_row[4] = {0, 0, 1, 2};
    __m128 minors[4];
    TAVERIN_GEOMETRY_UNROLLED
    for (int r = 0; r < 4; ++r) {
        const __m128 first = col[r == 0 ? 1 : 0];
        const int cp = pair_of_row[r];
        minors[r] = _mm_add_ps(_mm_sub_ps(prod(pick<1, 0, 0, 0>(first), p1[cp]), prod(pick<2, 2, 1, 1>(first), p2[cp])),
                               prod(pick<3, 3, 3, 2>(first), p3[cp]));
    }
    const float det = expand_first_row(src, lane0(minors[0]), lane0(minors[1]), lane0(minors[2]), lane0(minors[3]));
    if (std::fabs(static_cast<double>(det)) < 1e-6) return;
    const __m128 r = _mm_set1_ps(1.0f / det);
    // Lanes c with r + c odd negated (a sign flip), then scaled.
    const __m128 even = _mm_castsi128_ps(_mm_set_epi32(INT32_MIN, 0, INT32_MIN, 0));
    const __m128 odd = _mm_castsi128_ps(_mm_set_epi32(0, INT32_MIN, 0, INT32_MIN));
    TAVERIN_GEOMETRY_UNROLLED
    for (int i = 0; i < 4; ++i) _mm_storeu_ps(dst + 4 * i, _mm_mul_ps(_mm_xor_ps(minors[i], (i % 2) ? odd : even), r));
}

// The double inverse lays its 2x2 determinants out by row pairs instead: for a column pair,
// the registers (01, 23), (02, 13) and (03, 12) hold its six row pairs, formed from the columns
// with few shuffles; each cofactor then takes its three determinants and three elements as the
// float path does.
struct RowPairs {
    __m128d a, b, c;  // row pairs (0,1) (2,3); (0,2) (1,3); (0,3) (1,2)
};

inline __m128d swap2(__m128d v) { return _mm_shuffle_pd(v, v, 1); }

// pair(ra, rb) = ca[ra] cb[rb] - ca[rb] cb[ra]
inline RowPairs row_pairs(const D4& ca, const D4& cb) {
    const __m128d a02 = _mm_unpacklo_pd(ca.lo, ca.hi), a13 = _mm_unpackhi_pd(ca.lo, ca.hi);
    const __m128d b02 = _mm_unpacklo_pd(cb.lo, cb.hi), b13 = _mm_unpackhi_pd(cb.lo, cb.hi);
    return {_mm_sub_pd(prod(a02, b13), prod(a13, b02)), _mm_sub_pd(prod(ca.lo, cb.hi), prod(ca.hi, cb.lo)),
            _mm_sub_pd(prod(ca.lo, swap2(cb.hi)), prod(swap2(ca.hi), cb.lo))};
}

// (A P1 - B P2) + C P3 for the four cofactor lanes of an output row, unsigned.
inline D4 minor_row(const D4& first, const RowPairs& p) {
    const __m128d p1_lo = _mm_unpackhi_pd(p.a, p.a), p2_lo = _mm_shuffle_pd(p.b, p.c, 1), p3_lo = _mm_shuffle_pd(p.c, p.b, 1);
    const __m128d p1_hi = _mm_unpackhi_pd(p.b, p.c), p2_hi = _mm_unpacklo_pd(p.c, p.b), p3_hi = _mm_unpacklo_pd(p.a, p.a);
    const __m128d a_lo = swap2(first.lo), b_lo = _mm_unpacklo_pd(first.hi, first.hi), c_lo = _mm_unpackhi_pd(first.hi, first.hi);
    const __m128d a_hi = _mm_unpacklo_pd(first.lo, first.lo), b_hi = _mm_unpackhi_pd(first.lo, first.lo), c_hi = swap2(first.hi);
    return {_mm_add_pd(_mm_sub_pd(prod(a_lo, p1_lo), prod(b_lo, p2_lo)), prod(c_lo, p3_lo)),
            _mm_add_pd(_mm_sub_pd(prod(a_hi, p1_hi), prod(b_hi, p2_hi)), prod(c_hi, p3_hi))};
}

inline void invert4(const double* src, double* dst) {
    const D4 r0 = load4(src), r1 = load4(src + 4), r2 = load4(src + 8), r3 = load4(src + 12);
    const D4 col[4] = {{_mm_unpacklo_pd(r0.lo, r1.lo), _mm_unpacklo_pd(r2.lo, r3.lo)},
                       {_mm_unpackhi_pd(r0.lo, r1.lo), _mm_unpackhi_pd(r2.lo, r3.lo)},
                       {_mm_unpacklo_pd(r0.hi, r1.hi), _mm_unpacklo_pd(r2.hi, r3.hi)},
                       {_mm_unpackhi_pd(r0.hi, r1.hi), _mm_unpackhi_pd(r2.hi, r3.hi)}};
    const RowPairs p23 = row_pairs(col[2], col[3]), p13 = row_pairs(col[1], col[3]), p12 = row_pairs(col[1], col[2]);
    const D4 minors[4] = {minor_row(col[1], p23), minor_row(col[0], p23), minor_row(col[0], p13), minor_row(col[0], p12)};
    const double det = expand_first_row(src, lane0(minors[0]), lane0(minors[1]), lane0(minors[2]), lane0(minors[3]));
    if (std::fabs(det) < 1e-15) return;
    const __m128d r = _mm_set1_pd(1.0 / det);
    const __m128d plus_minus = _mm_castsi128_pd(_mm_set_epi64x(INT64_MIN, 0));
    const __m128d minus_plus = _mm_castsi128_pd(_mm_set_epi64x(0, INT64_MIN));
    TAVERIN_GEOMETRY_UNROLLED
    for (int i = 0; i < 4; ++i) {
        const __m128d mask = (i % 2) ? minus_plus : plus_minus;
        store4(dst + 4 * i, {_mm_mul_pd(_mm_xor_pd(minors[i].lo, mask), r), _mm_mul_pd(_mm_xor_pd(minors[i].hi, mask), r)});
    }
}

// The inverse in the library's AVX2 form where `use_avx2` is set, else as above; both forms
// give the same bits.
template <typename T>
inline void invert4_fastest(const T* src, T* dst) {
    if (use_avx2)
        invert4_avx2(src, dst);
    else
        invert4(src, dst);
}

#endif  // TAVERIN_GEOMETRY_SSE2

}  // namespace geometry::detail
#endif  // TAVERIN_GEOMETRY_DEFINE_OPS

// The public operations, inline in a caller's code, or compiled once into the library.
#if TAVERIN_GEOMETRY_DEFINE_PUBLIC_OPS
namespace geometry {
TAVERIN_GEOMETRY_INLINE_BEGIN

TAVERIN_GEOMETRY_OP void transform_vector(const Vec3f& v, const Mat3f& m, Vec3f& out) { detail::transform_vector(v, m, out); }
TAVERIN_GEOMETRY_OP void transform_vector(const Vec3d& v, const Mat3d& m, Vec3d& out) { detail::transform_vector(v, m, out); }
TAVERIN_GEOMETRY_OP void multiply(const Mat3f& a, const Mat3f& b, Mat3f& out) { detail::multiply_n<float, 3>(a.m, b.m, out.m); }
TAVERIN_GEOMETRY_OP void multiply(const Mat3d& a, const Mat3d& b, Mat3d& out) { detail::multiply_n<double, 3>(a.m, b.m, out.m); }
TAVERIN_GEOMETRY_OP float det2(float a, float b, float c, float d) { return detail::det2(a, b, c, d); }
TAVERIN_GEOMETRY_OP double det2(double a, double b, double c, double d) { return detail::det2(a, b, c, d); }
TAVERIN_GEOMETRY_OP float determinant(const Mat3f& m) { return detail::det3(m.m); }
TAVERIN_GEOMETRY_OP double determinant(const Mat3d& m) { return detail::det3(m.m); }
#if TAVERIN_GEOMETRY_SSE2  // otherwise the library's scalar code (src/matrix.cpp)
TAVERIN_GEOMETRY_OP void transform_point(const Vec3f& p, const Mat4f& m, Vec3f& out) { detail::transform_point(p, m.m, out); }
TAVERIN_GEOMETRY_OP void transform_point(const Vec3d& p, const Mat4d& m, Vec3d& out) { detail::transform_point(p, m.m, out); }
TAVERIN_GEOMETRY_OP void multiply(const Mat4f& a, const Mat4f& b, Mat4f& out) { detail::multiply4_fastest(a.m, b.m, out.m); }
TAVERIN_GEOMETRY_OP void multiply(const Mat4d& a, const Mat4d& b, Mat4d& out) { detail::multiply4_fastest(a.m, b.m, out.m); }
TAVERIN_GEOMETRY_OP void invert(const Mat4f& src, Mat4f& dst) { detail::invert4_fastest(src.m, dst.m); }
TAVERIN_GEOMETRY_OP void invert(const Mat4d& src, Mat4d& dst) { detail::invert4_fastest(src.m, dst.m); }
#endif

TAVERIN_GEOMETRY_INLINE_END
}  // namespace geometry
#endif
