// One-off variants of the operations that stay slower than glm or Eigen, each removing one
// suspected cost, timed beside the library and its peers on the same inputs (1,024 records
// walked in turn). "lib" is the library as a caller gets it. `--check-bits` counts, for every
// variant, the elements that differ from the library's over special and random inputs, and
// fails if one meant to give its bits does not (plus0, signfix, volatile, asmmul, asmadd,
// rowload and the trig copy); the others exist only to be timed. run.sh builds, checks and runs
// it; docs/performance.md has the figures. By hand only, never in CI.
#include <benchmark/benchmark.h>

#include <Eigen/Dense>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <glm/glm.hpp>
#include <glm/gtx/euler_angles.hpp>
#include <limits>
#include <random>
#include <vector>

#include <taverin/geometry/matrix.h>
#include <taverin/geometry/rotation.h>

namespace geometry::trig {
void sincos3(const float x[3], float sine[3], float cosine[3]);
}

// Copies of the library's three-angle sine and cosine (extract.py): as it is, with two terms
// fewer in each polynomial, without the rounding check, and both.
#define TRIG_SHORT 0
#define TRIG_NOCHECK 0
#define TRIGNS trig_same
#include "trig_copy.inc"
#undef TRIGNS
#undef TRIG_SHORT
#define TRIG_SHORT 1
#define TRIGNS trig_short
#include "trig_copy.inc"
#undef TRIGNS
#undef TRIG_NOCHECK
#define TRIG_NOCHECK 1
#define TRIGNS trig_short_nocheck
#include "trig_copy.inc"
#undef TRIGNS
#undef TRIG_SHORT
#define TRIG_SHORT 0
#define TRIGNS trig_nocheck
#include "trig_copy.inc"
#undef TRIGNS

namespace {

constexpr size_t kInputs = 1024;
size_t next(size_t i) { return (i + 1) & (kInputs - 1); }

template <typename T> struct K;
template <> struct K<float> { using M = geometry::Mat4f; using G = glm::mat4; using E = Eigen::Matrix4f; };
template <> struct K<double> { using M = geometry::Mat4d; using G = glm::dmat4; using E = Eigen::Matrix4d; };

template <typename T> struct In {
    std::vector<typename K<T>::M> m;
    std::vector<typename K<T>::G> g;
    std::vector<typename K<T>::E> e;
};
template <typename T> const In<T>& in() {
    static const In<T> r = [] {
        In<T> r;
        std::mt19937 rng(1);
        std::uniform_real_distribution<T> u(-1, 1);
        for (size_t n = 0; n < kInputs; ++n) {
            typename K<T>::M m;
            for (auto& x : m.m) x = u(rng);
            for (int d = 0; d < 4; ++d) m.m[5 * d] += 4;
            typename K<T>::G g;
            std::memcpy(&g, &m, sizeof g);
            r.m.push_back(m);
            r.g.push_back(g);
            r.e.push_back(Eigen::Map<const typename K<T>::E>(m.m));
        }
        return r;
    }();
    return r;
}

template <typename F> void run(benchmark::State& s, F&& f) {
    size_t i = 0;
    for (auto _ : s) {
        f(i);
        i = next(i);
    }
}

using geometry::detail::pick;
using geometry::detail::prod;
using geometry::detail::D4;
using geometry::detail::load4;
using geometry::detail::store4;

// ---------------------------------------------------------------- 4x4 product
// How each product that enters a sum is formed: kPlain, a plain multiply (nothing stops a
// compiler allowed to fuse from fusing it); kProd, the library's detail::prod (an empty asm
// statement the product passes through); kVolatile, the same asm statement marked volatile;
// kAsmMul, the multiply done inside the asm statement. All but kPlain keep products unfused.
enum Barrier { kPlain, kProd, kVolatile, kAsmMul };
// Where each element's sum starts: kZero, from zero (the library's); kPlus0, from the first
// product, then + 0 at the end; kSignFix, from the first product, then -0 made +0 by a compare
// and mask; kFirst, from the first product with nothing after. The first three give the same
// bits (the zero start only turns a -0 result into +0); kFirst does not.
enum Start { kZero, kPlus0, kSignFix, kFirst };

template <typename V> inline V vrounded(V v) { __asm__ volatile("" : "+x"(v)); return v; }
// The multiplication done by the asm statement itself: nothing to fuse, nothing to tie.
#if defined(__AVX__)
inline __m128 asm_mul(__m128 a, __m128 b) { __m128 r; __asm__("vmulps {%2, %1, %0|%0, %1, %2}" : "=x"(r) : "x"(a), "x"(b)); return r; }
inline __m128d asm_mul(__m128d a, __m128d b) { __m128d r; __asm__("vmulpd {%2, %1, %0|%0, %1, %2}" : "=x"(r) : "x"(a), "x"(b)); return r; }
#else
inline __m128 asm_mul(__m128 a, __m128 b) { __asm__("mulps {%1, %0|%0, %1}" : "+x"(a) : "x"(b)); return a; }
inline __m128d asm_mul(__m128d a, __m128d b) { __asm__("mulpd {%1, %0|%0, %1}" : "+x"(a) : "x"(b)); return a; }
#endif
// The addition done by an asm statement instead: the product it takes is opaque to the compiler.
#if defined(__AVX__)
inline __m128 asm_add(__m128 a, __m128 b) { __m128 r; __asm__("vaddps {%2, %1, %0|%0, %1, %2}" : "=x"(r) : "x"(a), "x"(b)); return r; }
inline __m128d asm_add(__m128d a, __m128d b) { __m128d r; __asm__("vaddpd {%2, %1, %0|%0, %1, %2}" : "=x"(r) : "x"(a), "x"(b)); return r; }
#else
inline __m128 asm_add(__m128 a, __m128 b) { __asm__("addps {%1, %0|%0, %1}" : "+x"(a) : "x"(b)); return a; }
inline __m128d asm_add(__m128d a, __m128d b) { __asm__("addpd {%1, %0|%0, %1}" : "+x"(a) : "x"(b)); return a; }
#endif

template <Barrier B> inline __m128 product(__m128 a, __m128 b) {
    if constexpr (B == kPlain) return _mm_mul_ps(a, b);
    else if constexpr (B == kProd) return prod(a, b);
    else if constexpr (B == kVolatile) return vrounded(_mm_mul_ps(a, b));
    else return asm_mul(a, b);
}
template <Barrier B> inline __m128d product(__m128d a, __m128d b) {
    if constexpr (B == kPlain) return _mm_mul_pd(a, b);
    else if constexpr (B == kProd) return prod(a, b);
    else if constexpr (B == kVolatile) return vrounded(_mm_mul_pd(a, b));
    else return asm_mul(a, b);
}
inline __m128 vadd(__m128 a, __m128 b) { return _mm_add_ps(a, b); }
inline __m128d vadd(__m128d a, __m128d b) { return _mm_add_pd(a, b); }
inline __m128 vzero(__m128) { return _mm_setzero_ps(); }
inline __m128d vzero(__m128d) { return _mm_setzero_pd(); }
// -0 made +0, everything else unchanged: what the zero start adds, without the addition.
inline __m128 plus_zero_sign(__m128 v) {
    return _mm_andnot_ps(_mm_and_ps(_mm_cmpeq_ps(v, _mm_setzero_ps()), _mm_set1_ps(-0.0f)), v);
}
inline __m128d plus_zero_sign(__m128d v) {
    return _mm_andnot_pd(_mm_and_pd(_mm_cmpeq_pd(v, _mm_setzero_pd()), _mm_set1_pd(-0.0)), v);
}

// One register's sum for an output row: lanes j of ((((0 + a0 b0) + a1 b1) + a2 b2) + a3 b3),
// started and formed as S and B say; AsmAdd does every addition in an asm statement, which
// keeps the products unfused whatever B is.
template <Start S, Barrier B, bool AsmAdd = false, typename V>
inline V row_sum(V a0, V a1, V a2, V a3, V b0, V b1, V b2, V b3) {
    auto add = [](V x, V y) { return AsmAdd ? asm_add(x, y) : vadd(x, y); };
    V acc = product<B>(a0, b0);
    if (S == kZero) acc = add(vzero(acc), acc);
    acc = add(acc, product<B>(a1, b1));
    acc = add(acc, product<B>(a2, b2));
    acc = add(acc, product<B>(a3, b3));
    if (S == kPlus0) acc = add(acc, vzero(acc));
    if (S == kSignFix) acc = plus_zero_sign(acc);
    return acc;
}

template <Start S, Barrier B, bool AsmAdd = false>
inline void mul4f(const float* a, const float* b, float* out) {
    const __m128 b0 = _mm_loadu_ps(b), b1 = _mm_loadu_ps(b + 4), b2 = _mm_loadu_ps(b + 8), b3 = _mm_loadu_ps(b + 12);
    __m128 r[4];
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        const __m128 row = _mm_loadu_ps(a + 4 * i);
        r[i] = row_sum<S, B, AsmAdd>(pick<0, 0, 0, 0>(row), pick<1, 1, 1, 1>(row), pick<2, 2, 2, 2>(row), pick<3, 3, 3, 3>(row),
                                     b0, b1, b2, b3);
    }
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) _mm_storeu_ps(out + 4 * i, r[i]);
}

// As above, two registers a row; RowLoad: the row loaded whole and its lanes duplicated by
// unpacking, instead of each element broadcast from memory (the library's).
template <Start S, Barrier B, bool AsmAdd = false, bool RowLoad = false>
inline void mul4d(const double* a, const double* b, double* out) {
    const D4 b0 = load4(b), b1 = load4(b + 4), b2 = load4(b + 8), b3 = load4(b + 12);
    D4 r[4];
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        const double* row = a + 4 * i;
        __m128d a0, a1, a2, a3;
        if (!RowLoad) {
            a0 = _mm_set1_pd(row[0]), a1 = _mm_set1_pd(row[1]), a2 = _mm_set1_pd(row[2]), a3 = _mm_set1_pd(row[3]);
        } else {
            const __m128d lo = _mm_loadu_pd(row), hi = _mm_loadu_pd(row + 2);
            a0 = _mm_unpacklo_pd(lo, lo), a1 = _mm_unpackhi_pd(lo, lo), a2 = _mm_unpacklo_pd(hi, hi), a3 = _mm_unpackhi_pd(hi, hi);
        }
        r[i] = {row_sum<S, B, AsmAdd>(b0.lo, b1.lo, b2.lo, b3.lo, a0, a1, a2, a3),
                row_sum<S, B, AsmAdd>(b0.hi, b1.hi, b2.hi, b3.hi, a0, a1, a2, a3)};
    }
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) store4(out + 4 * i, r[i]);
}

// ---------------------------------------------------------------- 4x4 inverse without the barrier
namespace nobar {
using geometry::detail::pick;
struct D4 { __m128d lo, hi; };
inline D4 load4(const double* p) { return {_mm_loadu_pd(p), _mm_loadu_pd(p + 2)}; }
inline void store4(double* p, D4 v) { _mm_storeu_pd(p, v.lo); _mm_storeu_pd(p + 2, v.hi); }
inline float prod(float a, float b) { return a * b; }
inline double prod(double a, double b) { return a * b; }
inline __m128 prod(__m128 a, __m128 b) { return _mm_mul_ps(a, b); }
inline __m128d prod(__m128d a, __m128d b) { return _mm_mul_pd(a, b); }
#include "inverse_copy.inc"
}  // namespace nobar

// The library's operations on element arrays, as the variants take them.
template <typename M, typename T> void lib_mul(const T* a, const T* b, T* out) {
    geometry::multiply(*reinterpret_cast<const M*>(a), *reinterpret_cast<const M*>(b), *reinterpret_cast<M*>(out));
}
template <typename M, typename T> void lib_inv(const T* a, const T*, T* out) {
    geometry::invert(*reinterpret_cast<const M*>(a), *reinterpret_cast<M*>(out));
}
template <typename T> void nobar_inv(const T* a, const T*, T* out) { nobar::invert4(a, out); }

// ---------------------------------------------------------------- benchmarks
#define MUL(name, T, call)                                                              \
    void name(benchmark::State& s) {                                                    \
        const auto& d = in<T>();                                                        \
        typename K<T>::M out;                                                           \
        run(s, [&](size_t i) { call(d.m[i].m, d.m[next(i)].m, out.m); benchmark::DoNotOptimize(out); }); \
    }
MUL(Mul4f_lib, float, (lib_mul<geometry::Mat4f, float>))
MUL(Mul4f_nobarrier, float, (mul4f<kZero, kPlain>))
MUL(Mul4f_plus0, float, (mul4f<kPlus0, kProd>))
MUL(Mul4f_signfix, float, (mul4f<kSignFix, kProd>))
MUL(Mul4f_nozero, float, (mul4f<kFirst, kProd>))
MUL(Mul4f_nozero_nobarrier, float, (mul4f<kFirst, kPlain>))
MUL(Mul4f_volatile, float, (mul4f<kZero, kVolatile>))
MUL(Mul4f_asmadd, float, (mul4f<kZero, kPlain, true>))
MUL(Mul4f_asmmul, float, (mul4f<kZero, kAsmMul>))
MUL(Mul4d_lib, double, (lib_mul<geometry::Mat4d, double>))
MUL(Mul4d_nobarrier, double, (mul4d<kZero, kPlain>))
MUL(Mul4d_plus0, double, (mul4d<kPlus0, kProd>))
MUL(Mul4d_signfix, double, (mul4d<kSignFix, kProd>))
MUL(Mul4d_nozero, double, (mul4d<kFirst, kProd>))
MUL(Mul4d_nozero_nobarrier, double, (mul4d<kFirst, kPlain>))
MUL(Mul4d_rowload, double, (mul4d<kZero, kProd, false, true>))
MUL(Mul4d_volatile, double, (mul4d<kZero, kVolatile>))
MUL(Mul4d_asmadd, double, (mul4d<kZero, kPlain, true>))
MUL(Mul4d_asmmul, double, (mul4d<kZero, kAsmMul>))

template <typename T> void Mul4_glm(benchmark::State& s) {
    const auto& d = in<T>();
    run(s, [&](size_t i) { auto out = d.g[i] * d.g[next(i)]; benchmark::DoNotOptimize(out); });
}
template <typename T> void Mul4_eigen(benchmark::State& s) {
    const auto& d = in<T>();
    run(s, [&](size_t i) { typename K<T>::E out = d.e[i] * d.e[next(i)]; benchmark::DoNotOptimize(out); });
}

template <typename T> void Inv4_lib(benchmark::State& s) {
    const auto& d = in<T>();
    typename K<T>::M out;
    run(s, [&](size_t i) { geometry::invert(d.m[i], out); benchmark::DoNotOptimize(out); });
}
template <typename T> void Inv4_nobarrier(benchmark::State& s) {
    const auto& d = in<T>();
    typename K<T>::M out;
    run(s, [&](size_t i) { nobar::invert4(d.m[i].m, out.m); benchmark::DoNotOptimize(out); });
}
template <typename T> void Inv4_glm(benchmark::State& s) {
    const auto& d = in<T>();
    run(s, [&](size_t i) { auto out = glm::inverse(d.g[i]); benchmark::DoNotOptimize(out); });
}
template <typename T> void Inv4_eigen(benchmark::State& s) {
    const auto& d = in<T>();
    run(s, [&](size_t i) { typename K<T>::E out = d.e[i].inverse(); benchmark::DoNotOptimize(out); });
}


// ---------------------------------------------------------------- Euler angles: the three sines and cosines
using Trig3 = void (*)(const float*, float*, float*);
void glibc3(const float x[3], float s[3], float c[3]) {
    for (int i = 0; i < 3; ++i) sincosf(x[i], &s[i], &c[i]);
}
struct R {
    std::vector<geometry::Euler4f> e;
};
const R& rot() {
    static const R r = [] {
        R r;
        std::mt19937 rng(2);
        std::uniform_real_distribution<float> u(-1.0f, 1.0f);
        for (size_t n = 0; n < kInputs; ++n) r.e.push_back({u(rng) * 3, u(rng) * 1.5f, u(rng) * 3, 0.0f});
        return r;
    }();
    return r;
}

void Euler_lib(benchmark::State& s) {
    const auto& in = rot();
    geometry::Mat4f out;
    run(s, [&](size_t i) { geometry::euler_to_matrix(in.e[i], out); benchmark::DoNotOptimize(out); });
}
template <Trig3 trig> void trig_only(benchmark::State& s) {
    const auto& in = rot();
    run(s, [&](size_t i) {
        float sn[3], cs[3];
        trig(&in.e[i].angle1, sn, cs);
        benchmark::DoNotOptimize(sn);
        benchmark::DoNotOptimize(cs);
    });
}
void Euler_glm(benchmark::State& s) {
    const auto& in = rot();
    run(s, [&](size_t i) {
        glm::mat4 out = glm::eulerAngleZYX(in.e[i].angle3, in.e[i].angle2, in.e[i].angle1);
        benchmark::DoNotOptimize(out);
    });
}
void Euler_eigen(benchmark::State& s) {
    const auto& in = rot();
    run(s, [&](size_t i) {
        Eigen::Matrix3f out = (Eigen::AngleAxisf(in.e[i].angle3, Eigen::Vector3f::UnitZ()) *
                               Eigen::AngleAxisf(in.e[i].angle2, Eigen::Vector3f::UnitY()) *
                               Eigen::AngleAxisf(in.e[i].angle1, Eigen::Vector3f::UnitX()))
                                  .toRotationMatrix();
        benchmark::DoNotOptimize(out);
    });
}

// ---------------------------------------------------------------- bit checks
// Elements whose bits differ between the library's operation and a variant (NaN payloads
// aside), over four kinds of input in turn: special values in every pattern, random bit
// patterns, random bit patterns scaled so that products underflow to zeros of both signs, and
// values in (-1, 1). Both outputs start as a copy of the first input, which an inverse of a
// singular matrix leaves untouched.
template <typename T, typename M>
long mismatches(void (*lib)(const T*, const T*, T*), void (*variant)(const T*, const T*, T*)) {
    const T special[] = {T(0), -T(0), T(1), -T(1), std::numeric_limits<T>::denorm_min(), -std::numeric_limits<T>::denorm_min(),
                         std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), -std::numeric_limits<T>::infinity(),
                         std::numeric_limits<T>::quiet_NaN(), T(1e-30), T(3.5)};
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<T> u(-1, 1);
    long bad = 0;
    for (int n = 0; n < 200000; ++n) {
        M a, b;
        for (int k = 0; k < 16; ++k) {
            const uint64_t r1 = rng(), r2 = rng();
            std::memcpy(&a.m[k], &r1, sizeof(T));
            std::memcpy(&b.m[k], &r2, sizeof(T));
            if (n % 4 == 0) a.m[k] = special[r1 % 12], b.m[k] = special[r2 % 12];
            if (n % 4 == 2) a.m[k] = a.m[k] * T(1e-20);
            if (n % 4 == 3) a.m[k] = u(rng), b.m[k] = u(rng);
        }
        M x = a, y = a;
        lib(a.m, b.m, x.m);
        variant(a.m, b.m, y.m);
        for (int k = 0; k < 16; ++k)
            if (std::memcmp(&x.m[k], &y.m[k], sizeof(T)) != 0 && !(std::isnan(x.m[k]) && std::isnan(y.m[k]))) ++bad;
    }
    return bad;
}

// Sines and cosines that differ from the library's three-angle evaluation: random bit patterns
// and angles in (-10, 10), in turn.
long trig_mismatches(Trig3 variant) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> u(-10, 10);
    long bad = 0;
    for (int n = 0; n < 1000000; ++n) {
        float x[3], s1[3], c1[3], s2[3], c2[3];
        for (float& v : x) {
            const uint32_t r = rng();
            std::memcpy(&v, &r, sizeof v);
            if (n % 2) v = u(rng);
        }
        geometry::trig::sincos3(x, s1, c1);
        variant(x, s2, c2);
        for (int k = 0; k < 3; ++k)
            bad += (std::memcmp(&s1[k], &s2[k], 4) != 0 && !std::isnan(s1[k])) + (std::memcmp(&c1[k], &c2[k], 4) != 0 && !std::isnan(c1[k]));
    }
    return bad;
}

// Prints every variant's count; fails if one that should give the library's bits does not.
int check_bits() {
    using geometry::Mat4f;
    using geometry::Mat4d;
    struct Row {
        const char* name;
        long f, d;
        bool exact;
    };
    const Row rows[] = {
        {"Mul4 plus0", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kPlus0, kProd>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kPlus0, kProd>), true},
        {"Mul4 signfix", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kSignFix, kProd>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kSignFix, kProd>), true},
        {"Mul4 volatile", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kZero, kVolatile>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kZero, kVolatile>), true},
        {"Mul4 asmmul", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kZero, kAsmMul>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kZero, kAsmMul>), true},
        {"Mul4 asmadd", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kZero, kPlain, true>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kZero, kPlain, true>), true},
        {"Mul4 rowload (double)", -1, mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kZero, kProd, false, true>), true},
        {"Mul4 nobarrier", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kZero, kPlain>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kZero, kPlain>), false},
        {"Mul4 nozero", mismatches<float, Mat4f>(lib_mul<Mat4f>, mul4f<kFirst, kProd>), mismatches<double, Mat4d>(lib_mul<Mat4d>, mul4d<kFirst, kProd>), false},
        {"Inv4 nobarrier", mismatches<float, Mat4f>(lib_inv<Mat4f>, nobar_inv<float>), mismatches<double, Mat4d>(lib_inv<Mat4d>, nobar_inv<double>), false},
        {"Trig3 copy", trig_mismatches(geometry::trig_same::sincos3), -1, true},
        {"Trig3 shortpoly", trig_mismatches(geometry::trig_short::sincos3), -1, false},
        {"Trig3 nocheck", trig_mismatches(geometry::trig_nocheck::sincos3), -1, false},
    };
    int failed = 0;
    std::printf("elements differing from the library's bits (NaN payloads aside; -1: not built): float, double\n");
    for (const Row& r : rows) {
        const bool wrong = r.exact && (r.f > 0 || r.d > 0);  // -1: no such variant
        std::printf("  %-22s %8ld %8ld%s\n", r.name, r.f, r.d, wrong ? "  (should be 0)" : "");
        failed |= wrong;
    }
    return failed;
}
}  // namespace

BENCHMARK(Mul4f_lib)->Name("Mul4/float/lib");
BENCHMARK(Mul4f_nobarrier)->Name("Mul4/float/nobarrier");
BENCHMARK(Mul4f_plus0)->Name("Mul4/float/plus0");
BENCHMARK(Mul4f_signfix)->Name("Mul4/float/signfix");
BENCHMARK(Mul4f_nozero)->Name("Mul4/float/nozero");
BENCHMARK(Mul4f_nozero_nobarrier)->Name("Mul4/float/nozero_nobarrier");
BENCHMARK(Mul4f_asmmul)->Name("Mul4/float/asmmul");
BENCHMARK(Mul4f_asmadd)->Name("Mul4/float/asmadd");
BENCHMARK(Mul4f_volatile)->Name("Mul4/float/volatile");
BENCHMARK(Mul4_glm<float>)->Name("Mul4/float/glm");
BENCHMARK(Mul4_eigen<float>)->Name("Mul4/float/eigen");
BENCHMARK(Mul4d_lib)->Name("Mul4/double/lib");
BENCHMARK(Mul4d_nobarrier)->Name("Mul4/double/nobarrier");
BENCHMARK(Mul4d_plus0)->Name("Mul4/double/plus0");
BENCHMARK(Mul4d_signfix)->Name("Mul4/double/signfix");
BENCHMARK(Mul4d_nozero)->Name("Mul4/double/nozero");
BENCHMARK(Mul4d_nozero_nobarrier)->Name("Mul4/double/nozero_nobarrier");
BENCHMARK(Mul4d_rowload)->Name("Mul4/double/rowload");
BENCHMARK(Mul4d_asmmul)->Name("Mul4/double/asmmul");
BENCHMARK(Mul4d_asmadd)->Name("Mul4/double/asmadd");
BENCHMARK(Mul4d_volatile)->Name("Mul4/double/volatile");
BENCHMARK(Mul4_glm<double>)->Name("Mul4/double/glm");
BENCHMARK(Mul4_eigen<double>)->Name("Mul4/double/eigen");
BENCHMARK(Inv4_lib<float>)->Name("Inv4/float/lib");
BENCHMARK(Inv4_nobarrier<float>)->Name("Inv4/float/nobarrier");
BENCHMARK(Inv4_glm<float>)->Name("Inv4/float/glm");
BENCHMARK(Inv4_eigen<float>)->Name("Inv4/float/eigen");
BENCHMARK(Inv4_lib<double>)->Name("Inv4/double/lib");
BENCHMARK(Inv4_nobarrier<double>)->Name("Inv4/double/nobarrier");
BENCHMARK(Inv4_glm<double>)->Name("Inv4/double/glm");
BENCHMARK(Inv4_eigen<double>)->Name("Inv4/double/eigen");

BENCHMARK(Euler_lib)->Name("Euler/float/lib");
BENCHMARK(Euler_glm)->Name("Euler/float/glm");
BENCHMARK(Euler_eigen)->Name("Euler/float/eigen");
BENCHMARK(trig_only<geometry::trig::sincos3>)->Name("Trig3/float/lib");
BENCHMARK(trig_only<geometry::trig_same::sincos3>)->Name("Trig3/float/copy");
BENCHMARK(trig_only<geometry::trig_short::sincos3>)->Name("Trig3/float/shortpoly");
BENCHMARK(trig_only<geometry::trig_nocheck::sincos3>)->Name("Trig3/float/nocheck");
BENCHMARK(trig_only<geometry::trig_short_nocheck::sincos3>)->Name("Trig3/float/shortpoly_nocheck");
BENCHMARK(trig_only<glibc3>)->Name("Trig3/float/glibc_sincosf");

int main(int argc, char** argv) {
    // --check-bits: the bit checks alone (run.sh runs them before timing), so that the timed runs
    // print nothing but the benchmark's own output.
    if (argc > 1 && std::strcmp(argv[1], "--check-bits") == 0) return check_bits();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
