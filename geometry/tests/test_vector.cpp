// Vector utilities and the unit-interval quantisers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <taverin/geometry/quantize.h>
#include <taverin/geometry/vector.h>

using namespace geometry;

namespace {
constexpr double kPi = 3.141592653589793;
}

TEST(Vector, LengthsAndNormals) {
    Vec3f v{3, 4, 0};
    normalize(v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    Vec3d w{3, 4, 0};
    set_length(w, 10.0);
    EXPECT_DOUBLE_EQ(w.x, 6.0);
    EXPECT_DOUBLE_EQ(w.y, 8.0);
    Vec3f zero{0, 0, 0};
    normalize(zero);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    Vec3d n;
    plane_normal(Vec3d{0, 0, 0}, Vec3d{1, 0, 0}, Vec3d{0, 1, 0}, n);
    EXPECT_EQ(n.z, 1.0);
    plane_normal(Vec3d{0, 0, 0}, Vec3d{1, 1, 1}, Vec3d{2, 2, 2}, n);
    EXPECT_EQ(n.x, 0.0);
    EXPECT_EQ(n.y, 0.0);
    EXPECT_EQ(n.z, 0.0);
    EXPECT_FLOAT_EQ(distance(Vec3f{1, 2, 3}, Vec3f{4, 6, 3}), 5.0f);
}

TEST(Vector, AnglesBetweenNeverComeOutNaNForFiniteInput) {
    EXPECT_DOUBLE_EQ(angle_between(Vec3d{1, 0, 0}, Vec3d{0, 2, 0}), kPi / 2);
    EXPECT_FLOAT_EQ(angle_between(Vec3f{0, 0, 0}, Vec3f{1, 2, 3}), static_cast<float>(kPi / 2));
    // Unit-length copies whose dot product rounds above 1: clamped to 0, not NaN.
    int rounded_above = 0;
    for (int i = 1; i < 2000; ++i) {
        const Vec3f v{0.1f * i, 0.37f * i + 1, -0.23f * i};
        Vec3f u = v;
        normalize(u);
        if (u.x * u.x + u.y * u.y + u.z * u.z > 1.0f) ++rounded_above;
        const float self = angle_between(v, v);
        EXPECT_TRUE(self >= 0.0f && self < 1e-3f) << i << " " << self;
        const Vec3d d{0.1 * i, 0.37 * i + 1, -0.23 * i};
        EXPECT_FALSE(std::isnan(angle_between(d, d)));
        const Vec3d neg{-d.x, -d.y, -d.z};
        EXPECT_NEAR(angle_between(d, neg), kPi, 1e-7);
    }
    EXPECT_GT(rounded_above, 0);  // the clamp was needed
    EXPECT_TRUE(std::isnan(angle_between(Vec3f{NAN, 0, 0}, Vec3f{1, 0, 0})));
}

TEST(Vector, DirectionToAnglesKnownDirections) {
    double h, p;
    direction_to_angles(Vec3d{1, 0, 0}, h, p);
    EXPECT_DOUBLE_EQ(h, kPi / 2);
    EXPECT_EQ(p, 0.0);
    direction_to_angles(Vec3d{-1, 0, 0}, h, p);
    EXPECT_DOUBLE_EQ(h, 3 * kPi / 2);
    direction_to_angles(Vec3d{0, 0, 1}, h, p);
    EXPECT_EQ(h, 0.0);
    direction_to_angles(Vec3d{0, -1, 0}, h, p);
    EXPECT_DOUBLE_EQ(p, kPi / 2);
    EXPECT_EQ(h, 0.0);
    direction_to_angles(Vec3d{0, 1, 0}, h, p);
    EXPECT_DOUBLE_EQ(p, -kPi / 2);
    EXPECT_EQ(h, 0.0);
    float hf, pf;
    direction_to_angles(Vec3f{0, 0, 0}, hf, pf);
    EXPECT_EQ(pf, 0.0f);
    EXPECT_TRUE(std::signbit(pf));
    EXPECT_FLOAT_EQ(hf, static_cast<float>(kPi / 2));
    direction_to_angles(Vec3f{0, 0, -1}, hf, pf);  // acos(-1): no NaN
    EXPECT_FLOAT_EQ(hf, static_cast<float>(kPi));
}

TEST(Vector, AnglesToDirectionRoundTripsOverAGrid) {
    for (int hi = 0; hi < 36; ++hi) {
        for (int pi = -17; pi <= 17; ++pi) {
            const double h = hi * 2 * kPi / 36, p = pi * kPi / 36;
            Vec3d d;
            angles_to_direction(h, p, d);
            EXPECT_NEAR(d.x * d.x + d.y * d.y + d.z * d.z, 1.0, 1e-15);
            double h2, p2;
            direction_to_angles(d, h2, p2);
            EXPECT_NEAR(p2, p, 1e-9);
            if (hi == 0) {
                EXPECT_TRUE(h2 < 1e-7 || h2 > 2 * kPi - 1e-7) << h2;
            } else {
                EXPECT_NEAR(h2, h, 1e-7) << hi << " " << pi;
            }
            Vec3f f;
            angles_to_direction(static_cast<float>(h), static_cast<float>(p), f);
            float hf, pf;
            direction_to_angles(f, hf, pf);
            EXPECT_NEAR(pf, p, 1e-5);
            if (hi != 0) {
                EXPECT_NEAR(hf, h, 2e-3) << hi << " " << pi;
            }
        }
    }
    Vec3d up;
    angles_to_direction(1.0, kPi / 2, up);
    double h, p;
    direction_to_angles(up, h, p);
    EXPECT_EQ(h, 0.0);  // vertical: no heading
    Vec3f x;
    angles_to_direction(static_cast<float>(kPi / 2), 0.0f, x);
    EXPECT_FLOAT_EQ(x.x, 1.0f);
    EXPECT_NEAR(x.z, 0.0f, 1e-7);
}

TEST(Vector, ComparisonInterpolationAndCombination) {
    EXPECT_EQ(nearly_equal(Vec3f{1, 2, 3}, Vec3f{1, 2, 3 + 5e-7f}), 1);
    EXPECT_EQ(nearly_equal(Vec3f{1, 2, 3}, Vec3f{1, 2, 3 + 2e-6f}), 0);
    EXPECT_EQ(nearly_equal(Vec3d{1, 2, 3}, Vec3d{1, 2, 3 + 1e-14}), 0);
    EXPECT_EQ(nearly_equal(Vec3d{NAN, 2, 3}, Vec3d{NAN, 2, 3}), 0);
    const Vec3f a{1, 2, 3}, b{5, 6, 7};
    Vec3f o;
    lerp(a, b, 0.0f, o);
    EXPECT_EQ(o.x, 1.0f);
    lerp(a, b, 1.0f, o);
    EXPECT_EQ(o.z, 7.0f);
    lerp(a, b, 0.5f, o);
    EXPECT_EQ(o.y, 4.0f);
    Vec3d c;
    linear_combination(Vec3d{1, 0, 2}, Vec3d{0, 1, 1}, c, 2.0, 3.0);
    EXPECT_EQ(c.x, 2.0);
    EXPECT_EQ(c.y, 3.0);
    EXPECT_EQ(c.z, 7.0);
}

TEST(Quantize, QuantisersRoundHalvesUpAndClamp) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(unit_to_u8(-1.0f), 0);
    EXPECT_EQ(unit_to_u8(0.0f), 0);
    EXPECT_EQ(unit_to_u8(0.5f), 128);
    EXPECT_EQ(unit_to_u8(1.0f), 255);
    EXPECT_EQ(unit_to_u8(2.0f), 255);
    EXPECT_EQ(unit_to_u8(1e10f), 255);
    EXPECT_EQ(unit_to_u8(NAN), 0);
    EXPECT_EQ(unit_to_u8(inf), 255);
    EXPECT_EQ(unit_to_u8(-inf), 0);
    EXPECT_EQ(unit_to_u16(1.0f), 65535);
    EXPECT_EQ(unit_to_u16(0.5f), 32768);
    EXPECT_EQ(unit_to_u16(-1e30f), 0);
    EXPECT_EQ(unit_to_u31(1.0f), 2147483647);
    EXPECT_EQ(unit_to_u31(0.5f), 1073741824);
    EXPECT_EQ(unit_to_u31(1.0000001f), 2147483647);
    EXPECT_EQ(unit_to_u31(1e20f), 2147483647);
    EXPECT_EQ(unit_to_u31(NAN), 0);
    EXPECT_EQ(unit_to_u31(-0.5f), 0);
    // Every 8-bit code survives a round trip.
    for (int code = 0; code <= 255; ++code)
        EXPECT_EQ(unit_to_u8(u8_to_unit(static_cast<uint8_t>(code))), code);
}

TEST(Quantize, ExpandersStayInTheUnitInterval) {
    EXPECT_EQ(u8_to_unit(255), 1.0f);
    EXPECT_EQ(u8_to_unit(0), 0.0f);
    EXPECT_EQ(u8_to_unit(128), 128.0f / 255.0f);
    EXPECT_EQ(u16_to_unit(65535), 1.0f);
    EXPECT_EQ(u31_to_unit(2147483648u), 1.0f);
    EXPECT_EQ(u31_to_unit(4294967295u), 1.0f);
    EXPECT_EQ(u31_to_unit(1073741824u), 0.5f);
    EXPECT_EQ(u31_to_unit(2147483647u - 63u), 1.0f);
    EXPECT_LT(u31_to_unit(2147483647u - 200u), 1.0f);
}
