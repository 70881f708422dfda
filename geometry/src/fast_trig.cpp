#include "fast_trig.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(TAVERIN_GEOMETRY_SCALAR_ONLY)
#include <emmintrin.h>
#endif

// The error-free transformations below need every operation rounded on its own: the library
// is compiled with -ffp-contract=off (no fused multiply-add), on every target.

namespace geometry::trig {

namespace {

// ---------------------------------------------------------------- double-double arithmetic

struct DD {
    double hi, lo;
};

DD two_sum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}
DD fast_two_sum(double a, double b) {  // |a| >= |b|
    const double s = a + b;
    return {s, b - (s - a)};
}
void split(double a, double& hi, double& lo) {  // Dekker's split into two 26-bit halves
    const double t = 134217729.0 * a;
    hi = t - (t - a);
    lo = a - hi;
}
DD two_product(double a, double b) {
    double ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    const double p = a * b;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}
DD add(DD a, DD b) {
    DD s = two_sum(a.hi, b.hi);
    const DD t = two_sum(a.lo, b.lo);
    s.lo += t.hi;
    s = fast_two_sum(s.hi, s.lo);
    s.lo += t.lo;
    return fast_two_sum(s.hi, s.lo);
}
DD mul(DD a, DD b) {
    DD p = two_product(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return fast_two_sum(p.hi, p.lo);
}

// ---------------------------------------------------------------- constants

// 2/pi: bits 1 to 448 after the binary point, most significant first.
constexpr uint64_t kTwoOverPi[7] = {0xa2f9836e4e441529ULL, 0xfc2757d1f534ddc0ULL, 0xdb6295993c439041ULL,
                                    0xfe5163abdebbc561ULL, 0xb7246e3a424dd2e0ULL, 0x06492eea09d1921cULL,
                                    0xfe1deb1cb129a73eULL};
constexpr DD kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};

// (-1)^k / (2k + 1)! and (-1)^k / (2k)! for k = 0 to 13, as double-double.
constexpr DD kSinTerms[14] = {
    {1.0, 0.0},
    {-0.16666666666666666, -9.25185853854297e-18},
    {0.008333333333333333, 1.1564823173178714e-19},
    {-0.0001984126984126984, -1.7209558293420705e-22},
    {2.7557319223985893e-06, -1.858393274046472e-22},
    {-2.505210838544172e-08, 1.448814070935912e-24},
    {1.6059043836821613e-10, 1.2585294588752098e-26},
    {-7.647163731819816e-13, -7.03872877733453e-30},
    {2.8114572543455206e-15, 1.6508842730861433e-31},
    {-8.22063524662433e-18, -2.2141894119604265e-34},
    {1.9572941063391263e-20, -1.3643503830087908e-36},
    {-3.868170170630684e-23, 8.843177655482344e-40},
    {6.446950284384474e-26, -1.9330404233703465e-42},
    {-9.183689863795546e-29, -1.4303150396787322e-45},
};
constexpr DD kCosTerms[14] = {
    {1.0, 0.0},
    {-0.5, 0.0},
    {0.041666666666666664, 2.3129646346357427e-18},
    {-0.001388888888888889, 5.300543954373577e-20},
    {2.48015873015873e-05, 2.1511947866775882e-23},
    {-2.755731922398589e-07, -2.3767714622250297e-23},
    {2.08767569878681e-09, -1.20734505911326e-25},
    {-1.1470745597729725e-11, -2.0655512752830745e-28},
    {4.779477332387385e-14, 4.399205485834081e-31},
    {-1.5619206968586225e-16, -1.1910679660273754e-32},
    {4.110317623312165e-19, 1.4412973378659527e-36},
    {-8.896791392450574e-22, 7.911402614872376e-38},
    {1.6117375710961184e-24, -3.6846573564509766e-41},
    {-2.4795962632247976e-27, 1.2953730964765229e-43},
};

// pi/2 in three parts for the fast reduction: the first two of 33 bits (so that k times them
// is exact for k below 2^20), the third the rest.
constexpr double kPio2a = 1.57079632673412561417e+00;
constexpr double kPio2b = 6.07710050630396597660e-11;
constexpr double kPio2c = 2.02226624879595063154e-21;
constexpr double kInvPio2 = 6.36619772367581382433e-01;
constexpr double kFastLimit = 524288.0;  // 2^19 radians

// Minimax polynomials for sin and cos on [-pi/4, pi/4] (the classic fdlibm kernels, the
// cosine without fdlibm's last refinement), accurate to a few of a double's last bits. The
// three-angle path below performs exactly the same operations, two angles to a register.
// The polynomials are evaluated by Estrin's scheme, whose products can proceed side by side.
constexpr double kS1 = -1.66666666666666324348e-01, kS2 = 8.33333333332248946124e-03,
                 kS3 = -1.98412698298579493134e-04, kS4 = 2.75573137070700676789e-06,
                 kS5 = -2.50507602534068634195e-08, kS6 = 1.58969099521155010221e-10;
constexpr double kC1 = 4.16666666666666019037e-02, kC2 = -1.38888888888741095749e-03,
                 kC3 = 2.48015872894767294178e-05, kC4 = -2.75573143513906633035e-07,
                 kC5 = 2.08757232129817482790e-09, kC6 = -1.13596475577881948265e-11;

double kernel_sin(double x) {
    const double z = x * x, z2 = z * z, v = z * x;
    const double r = (kS2 + z * kS3) + z2 * ((kS4 + z * kS5) + z2 * kS6);
    return x + v * (kS1 + z * r);
}

double kernel_cos(double x) {
    const double z = x * x, z2 = z * z;
    const double r = z * ((kC1 + z * kC2) + z2 * ((kC3 + z * kC4) + z2 * (kC5 + z * kC6)));
    return 1.0 - (0.5 * z - z * r);
}

// The nearest whole number to a * 2/pi (a below 2^19), as a double and as the quadrant's bits:
// adding 1.5 * 2^52 rounds away the fraction and leaves the number in the low bits.
constexpr double kRoundingShift = 0x1.8p52;

// ---------------------------------------------------------------- the careful evaluation

// |x| = (4j + q) pi/2 + r with |r| about pi/4 at most, r to about 100 bits: x's 24-bit
// significand times 448 bits of 2/pi, in integer arithmetic (Payne and Hanek).
void reduce_exactly(float ax, int& q, DD& r) {
    if (ax < 0.78f) {  // already reduced
        q = 0;
        r = {static_cast<double>(ax), 0.0};
        return;
    }
    uint32_t bits;
    std::memcpy(&bits, &ax, sizeof bits);
    const uint64_t m = (bits & 0x7fffffu) | 0x800000u;
    const int e = static_cast<int>(bits >> 23) - 150;  // ax = m 2^e, e from -24 to 104
    // P = m times 2/pi's 448 bits, in 64-bit limbs, least significant first.
    uint64_t p[8];
    unsigned __int128 carry = 0;
    for (int i = 0; i < 7; ++i) {
        const unsigned __int128 v = static_cast<unsigned __int128>(kTwoOverPi[6 - i]) * m + carry;
        p[i] = static_cast<uint64_t>(v);
        carry = v >> 64;
    }
    p[7] = static_cast<uint64_t>(carry);
    // |x| 2/pi = P 2^(e - 448): its binary point lies `point` bits up from P's lowest bit.
    const int point = 448 - e;
    auto bits_at = [&p](int low, int count) {  // `count` bits of P from bit `low` up
        const int limb = low / 64, shift = low % 64;
        uint64_t v = p[limb] >> shift;
        if (shift && limb + 1 < 8) v |= p[limb + 1] << (64 - shift);
        return count == 64 ? v : v & ((uint64_t{1} << count) - 1);
    };
    q = static_cast<int>(bits_at(point, 2));
    unsigned __int128 f = (static_cast<unsigned __int128>(bits_at(point - 64, 64)) << 64) | bits_at(point - 128, 64);
    bool negative = false;
    if (f >> 127) {  // a fraction of one half or more: the next quadrant, less a fraction
        q = (q + 1) & 3;
        f = ~f + 1;
        negative = true;
    }
    // The fraction f / 2^128 as a double-double.
    const auto top = static_cast<uint64_t>(f >> 64), bottom = static_cast<uint64_t>(f);
    const double hi = static_cast<double>(top);
    const __int128 rest = static_cast<__int128>(top) - static_cast<__int128>(static_cast<uint64_t>(hi));
    const double lo = static_cast<double>(static_cast<int64_t>(rest)) * 0x1p64 + static_cast<double>(bottom);
    DD frac = fast_two_sum(hi * 0x1p-64, lo * 0x1p-128);
    if (negative) frac = {-frac.hi, -frac.lo};
    r = mul(frac, kHalfPi);
}

// sin x and cos x from the sine sv and cosine cv of the reduced angle in quadrant q, and the
// sign of x: swapped for odd quadrants and negated as the quadrant says, without branches (the
// quadrant of random angles is unpredictable).
void place(float sv, float cv, int q, bool negative, float& s, float& c) {
    uint32_t sb, cb;
    std::memcpy(&sb, &sv, sizeof sb);
    std::memcpy(&cb, &cv, sizeof cb);
    const uint32_t odd = 0u - static_cast<uint32_t>(q & 1);
    uint32_t so = (sb & ~odd) | (cb & odd), co = (cb & ~odd) | (sb & odd);
    so ^= (static_cast<uint32_t>(q & 2) << 30) ^ (static_cast<uint32_t>(negative) << 31);
    co ^= static_cast<uint32_t>((q + 1) & 2) << 30;
    std::memcpy(&s, &so, sizeof s);
    std::memcpy(&c, &co, sizeof c);
}

DD series(const DD (&terms)[14], DD z) {
    DD acc = terms[13];
    for (int k = 12; k >= 0; --k) acc = add(terms[k], mul(z, acc));
    return acc;
}

// The float that the correctly rounded double of a value to about 100 bits rounds to.
float rounded(DD v) { return static_cast<float>(v.hi); }

void sincos_exactly(float ax, float& s, float& c) {
    int q;
    DD r;
    reduce_exactly(ax, q, r);
    const DD z = mul(r, r);
    const DD sr = mul(r, series(kSinTerms, z)), cr = series(kCosTerms, z);
    place(rounded(sr), rounded(cr), q, false, s, c);
}

// True when a double y, within a few of its last bits of the true value, lies so near the
// middle between two floats that those last bits could decide which float it rounds to: the
// 29 bits of y's significand below a float's precision are within 64 of one half. (Where
// rounding to float lands below the normal range, y is the angle itself, exactly, and never
// near a middle.)
bool near_float_midpoint(double y) {
    uint64_t b;
    std::memcpy(&b, &y, sizeof b);
    const auto below = static_cast<uint32_t>(b & 0x1fffffffu);
    return below - (0x10000000u - 64u) <= 128u;
}

}  // namespace

void sincos(float x, float& s, float& c) {
    if (std::isnan(x) || std::isinf(x)) {
        s = c = x - x;  // NaN
        return;
    }
    const float ax = std::fabs(x);
    const double a = static_cast<double>(ax);
    if (a < kFastLimit) {
        const double shifted = a * kInvPio2 + kRoundingShift;
        const double k = shifted - kRoundingShift;
        uint64_t kbits;
        std::memcpy(&kbits, &shifted, sizeof kbits);
        const double r = ((a - k * kPio2a) - k * kPio2b) - k * kPio2c;
        const double sr = kernel_sin(r), cr = kernel_cos(r);
        if (!near_float_midpoint(sr) && !near_float_midpoint(cr)) {
            place(static_cast<float>(sr), static_cast<float>(cr), static_cast<int>(kbits & 3), std::signbit(x), s, c);
            return;
        }
    }
    sincos_exactly(ax, s, c);
    if (std::signbit(x)) s = -s;
}

#if defined(__SSE2__) && !defined(TAVERIN_GEOMETRY_SCALAR_ONLY)

namespace {

__m128d vpoly_sin(__m128d x) {
    const __m128d z = _mm_mul_pd(x, x), z2 = _mm_mul_pd(z, z), v = _mm_mul_pd(z, x);
    const __m128d lo = _mm_add_pd(_mm_set1_pd(kS2), _mm_mul_pd(z, _mm_set1_pd(kS3)));
    const __m128d hi = _mm_add_pd(_mm_add_pd(_mm_set1_pd(kS4), _mm_mul_pd(z, _mm_set1_pd(kS5))), _mm_mul_pd(z2, _mm_set1_pd(kS6)));
    const __m128d r = _mm_add_pd(lo, _mm_mul_pd(z2, hi));
    return _mm_add_pd(x, _mm_mul_pd(v, _mm_add_pd(_mm_set1_pd(kS1), _mm_mul_pd(z, r))));
}

__m128d vpoly_cos(__m128d x) {
    const __m128d z = _mm_mul_pd(x, x), z2 = _mm_mul_pd(z, z);
    const __m128d p01 = _mm_add_pd(_mm_set1_pd(kC1), _mm_mul_pd(z, _mm_set1_pd(kC2)));
    const __m128d p23 = _mm_add_pd(_mm_set1_pd(kC3), _mm_mul_pd(z, _mm_set1_pd(kC4)));
    const __m128d p45 = _mm_add_pd(_mm_set1_pd(kC5), _mm_mul_pd(z, _mm_set1_pd(kC6)));
    const __m128d r = _mm_mul_pd(z, _mm_add_pd(p01, _mm_mul_pd(z2, _mm_add_pd(p23, _mm_mul_pd(z2, p45)))));
    return _mm_sub_pd(_mm_set1_pd(1.0), _mm_sub_pd(_mm_mul_pd(_mm_set1_pd(0.5), z), _mm_mul_pd(z, r)));
}

// Two angles' reduced arguments and quadrants (in the low bits of each lane of `shifted`):
// the scalar fast path's operations, per lane.
__m128d reduce2(__m128d a, __m128d& shifted) {
    shifted = _mm_add_pd(_mm_mul_pd(a, _mm_set1_pd(kInvPio2)), _mm_set1_pd(kRoundingShift));
    const __m128d kd = _mm_sub_pd(shifted, _mm_set1_pd(kRoundingShift));
    return _mm_sub_pd(_mm_sub_pd(_mm_sub_pd(a, _mm_mul_pd(kd, _mm_set1_pd(kPio2a))), _mm_mul_pd(kd, _mm_set1_pd(kPio2b))),
                      _mm_mul_pd(kd, _mm_set1_pd(kPio2c)));
}

// All ones in the 32-bit lanes of the low halves of two doubles whose value lies near the
// middle between two floats (near_float_midpoint, per lane).
__m128i near_midpoint2(__m128d y) {
    const __m128i below = _mm_and_si128(_mm_castpd_si128(y), _mm_set_epi32(0, 0x1fffffff, 0, 0x1fffffff));
    const __m128i v = _mm_sub_epi32(below, _mm_set1_epi32(0x10000000 - 64));  // within +-2^28: no wrap
    return _mm_and_si128(_mm_cmpgt_epi32(v, _mm_set1_epi32(-1)), _mm_cmplt_epi32(v, _mm_set1_epi32(129)));
}

// place() on four lanes at once: the sines and cosines of the reduced angles (floats), the
// quadrants (32-bit lanes) and the angles, whose sign bits carry over to the sines.
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

}  // namespace

void sincos3(const float x[3], float s[3], float c[3]) {
    const __m128 xv = _mm_setr_ps(x[0], x[1], x[2], x[2]);
    const __m128 ax = _mm_and_ps(xv, _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff)));
    if (_mm_movemask_ps(_mm_cmplt_ps(ax, _mm_set1_ps(static_cast<float>(kFastLimit)))) == 0xf) {  // NaN: not less
        // Angles 0 and 1 in one register, angle 2 in the other; each lane as the scalar path.
        __m128d k01, k2;
        const __m128d r01 = reduce2(_mm_cvtps_pd(ax), k01), r2 = reduce2(_mm_cvtps_pd(_mm_movehl_ps(ax, ax)), k2);
        const __m128d s01 = vpoly_sin(r01), s2 = vpoly_sin(r2), c01 = vpoly_cos(r01), c2 = vpoly_cos(r2);
        const __m128i near = _mm_or_si128(_mm_or_si128(near_midpoint2(s01), near_midpoint2(s2)),
                                          _mm_or_si128(near_midpoint2(c01), near_midpoint2(c2)));
        if (_mm_movemask_epi8(near) == 0) {
            const __m128 sv = _mm_movelh_ps(_mm_cvtpd_ps(s01), _mm_cvtpd_ps(s2));
            const __m128 cv = _mm_movelh_ps(_mm_cvtpd_ps(c01), _mm_cvtpd_ps(c2));
            // The quadrants: the low 32 bits of each lane of k01 and k2.
            const __m128i q = _mm_castps_si128(_mm_shuffle_ps(_mm_castpd_ps(k01), _mm_castpd_ps(k2), _MM_SHUFFLE(0, 0, 2, 0)));
            __m128 so, co;
            place4(sv, cv, q, xv, so, co);
            alignas(16) float sa[4], ca[4];
            _mm_store_ps(sa, so);
            _mm_store_ps(ca, co);
            for (int i = 0; i < 3; ++i) {
                s[i] = sa[i];
                c[i] = ca[i];
            }
            return;
        }
    }
    for (int i = 0; i < 3; ++i) sincos(x[i], s[i], c[i]);
}

#else

void sincos3(const float x[3], float s[3], float c[3]) {
    for (int i = 0; i < 3; ++i) sincos(x[i], s[i], c[i]);
}

#endif

float sin(float x) {
    float s, c;
    sincos(x, s, c);
    return s;
}

float cos(float x) {
    float s, c;
    sincos(x, s, c);
    return c;
}

}  // namespace geometry::trig
