// Euler angles, rotation matrices, quaternions and the heading/pitch/bank operations, decided
// by independent references computed in double.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include <taverin/geometry/quaternion.h>
#include <taverin/geometry/rotation.h>

using namespace geometry;

namespace {

constexpr double kPi = 3.141592653589793;
using M3 = std::array<double, 9>;

M3 elementary(char axis, double t) {
    const double c = std::cos(t), s = std::sin(t);
    switch (axis) {
        case 'X': return {1, 0, 0, 0, c, -s, 0, s, c};
        case 'Y': return {c, 0, s, 0, 1, 0, -s, 0, c};
        default: return {c, -s, 0, s, c, 0, 0, 0, 1};
    }
}

M3 mul(const M3& a, const M3& b) {
    M3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[3 * i + j] += a[3 * i + k] * b[3 * k + j];
    return r;
}

// The axes of each order in turn, and whether they rotate with the body.
struct OrderRow {
    const char* axes;
    bool rotating;
};
constexpr OrderRow kOrders[24] = {
    {"XYZ", false}, {"ZYX", true}, {"XYX", false}, {"XYX", true}, {"XZY", false}, {"YZX", true},
    {"XZX", false}, {"XZX", true}, {"YZX", false}, {"XZY", true}, {"YZY", false}, {"YZY", true},
    {"YXZ", false}, {"ZXY", true}, {"YXY", false}, {"YXY", true}, {"ZXY", false}, {"YXZ", true},
    {"ZXZ", false}, {"ZXZ", true}, {"ZYX", false}, {"XYZ", true}, {"ZYZ", false}, {"ZYZ", true},
};

// Static axes: the first rotation acts first, M = R3 R2 R1. Rotating axes: M = R1 R2 R3.
M3 reference(int code, double a1, double a2, double a3) {
    const OrderRow& o = kOrders[code % 24 < 24 && code >= 24 ? code - 24 : code];
    const M3 r1 = elementary(o.axes[0], a1), r2 = elementary(o.axes[1], a2), r3 = elementary(o.axes[2], a3);
    return o.rotating ? mul(mul(r1, r2), r3) : mul(mul(r3, r2), r1);
}

void expect_block(const Mat4f& m, const M3& ref, double tol) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(m.m[4 * r + c], ref[3 * r + c], tol) << r << "," << c;
    EXPECT_EQ(m.m[3], 0.0f);
    EXPECT_EQ(m.m[12], 0.0f);
    EXPECT_EQ(m.m[15], 1.0f);
}

// The column-vector matrix of a quaternion, in double.
M3 quat_matrix(const Quatf& q) {
    const double x = q.x, y = q.y, z = q.z, w = q.w;
    return {1 - 2 * (y * y + z * z), 2 * (x * y - w * z),     2 * (x * z + w * y),
            2 * (x * y + w * z),     1 - 2 * (x * x + z * z), 2 * (y * z - w * x),
            2 * (x * z - w * y),     2 * (y * z + w * x),     1 - 2 * (x * x + y * y)};
}

std::vector<std::array<float, 3>> angle_sets() {
    std::vector<std::array<float, 3>> sets;
    std::mt19937 rng(17);
    std::uniform_real_distribution<float> u(-3.1f, 3.1f);
    for (int n = 0; n < 40; ++n) sets.push_back({u(rng), u(rng), u(rng)});
    const float q = static_cast<float>(kPi / 2);
    for (int a = -2; a <= 2; ++a)
        for (int b = -2; b <= 2; ++b)
            for (int c = -2; c <= 2; ++c) sets.push_back({a * q, b * q, c * q});
    return sets;
}

}  // namespace

TEST(Rotation, EveryOrderBuildsTheProductOfItsElementaryRotations) {
    for (int code = 0; code < 32; ++code) {
        for (const auto& a : angle_sets()) {
            SCOPED_TRACE(code);
            Euler4f e;
            euler_make(a[0], a[1], a[2], code, e);
            const Euler4f before = e;
            Mat4f m;
            euler_to_matrix(e, m);
            EXPECT_EQ(std::memcmp(&e, &before, sizeof e), 0);  // the caller's record stays
            expect_block(m, reference(code, a[0], a[1], a[2]), 2e-6);

            Quatf q;
            euler_to_quat(e, q);
            EXPECT_EQ(std::memcmp(&e, &before, sizeof e), 0);
            EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0, 1e-6);
            const M3 qm = quat_matrix(q);
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c) EXPECT_NEAR(m.m[4 * r + c], qm[3 * r + c], 3e-6);
        }
    }
}

TEST(Rotation, MatrixToEulerRebuildsTheSameMatrixInEveryOrder) {
    for (int code = 0; code < 32; ++code) {
        for (const auto& a : angle_sets()) {
            SCOPED_TRACE(code);
            Euler4f e, back;
            euler_make(a[0], a[1], a[2], code, e);
            Mat4f m, m2;
            euler_to_matrix(e, m);
            matrix_to_euler(m, code, back);
            EXPECT_EQ(back.order, static_cast<float>(code));
            euler_to_matrix(back, m2);
            for (int k = 0; k < 16; ++k) EXPECT_NEAR(m.m[k], m2.m[k], 2e-5) << k;
            Quatf q;
            euler_to_quat(e, q);
            Euler4f fromq;
            quat_to_euler(q, code, fromq);
            euler_to_matrix(fromq, m2);
            for (int k = 0; k < 16; ++k) EXPECT_NEAR(m.m[k], m2.m[k], 2e-5) << k;
        }
    }
}

TEST(Rotation, CodesAboveTwentyThreeActAsCodesZeroToSeven) {
    for (int code = 24; code < 32; ++code) {
        Euler4f a, b;
        euler_make(0.3f, -1.1f, 2.0f, code, a);
        euler_make(0.3f, -1.1f, 2.0f, code - 24, b);
        Mat4f ma, mb;
        euler_to_matrix(a, ma);
        euler_to_matrix(b, mb);
        EXPECT_EQ(std::memcmp(&ma, &mb, sizeof ma), 0);
    }
    Euler4f e;
    euler_make(1, 2, 3, 17, e);
    EXPECT_EQ(e.order, 17.0f);
}

TEST(Rotation, SingleTurnsGiveTheirQuaternions) {
    Euler4f e;
    Quatf q;
    euler_make(0.5f, 0, 0, 0, e);
    euler_to_quat(e, q);
    EXPECT_FLOAT_EQ(q.x, static_cast<float>(std::sin(0.25)));
    EXPECT_EQ(q.y, 0.0f);
    EXPECT_FLOAT_EQ(q.w, static_cast<float>(std::cos(0.25)));
    euler_make(0.5f, 0, 0, 17, e);
    euler_to_quat(e, q);
    EXPECT_EQ(q.x, 0.0f);
    EXPECT_FLOAT_EQ(q.y, static_cast<float>(std::sin(0.25)));
}

TEST(Rotation, LockedOrdersDecomposeWithTheThirdComputedAngleZero) {
    const float half = static_cast<float>(kPi / 2);
    Euler4f e, back;
    Mat4f m;
    euler_make(0.4f, half, 0.3f, 0, e);
    euler_to_matrix(e, m);
    matrix_to_euler(m, 0, back);
    EXPECT_NEAR(back.angle1, 0.1, 1e-5);
    EXPECT_NEAR(back.angle2, kPi / 2, 1e-5);
    EXPECT_EQ(back.angle3, 0.0f);

    euler_make(0.4f, half, 0.3f, 17, e);
    euler_to_matrix(e, m);
    matrix_to_euler(m, 17, back);
    EXPECT_EQ(back.angle1, 0.0f);
    EXPECT_NEAR(back.angle2, kPi / 2, 1e-5);
    EXPECT_NEAR(back.angle3, -0.1, 1e-5);

    euler_make(0.4f, 0, 0.3f, 2, e);
    euler_to_matrix(e, m);
    matrix_to_euler(m, 2, back);
    EXPECT_NEAR(back.angle1, 0.7, 1e-6);
    EXPECT_EQ(back.angle2, 0.0f);
    EXPECT_EQ(back.angle3, 0.0f);
}

TEST(Rotation, PointsTurnAboutAxesAndByHeadingPitchBank) {
    Vec3f p{1, 0, 0};
    rotate_point_about_axis(90.0f, Vec3f{0, 0, 1}, p);
    EXPECT_NEAR(p.x, 0, 1e-6);
    EXPECT_NEAR(p.y, 1, 1e-6);
    p = {0, 0, 1};
    rotate_point_about_axis(90.0f, Vec3f{0, 1, 0}, p);
    EXPECT_NEAR(p.x, 1, 1e-6);
    EXPECT_NEAR(p.z, 0, 1e-6);
    p = {1, 0, 0};
    rotate_point_about_axis(90.0f, Vec3f{0, 0, 2}, p);  // not unit: a different turn
    EXPECT_NEAR(p.x, -0.6, 1e-6);
    EXPECT_NEAR(p.y, 0.8, 1e-6);
    Vec3d pd{1, 0, 0};
    rotate_point_about_axis(90.0, Vec3d{0, 0, 1}, pd);
    EXPECT_NEAR(pd.y, 1, 1e-6);
    p = {3, 4, 5};
    rotate_point_about_axis(123.0f, Vec3f{0, 0, 0}, p);  // zero axis: unchanged
    EXPECT_EQ(p.x, 3.0f);
    EXPECT_EQ(p.z, 5.0f);

    struct Case {
        Vec3d hpb;
        Vec3f from, to;
    };
    const Case cases[] = {{{kPi / 2, 0, 0}, {0, 0, 1}, {1, 0, 0}},
                          {{0, kPi / 2, 0}, {0, 0, 1}, {0, -1, 0}},
                          {{0, 0, kPi / 2}, {1, 0, 0}, {0, 1, 0}},
                          {{0.3, -0.7, 1.9}, {0.2f, -1.5f, 3.0f}, {0, 0, 0}}};
    for (const Case& k : cases) {
        Vec3f v = k.from;
        rotate_point_by_hpb(k.hpb, v);
        if (k.to.x != 0 || k.to.y != 0 || k.to.z != 0) {
            EXPECT_NEAR(v.x, k.to.x, 1e-6);
            EXPECT_NEAR(v.y, k.to.y, 1e-6);
            EXPECT_NEAR(v.z, k.to.z, 1e-6);
        }
        unrotate_point_by_hpb(k.hpb, v);
        EXPECT_NEAR(v.x, k.from.x, 1e-5);
        EXPECT_NEAR(v.y, k.from.y, 1e-5);
        EXPECT_NEAR(v.z, k.from.z, 1e-5);
    }
}

TEST(Rotation, AxisAngleOfHeadingPitchBank) {
    float angle = -1;
    Vec3f axis{9, 9, 9};
    hpb_to_axis_angle(Vec3d{1.2, 0, 0}, angle, axis);
    EXPECT_NEAR(angle, 1.2, 1e-6);  // radians
    EXPECT_NEAR(axis.y, 1.0, 1e-6);
    EXPECT_NEAR(axis.x, 0.0, 1e-6);
    hpb_to_axis_angle(Vec3d{0, 0, 0}, angle, axis);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(axis.x, 0.0f);
    EXPECT_EQ(axis.y, 0.0f);
    EXPECT_EQ(axis.z, 0.0f);
    // Small turns whose w rounds to 1 or a hair above: never NaN.
    for (double h = 1e-8; h < 1e-2; h *= 1.7) {
        hpb_to_axis_angle(Vec3d{h, h / 3, -h / 2}, angle, axis);
        EXPECT_FALSE(std::isnan(angle));
        EXPECT_FALSE(std::isnan(axis.x));
    }
    Quatf q;
    hpb_to_quat(Vec3d{0.5, 0, 0}, q);
    EXPECT_FLOAT_EQ(q.y, static_cast<float>(std::sin(0.25)));
}

TEST(Rotation, DegreeConversionsBetweenOrders) {
    Vec3d out;
    hpb_to_static_xyz(Vec3d{30, 0, 0}, out);
    EXPECT_NEAR(out.x, 0, 1e-4);
    EXPECT_NEAR(out.y, -30, 1e-4);
    hpb_to_static_xyz(Vec3d{0, 30, 0}, out);
    EXPECT_NEAR(out.x, -30, 1e-4);
    hpb_to_static_xyz(Vec3d{0, 0, 30}, out);
    EXPECT_NEAR(out.z, -30, 1e-4);
    hpb_to_static_xyz(Vec3d{30, 20, 10}, out);
    EXPECT_NEAR(out.x, -24.9446, 1e-3);
    EXPECT_NEAR(out.y, -26.1658, 1e-3);
    EXPECT_NEAR(out.z, -10.4750, 1e-3);
    hpb_to_static_zxy(Vec3d{30, 20, 10}, out);
    EXPECT_NEAR(out.x, -10, 1e-3);
    EXPECT_NEAR(out.y, -20, 1e-3);
    EXPECT_NEAR(out.z, -30, 1e-3);
    rotating_zxy_to_hpb(Vec3d{0, 0, 30}, out);
    EXPECT_NEAR(out.x, -30, 1e-4);
    EXPECT_NEAR(out.y, 0, 1e-4);
    rotating_zxy_to_hpb(Vec3d{10, 20, 30}, out);
    EXPECT_NEAR(out.x, -33.7537, 1e-3);
    EXPECT_NEAR(out.y, -11.8221, 1e-3);
    EXPECT_NEAR(out.z, -19.0083, 1e-3);
    axis_angle_to_static_xyz(30.0f, Vec3f{1, 0, 0}, out);
    EXPECT_NEAR(out.x, -30, 1e-4);
    EXPECT_NEAR(out.y, 0, 1e-4);
}

TEST(Rotation, DirectionToHeadingPitch) {
    struct Case {
        Vec3f d;
        double h, p;
    };
    const Case cases[] = {{{0, 0, 1}, 0, 0},           {{1, 0, 0}, kPi / 2, 0},
                          {{0, 1, 0}, 0, -kPi / 2},    {{0, -1, 0}, 0, kPi / 2},
                          {{0, 0, -1}, -kPi, 0},       {{1, 0, -1}, -5 * kPi / 4, 0},
                          {{-1, 0, -1}, -3 * kPi / 4, 0}, {{-1, 0, 0}, -kPi / 2, 0},
                          {{0, 0, 0}, 0, 0}};
    for (const Case& k : cases) {
        double h, p;
        direction_to_heading_pitch(k.d, h, p);
        EXPECT_NEAR(h, k.h, 1e-7) << k.d.x << "," << k.d.y << "," << k.d.z;
        EXPECT_NEAR(p, k.p, 1e-7);
    }
    double h, p;
    direction_to_heading_pitch(Vec3f{0, -1, 1}, h, p);
    EXPECT_NEAR(p, kPi / 4, 1e-7);  // below the horizon: positive

    // A NaN anywhere is no direction: both results are NaN, never a pitch of a quarter turn.
    for (const Vec3f& bad : {Vec3f{0, NAN, 0}, Vec3f{NAN, 0, 0}, Vec3f{0, 0, NAN}, Vec3f{NAN, 1, 0}}) {
        direction_to_heading_pitch(bad, h, p);
        EXPECT_TRUE(std::isnan(h)) << bad.x << "," << bad.y << "," << bad.z;
        EXPECT_TRUE(std::isnan(p)) << bad.x << "," << bad.y << "," << bad.z;
    }
}

TEST(Rotation, TransformColumnActsOnColumnVectors) {
    Euler4f e;
    euler_make(static_cast<float>(kPi / 2), 0, 0, 16, e);  // about Z
    Mat4f m;
    euler_to_matrix(e, m);
    Vec4f v{1, 0, 0, 1}, out;
    transform_column(m, v, out);
    EXPECT_NEAR(out.x, 0, 1e-7);
    EXPECT_NEAR(out.y, 1, 1e-7);
    EXPECT_EQ(out.w, 1.0f);
    transform_column(m, v, v);  // output may be the input
    EXPECT_NEAR(v.y, 1, 1e-7);
}

TEST(Rotation, OrderNamesSayTheirFrameAndAxes) {
    const struct {
        EulerOrder order;
        const char* name;
    } names[] = {
        {kStaticXYZ, "StaticXYZ"},     {kRotatingZYX, "RotatingZYX"}, {kStaticXYX, "StaticXYX"},
        {kRotatingXYX, "RotatingXYX"}, {kStaticXZY, "StaticXZY"},     {kRotatingYZX, "RotatingYZX"},
        {kStaticXZX, "StaticXZX"},     {kRotatingXZX, "RotatingXZX"}, {kStaticYZX, "StaticYZX"},
        {kRotatingXZY, "RotatingXZY"}, {kStaticYZY, "StaticYZY"},     {kRotatingYZY, "RotatingYZY"},
        {kStaticYXZ, "StaticYXZ"},     {kRotatingZXY, "RotatingZXY"}, {kStaticYXY, "StaticYXY"},
        {kRotatingYXY, "RotatingYXY"}, {kStaticZXY, "StaticZXY"},     {kRotatingYXZ, "RotatingYXZ"},
        {kStaticZXZ, "StaticZXZ"},     {kRotatingZXZ, "RotatingZXZ"}, {kStaticZYX, "StaticZYX"},
        {kRotatingXYZ, "RotatingXYZ"}, {kStaticZYZ, "StaticZYZ"},     {kRotatingZYZ, "RotatingZYZ"},
        {kHeadingPitchBank, "RotatingYXZ"},
    };
    for (const auto& n : names) {
        ASSERT_TRUE(n.order >= 0 && n.order < 24) << n.name;
        const OrderRow& row = kOrders[n.order];
        EXPECT_EQ(std::string(row.rotating ? "Rotating" : "Static") + row.axes, n.name) << "code " << n.order;
    }
}
