// The proof behind the library's own sine and cosine (src/fast_trig.h): for every one of the
// 2^32 floats x, its sin and cos equal the correctly rounded double values of sin x and cos x,
// rounded to float, and so does each form of the three-angle evaluation (two lanes to an SSE2
// register, and four with AVX2 and FMA where the processor has them) with x in each of its
// lanes in turn (lane x mod 3, the others holding other angles). The reference is the 64-bit-significand sinl and cosl, rounded to double,
// and MPFR wherever those could round either way. It also counts the floats for which libm's
// double sin and cos give another result (that is, where libm is not correctly rounded), and
// those for which its float sinf and cosf (what glm and Eigen use) differ from the rule.
// Not part of the test suite: about half an hour on two cores. docs/performance.md has the
// command and the last outcome.
//
// build (one command):
//   g++ -O2 -std=c++17 -ffp-contract=off -pthread -Igeometry/src geometry/tools/check_trig.cpp
//       geometry/src/fast_trig.cpp geometry/src/fast_trig_lanes.cpp -lmpfr -o check_trig
#include <mpfr.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "fast_trig.h"

namespace {

bool same(float a, float b) {
    if (std::isnan(a) && std::isnan(b)) return true;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Whether a long double value could round to either of two doubles: within 2^-60 of its
// size from the middle between two doubles (sinl and cosl are accurate to about 2^-63).
bool near_double_midpoint(long double v) {
    const double d = static_cast<double>(v);
    const double next = std::nextafter(d, v > d ? INFINITY : -INFINITY);
    const long double mid = (static_cast<long double>(d) + static_cast<long double>(next)) / 2;
    return std::fabs(static_cast<double>(v - mid)) <= std::fabs(static_cast<double>(v)) * 0x1p-60;
}

float by_mpfr(float x, bool sine) {
    mpfr_t a, r;
    mpfr_init2(a, 24);
    mpfr_init2(r, 53);
    mpfr_set_flt(a, x, MPFR_RNDN);
    if (sine) mpfr_sin(r, a, MPFR_RNDN);
    else mpfr_cos(r, a, MPFR_RNDN);
    const double d = mpfr_get_d(r, MPFR_RNDN);
    mpfr_clear(a);
    mpfr_clear(r);
    return static_cast<float>(d);
}

float reference(float x, bool sine, std::atomic<uint64_t>& mpfr_calls) {
    if (!std::isfinite(x)) return x - x;
    const long double l = sine ? sinl(static_cast<long double>(x)) : cosl(static_cast<long double>(x));
    if (near_double_midpoint(l)) {
        ++mpfr_calls;
        return by_mpfr(x, true == sine);
    }
    return static_cast<float>(static_cast<double>(l));
}

}  // namespace

int main(int argc, char** argv) {
    // An optional stride checks every n-th float only (a quick look before the full run).
    const uint64_t stride = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1;
    const bool four_lanes = geometry::trig::has_avx2_fma();
    std::printf("three-angle forms checked: two lanes (SSE2)%s\n",
                four_lanes ? " and four lanes (AVX2 and FMA)" : "; not four lanes: this processor lacks AVX2 or FMA");
    std::atomic<uint64_t> wrong{0}, libm_differs{0}, float_differs{0}, mpfr_calls{0}, done{0};
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            for (uint64_t i = t * stride; i < (uint64_t{1} << 32); i += threads * stride) {
                const auto bits = static_cast<uint32_t>(i);
                float x;
                std::memcpy(&x, &bits, sizeof x);
                float s, c;
                geometry::trig::sincos(x, s, c);
                const float rs = reference(x, true, mpfr_calls), rc = reference(x, false, mpfr_calls);
                float three[3] = {0.5f, -2.0f, 3.0f}, s3[3], c3[3];
                const int lane = static_cast<int>(i % 3);
                three[lane] = x;
                for (const bool four : {false, true}) {
                    if (four && !four_lanes) break;
                    if (four) geometry::trig::sincos3_avx2_fma(three, s3, c3);
                    else geometry::trig::sincos3_sse2(three, s3, c3);
                    if (!same(s3[lane], rs) || !same(c3[lane], rc)) {
                        if (wrong++ < 20)
                            std::printf("MISMATCH in lane %d of %s, x = %a: sin %a, cos %a\n", lane,
                                        four ? "four" : "two", x, s3[lane], c3[lane]);
                    }
                }
                if (!same(s, rs) || !same(c, rc)) {
                    if (wrong++ < 20)
                        std::printf("MISMATCH x = %a: sin %a (reference %a), cos %a (reference %a)\n", x, s, rs, c, rc);
                }
                const float ls = static_cast<float>(std::sin(static_cast<double>(x)));
                const float lc = static_cast<float>(std::cos(static_cast<double>(x)));
                if (!same(ls, rs) || !same(lc, rc)) {
                    if (libm_differs++ < 20) std::printf("libm differs at x = %a: sin %a, cos %a\n", x, ls, lc);
                }
                // What libm's float functions (as glm and Eigen call them) give instead.
                if (!same(sinf(x), rs) || !same(cosf(x), rc)) ++float_differs;
                if ((++done & 0xfffffff) == 0) std::fprintf(stderr, "%llu / 4294967296\n", static_cast<unsigned long long>(done.load()));
            }
        });
    for (auto& th : pool) th.join();
    std::printf("floats checked: %llu; mismatches: %llu; references settled by MPFR: %llu; "
                "floats where libm's double sin or cos rounds otherwise: %llu; "
                "floats where libm's float sinf or cosf differs from the rule: %llu\n",
                static_cast<unsigned long long>(done.load()), static_cast<unsigned long long>(wrong.load()),
                static_cast<unsigned long long>(mpfr_calls.load()),
                static_cast<unsigned long long>(libm_differs.load()), static_cast<unsigned long long>(float_differs.load()));
    return wrong.load() == 0 ? 0 : 1;
}
