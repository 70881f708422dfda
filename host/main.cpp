// taverin-host: loads the module file, activates the tool, and plays a short session in the
// demo scene: a draw, a click on the ball in the camera view, and a draw after it.
#include <cstdio>
#include <cstring>
#include <string>

#include "host/demo_scene.h"
#include "host/host.h"

namespace {

std::string default_module_path(const char* argv0) {
    std::string dir = argv0;
    const size_t slash = dir.find_last_of("/\\");
    dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
    return dir + "/orvik_taverin_64.p";
}

void print_marks(const host::Host& h) {
    for (const auto& d : h.draws) {
        if (d.kind == host::DrawKind::Color)
            std::printf("    colour   (%.7g, %.7g, %.7g, %.7g)\n", d.rgba[0], d.rgba[1], d.rgba[2], d.rgba[3]);
        else
            std::printf("    %-8s radius %.6f m about (%g, %g, %g)\n",
                        d.kind == host::DrawKind::Circle ? "circle" : "disc", d.radius, d.center[0],
                        d.center[1], d.center[2]);
    }
}

int usage() {
    std::fprintf(stderr, "usage: taverin-host [MODULE_FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) return usage();
    if (argc == 2 && (!std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "--help"))) {
        std::printf("usage: taverin-host [MODULE_FILE]\n"
                    "Loads the tool module (default: orvik_taverin_64.p beside this program),\n"
                    "activates it in a demo scene, and shows a click focusing the camera.\n");
        return 0;
    }
    const std::string path = argc == 2 ? argv[1] : default_module_path(argv[0]);

    host::Host h;
    host::build_demo_scene(h.scene, false);
    std::string error;
    if (!h.load(path, error, false)) {
        std::fprintf(stderr, "taverin-host: %s\n", error.c_str());
        return 1;
    }
    const auto& server = h.module()->server();
    std::printf("loaded %s: server \"%s\" of class \"%s\"\n", path.c_str(), server.server_name,
                server.class_name);

    const int32_t result = h.activate();
    std::printf("activation result %d; services looked up:", result);
    for (const auto& n : h.lookups) std::printf(" \"%s\"", n.c_str());
    std::printf("\n");
    if (result != 0) return 1;

    if (host::Panel* p = h.panel()) {
        std::printf("panel \"%s\", %d x %d, %s, %zu controls:\n", p->title.c_str(), p->width,
                    p->height, p->open ? "open" : "closed", p->controls.size());
        for (const auto& c : p->controls)
            std::printf("    %-18s %-8s at (%3d, %3d) size %3d x %2d\n", c->type_name.c_str(),
                        ("\"" + c->label + "\"").c_str(), c->x, c->y, c->w, c->h);
    }
    std::printf("help text \"%s\", redraw query %d\n", h.help(), h.dirty());

    auto& cam = h.scene.camera;
    std::printf("camera: film %.0f x %.0f mm, focal length %g mm, f/%g, focal distance %g m\n",
                cam.film_width * 1000, cam.film_height * 1000, cam.focal_length, cam.f_stop,
                cam.focal_distance_at(h.scene.time));
    h.draws.clear();
    h.draw();
    std::printf("draw before the click:\n");
    print_marks(h);

    const auto& vp = h.scene.viewports[0];
    const double before = cam.focal_distance_at(h.scene.time);
    h.commands.clear();
    h.click(0, vp.width / 2.0, vp.height / 2.0 - 40);
    std::printf("click in \"%s\" at pixel (%d, %d)\n", vp.name.c_str(), vp.width / 2, vp.height / 2 - 40);
    for (const auto& c : h.commands) std::printf("    command \"%s\"\n", c.c_str());
    std::printf("focal distance %g m -> %.6f m\n", before, cam.focal_distance_at(h.scene.time));

    h.draws.clear();
    h.draw();
    std::printf("draw after the click:\n");
    print_marks(h);

    h.release();
    std::printf("released; panel destroyed: %s\n", h.panel() && h.panel()->destroyed ? "yes" : "no");
    return 0;
}
