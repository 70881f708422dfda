// Scene and mesh files, sessions, the mesh hierarchy and the pictures' writing.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include "host/bvh.h"
#include "host/player.h"
#include "host/demo_scene.h"
#include "host/obj_reader.h"
#include "host/scene_json.h"
#include "host/session_json.h"
#include "host/svg.h"

using namespace host;
namespace fs = std::filesystem;

namespace {

std::string error_for(const std::string& text) {
    Scene scene;
    std::vector<Step> steps;
    std::string error;
    EXPECT_FALSE(read_scene(text, "scene.json", ".", scene, steps, error)) << text;
    return error;
}

class TempDir {
public:
    TempDir() {
        static int n = 0;
        path_ = fs::temp_directory_path() / ("taverin_scene_test_" + std::to_string(n++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string write(const std::string& name, const std::string& text) const {
        const auto p = path_ / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    std::string path() const { return path_.string(); }

private:
    fs::path path_;
};

}  // namespace

TEST(SceneFile, TheBuiltInDemoReadsAndItsSessionIsValid) {
    Scene scene;
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(read_scene(demo_scene_json(), "demo", ".", scene, steps, error)) << error;
    EXPECT_EQ(scene.objects.size(), 3u);
    EXPECT_EQ(scene.viewports[0].type, 9);
    EXPECT_EQ(scene.camera.film_width, 0.036);
    EXPECT_FALSE(steps.empty());
    EXPECT_TRUE(validate_session(scene, steps, "demo", error)) << error;
}

TEST(SceneFile, EveryBadInputIsNamedWithItsPlace) {
    EXPECT_EQ(error_for("{\n  \"camera\": {\n    \"f_stop\": 2.8,,\n  }\n}"),
              "scene.json: line 3, column 19: malformed JSON: syntax error while parsing object key - "
              "unexpected ','; expected string literal");
    EXPECT_EQ(error_for("{\"camera\": {\"fstop\": 2}}"), "scene.json: /camera/fstop: unknown field");
    EXPECT_EQ(error_for("{\"lights\": []}"), "scene.json: /lights: unknown field");
    EXPECT_EQ(error_for("{\"camera\": {\"focal_length\": \"50\"}}"),
              "scene.json: /camera/focal_length: expected a number");
    EXPECT_EQ(error_for("{\"camera\": {\"focal_length\": 0}}"),
              "scene.json: /camera/focal_length: must be greater than 0");
    EXPECT_EQ(error_for("{\"camera\": {\"film_size\": [0.036, -0.024]}}"),
              "scene.json: /camera/film_size/1: must be greater than 0");
    EXPECT_EQ(error_for("{\"camera\": {\"film_size\": [0.036]}}"),
              "scene.json: /camera/film_size: expected an array of 2 numbers");
    EXPECT_EQ(error_for("{\"camera\": {\"focal_distance\": 1e999}}").rfind("scene.json: ", 0), 0u);
    EXPECT_EQ(error_for("{\"objects\": [{\"type\": \"cone\"}]}"),
              "scene.json: /objects/0/type: unknown object type \"cone\" (sphere, box or mesh)");
    EXPECT_EQ(error_for("{\"objects\": [{\"type\": \"sphere\", \"center\": [0, 0, 0]}]}"),
              "scene.json: /objects/0: a sphere needs \"center\" and \"radius\"");
    EXPECT_EQ(error_for("{\"viewports\": [{\"width\": 0}]}"),
              "scene.json: /viewports/0: width and height must be greater than 0");
    EXPECT_EQ(error_for("{\"session\": [{\"do\": \"dance\"}]}"), "scene.json: /session/0/do: unknown step \"dance\"");
    EXPECT_EQ(error_for("[1, 2]"), "scene.json: /: expected an object");
    EXPECT_EQ(error_for(""), "scene.json: line 1, column 1: malformed JSON: syntax error while parsing value - "
                             "unexpected end of input; expected '[', '{', or a literal");
}

TEST(SceneFile, SessionsNameOnlyWhatTheSceneHas) {
    Scene scene;
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(read_scene(demo_scene_json(), "demo", ".", scene, steps, error));
    steps.clear();
    ASSERT_TRUE(read_session("[{\"do\": \"click\", \"viewport\": \"Side\"}]", "s.json", steps, error));
    EXPECT_FALSE(validate_session(scene, steps, "s.json", error));
    EXPECT_EQ(error, "s.json: /session/0/viewport: no viewport named \"Side\"");
    steps.clear();
    ASSERT_TRUE(read_session("[{\"do\": \"type\", \"control\": \"Q\", \"value\": 1}]", "s.json", steps, error));
    EXPECT_FALSE(validate_session(scene, steps, "s.json", error));
    steps.clear();
    ASSERT_TRUE(read_session("[{\"do\": \"select_item\", \"item\": \"Moon\"}]", "s.json", steps, error));
    EXPECT_FALSE(validate_session(scene, steps, "s.json", error));
    EXPECT_EQ(error, "s.json: /session/0/item: no object named \"Moon\"");
}

TEST(MeshFile, BadFacesAndMissingFilesAreReportedWithTheFaceAndLine) {
    TempDir dir;
    std::vector<Triangle> tris;
    std::string error;
    const std::string bad = dir.write("bad.obj", "v 0 0 0\r\nv 1 0 0\rv 0 1 0\nf 1 2 3\n# next\nf 1 2 9\n");
    EXPECT_FALSE(read_obj(bad, 1.0, {}, tris, error));
    EXPECT_EQ(error, bad + ": face 2 (line 6) refers to vertex 9 but the file has 3 vertices");
    EXPECT_FALSE(read_obj(dir.path() + "/none.obj", 1.0, {}, tris, error));
    EXPECT_NE(error.find("none.obj: cannot be read"), std::string::npos);
    const std::string empty = dir.write("empty.obj", "v 0 0 0\n");
    EXPECT_FALSE(read_obj(empty, 1.0, {}, tris, error));
    EXPECT_EQ(error, empty + ": no faces");

    // Vertex weights are ignored (a joint number beyond int once made the reader convert out
    // of range); material libraries are not opened.
    const std::string weights = dir.write(
        "w.obj", "mtllib /etc/passwd\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvw 1 9.99e31 0.5\r\tvw w 5e50\r\nf 1 2 3\n");
    ASSERT_TRUE(read_obj(weights, 1.0, {}, tris, error)) << error;
    EXPECT_EQ(tris.size(), 1u);

    const std::string quad = dir.write("quad.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
    ASSERT_TRUE(read_obj(quad, 2.0, {10, 0, 0}, tris, error)) << error;
    ASSERT_EQ(tris.size(), 2u);  // triangulated
    EXPECT_EQ(tris[0].v[1].x, 12.0);

    const std::string scene = dir.write("s.json", "{\"objects\": [{\"type\": \"mesh\", \"file\": \"bad.obj\"}]}");
    Scene s;
    std::vector<Step> steps;
    std::string text;
    ASSERT_TRUE(read_file(scene, text, error));
    EXPECT_FALSE(read_scene(text, scene, dir.path(), s, steps, error));
    EXPECT_NE(error.find("bad.obj: face 2 (line 6)"), std::string::npos) << error;
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
        const double a = brute.intersect(o, d), b = mesh.intersect(o, d);
        ASSERT_EQ(a, b) << r;
        hits += a >= 0;
    }
    EXPECT_GT(hits, 100);
}

TEST(Pictures, AreWrittenWholeOrNotAtAll) {
    TempDir dir;
    std::string error;
    EXPECT_TRUE(write_file_atomically(dir.path() + "/a.svg", "<svg/>", error));
    EXPECT_TRUE(fs::exists(dir.path() + "/a.svg"));
    EXPECT_FALSE(fs::exists(dir.path() + "/a.svg.partial"));
    EXPECT_FALSE(write_file_atomically(dir.path() + "/no/such/dir/b.svg", "<svg/>", error));
    EXPECT_NE(error.find("b.svg: cannot be written"), std::string::npos);

    Scene scene;
    std::vector<Step> steps;
    ASSERT_TRUE(read_scene(demo_scene_json(), "demo", ".", scene, steps, error));
    std::vector<DrawCall> draws = {{DrawKind::Color, {1, 0, 0, 1}, {0, 0, 0}, 0, 0},
                                   {DrawKind::Circle, {0, 0, 0, 0}, {0, 1, -5}, 5.0, 0},
                                   {DrawKind::Disc, {0, 0, 0, 0}, {0, 1, -5}, 4.0, 0}};
    const std::string top = top_view_svg(scene, {}, draws);
    EXPECT_NE(top.find("focus circle 5.00 m"), std::string::npos);
    EXPECT_NE(top.find("near-limit disc 4.00 m"), std::string::npos);
    EXPECT_NE(camera_view_svg(scene, {}, draws).find("<polyline"), std::string::npos);
}
