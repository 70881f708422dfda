// The geometry library side by side with glm and Eigen, on the same inputs in one run.
// Each benchmark walks the same 1024 random inputs; the figure is time per operation.
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

namespace {

constexpr size_t kInputs = 1024;

struct Inputs {
    std::vector<geometry::Mat4f> m4;
    std::vector<geometry::Mat3f> m3;
    std::vector<geometry::Vec3f> v3;
    std::vector<geometry::Quatf> q;
    std::vector<geometry::Euler4f> e;
    std::vector<glm::mat4> g4;
    std::vector<glm::mat3> g3;
    std::vector<glm::vec3> gv;
    std::vector<glm::quat> gq;
    std::vector<Eigen::Matrix4f> e4;
    std::vector<Eigen::Matrix3f> e3;
    std::vector<Eigen::Vector3f> ev;
    std::vector<Eigen::Quaternionf> eq;
};

const Inputs& inputs() {
    static const Inputs in = [] {
        Inputs r;
        std::mt19937 rng(1);
        std::uniform_real_distribution<float> u(-1.0f, 1.0f);
        for (size_t n = 0; n < kInputs; ++n) {
            geometry::Mat4f m;
            for (auto& x : m.m) x = u(rng);
            m.m[0] += 4;
            m.m[5] += 4;
            m.m[10] += 4;
            m.m[15] += 4;
            r.m4.push_back(m);
            geometry::Mat3f m3;
            for (auto& x : m3.m) x = u(rng);
            r.m3.push_back(m3);
            r.v3.push_back({u(rng), u(rng), u(rng)});
            geometry::Quatf q{u(rng), u(rng), u(rng), u(rng)};
            geometry::quat_normalize(q, q);
            r.q.push_back(q);
            r.e.push_back({u(rng) * 3, u(rng) * 1.5f, u(rng) * 3, 0.0f});
            glm::mat4 g;
            std::memcpy(&g, &m, sizeof g);
            r.g4.push_back(g);
            glm::mat3 g3;
            std::memcpy(&g3, &m3, sizeof g3);
            r.g3.push_back(g3);
            r.gv.push_back({r.v3.back().x, r.v3.back().y, r.v3.back().z});
            r.gq.push_back(glm::quat(q.w, q.x, q.y, q.z));
            r.e4.push_back(Eigen::Map<const Eigen::Matrix4f>(m.m));
            r.e3.push_back(Eigen::Map<const Eigen::Matrix3f>(m3.m));
            r.ev.push_back({r.v3.back().x, r.v3.back().y, r.v3.back().z});
            r.eq.push_back(Eigen::Quaternionf(q.w, q.x, q.y, q.z));
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

// 4x4 multiply
void Mul4_ours(benchmark::State& s) {
    const auto& in = inputs();
    geometry::Mat4f out;
    run(s, [&](size_t i) { geometry::multiply(in.m4[i], in.m4[(i + 1) & 1023], out); benchmark::DoNotOptimize(out); });
}
void Mul4_glm(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { glm::mat4 out = in.g4[i] * in.g4[(i + 1) & 1023]; benchmark::DoNotOptimize(out); });
}
void Mul4_eigen(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { Eigen::Matrix4f out = in.e4[i] * in.e4[(i + 1) & 1023]; benchmark::DoNotOptimize(out); });
}

// 4x4 inverse
void Inv4_ours(benchmark::State& s) {
    const auto& in = inputs();
    geometry::Mat4f out;
    run(s, [&](size_t i) { geometry::invert(in.m4[i], out); benchmark::DoNotOptimize(out); });
}
void Inv4_glm(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { glm::mat4 out = glm::inverse(in.g4[i]); benchmark::DoNotOptimize(out); });
}
void Inv4_eigen(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { Eigen::Matrix4f out = in.e4[i].inverse(); benchmark::DoNotOptimize(out); });
}

// 4x4 point transform with the homogeneous divide
void Point4_ours(benchmark::State& s) {
    const auto& in = inputs();
    geometry::Vec3f out;
    run(s, [&](size_t i) { geometry::transform_point(in.v3[i], in.m4[i], out); benchmark::DoNotOptimize(out); });
}
void Point4_glm(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) {
        const glm::vec4 p = in.g4[i] * glm::vec4(in.gv[i], 1.0f);
        glm::vec3 out = glm::vec3(p) / p.w;
        benchmark::DoNotOptimize(out);
    });
}
void Point4_eigen(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) {
        Eigen::Vector3f out = (in.e4[i] * in.ev[i].homogeneous()).hnormalized();
        benchmark::DoNotOptimize(out);
    });
}

// 3x3 determinant
void Det3_ours(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { benchmark::DoNotOptimize(geometry::determinant(in.m3[i])); });
}
void Det3_glm(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { benchmark::DoNotOptimize(glm::determinant(in.g3[i])); });
}
void Det3_eigen(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { benchmark::DoNotOptimize(in.e3[i].determinant()); });
}

// vector normalise
void Norm_ours(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { geometry::Vec3f v = in.v3[i]; geometry::normalize(v); benchmark::DoNotOptimize(v); });
}
void Norm_glm(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { glm::vec3 v = glm::normalize(in.gv[i]); benchmark::DoNotOptimize(v); });
}
void Norm_eigen(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { Eigen::Vector3f v = in.ev[i].normalized(); benchmark::DoNotOptimize(v); });
}

// Euler angles (static X, Y, Z) to a rotation matrix
void EulerToMatrix_ours(benchmark::State& s) {
    const auto& in = inputs();
    geometry::Mat4f out;
    run(s, [&](size_t i) { geometry::euler_to_matrix(in.e[i], out); benchmark::DoNotOptimize(out); });
}
void EulerToMatrix_glm(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) {
        glm::mat4 out = glm::eulerAngleZYX(in.e[i].angle3, in.e[i].angle2, in.e[i].angle1);
        benchmark::DoNotOptimize(out);
    });
}
void EulerToMatrix_eigen(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) {
        Eigen::Matrix3f out = (Eigen::AngleAxisf(in.e[i].angle3, Eigen::Vector3f::UnitZ()) *
                               Eigen::AngleAxisf(in.e[i].angle2, Eigen::Vector3f::UnitY()) *
                               Eigen::AngleAxisf(in.e[i].angle1, Eigen::Vector3f::UnitX()))
                                  .toRotationMatrix();
        benchmark::DoNotOptimize(out);
    });
}

// rotation matrix to quaternion
void MatrixToQuat_ours(benchmark::State& s) {
    const auto& in = inputs();
    std::vector<geometry::Mat3f> rot(kInputs);
    for (size_t n = 0; n < kInputs; ++n) geometry::quat_to_matrix3(in.q[n], rot[n]);
    geometry::Quatf out;
    run(s, [&](size_t i) { geometry::matrix3_to_quat(rot[i], out); benchmark::DoNotOptimize(out); });
}
void MatrixToQuat_glm(benchmark::State& s) {
    const auto& in = inputs();
    std::vector<glm::mat3> rot(kInputs);
    for (size_t n = 0; n < kInputs; ++n) rot[n] = glm::mat3_cast(in.gq[n]);
    run(s, [&](size_t i) { glm::quat out = glm::quat_cast(rot[i]); benchmark::DoNotOptimize(out); });
}
void MatrixToQuat_eigen(benchmark::State& s) {
    const auto& in = inputs();
    std::vector<Eigen::Matrix3f> rot(kInputs);
    for (size_t n = 0; n < kInputs; ++n) rot[n] = in.eq[n].toRotationMatrix();
    run(s, [&](size_t i) { Eigen::Quaternionf out(rot[i]); benchmark::DoNotOptimize(out); });
}

// quaternion product
void QuatMul_ours(benchmark::State& s) {
    const auto& in = inputs();
    geometry::Quatf out;
    run(s, [&](size_t i) { geometry::quat_multiply(in.q[i], in.q[(i + 1) & 1023], out); benchmark::DoNotOptimize(out); });
}
void QuatMul_glm(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { glm::quat out = in.gq[i] * in.gq[(i + 1) & 1023]; benchmark::DoNotOptimize(out); });
}
void QuatMul_eigen(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { Eigen::Quaternionf out = in.eq[i] * in.eq[(i + 1) & 1023]; benchmark::DoNotOptimize(out); });
}

// quaternion to rotation matrix
void QuatToMatrix_ours(benchmark::State& s) {
    const auto& in = inputs();
    geometry::Mat3f out;
    run(s, [&](size_t i) { geometry::quat_to_matrix3(in.q[i], out); benchmark::DoNotOptimize(out); });
}
void QuatToMatrix_glm(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { glm::mat3 out = glm::mat3_cast(in.gq[i]); benchmark::DoNotOptimize(out); });
}
void QuatToMatrix_eigen(benchmark::State& s) {
    const auto& in = inputs();
    run(s, [&](size_t i) { Eigen::Matrix3f out = in.eq[i].toRotationMatrix(); benchmark::DoNotOptimize(out); });
}

}  // namespace

#define TRIPLE(name) BENCHMARK(name##_ours); BENCHMARK(name##_glm); BENCHMARK(name##_eigen)
TRIPLE(Mul4);
TRIPLE(Inv4);
TRIPLE(Point4);
TRIPLE(Det3);
TRIPLE(Norm);
TRIPLE(EulerToMatrix);
TRIPLE(MatrixToQuat);
TRIPLE(QuatMul);
TRIPLE(QuatToMatrix);

BENCHMARK_MAIN();
