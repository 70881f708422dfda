// A digest of the geometry library's outputs: every operation over the same fixed inputs
// (ordinary values, zeros of both signs, subnormals, huge values, infinities, NaNs and random
// bit patterns), each output value's bits hashed (every NaN as one NaN). Two builds that print the same digest gave the
// same bits for every input. Used to check that a consumer's compiler flags change nothing and
// that Linux and Windows agree.
//
// usage: geometry_digest [--calls N] [--small]   one line per operation: name, hash, number of calls
//        geometry_digest --values OP             every output of OP, as hexadecimal floats, one per line
//        geometry_digest --inlined               1 if this build inlines the small operations, else 0
// --small keeps the operations the headers can inline (and their neighbours in the same line).
// Operations that call the platform's maths library appear twice: over bounded inputs (within
// 1e4) and over any input. The digest itself uses no floating-point arithmetic that a
// compiler's flags could change, so a build with -ffast-math can be compared too.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include <taverin/geometry/matrix.h>
#include <taverin/geometry/quantize.h>
#include <taverin/geometry/quaternion.h>
#include <taverin/geometry/rotation.h>
#include <taverin/geometry/vector.h>

using namespace geometry;

namespace {

constexpr int kDefaultCalls = 20000;

// The same numbers on every platform: splitmix64 over a fixed seed.
struct Source {
    uint64_t state = 0x5eed5eed5eedULL;
    // Values within 1e4 (and zeros, infinities and NaNs) only: the platforms' maths libraries
    // agree to their last bits or so there, and disagree arbitrarily for huge arguments.
    bool bounded = false;
    uint64_t bits() {
        uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // A value spread evenly over (-width / 2, width / 2), made by one multiplication of an exact
    // integer by an exact constant, which no compiler flag can change.
    static double spread(uint64_t bits, double width) {
        return static_cast<double>(static_cast<int64_t>(bits >> 11) - (int64_t{1} << 52)) * (width * 0x1p-53);
    }
    double d() {
        const uint64_t b = bits();
        if (bounded) {
            static const double special[] = {0.0, -0.0, std::numeric_limits<double>::infinity(), std::nan("")};
            if (b % 10 == 0) return special[bits() % 4];
            return spread(bits(), b % 10 == 1 ? 2e4 : 8.0);
        }
        switch (b % 10) {
            case 0: {  // any bit pattern
                double v;
                const uint64_t r = bits();
                std::memcpy(&v, &r, sizeof v);
                return v;
            }
            case 1: {
                static const double special[] = {0.0, -0.0, 1.0, -1.0, 5e-324, -2.2e-308, 1e300, -1e300,
                                                 std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                                 std::nan(""), 3.4e38, 1e-40, 0.5};
                return special[bits() % (sizeof special / sizeof special[0])];
            }
            default: return spread(bits(), 8.0);
        }
    }
    float f() {
        if (!bounded && bits() % 10 == 0) {  // any bit pattern
            float v;
            const uint32_t r = static_cast<uint32_t>(bits());
            std::memcpy(&v, &r, sizeof v);
            return v;
        }
        return static_cast<float>(d());
    }
    int order() { return static_cast<int>(bits() % 40); }
};

// FNV-1a over every output value's bits. Every NaN counts as the same NaN: which of two NaN
// operands an operation passes on is the compiler's and the processor's choice (a + b and b + a
// differ there), so a NaN's sign and payload are not part of what the library promises.
struct Digest {
    uint64_t hash = 0xcbf29ce484222325ULL;
    void add(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        if ((bits & 0x7fffffffffffffffULL) > 0x7ff0000000000000ULL) bits = 0x7ff8000000000000ULL;  // NaN
        for (int i = 0; i < 8; ++i) hash = (hash ^ ((bits >> (8 * i)) & 0xff)) * 0x100000001b3ULL;
    }
};

// Calls f with every float or double of an output record, widened to double.
template <typename T, typename F>
void each_value(const T& v, F&& f) {
    if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double> || std::is_integral_v<T>) {
        f(static_cast<double>(v));
    } else if constexpr (sizeof(T) % sizeof(double) == 0 && (std::is_same_v<T, Vec3d> || std::is_same_v<T, Quatd> ||
                                                              std::is_same_v<T, Mat3d> || std::is_same_v<T, Mat4d>)) {
        double p[sizeof v / sizeof(double)];
        std::memcpy(p, &v, sizeof v);
        for (double x : p) f(x);
    } else {
        float p[sizeof v / sizeof(float)];
        std::memcpy(p, &v, sizeof v);
        for (float x : p) f(static_cast<double>(x));
    }
}

struct Op {
    const char* name;
    std::function<void(Source&, Digest&, std::vector<double>*)> run;
    bool small = false;  // among the operations the headers can inline
};

// Operations that call the platform's arc tangent, arc sine, arc cosine or double sine and
// cosine: their digest is taken twice, over bounded inputs and over any input.
bool uses_libm(const std::string& name) {
    for (const char* n : {"matrix_to_euler", "quat_to_euler", "quat_to_axis_angle", "rotate_point_about_axis",
                          "hpb operations", "degree conversions", "direction_to_heading_pitch", "vector angles"})
        if (name == n) return true;
    return false;
}

template <typename... Out>
void record(Digest& d, std::vector<double>* values, const Out&... out) {
    const auto take = [&](double x) {
        d.add(x);
        if (values) values->push_back(x);
    };
    (each_value(out, take), ...);
}

template <typename M>
M matrix(Source& s) {
    M m;
    for (auto& x : m.m) x = sizeof(x) == 4 ? static_cast<decltype(x + 0)>(s.f()) : static_cast<decltype(x + 0)>(s.d());
    return m;
}
Vec3f v3f(Source& s) { return {s.f(), s.f(), s.f()}; }
Vec3d v3d(Source& s) { return {s.d(), s.d(), s.d()}; }
Quatf qf(Source& s) { return {s.f(), s.f(), s.f(), s.f()}; }
Quatd qd(Source& s) { return {s.d(), s.d(), s.d(), s.d()}; }
Euler4f euler(Source& s) { return {s.f(), s.f(), s.f(), static_cast<float>(s.order())}; }

// An output record whose untouched parts show: a fixed pattern before each call.
template <typename T>
T marked() {
    T t;
    std::memset(&t, 0x5a, sizeof t);
    return t;
}

// Runs f with the 4x4 products and inverse in their SSE2 forms, where the library would choose
// its AVX2 forms: both forms are digested on a processor with AVX2.
template <typename F>
void in_sse2_form(F f) {
#if defined(__GNUC__) && defined(__SSE2__)
    const bool avx2 = detail::use_avx2;
    detail::use_avx2 = false;
    f();
    detail::use_avx2 = avx2;
#else
    f();
#endif
}

#define OP(name, ...) {name, [](Source& s, Digest& d, std::vector<double>* v) { (void)s; (void)d; (void)v; __VA_ARGS__ }}
#define SMALL(name, ...) {name, [](Source& s, Digest& d, std::vector<double>* v) { (void)s; (void)d; (void)v; __VA_ARGS__ }, true}

const std::vector<Op>& operations() {
    static const std::vector<Op> ops = {
        SMALL("multiply 4x4 float", { auto a = matrix<Mat4f>(s), b = matrix<Mat4f>(s); Mat4f o; multiply(a, b, o); record(d, v, o); }),
        SMALL("multiply 4x4 double", { auto a = matrix<Mat4d>(s), b = matrix<Mat4d>(s); Mat4d o; multiply(a, b, o); record(d, v, o); }),
        SMALL("multiply 4x4 float, SSE2 form", { auto a = matrix<Mat4f>(s), b = matrix<Mat4f>(s); Mat4f o; in_sse2_form([&] { multiply(a, b, o); }); record(d, v, o); }),
        SMALL("multiply 4x4 double, SSE2 form", { auto a = matrix<Mat4d>(s), b = matrix<Mat4d>(s); Mat4d o; in_sse2_form([&] { multiply(a, b, o); }); record(d, v, o); }),
        SMALL("multiply 3x3 float", { auto a = matrix<Mat3f>(s), b = matrix<Mat3f>(s); Mat3f o; multiply(a, b, o); record(d, v, o); }),
        SMALL("multiply 3x3 double", { auto a = matrix<Mat3d>(s), b = matrix<Mat3d>(s); Mat3d o; multiply(a, b, o); record(d, v, o); }),
        SMALL("invert 4x4 float", { auto a = matrix<Mat4f>(s); auto o = marked<Mat4f>(); invert(a, o); record(d, v, o); }),
        SMALL("invert 4x4 double", { auto a = matrix<Mat4d>(s); auto o = marked<Mat4d>(); invert(a, o); record(d, v, o); }),
        SMALL("invert 4x4 float, SSE2 form", { auto a = matrix<Mat4f>(s); auto o = marked<Mat4f>(); in_sse2_form([&] { invert(a, o); }); record(d, v, o); }),
        SMALL("invert 4x4 double, SSE2 form", { auto a = matrix<Mat4d>(s); auto o = marked<Mat4d>(); in_sse2_form([&] { invert(a, o); }); record(d, v, o); }),
        OP("invert 3x3 float", { auto a = matrix<Mat3f>(s); auto o = marked<Mat3f>(); invert(a, o); record(d, v, o); }),
        OP("invert 3x3 double", { auto a = matrix<Mat3d>(s); auto o = marked<Mat3d>(); invert(a, o); record(d, v, o); }),
        OP("adjugate 4x4 float", { auto a = matrix<Mat4f>(s); Mat4f o; adjugate(a, o); record(d, v, o); }),
        OP("adjugate 4x4 double", { auto a = matrix<Mat4d>(s); Mat4d o; adjugate(a, o); record(d, v, o); }),
        SMALL("determinant float", { auto a = matrix<Mat3f>(s); auto b = matrix<Mat4f>(s); record(d, v, determinant(a), determinant(b)); }),
        SMALL("determinant double", { auto a = matrix<Mat3d>(s); auto b = matrix<Mat4d>(s); record(d, v, determinant(a), determinant(b)); }),
        SMALL("transform_point float", { auto p = v3f(s); auto m = matrix<Mat4f>(s); Vec3f o; transform_point(p, m, o); record(d, v, o); }),
        SMALL("transform_point double", { auto p = v3d(s); auto m = matrix<Mat4d>(s); Vec3d o; transform_point(p, m, o); record(d, v, o); }),
        SMALL("transform_vector", { auto p = v3f(s); auto m = matrix<Mat3f>(s); Vec3f o; transform_vector(p, m, o);
                                  auto pd = v3d(s); auto md = matrix<Mat3d>(s); Vec3d od; transform_vector(pd, md, od); record(d, v, o, od); }),
        OP("nearly_equal and scale", { auto a = matrix<Mat4f>(s), b = matrix<Mat4f>(s); auto c = matrix<Mat3d>(s);
                                        double k = s.d(); scale(c, k); record(d, v, nearly_equal(a, b), nearly_equal(a, a), c); }),
        SMALL("quat_multiply", { auto a = qf(s), b = qf(s); Quatf o; quat_multiply(a, b, o); record(d, v, o); }),
        SMALL("quat_normalize float", { auto a = qf(s); Quatf o; quat_normalize(a, o); record(d, v, o); }),
        SMALL("quat_normalize double", { auto a = qd(s); Quatd o; quat_normalize(a, o); record(d, v, o); }),
        SMALL("quat_inverse", { auto a = qf(s); Quatf o; quat_inverse(a, o); record(d, v, o); }),
        SMALL("quat_to_matrix3", { auto a = qf(s); Mat3f o; quat_to_matrix3(a, o); record(d, v, o); }),
        SMALL("matrix3_to_quat", { auto a = matrix<Mat3f>(s); Quatf o; matrix3_to_quat(a, o); record(d, v, o); }),
        OP("quat_from_axis_angle", { auto u = v3f(s); float a = s.f(); Quatf o; quat_from_axis_angle(a, u, o); record(d, v, o); }),
        OP("quat_to_axis_angle", { auto a = qf(s); float an = 0; Vec3f ax = marked<Vec3f>(); quat_to_axis_angle(a, an, ax);
                                    auto b = qd(s); double bn = 0; Vec3d bx = marked<Vec3d>(); quat_to_axis_angle(b, bn, bx);
                                    auto c = qf(s); Vec3f rx = marked<Vec3f>(); float r = quat_relative_axis_angle(a, c, rx);
                                    record(d, v, an, ax, bn, bx, r, rx); }),
        OP("euler_to_matrix", { auto e = euler(s); Mat4f o; euler_to_matrix(e, o); record(d, v, o); }),
        OP("euler_to_quat", { auto e = euler(s); Quatf o; euler_to_quat(e, o); record(d, v, o); }),
        OP("matrix_to_euler", { auto m = matrix<Mat4f>(s); int order = s.order(); Euler4f o; matrix_to_euler(m, order, o); record(d, v, o); }),
        OP("quat_to_euler", { auto q = qf(s); int order = s.order(); Euler4f o; quat_to_euler(q, order, o); record(d, v, o); }),
        OP("transform_column", { auto m = matrix<Mat4f>(s); Vec4f in{s.f(), s.f(), s.f(), s.f()}, o; transform_column(m, in, o); record(d, v, o); }),
        OP("rotate_point_about_axis", { auto p = v3f(s); float a = s.f(); auto u = v3f(s); rotate_point_about_axis(a, u, p);
                                         auto pd = v3d(s); double ad = s.d(); auto ud = v3d(s); rotate_point_about_axis(ad, ud, pd);
                                         record(d, v, p, pd); }),
        OP("hpb operations", { auto h = v3d(s); auto p = v3f(s), u = p; rotate_point_by_hpb(h, p); unrotate_point_by_hpb(h, u);
                                Quatf q; hpb_to_quat(h, q); float an; Vec3f ax; hpb_to_axis_angle(h, an, ax);
                                record(d, v, p, u, q, an, ax); }),
        OP("degree conversions", { auto h = v3d(s); float an = s.f(); auto ax = v3f(s); Vec3d a, b, c, e; hpb_to_static_xyz(h, a);
                                    hpb_to_static_zxy(h, b); rotating_zxy_to_hpb(h, c); axis_angle_to_static_xyz(an, ax, e);
                                    record(d, v, a, b, c, e); }),
        OP("direction_to_heading_pitch", { auto dir = v3f(s); double h, p; direction_to_heading_pitch(dir, h, p); record(d, v, h, p); }),
        SMALL("vector lengths", { auto a = v3f(s); float l = s.f(); set_length(a, l); auto b = v3d(s); normalize(b); auto c = v3f(s);
                               normalize(c); auto p = v3f(s), q = v3f(s); auto pd = v3d(s), qd2 = v3d(s);
                               record(d, v, a, b, c, distance(p, q), distance(pd, qd2)); }),
        SMALL("vector combinations", { auto a0 = v3f(s), a1 = v3f(s); float t = s.f(); Vec3f a; lerp(a0, a1, t, a);
                                     auto b0 = v3d(s), b1 = v3d(s); double bs = s.d(), bu = s.d(); Vec3d b; linear_combination(b0, b1, b, bs, bu);
                                     auto c0 = v3f(s), c1 = v3f(s), c2 = v3f(s); Vec3f c; plane_normal(c0, c1, c2, c);
                                     auto e0 = v3d(s), e1 = v3d(s), e2 = v3d(s); Vec3d e; plane_normal(e0, e1, e2, e);
                                     auto n0 = v3f(s), n1 = v3f(s); auto m0 = v3d(s), m1 = v3d(s);
                                     record(d, v, a, b, c, e, nearly_equal(n0, n1), nearly_equal(m0, m1)); }),
        SMALL("dot and cross", { auto a = v3f(s), b = v3f(s); Vec3f c; cross(a, b, c); auto e = v3d(s), f = v3d(s); Vec3d g;
                                 cross(e, f, g); Vec3f h = a; cross(h, b, h); record(d, v, dot(a, b), dot(e, f), c, g, h); }),
        OP("vector angles", { auto vf = v3f(s); float hf, pf; direction_to_angles(vf, hf, pf);
                              auto vd = v3d(s); double hd, pd; direction_to_angles(vd, hd, pd);
                              float h1 = s.f(), p1 = s.f(); Vec3f df; angles_to_direction(h1, p1, df);
                              double h2 = s.d(), p2 = s.d(); Vec3d dd; angles_to_direction(h2, p2, dd);
                              auto a0 = v3f(s), a1 = v3f(s); auto b0 = v3d(s), b1 = v3d(s);
                              record(d, v, hf, pf, hd, pd, df, dd, angle_between(a0, a1), angle_between(b0, b1)); }),
        OP("quantisers", { const float x = s.f(); const auto c = static_cast<uint32_t>(s.bits());
                           record(d, v, unit_to_u8(x), unit_to_u16(x), unit_to_u31(x), u8_to_unit(static_cast<uint8_t>(c)),
                                  u16_to_unit(static_cast<uint16_t>(c)), u31_to_unit(c)); }),
    };
    return ops;
}

}  // namespace

int main(int argc, char** argv) {
    const bool values = argc == 3 && std::strcmp(argv[1], "--values") == 0;
    int calls = kDefaultCalls;
    bool small = false;
    for (int i = 1; i < argc && !values; ++i) {
        if (std::strcmp(argv[i], "--inlined") == 0) {
            std::printf("%d\n", TAVERIN_GEOMETRY_INLINE);
            return 0;
        } else if (std::strcmp(argv[i], "--small") == 0) {
            small = true;
        } else if (std::strcmp(argv[i], "--calls") == 0 && i + 1 < argc) {
            calls = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: geometry_digest [--calls N] [--small] | --values OP | --inlined\n");
            return 2;
        }
    }
    for (const Op& op : operations()) {
        if (small && !op.small) continue;
        for (const bool bounded : {false, true}) {
            if (bounded && !uses_libm(op.name)) continue;
            const std::string name = std::string(op.name) + (uses_libm(op.name) ? (bounded ? " (bounded)" : " (any input)") : "");
            if (values && name != argv[2]) continue;
            Source s;
            s.bounded = bounded;
            Digest d;
            std::vector<double> list;
            for (int i = 0; i < calls; ++i) op.run(s, d, values ? &list : nullptr);
            if (values) {
                for (double x : list) std::printf("%a\n", x);
                return 0;
            }
            std::printf("%-40s %016llx %d\n", name.c_str(), static_cast<unsigned long long>(d.hash), calls);
        }
    }
    if (values) {
        std::fprintf(stderr, "no operation named \"%s\"\n", argv[2]);
        return 2;
    }
    return 0;
}
