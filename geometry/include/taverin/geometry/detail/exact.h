// Private to the geometry library: its headers include this; callers never need to.
//
// The small operations are defined in the headers, so that a caller's compiler inlines them as
// it inlines glm, and they still give exactly the bits of the compiled library, whatever the
// caller's optimisation level, -march and -ffp-contract. The one liberty a compiler takes with
// plain IEEE arithmetic unasked is to fuse a product and the addition or subtraction it feeds
// into one fused multiply-add, rounded once instead of twice: GCC does so by default outside
// strict ISO mode, and GCC and clang both under -ffp-contract=fast, SSE intrinsics included
// (clang ignores its own "fp contract(off)" pragma there, and GCC's optimize attribute stops
// inlining). So every product here that feeds an addition or a subtraction goes through
// `prod`, which hands it to an empty asm statement as an in/out register operand: the compiler
// must round the product into a register and cannot see what comes out, so it fuses nothing
// across it. No instruction is emitted for it. The caller's own arithmetic around an inlined
// call is left free to fuse.
//
// Where that promise cannot be kept, the operations stay calls into the compiled library (the
// same bits, a call's cost): a compiler without GNU asm statements or not doing floating point
// in SSE2 registers, a translation unit built with -ffast-math, or one built with any of the
// value-changing options that GCC announces (-ffinite-math-only, -fassociative-math,
// -freciprocal-math, -fno-signed-zeros). clang does not announce -fassociative-math or
// -freciprocal-math given on their own: define TAVERIN_GEOMETRY_NO_INLINE for such a build.
#pragma once

#if !defined(TAVERIN_GEOMETRY_NO_INLINE) && !defined(TAVERIN_GEOMETRY_BUILDING) && defined(__GNUC__) && \
    defined(__SSE2_MATH__) && !defined(__FAST_MATH__) && !(defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__) && \
    !defined(__ASSOCIATIVE_MATH__) && !defined(__RECIPROCAL_MATH__) && !defined(__NO_SIGNED_ZEROS__)
#define TAVERIN_GEOMETRY_INLINE 1
// The inline definitions have names of their own (an inline namespace), so they never meet the
// compiled library's out-of-line functions at link time.
#define TAVERIN_GEOMETRY_INLINE_BEGIN inline namespace inlined {
#define TAVERIN_GEOMETRY_INLINE_END }
#define TAVERIN_GEOMETRY_OP inline
#else
#define TAVERIN_GEOMETRY_INLINE 0
#define TAVERIN_GEOMETRY_INLINE_BEGIN
#define TAVERIN_GEOMETRY_INLINE_END
#define TAVERIN_GEOMETRY_OP
#endif

// The public small operations are defined where they are inlined, and in the one source of the
// library that compiles them out of line (src/inline_ops.cpp).
#if TAVERIN_GEOMETRY_INLINE || defined(TAVERIN_GEOMETRY_OUT_OF_LINE_DEFINITIONS)
#define TAVERIN_GEOMETRY_DEFINE_PUBLIC_OPS 1
#else
#define TAVERIN_GEOMETRY_DEFINE_PUBLIC_OPS 0
#endif

// The code behind the small operations is compiled where they are inlined, and in the library.
#if TAVERIN_GEOMETRY_INLINE || defined(TAVERIN_GEOMETRY_BUILDING)
#define TAVERIN_GEOMETRY_DEFINE_OPS 1
#include <cmath>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The loops over rows and lanes are short and fixed: unrolled at any optimisation level (GCC
// leaves them rolled at -O2, keeping the rows in memory), which clang and GCC both honour.
#if defined(__GNUC__)
#define TAVERIN_GEOMETRY_UNROLLED _Pragma("GCC unroll 16")
#else
#define TAVERIN_GEOMETRY_UNROLLED
#endif

namespace geometry::detail {

#if defined(__GNUC__) && defined(__SSE2_MATH__)
template <typename T>
inline T rounded(T v) {
    __asm__("" : "+x"(v));
    return v;
}
#else
// The library itself is compiled with -ffp-contract=off, which is all it needs.
template <typename T>
inline T rounded(T v) {
    return v;
}
#endif

// a b, rounded on its own: never fused with the sum or difference it enters.
inline float prod(float a, float b) { return rounded(a * b); }
inline double prod(double a, double b) { return rounded(a * b); }

#if defined(__SSE2__)
inline __m128 prod(__m128 a, __m128 b) { return rounded(_mm_mul_ps(a, b)); }
inline __m128d prod(__m128d a, __m128d b) { return rounded(_mm_mul_pd(a, b)); }
// The square root instructions: correctly rounded, like std::sqrt, without its errno path.
inline float root(float v) { return _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(v))); }
inline double root(double v) { return _mm_cvtsd_f64(_mm_sqrt_sd(_mm_setzero_pd(), _mm_set_sd(v))); }
#else
inline float root(float v) { return std::sqrt(v); }
inline double root(double v) { return std::sqrt(v); }
#endif

}  // namespace geometry::detail
#else
#define TAVERIN_GEOMETRY_DEFINE_OPS 0
#endif
