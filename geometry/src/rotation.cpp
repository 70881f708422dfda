#include "taverin/geometry/rotation.h"

#include <cmath>
#include <cstdint>

#include "common.h"
#include "fast_trig.h"
#include "scalar.h"

namespace geometry {

namespace {

constexpr float kGimbal = 1.9073486328125e-06f;  // 2^-19
constexpr int kFirstAxis[4] = {0, 1, 2, 0};
constexpr int kNextAxis[4] = {1, 2, 0, 1};

struct Order {
    int i, j, k;
    bool rotating, repeat, odd;
};

constexpr Order decode_bits(uint32_t o) {
    const int parity = (o & 4u) != 0 ? 1 : 0;
    const int i = kFirstAxis[(o >> 3) & 3u];
    return Order{i, kNextAxis[i + parity], kNextAxis[i + 1 - parity], (o & 1u) != 0, (o & 2u) != 0, parity == 1};
}

// Every code's decoding, made once: only the five low bits count.
struct OrderTable {
    Order by_code[32];
};
constexpr OrderTable make_order_table() {
    OrderTable t{};
    for (uint32_t o = 0; o < 32; ++o) t.by_code[o] = decode_bits(o);
    return t;
}
constexpr OrderTable kOrders = make_order_table();

Order decode(uint32_t o) { return kOrders.by_code[o & 31u]; }

// The order stored in a record: truncated toward zero and taken as unsigned. Values with no
// integer meaning (NaN, infinities, beyond 64 bits) decode as order 0.
uint32_t stored_order(float order) {
    if (order >= 0.0f && order < 32.0f) return static_cast<uint32_t>(order);  // the usual codes
    const double d = static_cast<double>(order);
    if (!(d > -9.2e18 && d < 9.2e18)) return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(d)));
}

// The caller's record copied into `e`, with the first and third angles exchanged for a
// rotating order; returns the decoded order.
Order working_copy(const Euler4f& in, Euler4f& e) {
    e = in;
    const Order o = decode(stored_order(e.order));
    if (o.rotating) {
        const float t = e.angle1;
        e.angle1 = e.angle3;
        e.angle3 = t;
    }
    return o;
}

// The working copy for building a matrix: for an odd order all three angles change sign.
Order matrix_working_copy(const Euler4f& in, Euler4f& e) {
    const Order o = working_copy(in, e);
    if (o.odd) {
        e.angle1 = -e.angle1;
        e.angle2 = -e.angle2;
        e.angle3 = -e.angle3;
    }
    return o;
}

float& at(Mat4f& m, int r, int c) { return m.m[4 * r + c]; }
float at(const Mat4f& m, int r, int c) { return m.m[4 * r + c]; }

void set_affine_border(Mat4f& m) {
    at(m, 0, 3) = at(m, 1, 3) = at(m, 2, 3) = 0.0f;
    at(m, 3, 0) = at(m, 3, 1) = at(m, 3, 2) = 0.0f;
    at(m, 3, 3) = 1.0f;
}

// The rotation block of euler_to_matrix from the sines and cosines of the three angles.
void fill_rotation(const Order& o, float si, float ci, float sj, float cj, float sh, float ch, Mat4f& m) {
    const float cc = ci * ch, cs = ci * sh, sc = si * ch, ss = si * sh;
    const int i = o.i, j = o.j, k = o.k;
    if (o.repeat) {
        at(m, i, i) = cj;
        at(m, i, j) = sj * si;
        at(m, i, k) = sj * ci;
        at(m, j, i) = sj * sh;
        at(m, j, j) = (-cj) * ss + cc;
        at(m, j, k) = (-cj) * cs - sc;
        at(m, k, i) = (-sj) * ch;
        at(m, k, j) = cj * sc + cs;
        at(m, k, k) = cj * cc - ss;
    } else {
        at(m, i, i) = cj * ch;
        at(m, i, j) = sj * sc - cs;
        at(m, i, k) = sj * cc + ss;
        at(m, j, i) = cj * sh;
        at(m, j, j) = sj * ss + cc;
        at(m, j, k) = sj * cs - sc;
        at(m, k, i) = -sj;
        at(m, k, j) = cj * si;
        at(m, k, k) = cj * ci;
    }
    set_affine_border(m);
}

void negated_degrees(const Euler4f& e, Vec3d& out) {
    out.x = static_cast<double>(-e.angle1) * kRadToDeg;
    out.y = static_cast<double>(-e.angle2) * kRadToDeg;
    out.z = static_cast<double>(-e.angle3) * kRadToDeg;
}

void hpb_radians(const Vec3d& hpb, Euler4f& e) {
    euler_make(static_cast<float>(hpb.x), static_cast<float>(hpb.y), static_cast<float>(hpb.z),
               kHeadingPitchBank, e);
}

void degrees_record(const Vec3d& a, int order, Euler4f& e) {
    euler_make(static_cast<float>(a.x * kDegToRad), static_cast<float>(a.y * kDegToRad),
               static_cast<float>(a.z * kDegToRad), order, e);
}

// The quaternion of steps 1 and 2 of the single-precision point rotation about an axis.
void axis_degrees_quat(float angle_degrees, const Vec3f& u, Quatf& q) {
    const double h = static_cast<double>(angle_degrees) * kDegToRad / 2.0;
    const float s = static_cast<float>(std::sin(h));
    q = Quatf{u.x * s, u.y * s, u.z * s, static_cast<float>(std::cos(h))};
}

void turn_point(const Euler4f& e, Vec3f& p) {
    Mat4f m;
    euler_to_matrix(e, m);
    Vec4f r;
    transform_column(m, Vec4f{p.x, p.y, p.z, 0.0f}, r);
    p = Vec3f{r.x, r.y, r.z};
}

void matrix_to_degrees(const Euler4f& e, int target, Vec3d& out) {
    Mat4f m;
    euler_to_matrix(e, m);
    Euler4f e2;
    matrix_to_euler(m, target, e2);
    negated_degrees(e2, out);
}

}  // namespace

void euler_make(float angle1, float angle2, float angle3, int order, Euler4f& out) {
    out = Euler4f{angle1, angle2, angle3, static_cast<float>(order)};
}

void euler_to_quat(const Euler4f& in, Quatf& out) {
    Euler4f e;
    const Order o = working_copy(in, e);
    if (o.odd) e.angle2 = -e.angle2;
    const float ti = e.angle1 * 0.5f, tj = e.angle2 * 0.5f, th = e.angle3 * 0.5f;
    const float ci = d_cos(ti), cj = d_cos(tj), ch = d_cos(th);
    const float si = d_sin(ti), sj = d_sin(tj), sh = d_sin(th);
    const float cc = ci * ch, cs = ci * sh, sc = si * ch, ss = si * sh;
    float a[3];
    float w;
    if (o.repeat) {
        a[o.i] = cj * (cs + sc);
        a[o.j] = sj * (cc + ss);
        a[o.k] = sj * (cs - sc);
        w = cj * (cc - ss);
    } else {
        a[o.i] = cj * sc - sj * cs;
        a[o.j] = cj * ss + sj * cc;
        a[o.k] = cj * cs - sj * sc;
        w = cj * cc + sj * ss;
    }
    if (o.odd) a[o.j] = -a[o.j];
    out = Quatf{a[0], a[1], a[2], w};
}

void scalar::euler_to_matrix(const Euler4f& in, Mat4f& m) {
    Euler4f e;
    const Order o = matrix_working_copy(in, e);
    const float ti = e.angle1, tj = e.angle2, th = e.angle3;
    fill_rotation(o, d_sin(ti), d_cos(ti), d_sin(tj), d_cos(tj), d_sin(th), d_cos(th), m);
}

// The same steps, with the three sines and cosines computed two to a register (fast_trig.h):
// each is the correctly rounded double value rounded to float (checked against MPFR for all
// 2^32 floats), the same on every platform.
void euler_to_matrix(const Euler4f& in, Mat4f& m) {
    Euler4f e;
    const Order o = matrix_working_copy(in, e);
    const float angles[3] = {e.angle1, e.angle2, e.angle3};
    float s[3], c[3];
    trig::sincos3(angles, s, c);
    fill_rotation(o, s[0], c[0], s[1], c[1], s[2], c[2], m);
}

void matrix_to_euler(const Mat4f& m, int order, Euler4f& out) {
    const Order o = decode(static_cast<uint32_t>(order));
    const int i = o.i, j = o.j, k = o.k;
    float a1, a2, a3;
    if (o.repeat) {
        const float sy = d_sqrt(at(m, i, j) * at(m, i, j) + at(m, i, k) * at(m, i, k));
        if (sy > kGimbal) {
            a1 = d_atan2(at(m, i, j), at(m, i, k));
            a2 = d_atan2(sy, at(m, i, i));
            a3 = d_atan2(at(m, j, i), -at(m, k, i));
        } else {
            a1 = d_atan2(-at(m, j, k), at(m, j, j));
            a2 = d_atan2(sy, at(m, i, i));
            a3 = 0.0f;
        }
    } else {
        const float cy = d_sqrt(at(m, i, i) * at(m, i, i) + at(m, j, i) * at(m, j, i));
        if (cy > kGimbal) {
            a1 = d_atan2(at(m, k, j), at(m, k, k));
            a2 = d_atan2(-at(m, k, i), cy);
            a3 = d_atan2(at(m, j, i), at(m, i, i));
        } else {
            a1 = d_atan2(-at(m, j, k), at(m, j, j));
            a2 = d_atan2(-at(m, k, i), cy);
            a3 = 0.0f;
        }
    }
    if (o.odd) {
        a1 = -a1;
        a2 = -a2;
        a3 = -a3;
    }
    if (o.rotating) {
        const float t = a1;
        a1 = a3;
        a3 = t;
    }
    out = Euler4f{a1, a2, a3, static_cast<float>(order)};
}

void quat_to_euler(const Quatf& q, int order, Euler4f& out) {
    const float n = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    const float s = n > 0.0f ? static_cast<float>(2.0 / static_cast<double>(n)) : 0.0f;
    const float xs = q.x * s, ys = q.y * s, zs = q.z * s;
    const float wx = q.w * xs, wy = q.w * ys, wz = q.w * zs;
    const float xx = q.x * xs, xy = q.x * ys, xz = q.x * zs;
    const float yy = q.y * ys, yz = q.y * zs, zz = q.z * zs;
    auto one_minus = [](float v) { return static_cast<float>(1.0 - static_cast<double>(v)); };
    Mat4f m;
    at(m, 0, 0) = one_minus(yy + zz);
    at(m, 0, 1) = xy - wz;
    at(m, 0, 2) = xz + wy;
    at(m, 1, 0) = xy + wz;
    at(m, 1, 1) = one_minus(xx + zz);
    at(m, 1, 2) = yz - wx;
    at(m, 2, 0) = xz - wy;
    at(m, 2, 1) = yz + wx;
    at(m, 2, 2) = one_minus(xx + yy);
    set_affine_border(m);
    matrix_to_euler(m, order, out);
}

void transform_column(const Mat4f& m, const Vec4f& v, Vec4f& out) {
    const Vec4f in = v;
    float r[4];
    for (int row = 0; row < 4; ++row)
        r[row] = at(m, row, 0) * in.x + at(m, row, 1) * in.y + at(m, row, 2) * in.z + at(m, row, 3) * in.w;
    out = Vec4f{r[0], r[1], r[2], r[3]};
}

void rotate_point_about_axis(float angle_degrees, const Vec3f& axis, Vec3f& point) {
    Quatf q;
    axis_degrees_quat(angle_degrees, axis, q);
    Euler4f e;
    quat_to_euler(q, kStaticXYZ, e);
    turn_point(e, point);
}

void rotate_point_about_axis(double angle_degrees, const Vec3d& u, Vec3d& point) {
    const float h = static_cast<float>(angle_degrees * kDegToRad) / 2.0f;
    const float s = d_sin(h);
    const Quatf q{static_cast<float>(u.x * s), static_cast<float>(u.y * s),
                  static_cast<float>(u.z * s), d_cos(h)};
    Euler4f e;
    quat_to_euler(q, kStaticXYZ, e);
    Vec3f p{static_cast<float>(point.x), static_cast<float>(point.y), static_cast<float>(point.z)};
    turn_point(e, p);
    point = Vec3d{p.x, p.y, p.z};
}

void rotate_point_by_hpb(const Vec3d& hpb, Vec3f& point) {
    Euler4f e;
    hpb_radians(hpb, e);
    turn_point(e, point);
}

void unrotate_point_by_hpb(const Vec3d& hpb, Vec3f& point) {
    Euler4f e;
    hpb_radians(hpb, e);
    Quatf q;
    euler_to_quat(e, q);
    q.x = -q.x;
    q.y = -q.y;
    q.z = -q.z;
    Euler4f e2;
    quat_to_euler(q, kStaticXYZ, e2);
    turn_point(e2, point);
}

void hpb_to_quat(const Vec3d& hpb, Quatf& out) {
    Euler4f e;
    hpb_radians(hpb, e);
    euler_to_quat(e, out);
}

void hpb_to_axis_angle(const Vec3d& hpb, float& angle, Vec3f& axis) {
    Quatf q;
    hpb_to_quat(hpb, q);
    const float t = clamped_acos(q.w);
    const float s = d_sin(t);
    angle = static_cast<float>(2.0 * static_cast<double>(t));
    if (s != 0.0f)
        axis = Vec3f{q.x / s, q.y / s, q.z / s};
    else
        axis = Vec3f{0.0f, 0.0f, 0.0f};
}

void hpb_to_static_xyz(const Vec3d& hpb_degrees, Vec3d& out) {
    Euler4f e;
    degrees_record(hpb_degrees, kHeadingPitchBank, e);
    matrix_to_degrees(e, kStaticXYZ, out);
}

void hpb_to_static_zxy(const Vec3d& hpb_degrees, Vec3d& out) {
    Euler4f e;
    degrees_record(hpb_degrees, kHeadingPitchBank, e);
    matrix_to_degrees(e, kStaticZXY, out);
}

void rotating_zxy_to_hpb(const Vec3d& zxy_degrees, Vec3d& out) {
    Euler4f e;
    degrees_record(zxy_degrees, kRotatingZXY, e);
    matrix_to_degrees(e, kHeadingPitchBank, out);
}

void axis_angle_to_static_xyz(float angle_degrees, const Vec3f& axis, Vec3d& out) {
    Quatf q;
    axis_degrees_quat(angle_degrees, axis, q);
    Euler4f e2;
    quat_to_euler(q, kStaticXYZ, e2);
    negated_degrees(e2, out);
}

void direction_to_heading_pitch(const Vec3f& d, double& heading, double& pitch) {
    if (std::isnan(d.x) || std::isnan(d.y) || std::isnan(d.z)) {  // no direction: NaN out
        heading = pitch = std::nan("");
        return;
    }
    if (d.x == 0.0f && d.z == 0.0f) {
        heading = 0.0;
        pitch = d.y == 0.0f ? 0.0 : (d.y < 0.0f ? kHalfPi : -kHalfPi);
        return;
    }
    if (d.z == 0.0f)
        heading = d.x < 0.0f ? -kHalfPi : kHalfPi;
    else if (d.z < 0.0f)
        heading = std::atan(static_cast<double>(d.x / d.z)) - kPi;
    else
        heading = std::atan(static_cast<double>(d.x / d.z));
    const float r = d_sqrt(d.x * d.x + d.z * d.z);
    if (r == 0.0f)
        pitch = d.y < 0.0f ? kHalfPi : -kHalfPi;
    else
        pitch = -std::atan(static_cast<double>(d.y / r));
}

}  // namespace geometry
