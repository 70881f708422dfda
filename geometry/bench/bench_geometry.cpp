// The geometry library side by side with glm and Eigen, on the same inputs in one run, in
// single and in double precision. Each benchmark walks the same 1024 random inputs; the figure
// is time per operation. compare_geometry.py runs it pinned to one core, with the
// repetitions interleaved, and writes the table of docs/performance.md.
#include <benchmark/benchmark.h>

#include <Eigen/Dense>
#include <cstring>
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/gtx/euler_angles.hpp>
#include <random>
#include <vector>

#include <taverin/geometry/matrix.h>
#include <taverin/geometry/quaternion.h>
#include <taverin/geometry/rotation.h>
#include <taverin/geometry/vector.h>

#include "peer_euler.h"

namespace {

constexpr size_t kInputs = 1024;

// The library's, glm's and Eigen's types of one precision.
template <typename T> struct Kinds;
template <> struct Kinds<float> {
    using M4 = geometry::Mat4f;
    using M3 = geometry::Mat3f;
    using V3 = geometry::Vec3f;
    using G4 = glm::mat4;
    using G3 = glm::mat3;
    using GV = glm::vec3;
    using E4 = Eigen::Matrix4f;
    using E3 = Eigen::Matrix3f;
    using EV = Eigen::Vector3f;
};
template <> struct Kinds<double> {
    using M4 = geometry::Mat4d;
    using M3 = geometry::Mat3d;
    using V3 = geometry::Vec3d;
    using G4 = glm::dmat4;
    using G3 = glm::dmat3;
    using GV = glm::dvec3;
    using E4 = Eigen::Matrix4d;
    using E3 = Eigen::Matrix3d;
    using EV = Eigen::Vector3d;
};

template <typename T>
struct Inputs {
    using K = Kinds<T>;
    std::vector<typename K::M4> m4;
    std::vector<typename K::M3> m3;
    std::vector<typename K::V3> v3;
    std::vector<typename K::G4> g4;
    std::vector<typename K::G3> g3;
    std::vector<typename K::GV> gv;
    std::vector<typename K::E4> e4;
    std::vector<typename K::E3> e3;
    std::vector<typename K::EV> ev;
};

template <typename T>
const Inputs<T>& inputs() {
    static const Inputs<T> in = [] {
        Inputs<T> r;
        std::mt19937 rng(1);
        std::uniform_real_distribution<T> u(-1, 1);
        for (size_t n = 0; n < kInputs; ++n) {
            typename Kinds<T>::M4 m;
            for (auto& x : m.m) x = u(rng);
            for (int d = 0; d < 4; ++d) m.m[5 * d] += 4;  // well away from singular
            typename Kinds<T>::M3 m3;
            for (auto& x : m3.m) x = u(rng);
            const typename Kinds<T>::V3 v{u(rng), u(rng), u(rng)};
            r.m4.push_back(m);
            r.m3.push_back(m3);
            r.v3.push_back(v);
            typename Kinds<T>::G4 g;
            std::memcpy(&g, &m, sizeof g);
            r.g4.push_back(g);
            typename Kinds<T>::G3 g3;
            std::memcpy(&g3, &m3, sizeof g3);
            r.g3.push_back(g3);
            r.gv.push_back({v.x, v.y, v.z});
            r.e4.push_back(Eigen::Map<const typename Kinds<T>::E4>(m.m));
            r.e3.push_back(Eigen::Map<const typename Kinds<T>::E3>(m3.m));
            r.ev.push_back({v.x, v.y, v.z});
        }
        return r;
    }();
    return in;
}

struct Rotations {
    std::vector<geometry::Quatf> q;
    std::vector<geometry::Euler4f> e;
    std::vector<glm::quat> gq;
    std::vector<Eigen::Quaternionf> eq;
    std::vector<geometry::Mat3f> rot;
    std::vector<glm::mat3> grot;
    std::vector<Eigen::Matrix3f> erot;
};

const Rotations& rotations() {
    static const Rotations in = [] {
        Rotations r;
        std::mt19937 rng(2);
        std::uniform_real_distribution<float> u(-1.0f, 1.0f);
        for (size_t n = 0; n < kInputs; ++n) {
            geometry::Quatf q{u(rng), u(rng), u(rng), u(rng)};
            geometry::quat_normalize(q, q);
            r.q.push_back(q);
            r.e.push_back({u(rng) * 3, u(rng) * 1.5f, u(rng) * 3, 0.0f});
            r.gq.push_back(glm::quat(q.w, q.x, q.y, q.z));
            r.eq.push_back(Eigen::Quaternionf(q.w, q.x, q.y, q.z));
            geometry::Mat3f m;
            geometry::quat_to_matrix3(q, m);
            r.rot.push_back(m);
            r.grot.push_back(glm::mat3_cast(r.gq.back()));
            r.erot.push_back(r.eq.back().toRotationMatrix());
        }
        return r;
    }();
    return in;
}

template <typename F>
void run(benchmark::State& state, F&& f) {
    size_t i = 0;
    for (auto _ : state) {
        f(i);
        i = (i + 1) & (kInputs - 1);
    }
}

size_t next(size_t i) { return (i + 1) & (kInputs - 1); }

// glm's arithmetic behind a function call that the compiler may not inline, as every call into
// the library is: the "glm_call" rows measure what the call itself costs.
template <typename F> [[gnu::noinline]] auto out_of_line(const F& f) { return f(); }
template <bool Call, typename F> auto glm_op(const F& f) {
    if constexpr (Call) return out_of_line(f);
    else return f();
}

// ---------------------------------------------------------------- matrices and vectors, both precisions
template <typename T> void Mul4_ours(benchmark::State& s) {
    const auto& in = inputs<T>();
    typename Kinds<T>::M4 out;
    run(s, [&](size_t i) { geometry::multiply(in.m4[i], in.m4[next(i)], out); benchmark::DoNotOptimize(out); });
}
template <typename T, bool Call = false> void Mul4_glm(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) { auto out = glm_op<Call>([&] { return in.g4[i] * in.g4[next(i)]; }); benchmark::DoNotOptimize(out); });
}
template <typename T> void Mul4_eigen(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) { typename Kinds<T>::E4 out = in.e4[i] * in.e4[next(i)]; benchmark::DoNotOptimize(out); });
}

template <typename T> void Inv4_ours(benchmark::State& s) {
    const auto& in = inputs<T>();
    typename Kinds<T>::M4 out;
    run(s, [&](size_t i) { geometry::invert(in.m4[i], out); benchmark::DoNotOptimize(out); });
}
template <typename T, bool Call = false> void Inv4_glm(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) { auto out = glm_op<Call>([&] { return glm::inverse(in.g4[i]); }); benchmark::DoNotOptimize(out); });
}
template <typename T> void Inv4_eigen(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) { typename Kinds<T>::E4 out = in.e4[i].inverse(); benchmark::DoNotOptimize(out); });
}

// The point transform with the homogeneous divide.
template <typename T> void Point4_ours(benchmark::State& s) {
    const auto& in = inputs<T>();
    typename Kinds<T>::V3 out;
    run(s, [&](size_t i) { geometry::transform_point(in.v3[i], in.m4[i], out); benchmark::DoNotOptimize(out); });
}
template <typename T, bool Call = false> void Point4_glm(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) {
        auto out = glm_op<Call>([&] {
            const auto p = in.g4[i] * glm::vec<4, T>(in.gv[i], T(1));
            return glm::vec<3, T>(p) / p.w;
        });
        benchmark::DoNotOptimize(out);
    });
}
template <typename T> void Point4_eigen(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) {
        typename Kinds<T>::EV out = (in.e4[i] * in.ev[i].homogeneous()).hnormalized();
        benchmark::DoNotOptimize(out);
    });
}

template <typename T> void Det3_ours(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) { benchmark::DoNotOptimize(geometry::determinant(in.m3[i])); });
}
template <typename T, bool Call = false> void Det3_glm(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) { benchmark::DoNotOptimize(glm_op<Call>([&] { return glm::determinant(in.g3[i]); })); });
}
template <typename T> void Det3_eigen(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) { benchmark::DoNotOptimize(in.e3[i].determinant()); });
}

template <typename T> void Norm_ours(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) { auto v = in.v3[i]; geometry::normalize(v); benchmark::DoNotOptimize(v); });
}
template <typename T, bool Call = false> void Norm_glm(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) { auto v = glm_op<Call>([&] { return glm::normalize(in.gv[i]); }); benchmark::DoNotOptimize(v); });
}
template <typename T> void Norm_eigen(benchmark::State& s) {
    const auto& in = inputs<T>();
    run(s, [&](size_t i) { typename Kinds<T>::EV v = in.ev[i].normalized(); benchmark::DoNotOptimize(v); });
}

// ---------------------------------------------------------------- rotations, single precision
void EulerToMatrix_ours(benchmark::State& s) {
    const auto& in = rotations();
    geometry::Mat4f out;
    run(s, [&](size_t i) { geometry::euler_to_matrix(in.e[i], out); benchmark::DoNotOptimize(out); });
}
template <bool Call = false> void EulerToMatrix_glm(benchmark::State& s) {
    const auto& in = rotations();
    run(s, [&](size_t i) {
        glm::mat4 out = glm_op<Call>([&] { return glm_euler(in.e[i]); });
        benchmark::DoNotOptimize(out);
    });
}
void EulerToMatrix_eigen(benchmark::State& s) {
    const auto& in = rotations();
    run(s, [&](size_t i) {
        Eigen::Matrix3f out = eigen_euler(in.e[i]);
        benchmark::DoNotOptimize(out);
    });
}

void MatrixToQuat_ours(benchmark::State& s) {
    const auto& in = rotations();
    geometry::Quatf out;
    run(s, [&](size_t i) { geometry::matrix3_to_quat(in.rot[i], out); benchmark::DoNotOptimize(out); });
}
template <bool Call = false> void MatrixToQuat_glm(benchmark::State& s) {
    const auto& in = rotations();
    run(s, [&](size_t i) { glm::quat out = glm_op<Call>([&] { return glm::quat_cast(in.grot[i]); }); benchmark::DoNotOptimize(out); });
}
void MatrixToQuat_eigen(benchmark::State& s) {
    const auto& in = rotations();
    run(s, [&](size_t i) { Eigen::Quaternionf out(in.erot[i]); benchmark::DoNotOptimize(out); });
}

void QuatMul_ours(benchmark::State& s) {
    const auto& in = rotations();
    geometry::Quatf out;
    run(s, [&](size_t i) { geometry::quat_multiply(in.q[i], in.q[next(i)], out); benchmark::DoNotOptimize(out); });
}
template <bool Call = false> void QuatMul_glm(benchmark::State& s) {
    const auto& in = rotations();
    run(s, [&](size_t i) { glm::quat out = glm_op<Call>([&] { return in.gq[i] * in.gq[next(i)]; }); benchmark::DoNotOptimize(out); });
}
void QuatMul_eigen(benchmark::State& s) {
    const auto& in = rotations();
    run(s, [&](size_t i) { Eigen::Quaternionf out = in.eq[i] * in.eq[next(i)]; benchmark::DoNotOptimize(out); });
}

void QuatToMatrix_ours(benchmark::State& s) {
    const auto& in = rotations();
    geometry::Mat3f out;
    run(s, [&](size_t i) { geometry::quat_to_matrix3(in.q[i], out); benchmark::DoNotOptimize(out); });
}
// The library's conversion accepts a quaternion of any length (it scales by 2 / |q|^2): glm and
// Eigen assume unit length, so they normalise first to do the same work.
template <bool Call = false> void QuatToMatrix_glm(benchmark::State& s) {
    const auto& in = rotations();
    run(s, [&](size_t i) {
        glm::mat3 out = glm_op<Call>([&] { return glm::mat3_cast(glm::normalize(in.gq[i])); });
        benchmark::DoNotOptimize(out);
    });
}
void QuatToMatrix_eigen(benchmark::State& s) {
    const auto& in = rotations();
    run(s, [&](size_t i) { Eigen::Matrix3f out = in.eq[i].normalized().toRotationMatrix(); benchmark::DoNotOptimize(out); });
}

}  // namespace

#define BOTH(name)                                                                                  \
    BENCHMARK(name##_ours<float>)->Name(#name "/float/ours");                                       \
    BENCHMARK(name##_glm<float>)->Name(#name "/float/glm");                                         \
    BENCHMARK(name##_glm<float, true>)->Name(#name "/float/glm_call");                              \
    BENCHMARK(name##_eigen<float>)->Name(#name "/float/eigen");                                     \
    BENCHMARK(name##_ours<double>)->Name(#name "/double/ours");                                     \
    BENCHMARK(name##_glm<double>)->Name(#name "/double/glm");                                       \
    BENCHMARK(name##_glm<double, true>)->Name(#name "/double/glm_call");                            \
    BENCHMARK(name##_eigen<double>)->Name(#name "/double/eigen")
#define SINGLE(name)                                                                                \
    BENCHMARK(name##_ours)->Name(#name "/float/ours");                                              \
    BENCHMARK(name##_glm<>)->Name(#name "/float/glm");                                              \
    BENCHMARK(name##_glm<true>)->Name(#name "/float/glm_call");                                     \
    BENCHMARK(name##_eigen)->Name(#name "/float/eigen")

BOTH(Mul4);
BOTH(Inv4);
BOTH(Point4);
BOTH(Det3);
BOTH(Norm);
SINGLE(EulerToMatrix);
SINGLE(MatrixToQuat);
SINGLE(QuatMul);
SINGLE(QuatToMatrix);

BENCHMARK_MAIN();
