// The variants that variants.cpp times and check_bits.cpp compares with the library: the 4x4
// product with its sums started and its products formed in other ways, the 4x4 inverse without
// the product barrier, and copies of the library's three-angle sine and cosine (extract.py
// writes them and the inverse's copy into the build's gen/ folder). Definitions, not
// declarations: one source of each program includes it.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>

#include <taverin/geometry/matrix.h>
#include <taverin/geometry/rotation.h>

namespace geometry::trig {
void sincos3(const float x[3], float sine[3], float cosine[3]);
}

// Copies of the library's three-angle sine and cosine (extract.py): as it is, with two terms
// fewer in each polynomial, without the rounding check, and both.
#define TRIG_SHORT 0
#define TRIG_NOCHECK 0
#define TRIGNS trig_same
#include "trig_copy.inc"
#undef TRIGNS
#undef TRIG_SHORT
#define TRIG_SHORT 1
#define TRIGNS trig_short
#include "trig_copy.inc"
#undef TRIGNS
#undef TRIG_NOCHECK
#define TRIG_NOCHECK 1
#define TRIGNS trig_short_nocheck
#include "trig_copy.inc"
#undef TRIGNS
#undef TRIG_SHORT
#define TRIG_SHORT 0
#define TRIGNS trig_nocheck
#include "trig_copy.inc"
#undef TRIGNS

using Trig3 = void (*)(const float*, float*, float*);

using geometry::detail::pick;
using geometry::detail::prod;
using geometry::detail::D4;
using geometry::detail::load4;
using geometry::detail::store4;

// ---------------------------------------------------------------- 4x4 product
// How each product that enters a sum is formed: kPlain, a plain multiply (nothing stops a
// compiler allowed to fuse from fusing it); kProd, the library's detail::prod (an empty asm
// statement the product passes through); kVolatile, the same asm statement marked volatile;
// kAsmMul, the multiply done inside the asm statement. All but kPlain keep products unfused.
enum Barrier { kPlain, kProd, kVolatile, kAsmMul };
// Where each element's sum starts: kZero, from zero (the library's); kPlus0, from the first
// product, then + 0 at the end; kSignFix, from the first product, then -0 made +0 by a compare
// and mask; kFirst, from the first product with nothing after. The first three give the same
// bits (the zero start only turns a -0 result into +0); kFirst does not.
enum Start { kZero, kPlus0, kSignFix, kFirst };

template <typename V> inline V vrounded(V v) { __asm__ volatile("" : "+x"(v)); return v; }
// The multiplication done by the asm statement itself: nothing to fuse, nothing to tie.
#if defined(__AVX__)
inline __m128 asm_mul(__m128 a, __m128 b) { __m128 r; __asm__("vmulps {%2, %1, %0|%0, %1, %2}" : "=x"(r) : "x"(a), "x"(b)); return r; }
inline __m128d asm_mul(__m128d a, __m128d b) { __m128d r; __asm__("vmulpd {%2, %1, %0|%0, %1, %2}" : "=x"(r) : "x"(a), "x"(b)); return r; }
#else
inline __m128 asm_mul(__m128 a, __m128 b) { __asm__("mulps {%1, %0|%0, %1}" : "+x"(a) : "x"(b)); return a; }
inline __m128d asm_mul(__m128d a, __m128d b) { __asm__("mulpd {%1, %0|%0, %1}" : "+x"(a) : "x"(b)); return a; }
#endif
// The addition done by an asm statement instead: the product it takes is opaque to the compiler.
#if defined(__AVX__)
inline __m128 asm_add(__m128 a, __m128 b) { __m128 r; __asm__("vaddps {%2, %1, %0|%0, %1, %2}" : "=x"(r) : "x"(a), "x"(b)); return r; }
inline __m128d asm_add(__m128d a, __m128d b) { __m128d r; __asm__("vaddpd {%2, %1, %0|%0, %1, %2}" : "=x"(r) : "x"(a), "x"(b)); return r; }
#else
inline __m128 asm_add(__m128 a, __m128 b) { __asm__("addps {%1, %0|%0, %1}" : "+x"(a) : "x"(b)); return a; }
inline __m128d asm_add(__m128d a, __m128d b) { __asm__("addpd {%1, %0|%0, %1}" : "+x"(a) : "x"(b)); return a; }
#endif

template <Barrier B> inline __m128 product(__m128 a, __m128 b) {
    if constexpr (B == kPlain) return _mm_mul_ps(a, b);
    else if constexpr (B == kProd) return prod(a, b);
    else if constexpr (B == kVolatile) return vrounded(_mm_mul_ps(a, b));
    else return asm_mul(a, b);
}
template <Barrier B> inline __m128d product(__m128d a, __m128d b) {
    if constexpr (B == kPlain) return _mm_mul_pd(a, b);
    else if constexpr (B == kProd) return prod(a, b);
    else if constexpr (B == kVolatile) return vrounded(_mm_mul_pd(a, b));
    else return asm_mul(a, b);
}
inline __m128 vadd(__m128 a, __m128 b) { return _mm_add_ps(a, b); }
inline __m128d vadd(__m128d a, __m128d b) { return _mm_add_pd(a, b); }
inline __m128 vzero(__m128) { return _mm_setzero_ps(); }
inline __m128d vzero(__m128d) { return _mm_setzero_pd(); }
// -0 made +0, everything else unchanged: what the zero start adds, without the addition.
inline __m128 plus_zero_sign(__m128 v) {
    return _mm_andnot_ps(_mm_and_ps(_mm_cmpeq_ps(v, _mm_setzero_ps()), _mm_set1_ps(-0.0f)), v);
}
inline __m128d plus_zero_sign(__m128d v) {
    return _mm_andnot_pd(_mm_and_pd(_mm_cmpeq_pd(v, _mm_setzero_pd()), _mm_set1_pd(-0.0)), v);
}

// One register's sum for an output row: lanes j of ((((0 + a0 b0) + a1 b1) + a2 b2) + a3 b3),
// started and formed as S and B say; AsmAdd does every addition in an asm statement, which
// keeps the products unfused whatever B is.
template <Start S, Barrier B, bool AsmAdd = false, typename V>
inline V row_sum(V a0, V a1, V a2, V a3, V b0, V b1, V b2, V b3) {
    auto add = [](V x, V y) { return AsmAdd ? asm_add(x, y) : vadd(x, y); };
    V acc = product<B>(a0, b0);
    if (S == kZero) acc = add(vzero(acc), acc);
    acc = add(acc, product<B>(a1, b1));
    acc = add(acc, product<B>(a2, b2));
    acc = add(acc, product<B>(a3, b3));
    if (S == kPlus0) acc = add(acc, vzero(acc));
    if (S == kSignFix) acc = plus_zero_sign(acc);
    return acc;
}

template <Start S, Barrier B, bool AsmAdd = false>
inline void mul4f(const float* a, const float* b, float* out) {
    const __m128 b0 = _mm_loadu_ps(b), b1 = _mm_loadu_ps(b + 4), b2 = _mm_loadu_ps(b + 8), b3 = _mm_loadu_ps(b + 12);
    __m128 r[4];
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        const __m128 row = _mm_loadu_ps(a + 4 * i);
        r[i] = row_sum<S, B, AsmAdd>(pick<0, 0, 0, 0>(row), pick<1, 1, 1, 1>(row), pick<2, 2, 2, 2>(row), pick<3, 3, 3, 3>(row),
                                     b0, b1, b2, b3);
    }
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) _mm_storeu_ps(out + 4 * i, r[i]);
}

// As above, two registers a row; RowLoad: the row loaded whole and its lanes duplicated by
// unpacking, instead of each element broadcast from memory (the library's).
template <Start S, Barrier B, bool AsmAdd = false, bool RowLoad = false>
inline void mul4d(const double* a, const double* b, double* out) {
    const D4 b0 = load4(b), b1 = load4(b + 4), b2 = load4(b + 8), b3 = load4(b + 12);
    D4 r[4];
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        const double* row = a + 4 * i;
        __m128d a0, a1, a2, a3;
        if (!RowLoad) {
            a0 = _mm_set1_pd(row[0]), a1 = _mm_set1_pd(row[1]), a2 = _mm_set1_pd(row[2]), a3 = _mm_set1_pd(row[3]);
        } else {
            const __m128d lo = _mm_loadu_pd(row), hi = _mm_loadu_pd(row + 2);
            a0 = _mm_unpacklo_pd(lo, lo), a1 = _mm_unpackhi_pd(lo, lo), a2 = _mm_unpacklo_pd(hi, hi), a3 = _mm_unpackhi_pd(hi, hi);
        }
        r[i] = {row_sum<S, B, AsmAdd>(b0.lo, b1.lo, b2.lo, b3.lo, a0, a1, a2, a3),
                row_sum<S, B, AsmAdd>(b0.hi, b1.hi, b2.hi, b3.hi, a0, a1, a2, a3)};
    }
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) store4(out + 4 * i, r[i]);
}

// ---------------------------------------------------------------- 4x4 inverse without the barrier
namespace nobar {
using geometry::detail::pick;
struct D4 { __m128d lo, hi; };
inline D4 load4(const double* p) { return {_mm_loadu_pd(p), _mm_loadu_pd(p + 2)}; }
inline void store4(double* p, D4 v) { _mm_storeu_pd(p, v.lo); _mm_storeu_pd(p + 2, v.hi); }
inline float prod(float a, float b) { return a * b; }
inline double prod(double a, double b) { return a * b; }
inline __m128 prod(__m128 a, __m128 b) { return _mm_mul_ps(a, b); }
inline __m128d prod(__m128d a, __m128d b) { return _mm_mul_pd(a, b); }
#include "inverse_copy.inc"
}  // namespace nobar

// The library's operations on element arrays, as the variants take them.
template <typename M, typename T> void lib_mul(const T* a, const T* b, T* out) {
    geometry::multiply(*reinterpret_cast<const M*>(a), *reinterpret_cast<const M*>(b), *reinterpret_cast<M*>(out));
}
template <typename M, typename T> void lib_inv(const T* a, const T*, T* out) {
    geometry::invert(*reinterpret_cast<const M*>(a), *reinterpret_cast<M*>(out));
}
template <typename T> void nobar_inv(const T* a, const T*, T* out) { nobar::invert4(a, out); }
