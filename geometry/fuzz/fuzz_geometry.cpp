// Every geometry operation on arbitrary bit patterns, with the invariants that must hold:
// quantiser codes in range, expanders in [0, 1], a singular invert leaves its destination
// untouched, a finite quaternion normalises to unit length or the identity.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <type_traits>
#include <cstring>

#include "fuzz/input.h"
#include <taverin/geometry/matrix.h>
#include <taverin/geometry/quantize.h>
#include <taverin/geometry/quaternion.h>
#include <taverin/geometry/rotation.h>
#include <taverin/geometry/vector.h>

using namespace geometry;

namespace {

#define CHECK(cond)                                                           \
    do {                                                                      \
        if (!(cond)) {                                                        \
            std::fprintf(stderr, "invariant failed: %s (line %d)\n", #cond, __LINE__); \
            std::abort();                                                     \
        }                                                                     \
    } while (0)

template <typename M>
M matrix(FuzzInput& in) {
    M m;
    for (auto& e : m.m) e = in.raw<std::remove_reference_t<decltype(e)>>();
    return m;
}
Vec3f v3f(FuzzInput& in) { return {in.f(), in.f(), in.f()}; }
Vec3d v3d(FuzzInput& in) { return {in.d(), in.d(), in.d()}; }
Quatf qf(FuzzInput& in) { return {in.f(), in.f(), in.f(), in.f()}; }
Quatd qd(FuzzInput& in) { return {in.d(), in.d(), in.d(), in.d()}; }

template <typename M, typename T>
void check_invert(const M& src, double threshold) {
    M dst;
    std::memset(&dst, 0x5a, sizeof dst);
    M before = dst;
    const T det = determinant(src);
    invert(src, dst);
    if (std::fabs(static_cast<double>(det)) < threshold) CHECK(std::memcmp(&dst, &before, sizeof dst) == 0);
    M self = src;
    invert(self, self);  // aliasing is allowed
}

template <typename Q>
bool finite(const Q& q) {
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

template <typename Q>
void check_unit(const Q& n) {
    const double len = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z + double(n.w) * n.w);
    const bool identity = n.x == 0 && n.y == 0 && n.z == 0 && n.w == 1;
    CHECK(identity || std::fabs(len - 1.0) < 1e-5);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    while (!in.empty()) {
        switch (in.byte() % 24) {
            case 0: {
                const float x = in.f();
                const int32_t a = unit_to_u8(x), b = unit_to_u16(x), c = unit_to_u31(x);
                CHECK(a >= 0 && a <= 255 && b >= 0 && b <= 65535 && c >= 0);
                break;
            }
            case 1: {
                const float a = u8_to_unit(in.byte()), b = u16_to_unit(static_cast<uint16_t>(in.i32())),
                            c = u31_to_unit(static_cast<uint32_t>(in.i32()));
                CHECK(a >= 0 && a <= 1 && b >= 0 && b <= 1 && c >= 0 && c <= 1);
                break;
            }
            case 2: check_invert<Mat3f, float>(matrix<Mat3f>(in), 1e-6); break;
            case 3: check_invert<Mat4f, float>(matrix<Mat4f>(in), 1e-6); break;
            case 4: check_invert<Mat3d, double>(matrix<Mat3d>(in), 1e-15); break;
            case 5: check_invert<Mat4d, double>(matrix<Mat4d>(in), 1e-15); break;
            case 6: {
                Mat4f a = matrix<Mat4f>(in), b = matrix<Mat4f>(in), o;
                multiply(a, b, o);
                multiply(a, b, a);
                adjugate(b, o);
                scale(o, in.f());
                (void)nearly_equal(a, o);
                Vec3f p = v3f(in), r;
                transform_point(p, b, r);
                transform_point(p, b, p);
                Mat3d m = matrix<Mat3d>(in);
                Vec3d v = v3d(in);
                transform_vector(v, m, v);
                (void)det2(in.d(), in.d(), in.d(), in.d());
                break;
            }
            case 7: {
                const Quatf q = qf(in);
                Quatf n;
                quat_normalize(q, n);
                if (finite(q)) check_unit(n);
                break;
            }
            case 8: {
                const Quatd q = qd(in);
                Quatd n;
                quat_normalize(q, n);
                if (finite(q)) check_unit(n);
                break;
            }
            case 9: {
                Quatf a = qf(in), b = qf(in), o;
                quat_multiply(a, b, o);
                quat_multiply(a, b, a);
                quat_inverse(b, b);
                Mat3f m;
                quat_to_matrix3(o, m);
                matrix3_to_quat(m, o);
                break;
            }
            case 10: {
                Mat3f m = matrix<Mat3f>(in);
                Quatf q;
                matrix3_to_quat(m, q);
                break;
            }
            case 11: {
                float angle = 0;
                Vec3f axis{1, 2, 3};
                const Quatf q = qf(in);
                quat_to_axis_angle(q, angle, axis);
                if (finite(q)) CHECK(!std::isnan(angle));
                double ad = 0;
                Vec3d axd{};
                quat_to_axis_angle(qd(in), ad, axd);
                (void)quat_relative_axis_angle(qf(in), qf(in), axis);
                Quatf o;
                quat_from_axis_angle(in.f(), v3f(in), o);
                break;
            }
            case 12: {
                Euler4f e{in.f(), in.f(), in.f(), in.f()};
                const Euler4f before = e;
                Mat4f m;
                Quatf q;
                euler_to_matrix(e, m);
                euler_to_quat(e, q);
                CHECK(std::memcmp(&e, &before, sizeof e) == 0);
                Euler4f o;
                matrix_to_euler(m, in.i32(), o);
                quat_to_euler(q, in.i32(), o);
                break;
            }
            case 13: {
                Euler4f o;
                euler_make(in.f(), in.f(), in.f(), in.i32(), o);
                Mat4f m = matrix<Mat4f>(in);
                matrix_to_euler(m, in.i32(), o);
                Vec4f v{in.f(), in.f(), in.f(), in.f()}, r;
                transform_column(m, v, r);
                break;
            }
            case 14: {
                Vec3f p = v3f(in);
                rotate_point_about_axis(in.f(), v3f(in), p);
                Vec3d pd = v3d(in);
                rotate_point_about_axis(in.d(), v3d(in), pd);
                break;
            }
            case 15: {
                const Vec3d hpb = v3d(in);
                Vec3f p = v3f(in);
                rotate_point_by_hpb(hpb, p);
                unrotate_point_by_hpb(hpb, p);
                Quatf q;
                hpb_to_quat(hpb, q);
                float angle;
                Vec3f axis;
                hpb_to_axis_angle(hpb, angle, axis);
                break;
            }
            case 16: {
                Vec3d o;
                hpb_to_static_xyz(v3d(in), o);
                hpb_to_static_zxy(v3d(in), o);
                rotating_zxy_to_hpb(v3d(in), o);
                axis_angle_to_static_xyz(in.f(), v3f(in), o);
                break;
            }
            case 17: {
                double h, p;
                direction_to_heading_pitch(v3f(in), h, p);
                break;
            }
            case 18: {
                Vec3f v = v3f(in);
                set_length(v, in.f());
                normalize(v);
                Vec3d w = v3d(in);
                set_length(w, in.d());
                normalize(w);
                break;
            }
            case 19: {
                const Vec3f a = v3f(in), b = v3f(in);
                Vec3f o;
                lerp(a, b, in.f(), o);
                linear_combination(a, b, o, in.f(), in.f());
                plane_normal(a, b, v3f(in), o);
                (void)distance(a, b);
                const float ang = angle_between(a, b);
                if (std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z) && std::isfinite(b.x) &&
                    std::isfinite(b.y) && std::isfinite(b.z) && std::isfinite(ang))
                    CHECK(ang >= 0 && ang <= 3.1416f);
                (void)nearly_equal(a, b);
                break;
            }
            case 20: {
                const Vec3d a = v3d(in), b = v3d(in);
                Vec3d o;
                lerp(a, b, in.d(), o);
                linear_combination(a, b, o, in.d(), in.d());
                plane_normal(a, b, v3d(in), o);
                (void)distance(a, b);
                (void)angle_between(a, b);
                break;
            }
            case 21: {
                float h, p;
                direction_to_angles(v3f(in), h, p);
                double hd, pd;
                direction_to_angles(v3d(in), hd, pd);
                Vec3f o;
                angles_to_direction(in.f(), in.f(), o);
                Vec3d od;
                angles_to_direction(in.d(), in.d(), od);
                break;
            }
            case 22: {
                Mat4d a = matrix<Mat4d>(in), b;
                copy(b, a);
                set_identity(a);
                (void)nearly_equal(a, b);
                (void)determinant(b);
                Mat3f c = matrix<Mat3f>(in), d;
                adjugate(c, d);
                adjugate(c, c);
                break;
            }
            default: {
                Mat3f m;
                set_elements(m, in.f(), in.f(), in.f(), in.f(), in.f(), in.f(), in.f(), in.f(), in.f());
                (void)determinant(m);
                break;
            }
        }
    }
    return 0;
}
