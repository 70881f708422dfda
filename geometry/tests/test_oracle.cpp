// Every output component of the public operations against an independent oracle: the defining
// formula evaluated in long double on the same inputs. A result may differ from the oracle by
// the rounding of its own precision (a few units of the largest term), never by more; a wrong
// operator, operand or component anywhere shows as an error of the order of the terms
// themselves. Ordinary random inputs; the edge cases live in the other files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include <taverin/geometry/matrix.h>
#include <taverin/geometry/quaternion.h>
#include <taverin/geometry/rotation.h>
#include <taverin/geometry/vector.h>

using namespace geometry;
using L = long double;

namespace {

constexpr int kCases = 2000;

// A few units in the last place of the precision.
template <typename T> constexpr L tolerance() { return sizeof(T) == sizeof(float) ? 2e-6L : 4e-15L; }

// got must lie within the tolerance of want, relative to scale (the size of the terms).
template <typename T>
::testing::AssertionResult close(T got, L want, L scale) {
    if (std::fabs(static_cast<L>(got) - want) <= tolerance<T>() * (scale < 1 ? 1 : scale)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << ", the oracle says " << static_cast<double>(want);
}

struct Random {
    std::mt19937_64 rng{7};
    L next() { return std::uniform_real_distribution<double>(-4, 4)(rng); }
    template <typename T> T value() { return static_cast<T>(next()); }
    template <typename V> V vec() { return V{value<decltype(V::x)>(), value<decltype(V::x)>(), value<decltype(V::x)>()}; }
    template <typename M> M mat() {
        M m;
        for (auto& e : m.m) e = value<std::remove_reference_t<decltype(e)>>();
        return m;
    }
};

template <typename V> auto at(const V& v, int i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }
template <typename V> L lv(const V& v, int i) { return at(v, i); }  // for the oracle's side
template <typename V> L norm(const V& v) { return std::sqrt(L(v.x) * v.x + L(v.y) * v.y + L(v.z) * v.z); }

template <typename V, typename T>
void vector_operations() {
    Random r;
    for (int n = 0; n < kCases; ++n) {
        const V a = r.template vec<V>(), b = r.template vec<V>(), c = r.template vec<V>();
        const T t = r.template value<T>(), s = r.template value<T>();
        V o;
        lerp(a, b, t, o);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(close(at(o, i), lv(a, i) + (lv(b, i) - lv(a, i)) * t, 40)) << "lerp " << i;
        linear_combination(a, b, o, s, t);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(close(at(o, i), s * lv(a, i) + t * lv(b, i), 32)) << "linear_combination " << i;
        ASSERT_TRUE(close(dot(a, b), L(a.x) * b.x + L(a.y) * b.y + L(a.z) * b.z, 48)) << "dot";
        cross(a, b, o);
        const L x[3] = {L(a.y) * b.z - L(a.z) * b.y, L(a.z) * b.x - L(a.x) * b.z, L(a.x) * b.y - L(a.y) * b.x};
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(close(at(o, i), x[i], 32)) << "cross " << i;
        ASSERT_TRUE(close(distance(a, b), std::sqrt((L(a.x) - b.x) * (L(a.x) - b.x) + (L(a.y) - b.y) * (L(a.y) - b.y) +
                                                    (L(a.z) - b.z) * (L(a.z) - b.z)), 16)) << "distance";
        o = a;
        set_length(o, t);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(close(at(o, i), lv(a, i) * t / norm(a), 4)) << "set_length " << i;
        o = a;
        normalize(o);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(close(at(o, i), lv(a, i) / norm(a), 1)) << "normalize " << i;
        // The unit normal of the plane through a, b, c: (b - a) x (c - a), normalised.
        plane_normal(a, b, c, o);
        const L u[3] = {L(b.x) - a.x, L(b.y) - a.y, L(b.z) - a.z}, v[3] = {L(c.x) - a.x, L(c.y) - a.y, L(c.z) - a.z};
        const L w[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        const L wn = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
        if (wn > 1) {
            for (int i = 0; i < 3; ++i) ASSERT_TRUE(close(at(o, i), w[i] / wn, 200 / wn)) << "plane_normal " << i;
        }
        ASSERT_TRUE(close(angle_between(a, b), std::acos((L(a.x) * b.x + L(a.y) * b.y + L(a.z) * b.z) / (norm(a) * norm(b))), 4))
            << "angle_between";
        // Heading and pitch of a direction, and back.
        T h, p;
        direction_to_angles(a, h, p);
        angles_to_direction(h, p, o);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(close(at(o, i), lv(a, i) / norm(a), 50)) << "direction and angles " << i;
        ASSERT_TRUE(close(o.x, std::sin(L(h)) * std::cos(L(p)), 4) && close(o.y, -std::sin(L(p)), 4) &&
                    close(o.z, std::cos(L(h)) * std::cos(L(p)), 4)) << "angles_to_direction";
    }
}

template <typename M, typename V, int N>
void matrix_operations() {
    using T = std::remove_reference_t<decltype(M{}.m[0])>;
    Random r;
    for (int n = 0; n < kCases; ++n) {
        const M a = r.template mat<M>(), b = r.template mat<M>();
        const V p = r.template vec<V>();
        M o;
        multiply(a, b, o);
        for (int i = 0; i < N; ++i)
            for (int j = 0; j < N; ++j) {
                L sum = 0;
                for (int k = 0; k < N; ++k) sum += L(a.m[N * i + k]) * b.m[N * k + j];
                ASSERT_TRUE(close(o.m[N * i + j], sum, 64)) << "multiply " << i << " " << j;
            }
        V q;
        if constexpr (N == 3) {
            transform_vector(p, a, q);
            for (int c = 0; c < 3; ++c)
                ASSERT_TRUE(close(at(q, c), lv(p, 0) * a.m[c] + lv(p, 1) * a.m[3 + c] + lv(p, 2) * a.m[6 + c], 48)) << "transform_vector " << c;
            const L det = L(a.m[0]) * (L(a.m[4]) * a.m[8] - L(a.m[5]) * a.m[7]) - L(a.m[1]) * (L(a.m[3]) * a.m[8] - L(a.m[5]) * a.m[6]) +
                          L(a.m[2]) * (L(a.m[3]) * a.m[7] - L(a.m[4]) * a.m[6]);
            ASSERT_TRUE(close(determinant(a), det, 200)) << "determinant";
            ASSERT_TRUE(close(det2(a.m[0], a.m[1], a.m[2], a.m[3]), L(a.m[0]) * a.m[3] - L(a.m[1]) * a.m[2], 32)) << "det2";
        } else {
            transform_point(p, a, q);
            L h[4];
            for (int c = 0; c < 4; ++c) h[c] = lv(p, 0) * a.m[c] + lv(p, 1) * a.m[4 + c] + lv(p, 2) * a.m[8 + c] + a.m[12 + c];
            for (int c = 0; c < 3 && std::fabs(h[3]) > 0.5L; ++c) {
                ASSERT_TRUE(close(at(q, c), h[c] / h[3], 100 / std::fabs(h[3]))) << "transform_point " << c;
            }
        }
        o = a;
        scale(o, T(3));
        for (int i = 0; i < N * N; ++i) ASSERT_TRUE(close(o.m[i], 3 * L(a.m[i]), 16)) << "scale " << i;
    }
}

}  // namespace

TEST(Oracle, VectorOperations) {
    vector_operations<Vec3f, float>();
    vector_operations<Vec3d, double>();
}

TEST(Oracle, MatrixOperations) {
    matrix_operations<Mat3f, Vec3f, 3>();
    matrix_operations<Mat3d, Vec3d, 3>();
    matrix_operations<Mat4f, Vec3f, 4>();
    matrix_operations<Mat4d, Vec3d, 4>();
}

// The quaternion operations, each output component: the Hamilton product, the inverse, unit
// length, the rotation matrix and back, and the axis and angle, in both precisions where they
// exist.
TEST(Oracle, QuaternionOperations) {
    Random r;
    for (int n = 0; n < kCases; ++n) {
        const Quatf a{r.value<float>(), r.value<float>(), r.value<float>(), r.value<float>()};
        const Quatf b{r.value<float>(), r.value<float>(), r.value<float>(), r.value<float>()};
        const L ax = a.x, ay = a.y, az = a.z, aw = a.w, bx = b.x, by = b.y, bz = b.z, bw = b.w;
        const L an = std::sqrt(ax * ax + ay * ay + az * az + aw * aw);
        Quatf o;
        quat_multiply(a, b, o);
        ASSERT_TRUE(close(o.w, aw * bw - ax * bx - ay * by - az * bz, 64) && close(o.x, aw * bx + ax * bw + ay * bz - az * by, 64) &&
                    close(o.y, aw * by + ay * bw + az * bx - ax * bz, 64) && close(o.z, aw * bz + az * bw + ax * by - ay * bx, 64))
            << "quat_multiply";
        quat_inverse(a, o);
        const L n2 = an * an;
        ASSERT_TRUE(close(o.x, -ax / n2, 4) && close(o.y, -ay / n2, 4) && close(o.z, -az / n2, 4) && close(o.w, aw / n2, 4))
            << "quat_inverse";
        quat_normalize(a, o);
        ASSERT_TRUE(close(o.x, ax / an, 1) && close(o.y, ay / an, 1) && close(o.z, az / an, 1) && close(o.w, aw / an, 1))
            << "quat_normalize";
        const Quatd d{b.x * 1.1, b.y * 0.9, b.z * 1.3, b.w * 0.7};
        const L dn = std::sqrt(L(d.x) * d.x + L(d.y) * d.y + L(d.z) * d.z + L(d.w) * d.w);
        Quatd od;
        quat_normalize(d, od);
        ASSERT_TRUE(close(od.x, d.x / dn, 1) && close(od.y, d.y / dn, 1) && close(od.z, d.z / dn, 1) && close(od.w, d.w / dn, 1))
            << "quat_normalize, double";
        // The matrix of a scaled to unit length, entry by entry, and the quaternion back (up to sign).
        Mat3f m;
        quat_to_matrix3(a, m);
        const L x = ax / an, y = ay / an, z = az / an, w = aw / an;
        const L want[9] = {1 - 2 * (y * y + z * z), 2 * (x * y - w * z),     2 * (x * z + w * y),
                           2 * (x * y + w * z),     1 - 2 * (x * x + z * z), 2 * (y * z - w * x),
                           2 * (x * z - w * y),     2 * (y * z + w * x),     1 - 2 * (x * x + y * y)};
        for (int i = 0; i < 9; ++i) ASSERT_TRUE(close(m.m[i], want[i], 8)) << "quat_to_matrix3 " << i;
        matrix3_to_quat(m, o);
        const L sign = (o.x * x + o.y * y + o.z * z + o.w * w) < 0 ? -1 : 1;
        ASSERT_TRUE(close(o.x, sign * x, 16) && close(o.y, sign * y, 16) && close(o.z, sign * z, 16) && close(o.w, sign * w, 16))
            << "matrix3_to_quat";
        // Axis and angle of the unit quaternion with w >= 0 (the angle 2 acos w, the axis (x, y, z) / sin(angle / 2)).
        const L s = sign * (w < 0 ? -1 : 1);
        const Quatf u{static_cast<float>(s * x), static_cast<float>(s * y), static_cast<float>(s * z), static_cast<float>(s * w)};
        const L half = std::acos(L(s * w)), sh = std::sin(half);
        float angle;
        Vec3f axis{};
        quat_to_axis_angle(u, angle, axis);
        if (sh > 0.01L) {
            ASSERT_TRUE(close(angle, 2 * half, 64) && close(axis.x, s * x / sh, 64 / sh) && close(axis.y, s * y / sh, 64 / sh) &&
                        close(axis.z, s * z / sh, 64 / sh)) << "quat_to_axis_angle";
            double angle_d;
            Vec3d axis_d{};
            const auto dbl = [](L v) { return static_cast<double>(v); };
            quat_to_axis_angle(Quatd{dbl(s * x), dbl(s * y), dbl(s * z), dbl(s * w)}, angle_d, axis_d);
            ASSERT_TRUE(close(angle_d, 2 * half, 64) && close(axis_d.x, s * x / sh, 64 / sh) && close(axis_d.y, s * y / sh, 64 / sh) &&
                        close(axis_d.z, s * z / sh, 64 / sh)) << "quat_to_axis_angle, double";
        }
        // From an axis and an angle: (axis sin(angle / 2), cos(angle / 2)), the axis as given.
        const Vec3f v{r.value<float>(), r.value<float>(), r.value<float>()};
        const float t = r.value<float>();
        quat_from_axis_angle(t, v, o);
        const L st = std::sin(L(t) / 2);
        ASSERT_TRUE(close(o.x, st * v.x, 8) && close(o.y, st * v.y, 8) && close(o.z, st * v.z, 8) && close(o.w, std::cos(L(t) / 2), 1))
            << "quat_from_axis_angle";
    }
}
