#include "host/test_scene.h"

namespace host {

void build_test_scene(Scene& scene, bool focal_envelope) {
    scene = Scene{};
    scene.camera.position = {0, 1, -5};
    scene.camera.film_width = 0.036;
    scene.camera.film_height = 0.024;
    scene.camera.focal_length = 50.0;
    scene.camera.f_stop = 2.8;
    scene.camera.focal_distance = 5.0;
    scene.camera.flags = 0;
    scene.camera.add_standard_channels(focal_envelope);
    scene.objects.push_back(make_box("Backdrop", {0, 1, 12}, {6, 3, 0.5}));
    scene.objects.push_back(make_sphere("Ball", {0, 1, 3}, 1.0));
    scene.objects.push_back(make_box_mesh("Crate", {2.5, 0.5, 1}, {0.5, 0.5, 0.5}));
    scene.add_default_viewports();
}

}  // namespace host
