// The 4x4 products and inverses with 256-bit registers, for processors with AVX2
// (detail/matrix_ops.h declares them and chooses them at each call). Only these functions are
// compiled for AVX2; the rest of the library runs on any x86-64 processor. Each element takes
// the same products, sums and differences in the same order as the SSE2 forms and the scalar
// code, every product rounded on its own: nothing here is compiled for fused multiply-adds, and
// the asm statement in rounded256 keeps a compiler told otherwise from fusing.
#include "taverin/geometry/matrix.h"

#if defined(__GNUC__) && defined(__SSE2__)
#include <immintrin.h>

#include <cmath>
#include <cstdint>

#define TAVERIN_AVX2 __attribute__((target("avx2")))

namespace geometry::detail {

namespace {

bool processor_runs_avx2() {
#if defined(TAVERIN_GEOMETRY_SCALAR_ONLY)
    return false;
#else
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");  // the processor's and the system's (it saves the registers)
#endif
}

template <typename V>
TAVERIN_AVX2 V rounded256(V v) {
    __asm__("" : "+x"(v));
    return v;
}

}  // namespace

bool use_avx2 = processor_runs_avx2();

// Rows 2i and 2i + 1 of A B in one register: each half multiplies its row's elements,
// spread over the half, by the rows of B, held twice.
TAVERIN_AVX2 void multiply4_avx2(const float* a, const float* b, float* out) {
    const __m256 b0 = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(b));
    const __m256 b1 = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(b + 4));
    const __m256 b2 = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(b + 8));
    const __m256 b3 = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(b + 12));
    const __m256 rows01 = _mm256_loadu_ps(a), rows23 = _mm256_loadu_ps(a + 8);
    __m256 r[2];
    const __m256 rows[2] = {rows01, rows23};
    for (int i = 0; i < 2; ++i) {
        __m256 acc = _mm256_add_ps(_mm256_setzero_ps(), rounded256(_mm256_mul_ps(_mm256_permute_ps(rows[i], 0x00), b0)));
        acc = _mm256_add_ps(acc, rounded256(_mm256_mul_ps(_mm256_permute_ps(rows[i], 0x55), b1)));
        acc = _mm256_add_ps(acc, rounded256(_mm256_mul_ps(_mm256_permute_ps(rows[i], 0xaa), b2)));
        r[i] = _mm256_add_ps(acc, rounded256(_mm256_mul_ps(_mm256_permute_ps(rows[i], 0xff), b3)));
    }
    _mm256_storeu_ps(out, r[0]);  // after every read: out may be a or b
    _mm256_storeu_ps(out + 8, r[1]);
}

// One row of A B to a register.
TAVERIN_AVX2 void multiply4_avx2(const double* a, const double* b, double* out) {
    const __m256d b0 = _mm256_loadu_pd(b), b1 = _mm256_loadu_pd(b + 4), b2 = _mm256_loadu_pd(b + 8), b3 = _mm256_loadu_pd(b + 12);
    __m256d r[4];
    for (int i = 0; i < 4; ++i) {
        const double* row = a + 4 * i;
        __m256d acc = _mm256_add_pd(_mm256_setzero_pd(), rounded256(_mm256_mul_pd(_mm256_broadcast_sd(row), b0)));
        acc = _mm256_add_pd(acc, rounded256(_mm256_mul_pd(_mm256_broadcast_sd(row + 1), b1)));
        acc = _mm256_add_pd(acc, rounded256(_mm256_mul_pd(_mm256_broadcast_sd(row + 2), b2)));
        r[i] = _mm256_add_pd(acc, rounded256(_mm256_mul_pd(_mm256_broadcast_sd(row + 3), b3)));
    }
    for (int i = 0; i < 4; ++i) _mm256_storeu_pd(out + 4 * i, r[i]);
}

// The float inverse of the SSE2 form, two output rows to a register: rows 0 and 1 use the
// column pair (2, 3), rows 2 and 3 the pairs (1, 3) and (1, 2), so each half of a register
// works exactly as the SSE2 form's register for its row.
namespace {
template <int a, int b, int c, int d>
TAVERIN_AVX2 __m256 pick2(__m256 v) {  // lanes (a, b, c, d) of each half
    return _mm256_permute_ps(v, _MM_SHUFFLE(d, c, b, a));
}
// ((E1 P1 - E2 P2) + E3 P3) of the first columns `f` over the 2x2 determinants of columns
// `x` and `y`, for the rows each half holds.
TAVERIN_AVX2 __m256 minor_rows(__m256 f, __m256 x, __m256 y) {
    const __m256 x1 = pick2<1, 0, 0, 0>(x), x2 = pick2<2, 2, 1, 1>(x), x3 = pick2<3, 3, 3, 2>(x);
    const __m256 y1 = pick2<1, 0, 0, 0>(y), y2 = pick2<2, 2, 1, 1>(y), y3 = pick2<3, 3, 3, 2>(y);
    const __m256 p1 = _mm256_sub_ps(rounded256(_mm256_mul_ps(x2, y3)), rounded256(_mm256_mul_ps(x3, y2)));
    const __m256 p2 = _mm256_sub_ps(rounded256(_mm256_mul_ps(x1, y3)), rounded256(_mm256_mul_ps(x3, y1)));
    const __m256 p3 = _mm256_sub_ps(rounded256(_mm256_mul_ps(x1, y2)), rounded256(_mm256_mul_ps(x2, y1)));
    return _mm256_add_ps(_mm256_sub_ps(rounded256(_mm256_mul_ps(pick2<1, 0, 0, 0>(f), p1)),
                                       rounded256(_mm256_mul_ps(pick2<2, 2, 1, 1>(f), p2))),
                         rounded256(_mm256_mul_ps(pick2<3, 3, 3, 2>(f), p3)));
}
}  // namespace

TAVERIN_AVX2 void invert4_avx2(const float* src, float* dst) {
    __m128 c0 = _mm_loadu_ps(src), c1 = _mm_loadu_ps(src + 4), c2 = _mm_loadu_ps(src + 8), c3 = _mm_loadu_ps(src + 12);
    _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
    const __m256 rows01 = minor_rows(_mm256_set_m128(c0, c1), _mm256_set_m128(c2, c2), _mm256_set_m128(c3, c3));
    const __m256 rows23 = minor_rows(_mm256_set_m128(c0, c0), _mm256_set_m128(c1, c1), _mm256_set_m128(c2, c3));
    const float m0 = _mm256_cvtss_f32(rows01), m1 = _mm_cvtss_f32(_mm256_extractf128_ps(rows01, 1));
    const float m2 = _mm256_cvtss_f32(rows23), m3 = _mm_cvtss_f32(_mm256_extractf128_ps(rows23, 1));
    const float det = ((rounded256(src[0] * m0) - rounded256(src[1] * m1)) + rounded256(src[2] * m2)) - rounded256(src[3] * m3);
    if (std::fabs(static_cast<double>(det)) < 1e-6) return;
    const __m256 r = _mm256_set1_ps(1.0f / det);
    // Lanes c with r + c odd negated (a sign flip), then scaled: an even row, then an odd one.
    const __m256 signs = _mm256_castsi256_ps(_mm256_setr_epi32(0, INT32_MIN, 0, INT32_MIN, INT32_MIN, 0, INT32_MIN, 0));
    _mm256_storeu_ps(dst, _mm256_mul_ps(_mm256_xor_ps(rows01, signs), r));
    _mm256_storeu_ps(dst + 8, _mm256_mul_ps(_mm256_xor_ps(rows23, signs), r));
}

// The inverse of the SSE2 float form, four doubles to a register: dst(r, c) = (-1)^(r+c)
// times the minor without row c and column r, as ((A P1 - B P2) + C P3) from the columns'
// elements A, B, C and the 2x2 determinants P of the minor's other two rows; the determinant
// expanded along the first row from the unsigned minors of row 0. Below the singularity
// threshold dst is left untouched.
TAVERIN_AVX2 void invert4_avx2(const double* src, double* dst) {
    const __m256d r0 = _mm256_loadu_pd(src), r1 = _mm256_loadu_pd(src + 4), r2 = _mm256_loadu_pd(src + 8),
                  r3 = _mm256_loadu_pd(src + 12);
    const __m256d t0 = _mm256_unpacklo_pd(r0, r1), t1 = _mm256_unpackhi_pd(r0, r1);
    const __m256d t2 = _mm256_unpacklo_pd(r2, r3), t3 = _mm256_unpackhi_pd(r2, r3);
    const __m256d col[4] = {_mm256_permute2f128_pd(t0, t2, 0x20), _mm256_permute2f128_pd(t1, t3, 0x20),
                            _mm256_permute2f128_pd(t0, t2, 0x31), _mm256_permute2f128_pd(t1, t3, 0x31)};
    // Each column's elements in the lanes each output column needs: rows (1, 0, 0, 0),
    // (2, 2, 1, 1) and (3, 3, 3, 2).
    __m256d e1[4], e2[4], e3[4];
    for (int k = 0; k < 4; ++k) {
        e1[k] = _mm256_permute4x64_pd(col[k], _MM_SHUFFLE(0, 0, 0, 1));
        e2[k] = _mm256_permute4x64_pd(col[k], _MM_SHUFFLE(1, 1, 2, 2));
        e3[k] = _mm256_permute4x64_pd(col[k], _MM_SHUFFLE(2, 3, 3, 3));
    }
    // The column pairs the minors use: (2, 3) for output rows 0 and 1, (1, 3) for row 2,
    // (1, 2) for row 3.
    const int pairs[3][2] = {{2, 3}, {1, 3}, {1, 2}};
    __m256d p1[3], p2[3], p3[3];
    for (int cp = 0; cp < 3; ++cp) {
        const int a = pairs[cp][0], b = pairs[cp][1];
        p1[cp] = _mm256_sub_pd(rounded256(_mm256_mul_pd(e2[a], e3[b])), rounded256(_mm256_mul_pd(e3[a], e2[b])));
        p2[cp] = _mm256_sub_pd(rounded256(_mm256_mul_pd(e1[a], e3[b])), rounded256(_mm256_mul_pd(e3[a], e1[b])));
        p3[cp] = _mm256_sub_pd(rounded256(_mm256_mul_pd(e1[a], e2[b])), rounded256(_mm256_mul_pd(e2[a], e1[b])));
    }
    const int pair_of_row[4] = {0, 0, 1, 2};
    __m256d minors[4];
    for (int r = 0; r < 4; ++r) {
        const int f = r == 0 ? 1 : 0, cp = pair_of_row[r];
        minors[r] = _mm256_add_pd(_mm256_sub_pd(rounded256(_mm256_mul_pd(e1[f], p1[cp])), rounded256(_mm256_mul_pd(e2[f], p2[cp]))),
                                  rounded256(_mm256_mul_pd(e3[f], p3[cp])));
    }
    const double m0 = _mm256_cvtsd_f64(minors[0]), m1 = _mm256_cvtsd_f64(minors[1]);
    const double m2 = _mm256_cvtsd_f64(minors[2]), m3 = _mm256_cvtsd_f64(minors[3]);
    const double det = ((rounded256(src[0] * m0) - rounded256(src[1] * m1)) + rounded256(src[2] * m2)) - rounded256(src[3] * m3);
    if (std::fabs(det) < 1e-15) return;
    const __m256d r = _mm256_set1_pd(1.0 / det);
    // Lanes c with r + c odd negated (a sign flip), then scaled.
    const __m256d even = _mm256_castsi256_pd(_mm256_setr_epi64x(0, INT64_MIN, 0, INT64_MIN));
    const __m256d odd = _mm256_castsi256_pd(_mm256_setr_epi64x(INT64_MIN, 0, INT64_MIN, 0));
    for (int i = 0; i < 4; ++i) _mm256_storeu_pd(dst + 4 * i, _mm256_mul_pd(_mm256_xor_pd(minors[i], (i % 2) ? odd : even), r));
}

}  // namespace geometry::detail

#endif
