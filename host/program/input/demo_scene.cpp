#include "host/program/input/demo_scene.h"

namespace host {

const char* demo_scene_json() {
    return R"json({
  "time": 0,
  "camera": {
    "position": [0, 1.6, -5],
    "rotation": [0, 4, 0],
    "film_size": [0.036, 0.024],
    "focal_length": 50,
    "f_stop": 2.8,
    "focal_distance": 5,
    "depth_of_field": false
  },
  "objects": [
    {"type": "box", "name": "Backdrop", "center": [0, 1, 12], "size": [12, 6, 1]},
    {"type": "sphere", "name": "Ball", "center": [0, 1, 3], "radius": 1},
    {"type": "box", "name": "Crate", "center": [2.5, 0.5, 1], "size": [1, 1, 1]}
  ],
  "viewports": [
    {"name": "Camera View", "type": "camera", "width": 640, "height": 480},
    {"name": "Top", "type": "top", "width": 640, "height": 480}
  ],
  "session": [
    {"do": "click", "viewport": "Top", "pixel": [320, 240]},
    {"do": "click", "viewport": "Camera View", "pixel": [319.5, 300]},
    {"do": "click", "viewport": "Camera View", "pixel": [520, 250]},
    {"do": "open_panel"},
    {"do": "drag", "viewport": "Camera View", "pixel": [100, 420], "motions": [12, 8, -5]},
    {"do": "select_item", "item": "Ball"},
    {"do": "type", "control": "H", "value": 15},
    {"do": "drag_button", "control": "H", "values": [0, 1, 2]},
    {"do": "click", "viewport": "Camera View", "pixel": [319.5, 300], "alternate": true}
  ]
})json";
}

}  // namespace host
