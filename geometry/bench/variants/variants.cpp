// One-off variants of the operations that stay slower than glm or Eigen (variants.h), each
// removing one suspected cost, timed beside the library and its peers on the same inputs
// (1,024 records walked in turn). "lib" is the library as a caller gets it. The peers are
// called as in ../bench_geometry.cpp. run.sh builds, checks (check_bits.cpp) and runs it;
// docs/performance.md has the figures. By hand only, never in CI.
#include <benchmark/benchmark.h>

#include <Eigen/Dense>
#include <glm/glm.hpp>
#include <random>
#include <vector>

#include "../peer_euler.h"
#include "variants.h"

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
            typename K<T>::G g;  // the same bytes, read by glm by columns: the same work
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
        glm::mat4 out = glm_euler(in.e[i]);
        benchmark::DoNotOptimize(out);
    });
}
void Euler_eigen(benchmark::State& s) {
    const auto& in = rot();
    run(s, [&](size_t i) {
        Eigen::Matrix3f out = eigen_euler(in.e[i]);
        benchmark::DoNotOptimize(out);
    });
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

BENCHMARK_MAIN();
