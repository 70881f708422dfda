// What one run of taverin-host is about, beside its steps: the module, the scene and the
// camera at the start. The transcript, the JSON and the report begin with it; the steps follow
// one by one as they are played, so that nothing grows with the session's length.
#pragma once

#include <string>
#include <vector>

#include "host/scene.h"

namespace host {

struct RunInfo {
    std::string module_path;
    std::string server_name, class_name;
    int activation = 0;
    std::vector<std::string> services;  // the names the module looked up, in order
    std::string scene_name;             // the scene file, or "built-in demo scene"
    const Scene* scene = nullptr;       // the objects and viewports (a session changes neither)
    Camera camera_at_start;             // the camera before the first step
    double time_at_start = 0;
    std::string report;                 // the report's path, when one is written
};

}  // namespace host
