// The module's own cost per draw call and per object tested by the pick, with host services
// that answer at once and record nothing. The host's share is measured in the same run by
// calling the same service functions the way the module does, without the module.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/test_scene.h"
#include "host/host.h"

namespace {

host::Host& shared_host() {
    static host::Host* h = [] {
        auto* hh = new host::Host();
        host::build_test_scene(hh->scene, false);
        std::string error;
        if (!hh->load(TAVERIN_MODULE_PATH, error, false)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::exit(1);
        }
        if (hh->activate() != 0) std::exit(1);
        hh->record.enabled = false;
        return hh;
    }();
    return *h;
}

struct NullDraw {
    static void color(void*, const float*) {}
    static void shape(void*, const double*, double, int32_t) {}
};

void BM_Draw(benchmark::State& state) {
    host::Host& h = shared_host();
    const taverin::DrawAccess access = {nullptr, NullDraw::color, NullDraw::shape, NullDraw::shape};
    auto draw = h.callbacks().draw;
    void* inst = h.instance();
    for (auto _ : state) draw(inst, &access);
}
BENCHMARK(BM_Draw);

// The host's own share of a draw: the six queries the draw makes, called directly.
void BM_DrawHostQueriesOnly(benchmark::State& state) {
    host::Host& h = shared_host();
    (void)h;
    auto g = host::Host::global_function();
    auto* scene = static_cast<taverin::SceneInfoService*>(g("LW Scene Info 10", 0));
    auto* cam = static_cast<taverin::CameraInfoService*>(g("LW Camera Info 9", 0));
    auto* item = static_cast<taverin::ItemInfoService*>(g("LW Item Info 8", 0));
    for (auto _ : state) {
        taverin::ItemId c = scene->render_camera(0.0);
        double w, v, p[3];
        cam->film_size(c, &w, &v);
        benchmark::DoNotOptimize(cam->focal_distance(c, 0.0) + cam->focal_length(c, 0.0) + cam->f_stop(c, 0.0));
        item->param(c, 8, 0.0, p);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_DrawHostQueriesOnly);

void set_objects(host::Host& h, size_t n) {
    h.scene.objects.assign(n, host::make_sphere("s", {0, 0, 10}, 1));
    // Every object missed at once: the camera is never changed.
    h.options.intersect_override = [](taverin::ItemId, const double*, const double*, taverin::HitRecord*) { return 0; };
}

void BM_Pick(benchmark::State& state) {
    host::Host& h = shared_host();
    set_objects(h, static_cast<size_t>(state.range(0)));
    auto down = h.callbacks().down;
    void* inst = h.instance();
    taverin::ToolEvent e{};
    e.direction[2] = 1.0;
    for (auto _ : state) benchmark::DoNotOptimize(down(inst, &e));
    state.SetComplexityN(state.range(0));
    state.counters["objects"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_Pick)->RangeMultiplier(10)->Range(1, 10000)->Complexity(benchmark::oN);

// The host's share of a pick over N objects: the same service calls, made directly.
void BM_PickHostCallsOnly(benchmark::State& state) {
    host::Host& h = shared_host();
    set_objects(h, static_cast<size_t>(state.range(0)));
    auto g = host::Host::global_function();
    auto* item = static_cast<taverin::ItemInfoService*>(g("LW Item Info 8", 0));
    auto* sq = static_cast<taverin::SpatialQueryService*>(g("LWSpatialQueryService", 0));
    auto* vp = static_cast<taverin::ViewportInfoService*>(g("LW Viewport Info 7", 0));
    auto* msg = static_cast<taverin::MessagesService*>(g("Info Messages 3", 0));
    auto* scene = static_cast<taverin::SceneInfoService*>(g("LW Scene Info 10", 0));
    const double dir[3] = {0, 0, 1};
    for (auto _ : state) {
        msg->info("", "");
        benchmark::DoNotOptimize(vp->type(0));
        double o[3];
        item->param(scene->render_camera(0.0), 8, 0.0, o);
        taverin::QueryId q = sq->create();
        taverin::HitRecord hit{};
        for (taverin::ItemId it = item->first(0, nullptr); it; it = item->next(it))
            benchmark::DoNotOptimize(sq->intersect(q, it, o, dir, &hit));
        sq->release(q);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PickHostCallsOnly)->RangeMultiplier(10)->Range(1, 10000)->Complexity(benchmark::oN);

// A click on a 100,000-triangle mesh, the host really intersecting: with the mesh's bounding
// volume hierarchy, and (for comparison) testing every triangle.
host::Object tessellated_sphere(int rings, int segments) {
    host::Object o;
    o.kind = host::Object::Kind::Mesh;
    o.name = "Sphere";
    auto at = [&](int i, int j) {
        const double th = 3.141592653589793 * i / rings, ph = 2 * 3.141592653589793 * j / segments;
        return host::Vec3{2 * std::sin(th) * std::cos(ph), 2 * std::cos(th), 2 * std::sin(th) * std::sin(ph)};
    };
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < segments; ++j) {
            o.triangles.push_back({{at(i, j), at(i + 1, j), at(i, j + 1)}});
            o.triangles.push_back({{at(i, j + 1), at(i + 1, j), at(i + 1, j + 1)}});
        }
    return o;
}

void BM_PickMesh100k(benchmark::State& state) {
    host::Host& h = shared_host();
    h.options.intersect_override = nullptr;
    h.scene.objects = {tessellated_sphere(223, 224)};
    if (state.range(0)) h.scene.objects[0].build_acceleration();
    h.scene.camera.position = {0, 0, -10};
    h.scene.camera.flags = 8;
    auto down = h.callbacks().down;
    void* inst = h.instance();
    taverin::ToolEvent e{};
    e.direction[0] = 0.05;
    e.direction[2] = 1.0;
    for (auto _ : state) benchmark::DoNotOptimize(down(inst, &e));
    state.counters["triangles"] = static_cast<double>(h.scene.objects[0].triangles.size());
    state.SetLabel(state.range(0) ? "hierarchy" : "every triangle");
}
BENCHMARK(BM_PickMesh100k)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_BuildHierarchy100k(benchmark::State& state) {
    host::Object o = tessellated_sphere(223, 224);
    for (auto _ : state) {
        o.build_acceleration();
        benchmark::DoNotOptimize(o.bvh);
    }
}
BENCHMARK(BM_BuildHierarchy100k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
