// The stand-in host's scene reader on arbitrary text: JSON scenes and sessions, and (for input
// that starts with "OBJ\n") OBJ meshes. Any input must give a scene or one error line.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "host/player.h"
#include "host/demo_scene.h"
#include "host/obj_reader.h"
#include "host/scene_json.h"
#include "host/session_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    if (text.rfind("OBJ\n", 0) == 0) {
        static const std::string path =
            (std::filesystem::temp_directory_path() / ("fuzz_scene_" + std::to_string(::getpid()) + ".obj")).string();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text.substr(4);
        std::vector<host::Triangle> tris;
        if (!host::read_obj(path, 1.0, {}, tris, error) && (error.empty() || error.find('\n') != std::string::npos))
            std::abort();
        for (const auto& t : tris)
            for (const auto& v : t.v)
                if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) std::abort();
        return 0;
    }
    host::Scene scene;
    std::vector<host::Step> steps;
    if (host::read_scene(text, "fuzz.json", "/nonexistent", scene, steps, error)) {
        if (scene.camera.film_width <= 0 || scene.camera.focal_length <= 0) std::abort();
        (void)host::validate_session(scene, steps, "fuzz.json", error);
    } else if (error.empty() || error.find('\n') != std::string::npos) {
        std::abort();
    }
    steps.clear();
    (void)host::read_session(text, "fuzz.json", steps, error);
    return 0;
}
