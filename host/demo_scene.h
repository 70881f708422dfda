// The scene the stand-in host's demo plays: a 36 x 24 mm camera with a 50 mm lens at f/2.8
// focused at 5 m, looking at a sphere, a box and a box-shaped mesh.
#pragma once

#include "host/scene.h"

namespace host {

void build_demo_scene(Scene& scene, bool focal_envelope);

}  // namespace host
