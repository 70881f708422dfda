// Counts, for every variant in variants.h, the elements that differ from the library's, and
// fails if one meant to give its bits does not: plus0, signfix, volatile, asmmul, asmadd,
// rowload and the sine and cosine copy. run.sh builds it as the benchmark is built, and once
// more at -O2 -mfma -ffp-contract=fast, where the compiler may fuse products.
#include <cstdio>
#include <limits>
#include <random>

#include "variants.h"

namespace {

// Elements whose bits differ between the library's operation and a variant (NaN payloads
// aside), over four kinds of input in turn: special values in every pattern, random bit
// patterns, random bit patterns scaled so that products underflow to zeros of both signs, and
// values in (-1, 1). Both outputs start as a copy of the first input, which an inverse of a
// singular matrix leaves untouched.
template <typename T, typename M>
long mismatches(void (*lib)(const T*, const T*, T*), void (*variant)(const T*, const T*, T*)) {
    const T special[] = {T(0), -T(0), T(1), -T(1), std::numeric_limits<T>::denorm_min(), -std::numeric_limits<T>::denorm_min(),
                         std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), -std::numeric_limits<T>::infinity(),
                         std::numeric_limits<T>::quiet_NaN(), T(1e-30), T(3.5)};
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<T> u(-1, 1);
    long bad = 0;
    for (int n = 0; n < 200000; ++n) {
        M a, b;
        for (int k = 0; k < 16; ++k) {
            const uint64_t r1 = rng(), r2 = rng();
            std::memcpy(&a.m[k], &r1, sizeof(T));
            std::memcpy(&b.m[k], &r2, sizeof(T));
            if (n % 4 == 0) a.m[k] = special[r1 % 12], b.m[k] = special[r2 % 12];
            if (n % 4 == 2) a.m[k] = a.m[k] * T(1e-20);
            if (n % 4 == 3) a.m[k] = u(rng), b.m[k] = u(rng);
        }
        M x = a, y = a;
        lib(a.m, b.m, x.m);
        variant(a.m, b.m, y.m);
        for (int k = 0; k < 16; ++k)
            if (std::memcmp(&x.m[k], &y.m[k], sizeof(T)) != 0 && !(std::isnan(x.m[k]) && std::isnan(y.m[k]))) ++bad;
    }
    return bad;
}

// Sines and cosines that differ from the library's three-angle evaluation: random bit patterns
// and angles in (-10, 10), in turn.
long trig_mismatches(Trig3 variant) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> u(-10, 10);
    long bad = 0;
    for (int n = 0; n < 1000000; ++n) {
        float x[3], s1[3], c1[3], s2[3], c2[3];
        for (float& v : x) {
            const uint32_t r = rng();
            std::memcpy(&v, &r, sizeof v);
            if (n % 2) v = u(rng);
        }
        geometry::trig::sincos3(x, s1, c1);
        variant(x, s2, c2);
        for (int k = 0; k < 3; ++k)
            bad += (std::memcmp(&s1[k], &s2[k], 4) != 0 && !std::isnan(s1[k])) + (std::memcmp(&c1[k], &c2[k], 4) != 0 && !std::isnan(c1[k]));
    }
    return bad;
}

// Prints every variant's count; fails if one that should give the library's bits does not.
int check_bits() {
    using geometry::Mat4f;
    using geometry::Mat4d;
    struct Row {
        const char* name;
        long f, d;
        bool exact;
    };
    const Row rows[] = {
        {"Mul4 plus0", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kPlus0, kProd>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kPlus0, kProd>), true},
        {"Mul4 signfix", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kSignFix, kProd>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kSignFix, kProd>), true},
        {"Mul4 volatile", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kZero, kVolatile>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kZero, kVolatile>), true},
        {"Mul4 asmmul", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kZero, kAsmMul>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kZero, kAsmMul>), true},
        {"Mul4 asmadd", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kZero, kPlain, true>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kZero, kPlain, true>), true},
        {"Mul4 rowload (double)", -1, mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kZero, kProd, false, true>), true},
        {"Mul4 nobarrier", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kZero, kPlain>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kZero, kPlain>), false},
        {"Mul4 nozero", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kFirst, kProd>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kFirst, kProd>), false},
        {"Inv4 nobarrier", mismatches<float, Mat4f>(lib_inv<Mat4f>, nobar_inv<float>), mismatches<double, Mat4d>(lib_inv<Mat4d>, nobar_inv<double>), false},
        {"Trig3 copy", trig_mismatches(geometry::trig_same::sincos3), -1, true},
        {"Trig3 shortpoly", trig_mismatches(geometry::trig_short::sincos3), -1, false},
        {"Trig3 nocheck", trig_mismatches(geometry::trig_nocheck::sincos3), -1, false},
    };
    int failed = 0;
    std::printf("elements differing from the library's bits (NaN payloads aside; -1: not built): float, double\n");
    for (const Row& r : rows) {
        const bool wrong = r.exact && (r.f > 0 || r.d > 0);  // -1: no such variant
        std::printf("  %-22s %8ld %8ld%s\n", r.name, r.f, r.d, wrong ? "  (should be 0)" : "");
        failed |= wrong;
    }
    return failed;
}
}  // namespace

int main() { return check_bits(); }
