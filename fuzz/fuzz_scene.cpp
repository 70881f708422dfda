// The stand-in host program's readers on arbitrary text: JSON scenes and sessions, and (for
// input that starts with "OBJ\n") OBJ meshes. Any input must give a scene within the
// program's limits or exactly one error line; nothing may crash or take unbounded time.
#include <cmath>
#include <cstdlib>
#include <string>

#include "host/program/input/demo_scene.h"
#include "host/program/limits.h"
#include "host/program/input/obj_reader.h"
#include "host/program/input/scene_json.h"
#include "host/program/input/scene_names.h"
#include "host/program/input/session_json.h"

namespace {

void check_one_line(bool ok, const std::string& error) {
    if (!ok && (error.empty() || error.find('\n') != std::string::npos)) std::abort();
}

bool inside(const host::Vec3& v) {
    return std::fabs(v.x) <= host::kMaxCoordinate && std::fabs(v.y) <= host::kMaxCoordinate &&
           std::fabs(v.z) <= host::kMaxCoordinate;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    if (text.rfind("OBJ\n", 0) == 0) {
        std::vector<host::Triangle> tris;
        const bool ok = host::read_obj_text(text.substr(4), "fuzz.obj", 1.0, {}, tris, error);
        check_one_line(ok, error);
        for (const auto& t : tris)
            for (const auto& v : t.v)
                if (!inside(v)) std::abort();
        return 0;
    }
    host::Scene scene;
    std::vector<host::Step> steps;
    const bool ok = host::read_scene({"fuzz.json", text}, "/nonexistent", scene, steps, error);
    check_one_line(ok, error);
    if (ok) {
        const host::Camera& c = scene.camera;
        if (!(c.film_width >= host::kMinFilm && c.film_width <= host::kMaxFilm && c.focal_length >= host::kMinFocalLength &&
              (c.f_stop == 0 || c.f_stop >= host::kMinFStop) && c.focal_distance >= host::kMinLength && inside(c.position)))
            std::abort();
        for (const auto& vp : scene.viewports)
            if (vp.width < 1 || vp.width > host::kMaxViewport || vp.height < 1 || vp.height > host::kMaxViewport) std::abort();
    } else {
        std::vector<host::Step> demo;
        (void)host::read_scene({"demo", host::demo_scene_json()}, ".", scene, demo, error);
    }
    steps.clear();
    check_one_line(host::read_session({"fuzz.json", text}, scene, host::SceneNames(scene), steps, error), error);
    return 0;
}
