// Every fast path of the geometry library gives the scalar code's bits, over a million inputs
// each: ordinary values, zeros of both signs, subnormals, huge values, infinities, NaNs and
// random bit patterns. (A NaN result may carry another NaN's payload: any NaN matches any NaN.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include <taverin/geometry/matrix.h>
#include <taverin/geometry/quaternion.h>
#include <taverin/geometry/rotation.h>
#include <taverin/geometry/vector.h>

#include "fast_trig.h"
#include "scalar.h"

using namespace geometry;

namespace {

constexpr int kInputs = 1000000;

// Whether this processor runs the AVX2 forms (where it does not, only the others are checked).
const bool kAvx2 = __builtin_cpu_supports("avx2");

struct Source {
    uint64_t state;
    explicit Source(uint64_t seed) : state(seed) {}
    uint64_t bits() {
        uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    template <typename T>
    T value() {
        const uint64_t pick = bits() % 16;
        if (pick < 3) {  // any bit pattern
            T v;
            const uint64_t r = bits();
            std::memcpy(&v, &r, sizeof v);
            return v;
        }
        if (pick < 6) {
            const T special[] = {T(0), -T(0), T(1), T(-1), std::numeric_limits<T>::denorm_min(),
                                 -std::numeric_limits<T>::min() / 3, std::numeric_limits<T>::max(),
                                 -std::numeric_limits<T>::max() / 7, std::numeric_limits<T>::infinity(),
                                 -std::numeric_limits<T>::infinity(), std::numeric_limits<T>::quiet_NaN(), T(1e-30), T(3e30)};
            return special[bits() % (sizeof special / sizeof special[0])];
        }
        return static_cast<T>((static_cast<double>(bits() >> 11) / 9007199254740992.0 - 0.5) * 10.0);
    }
    template <typename R>
    R record() {
        R r;
        fill(r);
        return r;
    }
    void fill(Mat4f& m) { for (auto& x : m.m) x = value<float>(); }
    void fill(Mat4d& m) { for (auto& x : m.m) x = value<double>(); }
    void fill(Mat3f& m) { for (auto& x : m.m) x = value<float>(); }
    void fill(Vec3f& v) { v = {value<float>(), value<float>(), value<float>()}; }
    void fill(Vec3d& v) { v = {value<double>(), value<double>(), value<double>()}; }
    void fill(Quatf& q) { q = {value<float>(), value<float>(), value<float>(), value<float>()}; }
    void fill(Euler4f& e) { e = {value<float>(), value<float>(), value<float>(), static_cast<float>(bits() % 32)}; }
};

template <typename T>
bool same_bits(T a, T b) {
    if (std::isnan(a) && std::isnan(b)) return true;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every float or double of two records matches.
template <typename R>
::testing::AssertionResult same(const R& a, const R& b) {
    constexpr bool doubles = std::is_same_v<R, Mat4d> || std::is_same_v<R, Vec3d>;
    using E = std::conditional_t<doubles, double, float>;
    E x[sizeof(R) / sizeof(E)], y[sizeof(R) / sizeof(E)];
    std::memcpy(x, &a, sizeof a);
    std::memcpy(y, &b, sizeof b);
    for (size_t i = 0; i < sizeof(R) / sizeof(E); ++i)
        if (!same_bits(x[i], y[i]))
            return ::testing::AssertionFailure() << "element " << i << ": " << x[i] << " (fast) and " << y[i] << " (scalar)";
    return ::testing::AssertionSuccess();
}

// Untouched outputs show: a fixed pattern before each call.
template <typename R>
R marked() {
    R r;
    std::memset(&r, 0x5a, sizeof r);
    return r;
}

// Runs f with the library's AVX2 forms turned off, as on a processor without AVX2.
template <typename F>
void in_sse2_forms(F f) {
    const bool avx2 = detail::use_avx2;
    detail::use_avx2 = false;
    f();
    detail::use_avx2 = avx2;
}

// Every form of the 4x4 product against the scalar code: the public call as this processor
// takes it, the public call with the SSE2 form and, where the processor runs it, the AVX2 form.
template <typename M>
::testing::AssertionResult products_agree(const M& a, const M& b) {
    M r, f, sse2;
    scalar::multiply(a, b, r);
    multiply(a, b, f);
    in_sse2_forms([&] { multiply(a, b, sse2); });
    M avx2 = r;
    if (kAvx2) detail::multiply4_avx2(a.m, b.m, avx2.m);
    for (const auto& [form, m] : {std::pair{"public", &f}, {"SSE2", &sse2}, {"AVX2", &avx2}})
        if (auto ok = same(*m, r); !ok) return ok << " (" << form << " form)";
    return ::testing::AssertionSuccess();
}

// The same for the inverse, every destination starting as `start`.
template <typename M>
::testing::AssertionResult inverses_agree(const M& a, const M& start) {
    M r = start, f = start, sse2 = start;
    scalar::invert(a, r);
    invert(a, f);
    in_sse2_forms([&] { invert(a, sse2); });
    M avx2 = r;
    if (kAvx2) avx2 = start, detail::invert4_avx2(a.m, avx2.m);
    for (const auto& [form, m] : {std::pair{"public", &f}, {"SSE2", &sse2}, {"AVX2", &avx2}})
        if (auto ok = same(*m, r); !ok) return ok << " (" << form << " form)";
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(FastPaths, MatrixProductPointTransformAndInverse) {
    Source s(1);
    for (int n = 0; n < kInputs; ++n) {
        const auto a = s.record<Mat4f>(), b = s.record<Mat4f>();
        ASSERT_TRUE(products_agree(a, b)) << "multiply, input " << n;
        const auto p = s.record<Vec3f>();
        Vec3f pf, pr;
        transform_point(p, a, pf);
        scalar::transform_point(p, a, pr);
        ASSERT_TRUE(same(pf, pr)) << "transform_point, input " << n;
        ASSERT_TRUE(inverses_agree(a, marked<Mat4f>())) << "invert, input " << n;
    }
}

TEST(FastPaths, MatrixProductPointTransformAndInverseInDouble) {
    Source s(2);
    for (int n = 0; n < kInputs; ++n) {
        const auto a = s.record<Mat4d>(), b = s.record<Mat4d>();
        ASSERT_TRUE(products_agree(a, b)) << "multiply, input " << n;
        const auto p = s.record<Vec3d>();
        Vec3d pf, pr;
        transform_point(p, a, pf);
        scalar::transform_point(p, a, pr);
        ASSERT_TRUE(same(pf, pr)) << "transform_point, input " << n;
        ASSERT_TRUE(inverses_agree(a, marked<Mat4d>())) << "invert, input " << n;
    }
}

TEST(FastPaths, InvertibleMatricesToo) {
    // Random bit patterns are rarely invertible: ordinary well-conditioned matrices as well.
    Source s(3);
    for (int n = 0; n < kInputs; ++n) {
        Mat4f a;
        for (float& x : a.m) x = static_cast<float>((static_cast<double>(s.bits() >> 11) / 9007199254740992.0 - 0.5) * 4);
        Mat4d b;
        for (int i = 0; i < 16; ++i) b.m[i] = a.m[i] * 1.000000123;
        ASSERT_TRUE(inverses_agree(a, marked<Mat4f>())) << "invert, input " << n;
        ASSERT_TRUE(inverses_agree(b, marked<Mat4d>())) << "invert double, input " << n;
    }
}

// Random inputs never land on the singularity thresholds: both paths at and around them, the
// destination starting as a copy of the source so that "left untouched" shows.
TEST(FastPaths, InverseAtTheSingularityThresholds) {
    for (const double d : {5e-16, 1e-15, 2e-15, 5e-7, 1e-6, 1.00001e-6, 2e-6}) {
        Mat4f a{};
        Mat4d b{};
        for (int i = 0; i < 4; ++i) a.m[5 * i] = 1.0f, b.m[5 * i] = 1.0;
        a.m[10] = static_cast<float>(d), b.m[10] = d;
        EXPECT_TRUE(inverses_agree(a, a)) << d;
        EXPECT_TRUE(inverses_agree(b, b)) << d;
        Mat4f rf = a;
        Mat4d rd = b;
        scalar::invert(a, rf);
        scalar::invert(b, rd);
        EXPECT_EQ(rf.m[10] != a.m[10], static_cast<double>(a.m[10]) >= 1e-6) << d;  // inverted from the threshold up
        EXPECT_EQ(rd.m[10] != d, d >= 1e-15) << d;
    }
}

TEST(FastPaths, QuaternionProductAndMatrices) {
    Source s(4);
    for (int n = 0; n < kInputs; ++n) {
        const auto a = s.record<Quatf>(), b = s.record<Quatf>();
        Quatf f, r;
        quat_multiply(a, b, f);
        scalar::quat_multiply(a, b, r);
        ASSERT_TRUE(same(f, r)) << "quat_multiply, input " << n;
        Mat3f mf, mr;
        quat_to_matrix3(a, mf);
        scalar::quat_to_matrix3(a, mr);
        ASSERT_TRUE(same(mf, mr)) << "quat_to_matrix3, input " << n;
        const auto m = (n % 2) ? s.record<Mat3f>() : mr;  // rotation matrices and any matrices
        matrix3_to_quat(m, f);
        scalar::matrix3_to_quat(m, r);
        ASSERT_TRUE(same(f, r)) << "matrix3_to_quat, input " << n;
    }
}

TEST(FastPaths, EulerAnglesToMatrixWithTheLibrarysOwnSineAndCosine) {
    Source s(5);
    for (int n = 0; n < kInputs; ++n) {
        const auto e = s.record<Euler4f>();
        Mat4f f, r;
        euler_to_matrix(e, f);
        scalar::euler_to_matrix(e, r);
        ASSERT_TRUE(same(f, r)) << "euler_to_matrix, input " << n << ": " << e.angle1 << " " << e.angle2 << " "
                                << e.angle3 << " order " << e.order;
    }
}

#if defined(__GLIBC__)
// glibc's double sine and cosine are correctly rounded, so the library's own float sine and
// cosine must give exactly what the double route through the C library gives, for angles of
// every size. (Other C libraries round some double results differently; the exhaustive check
// in geometry/tools compares with MPFR instead.)
TEST(FastTrig, MatchesTheCLibrarysDoubleRouteOnGlibc) {
    Source s(6);
    for (int n = 0; n < kInputs; ++n) {
        float x;
        if (n % 2) {
            x = s.value<float>();
        } else {
            const uint32_t b = static_cast<uint32_t>(s.bits());
            std::memcpy(&x, &b, sizeof x);
        }
        const float want_s = static_cast<float>(std::sin(static_cast<double>(x)));
        const float want_c = static_cast<float>(std::cos(static_cast<double>(x)));
        ASSERT_TRUE(same_bits(trig::sin(x), want_s)) << "sin " << std::hexfloat << x;
        ASSERT_TRUE(same_bits(trig::cos(x), want_c)) << "cos " << std::hexfloat << x;
    }
}
#endif
