// The scene and session the program plays when no scene file is given: a 36 x 24 mm camera
// with a 50 mm lens at f/2.8 focused at 5 m, a backdrop, a ball and a crate, and a session of
// clicks, a drag and panel edits. (The tests use a fixed scene of their own: test_scene.h.)
#pragma once

namespace host {

// The demo as scene-file text (JSON).
const char* demo_scene_json();

}  // namespace host
