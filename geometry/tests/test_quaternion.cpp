// Quaternion operations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include <taverin/geometry/quaternion.h>

using namespace geometry;

namespace {
constexpr double kPi = 3.141592653589793;

void expect_quat(const Quatf& q, double x, double y, double z, double w, double tol = 1e-6) {
    EXPECT_NEAR(q.x, x, tol);
    EXPECT_NEAR(q.y, y, tol);
    EXPECT_NEAR(q.z, z, tol);
    EXPECT_NEAR(q.w, w, tol);
}

Quatf random_quat(std::mt19937& rng) {
    std::uniform_real_distribution<float> u(-2, 2);
    return Quatf{u(rng), u(rng), u(rng), u(rng)};
}
}  // namespace

TEST(Quaternion, NormalizeAndInverseIncludingZero) {
    Quatf q;
    quat_normalize(Quatf{0, 0, 0, 0}, q);
    expect_quat(q, 0, 0, 0, 1, 0);
    quat_normalize(Quatf{0, 0, 0, 2}, q);
    expect_quat(q, 0, 0, 0, 1, 0);
    quat_normalize(Quatf{1, 1, 1, 1}, q);
    expect_quat(q, 0.5, 0.5, 0.5, 0.5, 0);
    q = {3, 0, 4, 0};
    quat_normalize(q, q);
    expect_quat(q, 0.6, 0, 0.8, 0);
    Quatd d;
    quat_normalize(Quatd{0, 0, 0, 0}, d);
    EXPECT_EQ(d.w, 1.0);
    quat_normalize(Quatd{1, 1, 1, 1}, d);
    EXPECT_EQ(d.x, 0.5);

    // Finite quaternions whose squares overflow or lose precision still come out at unit length.
    quat_normalize(Quatf{3e30f, 0, 4e30f, 0}, q);
    expect_quat(q, 0.6, 0, 0.8, 0);
    quat_normalize(Quatf{3e-22f, 4e-22f, 0, 0}, q);
    expect_quat(q, 0.6, 0.8, 0, 0);
    quat_normalize(Quatd{3e200, 0, 0, 4e200}, d);
    EXPECT_DOUBLE_EQ(d.w, 0.8);
    quat_normalize(Quatd{0, 3e-160, 4e-160, 0}, d);  // subnormal squares
    EXPECT_DOUBLE_EQ(d.z, 0.8);

    // Every square underflows to zero, yet the quaternion is not zero: a half turn about X
    // stays a half turn, it does not become the identity.
    quat_normalize(Quatf{1e-30f, 0, 0, 0}, q);
    EXPECT_EQ(q.x, 1.0f);
    EXPECT_EQ(q.w, 0.0f);
    quat_normalize(Quatf{-1e-30f, 1e-30f, -1e-30f, 1e-30f}, q);
    expect_quat(q, -0.5, 0.5, -0.5, 0.5, 0);
    quat_normalize(Quatf{1e-45f, 0, 0, 0}, q);  // the smallest subnormal
    EXPECT_EQ(q.x, 1.0f);
    quat_normalize(Quatd{1e-170, 0, 0, 0}, d);
    EXPECT_EQ(d.x, 1.0);
    EXPECT_EQ(d.w, 0.0);
    quat_normalize(Quatd{0, 0, 5e-324, 0}, d);
    EXPECT_EQ(d.z, 1.0);
    float angle = 0;
    Vec3f axis{9, 9, 9};
    quat_to_axis_angle(Quatf{0, 1e-30f, 0, 0}, angle, axis);  // a half turn about Y
    EXPECT_NEAR(angle, kPi, 1e-6);
    EXPECT_EQ(axis.y, 1.0f);

    quat_inverse(Quatf{0, 0, 0, 0}, q);
    expect_quat(q, 0, 0, 0, 0, 0);
    quat_inverse(Quatf{0, 0, 0, 2}, q);
    expect_quat(q, 0, 0, 0, 0.5, 0);
}

TEST(Quaternion, ProductWithTheInverseIsTheIdentityAndOutputsMayAlias) {
    std::mt19937 rng(21);
    for (int n = 0; n < 200; ++n) {
        const Quatf a = random_quat(rng), b = random_quat(rng);
        Quatf inv, prod;
        quat_inverse(a, inv);
        quat_multiply(a, inv, prod);
        expect_quat(prod, 0, 0, 0, 1, 2e-6);
        Quatf sep, al = a, bl = b;
        quat_multiply(a, b, sep);
        quat_multiply(al, b, al);
        quat_multiply(a, bl, bl);
        EXPECT_EQ(std::memcmp(&sep, &al, sizeof sep), 0);
        EXPECT_EQ(std::memcmp(&sep, &bl, sizeof sep), 0);
    }
}

TEST(Quaternion, ProductMatrixIsTheProductOfMatrices) {
    std::mt19937 rng(4);
    for (int n = 0; n < 100; ++n) {
        Quatf a = random_quat(rng), b = random_quat(rng), ab;
        quat_normalize(a, a);
        quat_normalize(b, b);
        quat_multiply(a, b, ab);
        Mat3f ma, mb, mab;
        quat_to_matrix3(a, ma);
        quat_to_matrix3(b, mb);
        quat_to_matrix3(ab, mab);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                double s = 0;
                for (int k = 0; k < 3; ++k) s += double(ma.m[3 * r + k]) * mb.m[3 * k + c];
                EXPECT_NEAR(mab.m[3 * r + c], s, 2e-6);
            }
    }
}

TEST(Quaternion, MatrixToQuatBranches) {
    Quatf q;
    Mat3f id = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    matrix3_to_quat(id, q);
    expect_quat(q, 0, 0, 0, 1, 0);
    Mat3f half_x = {{1, 0, 0, 0, -1, 0, 0, 0, -1}};
    matrix3_to_quat(half_x, q);
    expect_quat(q, 1, 0, 0, 0, 0);
    Mat3f third = {{0, 0, 1, 1, 0, 0, 0, 1, 0}};  // trace exactly 0: pivot branch, pivot X
    matrix3_to_quat(third, q);
    expect_quat(q, 0.5, 0.5, 0.5, 0.5, 0);

    // Round trips return q at unit length or its negation, by the documented sign rule.
    std::mt19937 rng(8);
    for (int n = 0; n < 300; ++n) {
        Quatf a = random_quat(rng), unit, back;
        quat_normalize(a, unit);
        Mat3f m;
        quat_to_matrix3(a, m);
        matrix3_to_quat(m, back);
        const float tr = m.m[0] + m.m[4] + m.m[8];
        const float dot = unit.x * back.x + unit.y * back.y + unit.z * back.z + unit.w * back.w;
        EXPECT_NEAR(std::fabs(dot), 1.0, 1e-5);
        if (tr > 0) {
            EXPECT_GT(back.w, 0.0f);
        }
    }
}

TEST(Quaternion, AxisAngleConversions) {
    Quatf q;
    quat_from_axis_angle(static_cast<float>(kPi / 2), Vec3f{0, 0, 1}, q);
    expect_quat(q, 0, 0, std::sin(kPi / 4), std::cos(kPi / 4));
    float angle = -1;
    Vec3f axis{7, 7, 7};
    quat_to_axis_angle(Quatf{0, 0, 1, 0}, angle, axis);
    EXPECT_FLOAT_EQ(angle, static_cast<float>(kPi));
    EXPECT_EQ(axis.z, 1.0f);
    axis = {7, 7, 7};
    quat_to_axis_angle(Quatf{0, 0, 0, 1}, angle, axis);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(axis.x, 7.0f);  // left as it was
    double ad;
    Vec3d axd{5, 5, 5};
    quat_to_axis_angle(Quatd{0, 1, 0, 0}, ad, axd);
    EXPECT_DOUBLE_EQ(ad, kPi);
    EXPECT_EQ(axd.y, 1.0);
    // w at or a hair above 1 after normalising: no NaN.
    for (float e : {1e-7f, 3e-8f, 0.0f}) {
        quat_to_axis_angle(Quatf{e, 0, 0, 1.0f}, angle, axis);
        EXPECT_FALSE(std::isnan(angle));
    }
    Quatf a{0.1f, 0.2f, 0.3f, 0.9f};
    axis = {7, 7, 7};
    EXPECT_NEAR(quat_relative_axis_angle(a, a, axis), 0.0, 1e-3);
    // The relative rotation d with b = a d.
    Quatf d, b;
    quat_from_axis_angle(0.8f, Vec3f{0, 1, 0}, d);
    quat_normalize(a, a);
    quat_multiply(a, d, b);
    EXPECT_NEAR(quat_relative_axis_angle(a, b, axis), 0.8, 1e-5);
    EXPECT_NEAR(axis.y, 1.0, 1e-4);
}
