// Each object as the camera sees it at one step: how near and far its visible surface lies
// (along the rays from the camera, as the module measures), whether that lies within the near
// and far limits, and how large its blur circle is on the film and in the camera view.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/program/session/camera_view.h"
#include "host/program/session/sharpness.h"

namespace host {

struct ObjectFocus {
    enum class Zone {
        Unseen,    // no sample of the camera view sees it
        Sharp,     // all of its visible surface lies within the limits
        Partly,    // some of it does
        Blurred,   // none of it does
        Unknown,   // the camera is focused nearer than its focal length: no sharp image at all
    };
    size_t object = 0;                     // the object's index in the scene
    std::string name;
    Zone zone = Zone::Unseen;
    double nearest_m = 0, farthest_m = 0;  // of the visible surface
    double blur_min_mm = 0, blur_max_mm = 0;
    double blur_min_px = 0, blur_max_px = 0;
};

// The objects of `view` (those of `scene`, in its order) under `sharpness`.
std::vector<ObjectFocus> object_focus(const Scene& scene, const CameraView& view, const Sharpness& sharpness);

// "sharp", "partly sharp", "not sharp", "not in view", "unknown".
const char* zone_name(ObjectFocus::Zone zone);

}  // namespace host
