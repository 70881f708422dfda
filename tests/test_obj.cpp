// OBJ meshes: faces and their errors, triangulation (convex polygons in linear time, concave
// ones covering exactly their area), and the mesh hierarchy's nearest hits.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "host/bvh.h"
#include "host/program/limits.h"
#include "host/program/input/obj_reader.h"
#include "host/program/input/scene_json.h"
#include "host/program/input/triangulate.h"

using namespace host;
namespace fs = std::filesystem;

namespace {

std::string obj_error(const std::string& text) {
    std::vector<Triangle> tris;
    std::string error;
    EXPECT_FALSE(read_obj_text(text, "m.obj", 1.0, {}, tris, error)) << text;
    return error;
}

double area(const Triangle& t) { return 0.5 * length(cross(t.v[1] - t.v[0], t.v[2] - t.v[0])); }

std::vector<Vec3> circle(size_t n, double r) {
    std::vector<Vec3> c;
    for (size_t i = 0; i < n; ++i) {
        const double a = 2 * 3.141592653589793 * static_cast<double>(i) / static_cast<double>(n);
        c.push_back({r * std::cos(a), r * std::sin(a), 0});
    }
    return c;
}

}  // namespace

TEST(ObjFile, FacesAndTheirErrorsByLine) {
    std::vector<Triangle> tris;
    std::string error;
    ASSERT_TRUE(read_obj_text("# a quad\nv 0 0 0\r\nv 1 0 0\rv 1 1 0\nv 0 1 0\nvn 0 0 1\nvt 0 0\n"
                              "vw 1 9.99e31 0.5\nmtllib /etc/passwd\nf 1/1/1 2//1 -2 -1\n",
                              "m.obj", 2.0, {10, 0, 0}, tris, error))
        << error;
    ASSERT_EQ(tris.size(), 2u);
    EXPECT_EQ(tris[0].v[1].x, 12.0);
    EXPECT_EQ(obj_error("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n\nf 1 2 9\n"),
              "m.obj:6: face 2 refers to vertex 9 but 3 vertices come before it");
    EXPECT_EQ(obj_error("v 0 0 0\nv 1 0 0\nf 1 2 -3\n"), "m.obj:3: face 1 refers to vertex -3 but 2 vertices come before it");
    EXPECT_EQ(obj_error("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4\n"), "m.obj:4: face 1 refers to vertex 4 but 3 vertices come before it");
    EXPECT_EQ(obj_error("v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nf 1 2 4\r\n"), "m.obj:4: face 1 refers to vertex 4 but 3 vertices come before it");
    EXPECT_EQ(obj_error("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 x\n"), "m.obj:4: face 1 \"x\" is not a vertex number");
    EXPECT_EQ(obj_error("v 0 0 0\nv 1 0 0\nf 1 2\n"), "m.obj:3: face 1 has 2 corners; a face needs at least 3");
    EXPECT_EQ(obj_error("v 0 0 nan\n"), "m.obj:1: a vertex needs three finite numbers");
    EXPECT_EQ(obj_error("v 0 0 1e400\n"), "m.obj:1: a vertex needs three finite numbers");
    EXPECT_EQ(obj_error("v 0 0 2e9\n"), "m.obj:1: the vertex lies beyond the scene's extent (1e9 m from the origin)");
    EXPECT_EQ(obj_error("v 0 0 0\n"), "m.obj: no faces (an OBJ mesh needs at least one \"f\" statement)");
    ASSERT_TRUE(read_obj_text("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3", "m.obj", 1.0, {}, tris, error)) << error;  // no last newline
    EXPECT_FALSE(read_obj("/nonexistent/none.obj", 1.0, {}, tris, error));
    EXPECT_EQ(error, "/nonexistent/none.obj: no such file");
}

TEST(ObjFile, ALongReadReportsItsProgressEvery65536Lines) {
    std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    while (text.size() < 8 * 200000) text += "v 0 0 0\n";  // 200,000 lines of 8 bytes
    std::vector<double> told;
    const Progress progress = [&](const char*, double fraction) { told.push_back(fraction); };
    std::vector<Triangle> tris;
    std::string error;
    ASSERT_TRUE(read_obj_text(text, "m.obj", 1.0, {}, tris, error, &progress)) << error;
    const std::vector<double> lines = {65536, 131072, 196608};
    ASSERT_EQ(told.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_NEAR(told[i], lines[i] / 200000, 1e-5) << i;
    // A scene's mesh: once read, the hierarchy's building is announced as starting.
    const fs::path dir = fs::temp_directory_path() / "taverin_obj_progress";
    fs::create_directories(dir);
    std::ofstream(dir / "m.obj") << text;
    std::vector<std::pair<std::string, double>> stages;
    const Progress staged = [&](const char* stage, double fraction) { stages.emplace_back(stage, fraction); };
    Scene scene;
    std::vector<Step> steps;
    ASSERT_TRUE(read_scene({"s", "{\"objects\": [{\"type\": \"mesh\", \"name\": \"M\", \"file\": \"m.obj\"}]}"},
                           dir.string(), scene, steps, error, &staged)) << error;
    ASSERT_EQ(stages.size(), 4u);
    EXPECT_EQ(stages.back(), std::make_pair(std::string("building the mesh hierarchy"), 0.0));
}

TEST(ObjFile, AMeshErrorNamesTheSceneFieldAndTheMeshLine) {
    const fs::path dir = fs::temp_directory_path() / "taverin_obj_test";
    fs::create_directories(dir);
    std::ofstream(dir / "bad.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 7\n";
    fs::create_directories(dir / "folder.obj");
    Scene s;
    std::vector<Step> steps;
    std::string error;
    EXPECT_FALSE(read_scene({"s.json", "{\"objects\": [{\"type\": \"mesh\", \"file\": \"bad.obj\"}]}"}, dir.string(), s, steps, error));
    EXPECT_EQ(error, "s.json:1:39: /objects/0/file: " + (dir / "bad.obj").string() +
                         ":4: face 1 refers to vertex 7 but 3 vertices come before it");
    EXPECT_FALSE(read_scene({"s.json", "{\"objects\": [{\"type\": \"mesh\", \"file\": \"folder.obj\"}]}"}, dir.string(), s, steps, error));
    EXPECT_EQ(error, "s.json:1:39: /objects/0/file: " + (dir / "folder.obj").string() + ": is a folder, not a file");
    fs::remove_all(dir);
}

TEST(Triangulation, ConcavePolygonsAreCoveredExactlyOnce) {
    // An L shape (area 3) and a comb whose teeth make most corners reflex.
    const std::vector<Vec3> ell = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    std::vector<Vec3> comb = {{0, 0, 0}, {20, 0, 0}};
    for (int t = 9; t >= 0; --t) {
        comb.push_back({2.0 * t + 2, 3, 0});
        comb.push_back({2.0 * t + 1.5, 3, 0});
        comb.push_back({2.0 * t + 1, 1, 0});
        comb.push_back({2.0 * t + 0.5, 3, 0});
    }
    // Each in planes facing every axis, both ways round, and tilted: the triangles cover the
    // polygon's area exactly (no overlap, nothing left out) whichever way it faces.
    const double c = std::cos(0.3), s = std::sin(0.3);
    const std::function<Vec3(Vec3)> turns[] = {
        [](Vec3 p) { return p; },
        [](Vec3 p) { return Vec3{p.x, -p.y, 0}; },
        [](Vec3 p) { return Vec3{0, p.x, p.y}; },
        [](Vec3 p) { return Vec3{0, p.y, p.x}; },
        [](Vec3 p) { return Vec3{p.y, 0, p.x}; },
        [](Vec3 p) { return Vec3{p.x, 0, -p.y}; },
        [=](Vec3 p) { return Vec3{c * p.x, p.y * c - s * s * p.x, s * p.x + c * s * p.y}; },
    };
    for (const std::vector<Vec3>* flat : {&ell, static_cast<const std::vector<Vec3>*>(&comb)}) {
        double shoelace = 0;
        for (size_t i = 0; i < flat->size(); ++i) {
            const Vec3& a = (*flat)[i];
            const Vec3& b = (*flat)[(i + 1) % flat->size()];
            shoelace += a.x * b.y - b.x * a.y;
        }
        for (size_t k = 0; k < std::size(turns) * flat->size(); ++k) {  // every turn, from every corner
            SCOPED_TRACE(k);
            const auto& turn = turns[k % std::size(turns)];
            const size_t from = k / std::size(turns);
            std::vector<Vec3> poly;
            for (size_t i = 0; i < flat->size(); ++i) poly.push_back(turn((*flat)[(i + from) % flat->size()]));
            const Vec3 normal = cross(turn({1, 0, 0}), turn({0, 1, 0}));
            std::vector<Triangle> tris;
            ASSERT_TRUE(triangulate(poly, tris));
            EXPECT_EQ(tris.size(), poly.size() - 2);
            double total = 0;
            for (const Triangle& t : tris) total += area(t);
            EXPECT_NEAR(total, std::fabs(shoelace) / 2 * length(normal), 1e-9);
        }
    }
}

TEST(Triangulation, ConvexPolygonsTakeTimeLinearInTheirCornersAndLargeConcaveOnesAreRefused) {
    // A million corners: about 0.2 s here, a few seconds on a slow or busy machine; a method
    // whose time grows with the square of the corners would take hours.
    std::vector<Triangle> tris;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(triangulate(circle(1000000, 5.0), tris));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(tris.size(), 999998u);
    EXPECT_LT(seconds, 30.0);

    std::vector<Vec3> star;  // concave, more corners than the limit
    for (size_t i = 0; i < 2 * kMaxConcaveCorners; ++i) {
        const double a = 2 * 3.141592653589793 * static_cast<double>(i) / static_cast<double>(2 * kMaxConcaveCorners);
        const double r = i % 2 ? 1.0 : 2.0;
        star.push_back({r * std::cos(a), r * std::sin(a), 0});
    }
    EXPECT_FALSE(triangulate(star, tris));
    star.resize(kMaxConcaveCorners);
    tris.clear();
    EXPECT_TRUE(triangulate(star, tris));
}

TEST(MeshHierarchy, FindsTheSameNearestHitAsTestingEveryTriangle) {
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> u(-5, 5);
    Object mesh;
    mesh.kind = Object::Kind::Mesh;
    for (int i = 0; i < 3000; ++i) {
        const Vec3 c{u(rng), u(rng), u(rng)};
        mesh.triangles.push_back({{c, c + Vec3{u(rng) * 0.1, u(rng) * 0.1, 0}, c + Vec3{0, u(rng) * 0.1, u(rng) * 0.1}}});
    }
    const Object brute = mesh;
    mesh.build_acceleration();
    ASSERT_NE(mesh.bvh, nullptr);
    int hits = 0;
    for (int r = 0; r < 2000; ++r) {
        const Vec3 o{u(rng) * 2, u(rng) * 2, u(rng) * 2};
        Vec3 d = normalized({u(rng), u(rng), u(rng)});
        if (r % 10 == 0) d = {0, 0, 1};  // axis-aligned rays too
        if (r % 10 == 1) d = d * 3.0;    // and directions that are not of unit length
        const double a = brute.intersect(o, d), b = mesh.intersect(o, d);
        ASSERT_EQ(a, b) << r;
        hits += a >= 0;
    }
    EXPECT_GT(hits, 100);
}
