// The library's own float sine and cosine on angles that take every path of the evaluation,
// against the rule's values (the correctly rounded double, rounded to float; computed with
// MPFR): the fast polynomial path; results so near the middle between two floats that the
// careful double-double evaluation must decide (every such angle below 2^19 of one kind is rare:
// 35 sines and 36 cosines in all, found by a scan of the fast path); angles closest to a
// multiple of pi/2, where the reduction cancels most; and angles beyond 2^19, reduced by the
// bits of 2/pi, among them the few whose result lies within two units of a double of a float
// midpoint (found by a scan of every float from 2^19 to 2^51), where only the careful
// evaluation's full precision rounds the right way. Each angle is tried with both signs, alone and in each lane of the three-angle
// evaluation. The exhaustive check over all 2^32 floats (tools/check_trig.cpp) is run by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <limits>

#include "fast_trig.h"

using namespace geometry;

namespace {

struct Case {
    float x, sine, cosine;
};

const Case kCases[] = {
    {0.5f, 0x1.eaee88p-2f, 0x1.c1528p-1f},  // the fast path
    {-0x1.5p+1f, -0x1.f9c63ep-2f, -0x1.bd300cp-1f},  // the fast path, a negative angle
    {0x1.0c4d4ap+0f, 0x1.bb9fcap-1f, 0x1.ff3d7p-2f},  // sine near a float midpoint
    {0x1.48300ep+1f, 0x1.17922p-1f, -0x1.acef0ap-1f},  // sine near a float midpoint
    {0x1.6f1b7p+5f, 0x1.e37ca8p-1f, -0x1.50f40ep-2f},  // sine near a float midpoint
    {0x1.e35bc6p+7f, 0x1.c5b4acp-3f, -0x1.f34726p-1f},  // sine near a float midpoint
    {0x1.0fd748p+11f, 0x1.5b47dap-1f, 0x1.7837dep-1f},  // sine near a float midpoint
    {0x1.c716dcp+12f, -0x1.6930f2p-1f, 0x1.6ae258p-1f},  // sine near a float midpoint
    {0x1.332522p+16f, 0x1.f3c7b6p-1f, 0x1.bcc56ep-3f},  // sine near a float midpoint
    {0x1.0d67a4p+0f, 0x1.bcb8aap-1f, 0x1.fb69a6p-2f},  // cosine near a float midpoint
    {0x1.2b7fcp+5f, -0x1.08f748p-2f, 0x1.ee900ep-1f},  // cosine near a float midpoint
    {0x1.ed68fp+7f, 0x1.fdee5p-1f, -0x1.6fde42p-4f},  // cosine near a float midpoint
    {0x1.89093ep+10f, 0x1.f35abcp-1f, 0x1.c45b58p-3f},  // cosine near a float midpoint
    {0x1.d85f1ap+14f, -0x1.d178ecp-3f, -0x1.f299bap-1f},  // cosine near a float midpoint
    {0x1.41c47p+16f, -0x1.f1f948p-4f, 0x1.fc33bap-1f},  // cosine near a float midpoint
    {0x1.04ccbcp+18f, -0x1p+0f, -0x1.270da2p-25f},  // close to a multiple of pi/2
    {0x1.9a48dep+15f, 0x1p+0f, -0x1.16ae2ap-26f},  // close to a multiple of pi/2
    {0x1.9a48dep+16f, -0x1.16ae2ap-25f, -0x1p+0f},  // close to a multiple of pi/2
    {0x1.9a48dep+17f, 0x1.16ae2ap-24f, 0x1p+0f},  // close to a multiple of pi/2
    {0x1.9a48dep+18f, 0x1.16ae2ap-23f, 0x1p+0f},  // close to a multiple of pi/2
    {0x1.741d56p+18f, 0x1p+0f, 0x1.f3f862p-23f},  // close to a multiple of pi/2
    {0x1.fffffep-13f, 0x1.fffffep-13f, 0x1p+0f},  // below pi/4, near a midpoint
    {0x1p-12f, 0x1p-12f, 0x1p+0f},  // below pi/4, near a midpoint
    {0x1.000002p-12f, 0x1.000002p-12f, 0x1.fffffep-1f},  // below pi/4, near a midpoint
    {0x1p+19f, 0x1.57481ep-3f, 0x1.f8c198p-1f},  // beyond 2^19: the careful reduction
    {0x1.921fb6p+19f, 0x1.7771f4p-6f, 0x1.ffdd94p-1f},  // beyond 2^19: the careful reduction
    {0x1.2a05f2p+33f, -0x1.f334c8p-2f, 0x1.bf098ap-1f},  // beyond 2^19: the careful reduction
    {0x1.fffffep+127f, -0x1.0b3366p-1f, 0x1.b4bf2cp-1f},  // beyond 2^19: the careful reduction
    {0x1.2d97c8p+122f, 0x1.9f9092p-4f, -0x1.fd5bacp-1f},  // beyond 2^19: the careful reduction
    {0x1.c363ccp+126f, 0x1.b913ep-1f, 0x1.03fd4cp-1f},  // beyond 2^19: the careful reduction
    {0x1.6ad26ep+32f, -0x1.fff96ep-1f, 0x1.4830e2p-7f},  // beyond 2^19, within two units of a double of a midpoint
    {0x1.95f654p+44f, -0x1.fcf42ep-1f, 0x1.be23e8p-4f},  // beyond 2^19, within two units of a double of a midpoint
    {0x1.ca46bap+44f, -0x1.eec1ep-1f, -0x1.078234p-2f},  // beyond 2^19, within two units of a double of a midpoint
    {0x1.4555p+51f, -0x1.b0ea44p-1f, 0x1.115d7ep-1f},  // beyond 2^19, within two units of a double of a midpoint
    {0x1.887814p+51f, 0x1.4d32cap-1f, 0x1.84bec4p-1f},  // beyond 2^19, within two units of a double of a midpoint
};

// The three-angle evaluation as the library picks it, and each of its vector forms (the four-lane
// one only runs where the processor has AVX2 and FMA; elsewhere it is the picked one again).
struct ThreeAngleForm {
    const char* name;
    void (*fn)(const float*, float*, float*);
    // The outputs are filled first with a value no sine or cosine takes, so that a form that
    // leaves one unwritten cannot pass on what an earlier call left in the same place.
    void run(const float x[3], float s[3], float c[3]) const {
        for (int i = 0; i < 3; ++i) s[i] = c[i] = 2.0f;
        fn(x, s, c);
    }
};
const ThreeAngleForm kThreeAngleForms[] = {
    {"sincos3", trig::sincos3}, {"two lanes", trig::sincos3_sse2}, {"four lanes", trig::sincos3_avx2_fma}};

bool same(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

}  // namespace

TEST(TrigPaths, EveryPathGivesTheRulesValueInEveryLane) {
    for (const Case& c : kCases) {
        for (const float sign : {1.0f, -1.0f}) {
            const float x = sign * c.x, want_s = sign * c.sine, want_c = c.cosine;
            float s, co;
            trig::sincos(x, s, co);
            EXPECT_TRUE(same(s, want_s) && same(co, want_c)) << std::hexfloat << x << ": " << s << " " << co;
            EXPECT_TRUE(same(trig::sin(x), want_s) && same(trig::cos(x), want_c)) << std::hexfloat << x;
            for (int lane = 0; lane < 3; ++lane) {
                for (const auto form : kThreeAngleForms) {
                    float three[3] = {0.25f, -1.0f, 2.0f}, s3[3], c3[3];
                    three[lane] = x;
                    form.run(three, s3, c3);
                    EXPECT_TRUE(same(s3[lane], want_s) && same(c3[lane], want_c))
                        << std::hexfloat << x << " in lane " << lane << " of " << form.name;
                }
            }
        }
    }
}

TEST(TrigPaths, NonFiniteAnglesGiveNaN) {
    for (const float x : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::quiet_NaN()}) {
        float s, c;
        trig::sincos(x, s, c);
        EXPECT_TRUE(std::isnan(s) && std::isnan(c));
        for (const auto form : kThreeAngleForms) {
            float three[3] = {x, 1.0f, x}, s3[3], c3[3];
            form.run(three, s3, c3);
            EXPECT_TRUE(std::isnan(s3[0]) && std::isnan(c3[2]) && same(s3[1], 0x1.aed548p-1f) && same(c3[1], 0x1.14a28p-1f))
                << form.name;
        }
    }
}

TEST(TrigPaths, EveryThreeAngleFormGivesTheScalarValues) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> near(-10.0f, 10.0f);
    for (int n = 0; n < 300000; ++n) {
        float three[3];
        for (float& x : three) {
            if (n % 2 == 0) x = near(rng);
            else {
                const uint32_t bits = rng();
                std::memcpy(&x, &bits, sizeof x);
            }
        }
        float want_s[3], want_c[3];
        for (int i = 0; i < 3; ++i) trig::sincos(three[i], want_s[i], want_c[i]);
        for (const auto form : kThreeAngleForms) {
            float s[3], c[3];
            form.run(three, s, c);
            for (int i = 0; i < 3; ++i)
                ASSERT_TRUE(same(s[i], want_s[i]) && same(c[i], want_c[i])) << form.name << ", lane " << i << ": " << std::hexfloat << three[i];
        }
    }
}
