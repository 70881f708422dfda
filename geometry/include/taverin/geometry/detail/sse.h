// Private to the geometry library: the SSE2 building blocks of its fast paths. SSE2 is part of
// every x86-64 processor (the 64-bit Windows target included). Every fast path keeps each
// lane's operations in the order the scalar code performs them, so it gives the same bits (a
// NaN result may carry another NaN's payload), and every product that feeds a sum goes
// through `prod` (exact.h).
#pragma once

#include "exact.h"

#if TAVERIN_GEOMETRY_DEFINE_OPS && defined(__SSE2__) && !defined(TAVERIN_GEOMETRY_SCALAR_ONLY)
#define TAVERIN_GEOMETRY_SSE2 1
#include <emmintrin.h>

namespace geometry::detail {

// Lanes of a float register, lowest first: (e0, e1, e2, e3).
template <int a, int b, int c, int d>
inline __m128 pick(__m128 v) {
    return _mm_shuffle_ps(v, v, _MM_SHUFFLE(d, c, b, a));
}
inline __m128 splat(float v) { return _mm_set1_ps(v); }
inline __m128 flip_sign(__m128 v, __m128 mask) { return _mm_xor_ps(v, mask); }

// A 4-vector of doubles as two registers: (e0, e1) and (e2, e3).
struct D4 {
    __m128d lo, hi;
};
inline D4 load4(const double* p) { return {_mm_loadu_pd(p), _mm_loadu_pd(p + 2)}; }
inline void store4(double* p, D4 v) {
    _mm_storeu_pd(p, v.lo);
    _mm_storeu_pd(p + 2, v.hi);
}
inline D4 add(D4 a, D4 b) { return {_mm_add_pd(a.lo, b.lo), _mm_add_pd(a.hi, b.hi)}; }
inline D4 sub(D4 a, D4 b) { return {_mm_sub_pd(a.lo, b.lo), _mm_sub_pd(a.hi, b.hi)}; }
inline D4 prod(D4 a, __m128d s) { return {prod(a.lo, s), prod(a.hi, s)}; }
inline D4 zero4() { return {_mm_setzero_pd(), _mm_setzero_pd()}; }

}  // namespace geometry::detail
#else
#define TAVERIN_GEOMETRY_SSE2 0
#endif
