#include "fast_trig.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "fast_trig_kernel.h"

// The error-free transformations below need every operation rounded on its own: the library
// is compiled with -ffp-contract=off (no fused multiply-add), on every target.

namespace geometry::trig {

namespace {

using namespace ::geometry::trig::kernel;

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
