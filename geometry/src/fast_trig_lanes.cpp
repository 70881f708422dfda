// The three-angle forms of the sine and cosine (fast_trig.h): the one-angle fast path's
// reduction, polynomials and rounding check on two angles to an SSE2 register, or on all three
// in one register of four doubles where the processor has AVX2 and FMA. An angle whose result
// the check cannot settle, or beyond the fast path's limit, or not finite, sends all three to
// the one-angle path.
#include "fast_trig.h"

#include <cstdint>

#include "fast_trig_kernel.h"

#if defined(__SSE2__) && !defined(TAVERIN_GEOMETRY_SCALAR_ONLY)
#include <immintrin.h>
#endif

namespace geometry::trig {

namespace {
// The one-angle path for each angle: where the vector forms cannot settle a result, and in
// builds without them. Kept out of line, so that the vector forms' common path saves no
// registers and sets up no frame for it.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
void sincos3_each(const float x[3], float s[3], float c[3]) {
    for (int i = 0; i < 3; ++i) sincos(x[i], s[i], c[i]);
}
}  // namespace

#if defined(__SSE2__) && !defined(TAVERIN_GEOMETRY_SCALAR_ONLY)

namespace {

using namespace ::geometry::trig::kernel;

// ---------------------------------------------------------------- two lanes (SSE2)

// Every constant of the vector evaluations, stored once per lane so that each is the memory
// operand of the instruction that uses it. (Seen through, GCC loads each as a scalar and
// spreads it over the register at every call: the empty asm statement in constants() hides
// the values, and every load becomes an offset from one base register.)
template <int Lanes> struct alignas(8 * Lanes) Constants {
    double inv_pio2[Lanes], shift[Lanes], pio2a[Lanes], pio2b[Lanes], pio2c[Lanes];
    double s1[Lanes], s2[Lanes], s3[Lanes], s4[Lanes], s5[Lanes], s6[Lanes];
    double c1[Lanes], c2[Lanes], c3[Lanes], c4[Lanes], c5[Lanes], c6[Lanes], half[Lanes], one[Lanes];
};
template <int Lanes> constexpr Constants<Lanes> make_constants() {
    Constants<Lanes> t{};
    for (int i = 0; i < Lanes; ++i) {
        t.inv_pio2[i] = kInvPio2, t.shift[i] = kRoundingShift, t.pio2a[i] = kPio2a, t.pio2b[i] = kPio2b;
        t.pio2c[i] = kPio2c, t.s1[i] = kS1, t.s2[i] = kS2, t.s3[i] = kS3, t.s4[i] = kS4, t.s5[i] = kS5;
        t.s6[i] = kS6, t.c1[i] = kC1, t.c2[i] = kC2, t.c3[i] = kC3, t.c4[i] = kC4, t.c5[i] = kC5;
        t.c6[i] = kC6, t.half[i] = 0.5, t.one[i] = 1.0;
    }
    return t;
}
// (Aligned to a whole register: SSE2 instructions fault on a misaligned memory operand.)
static_assert(alignof(Constants<2>) == 16 && alignof(Constants<4>) == 32, "each row must fill a register, aligned");
constexpr Constants<2> kConstants2 = make_constants<2>();
constexpr Constants<4> kConstants4 = make_constants<4>();

template <int Lanes> const Constants<Lanes>& constants(const Constants<Lanes>& c) {
    const Constants<Lanes>* t = &c;
    __asm__("" : "+r"(t));
    return *t;
}

using C2 = Constants<2>;
__m128d k(const double (&c)[2]) { return _mm_load_pd(c); }

__m128d vpoly_sin(const C2& t, __m128d x, __m128d z) {
    const __m128d z2 = _mm_mul_pd(z, z), v = _mm_mul_pd(z, x);
    const __m128d lo = _mm_add_pd(k(t.s2), _mm_mul_pd(z, k(t.s3)));
    const __m128d hi = _mm_add_pd(_mm_add_pd(k(t.s4), _mm_mul_pd(z, k(t.s5))), _mm_mul_pd(z2, k(t.s6)));
    const __m128d r = _mm_add_pd(lo, _mm_mul_pd(z2, hi));
    return _mm_add_pd(x, _mm_mul_pd(v, _mm_add_pd(k(t.s1), _mm_mul_pd(z, r))));
}

__m128d vpoly_cos(const C2& t, __m128d z) {
    const __m128d z2 = _mm_mul_pd(z, z);
    const __m128d p01 = _mm_add_pd(k(t.c1), _mm_mul_pd(z, k(t.c2)));
    const __m128d p23 = _mm_add_pd(k(t.c3), _mm_mul_pd(z, k(t.c4)));
    const __m128d p45 = _mm_add_pd(k(t.c5), _mm_mul_pd(z, k(t.c6)));
    const __m128d r = _mm_mul_pd(z, _mm_add_pd(p01, _mm_mul_pd(z2, _mm_add_pd(p23, _mm_mul_pd(z2, p45)))));
    return _mm_sub_pd(k(t.one), _mm_sub_pd(_mm_mul_pd(k(t.half), z), _mm_mul_pd(z, r)));
}

// Two angles' reduced arguments and quadrants (in the low bits of each lane of `shifted`):
// the scalar fast path's operations, per lane.
__m128d reduce2(const C2& t, __m128d a, __m128d& shifted) {
    shifted = _mm_add_pd(_mm_mul_pd(a, k(t.inv_pio2)), k(t.shift));
    const __m128d kd = _mm_sub_pd(shifted, k(t.shift));
    return _mm_sub_pd(_mm_sub_pd(_mm_sub_pd(a, _mm_mul_pd(kd, k(t.pio2a))), _mm_mul_pd(kd, k(t.pio2b))),
                      _mm_mul_pd(kd, k(t.pio2c)));
}

// The low 32 bits of each lane of two pairs of doubles, in one register.
__m128i low_halves(__m128d a, __m128d b) {
    return _mm_castps_si128(_mm_shuffle_ps(_mm_castpd_ps(a), _mm_castpd_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
}

// All ones in each lane whose double, given by its low 32 bits, lies near the middle between
// two floats (near_float_midpoint in fast_trig.cpp): the 29 bits below a float's precision,
// less the start of the window, at most 128 as an unsigned number; compared as signed after
// adding 2^31.
__m128i near_midpoint4(__m128i low) {
    const __m128i below = _mm_and_si128(low, _mm_set1_epi32(0x1fffffff));
    const __m128i offset = _mm_add_epi32(below, _mm_set1_epi32(0x70000040));  // 2^31 - (2^28 - 64)
    return _mm_cmpgt_epi32(_mm_set1_epi32(INT32_MIN + 129), offset);
}

// place() of fast_trig.cpp on four lanes at once: the sines and cosines of the reduced angles
// (floats), the quadrants (32-bit lanes) and the angles, whose sign bits carry over to the sines.
void place4(__m128 sv, __m128 cv, __m128i q, __m128 x, __m128& s, __m128& c) {
    const __m128 odd = _mm_castsi128_ps(_mm_sub_epi32(_mm_setzero_si128(), _mm_and_si128(q, _mm_set1_epi32(1))));
    const __m128 so = _mm_or_ps(_mm_andnot_ps(odd, sv), _mm_and_ps(odd, cv));
    const __m128 co = _mm_or_ps(_mm_andnot_ps(odd, cv), _mm_and_ps(odd, sv));
    const __m128i two = _mm_set1_epi32(2);
    const __m128 s_sign = _mm_xor_ps(_mm_castsi128_ps(_mm_slli_epi32(_mm_and_si128(q, two), 30)),
                                     _mm_and_ps(x, _mm_castsi128_ps(_mm_set1_epi32(INT32_MIN))));
    const __m128 c_sign = _mm_castsi128_ps(_mm_slli_epi32(_mm_and_si128(_mm_add_epi32(q, _mm_set1_epi32(1)), two), 30));
    s = _mm_xor_ps(so, s_sign);
    c = _mm_xor_ps(co, c_sign);
}

// The three angles in lanes 0 to 2 (lane 3 zero), and whether all three are below the fast
// path's limit (NaN is not).
bool load3(const float x[3], __m128& xv, __m128& ax) {
    xv = _mm_movelh_ps(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(x)), _mm_load_ss(x + 2));
    ax = _mm_and_ps(xv, _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff)));
    return _mm_movemask_ps(_mm_cmplt_ps(ax, _mm_set1_ps(static_cast<float>(kFastLimit)))) == 0xf;
}

// The first three lanes of v into out[0..2].
void store3(__m128 v, float out[3]) {
    _mm_storel_pi(reinterpret_cast<__m64*>(out), v);
    _mm_store_ss(out + 2, _mm_movehl_ps(v, v));
}

}  // namespace

void sincos3_sse2(const float x[3], float s[3], float c[3]) {
    __m128 xv, ax;
    if (load3(x, xv, ax)) {
        // Angles 0 and 1 in one register, angle 2 in the other; each lane as the scalar path.
        const C2& t = constants(kConstants2);
        __m128d k01, k2;
        const __m128d r01 = reduce2(t, _mm_cvtps_pd(ax), k01), r2 = reduce2(t, _mm_cvtps_pd(_mm_movehl_ps(ax, ax)), k2);
        const __m128d z01 = _mm_mul_pd(r01, r01), z2 = _mm_mul_pd(r2, r2);
        const __m128d s01 = vpoly_sin(t, r01, z01), s2 = vpoly_sin(t, r2, z2);
        const __m128d c01 = vpoly_cos(t, z01), c2 = vpoly_cos(t, z2);
        const __m128i near = _mm_or_si128(near_midpoint4(low_halves(s01, c01)), near_midpoint4(low_halves(s2, c2)));
        if (_mm_movemask_epi8(near) == 0) {
            const __m128 sv = _mm_movelh_ps(_mm_cvtpd_ps(s01), _mm_cvtpd_ps(s2));
            const __m128 cv = _mm_movelh_ps(_mm_cvtpd_ps(c01), _mm_cvtpd_ps(c2));
            __m128 so, co;
            place4(sv, cv, low_halves(k01, k2), xv, so, co);  // the quadrants: the low bits of k01 and k2
            store3(so, s);
            store3(co, c);
            return;
        }
    }
    sincos3_each(x, s, c);
}

#if defined(__GNUC__) && !defined(TAVERIN_GEOMETRY_NO_AVX2)
#define TAVERIN_TRIG_AVX2 1

// ---------------------------------------------------------------- four lanes (AVX2 and FMA)

// The same reduction and polynomials, the three angles in one register of four doubles, with
// fused multiply-adds and the polynomials by Estrin's scheme: other doubles than the scalar
// path's, as close to the true values, so that the same rounding check decides which results
// are certain; the exhaustive check covers this evaluation in every lane as well.
#define TAVERIN_AVX2 __attribute__((target("avx2,fma")))

namespace {
using C4 = Constants<4>;
TAVERIN_AVX2 __m256d k(const double (&c)[4]) { return _mm256_load_pd(c); }
TAVERIN_AVX2 __m256d mul_add(__m256d a, __m256d b, __m256d c) { return _mm256_fmadd_pd(a, b, c); }  // a b + c
TAVERIN_AVX2 __m256d mul_sub_from(__m256d a, __m256d b, __m256d c) { return _mm256_fnmadd_pd(a, b, c); }  // c - a b

// The low 32 bits of each of the four doubles, in lanes 0 to 3.
TAVERIN_AVX2 __m128i low_halves4(__m256d v) {
    return _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(_mm256_castpd_si256(v), _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
}

TAVERIN_AVX2 void sincos3_four_lanes(const float x[3], float s[3], float c[3]) {
    __m128 xv, ax;
    if (load3(x, xv, ax)) {
        const C4& t = constants(kConstants4);
        const __m256d a = _mm256_cvtps_pd(ax);
        const __m256d shifted = mul_add(a, k(t.inv_pio2), k(t.shift));
        const __m256d kd = _mm256_sub_pd(shifted, k(t.shift));
        const __m256d r = mul_sub_from(kd, k(t.pio2c), mul_sub_from(kd, k(t.pio2b), mul_sub_from(kd, k(t.pio2a), a)));
        const __m256d z = _mm256_mul_pd(r, r), z2 = _mm256_mul_pd(z, z), z4 = _mm256_mul_pd(z2, z2);
        const __m256d v = _mm256_mul_pd(z, r);
        const __m256d s12 = mul_add(z, k(t.s2), k(t.s1)), s34 = mul_add(z, k(t.s4), k(t.s3)), s56 = mul_add(z, k(t.s6), k(t.s5));
        const __m256d sr = mul_add(v, mul_add(z4, s56, mul_add(z2, s34, s12)), r);
        const __m256d c12 = mul_add(z, k(t.c2), k(t.c1)), c34 = mul_add(z, k(t.c4), k(t.c3)), c56 = mul_add(z, k(t.c6), k(t.c5));
        const __m256d cr = mul_add(z2, mul_add(z4, c56, mul_add(z2, c34, c12)), mul_sub_from(k(t.half), z, k(t.one)));
        const __m128i near = _mm_or_si128(near_midpoint4(low_halves4(sr)), near_midpoint4(low_halves4(cr)));
        if (_mm_movemask_epi8(near) == 0) {
            __m128 so, co;
            place4(_mm256_cvtpd_ps(sr), _mm256_cvtpd_ps(cr), low_halves4(shifted), xv, so, co);
            store3(so, s);
            store3(co, c);
            return;
        }
    }
    sincos3_each(x, s, c);
}

}  // namespace

// (Declared without the target attribute: in C++ a definition with one would be another
// version of the function, not this one.)
void sincos3_avx2_fma(const float x[3], float s[3], float c[3]) { sincos3_four_lanes(x, s, c); }

namespace {
bool processor_runs_avx2_fma() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}
// Asked once, while the library loads; until then the two-lane form runs (the same floats).
const bool kAvx2Fma = processor_runs_avx2_fma();
}  // namespace

bool has_avx2_fma() { return kAvx2Fma; }

#endif  // four lanes

void sincos3(const float x[3], float s[3], float c[3]) {
#ifdef TAVERIN_TRIG_AVX2
    if (kAvx2Fma) return sincos3_four_lanes(x, s, c);
#endif
    sincos3_sse2(x, s, c);
}

#else

void sincos3(const float x[3], float s[3], float c[3]) { sincos3_each(x, s, c); }
void sincos3_sse2(const float x[3], float s[3], float c[3]) { sincos3_each(x, s, c); }

#endif

#ifndef TAVERIN_TRIG_AVX2
bool has_avx2_fma() { return false; }
void sincos3_avx2_fma(const float x[3], float s[3], float c[3]) { sincos3(x, s, c); }
#endif

}  // namespace geometry::trig
