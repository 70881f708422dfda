// A fixed scene for the tests, benchmarks and fuzzers: a 36 x 24 mm camera at (0, 1, -5)
// with a 50 mm lens at f/2.8 focused at 5 m, looking along +Z at a backdrop box, a ball and a
// box-shaped triangle mesh; a camera view, a top view and a perspective view. (The program's
// built-in demo is a different scene: demo_scene.h.)
#pragma once

#include "host/scene.h"

namespace host {

// Replaces `scene`; with `focal_envelope` the camera gets a "FocalDistance" channel with an
// empty envelope.
void build_test_scene(Scene& scene, bool focal_envelope);

}  // namespace host
