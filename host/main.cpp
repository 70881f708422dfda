// taverin-host: the stand-in host as a program. It loads the tool module through the
// operating system's loader, activates it in a scene, plays a session of user actions through
// the callback table as the host application would, and reports what the module did: a
// transcript (or JSON) and pictures of the camera view and a top view.
//
// Exit status: 0 done; 1 the module could not be loaded or activated; 2 bad input (command
// line, scene, session or mesh file), reported in one line naming the file and the place.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/player.h"
#include "host/demo_scene.h"
#include "host/obj_reader.h"
#include "host/scene_json.h"
#include "host/session_json.h"
#include "host/svg.h"

namespace {

std::string default_module_path(const char* argv0) {
    std::string dir = argv0;
    const size_t slash = dir.find_last_of("/\\");
    dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
    return dir + "/orvik_taverin_64.p";
}

std::string directory_of(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// "VIEWPORT:X,Y" into a click step.
bool parse_click(const std::string& arg, host::Step& step) {
    const size_t colon = arg.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    const std::string xy = arg.substr(colon + 1);
    const size_t comma = xy.find(',');
    if (comma == std::string::npos) return false;
    try {
        size_t a = 0, b = 0;
        const double x = std::stod(xy.substr(0, comma), &a);
        const double y = std::stod(xy.substr(comma + 1), &b);
        if (a != comma || b != xy.size() - comma - 1 || !std::isfinite(x) || !std::isfinite(y)) return false;
        step.kind = host::Step::Kind::Click;
        step.viewport = arg.substr(0, colon);
        step.px = x;
        step.py = y;
        return true;
    } catch (...) {
        return false;
    }
}

std::string m(double v) {
    char b[64];
    std::snprintf(b, sizeof b, "%.6f m", v);
    return b;
}

std::string marks_text(const host::Marks& k) {
    std::string s = "focus circle " + (std::isnan(k.focus) ? std::string("not drawn") : m(k.focus));
    s += ", near disc " + (std::isnan(k.near_limit) ? std::string("not drawn") : m(k.near_limit));
    s += ", far circle " + (std::isnan(k.far_limit) ? std::string("not drawn") : m(k.far_limit));
    return s;
}

nlohmann::json marks_json(const host::Marks& k) {
    auto v = [](double x) { return std::isnan(x) ? nlohmann::json(nullptr) : nlohmann::json(x); };
    return {{"focus_circle", v(k.focus)}, {"near_disc", v(k.near_limit)}, {"far_circle", v(k.far_limit)}};
}

int bad_input(const std::string& message) {
    std::fprintf(stderr, "taverin-host: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Loads the orvik Taverin tool module into a stand-in host, plays a session of\n"
                 "clicks, drags and panel edits, and shows what the tool did."};
    std::string module_path = default_module_path(argv[0]);
    std::string scene_path, session_path, out_dir = "out";
    std::vector<std::string> clicks;
    bool as_json = false, no_pictures = false;
    app.add_option("--module", module_path, "Module file (default: orvik_taverin_64.p beside this program)");
    app.add_option("--scene", scene_path, "Scene file (JSON); without it the built-in demo scene is played");
    app.add_option("--session", session_path, "Session file (JSON array of steps); replaces the scene's session");
    app.add_option("--click", clicks, "Also click at a pixel: VIEWPORT:X,Y (repeatable)");
    app.add_flag("--json", as_json, "Print the transcript as JSON");
    app.add_option("--out", out_dir, "Folder for the pictures (default: out)");
    app.add_flag("--no-pictures", no_pictures, "Write no pictures");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }

    // Everything the user gave is read and checked before anything is loaded or written.
    host::Scene scene;
    std::vector<host::Step> session;
    std::string error, text;
    const std::string scene_name = scene_path.empty() ? "built-in demo scene" : scene_path;
    if (scene_path.empty()) {
        if (!host::read_scene(host::demo_scene_json(), scene_name, ".", scene, session, error)) return bad_input(error);
    } else {
        if (!host::read_file(scene_path, text, error)) return bad_input(error);
        if (!host::read_scene(text, scene_path, directory_of(scene_path), scene, session, error)) return bad_input(error);
    }
    if (!session_path.empty()) {
        session.clear();
        if (!host::read_file(session_path, text, error)) return bad_input(error);
        if (!host::read_session(text, session_path, session, error)) return bad_input(error);
    }
    for (const std::string& c : clicks) {
        host::Step s;
        if (!parse_click(c, s)) return bad_input("--click " + c + ": expected VIEWPORT:X,Y");
        session.push_back(s);
    }
    if (!host::validate_session(scene, session, session_path.empty() ? scene_name : session_path, error))
        return bad_input(error);

    host::Host h;
    h.scene = std::move(scene);
    if (!h.load(module_path, error, false)) {
        std::fprintf(stderr, "taverin-host: %s\n", error.c_str());
        return 1;
    }
    const int32_t result = h.activate();
    if (result != 0) {
        std::fprintf(stderr, "taverin-host: %s: activation failed with result %d\n", module_path.c_str(), result);
        return 1;
    }
    const std::vector<std::string> lookups = h.record.lookups;
    const host::Camera& cam = h.scene.camera;
    char camera_line[256];
    std::snprintf(camera_line, sizeof camera_line,
                  "camera: film %g x %g mm, %g mm lens, f/%g, focused at %g m, depth of field %s",
                  cam.film_width * 1000, cam.film_height * 1000, cam.focal_length, cam.f_stop,
                  cam.focal_distance_at(h.scene.time), (cam.flags & host::kCameraDofFlag) ? "on" : "off");

    h.record.draws.clear();
    h.draw();
    const std::vector<host::DrawCall> initial = h.record.draws;
    std::vector<host::StepRecord> records;
    for (const host::Step& s : session) records.push_back(host::play_step(h, s));
    const std::vector<host::DrawCall>& last = records.empty() ? initial : records.back().draws;

    std::vector<std::string> pictures;
    if (!no_pictures) {
        std::error_code ec;
        std::filesystem::create_directories(out_dir, ec);
        const std::string cam = out_dir + "/camera_view.svg", top = out_dir + "/top_view.svg";
        if (!host::write_file_atomically(cam, host::camera_view_svg(h.scene, records, last), error) ||
            !host::write_file_atomically(top, host::top_view_svg(h.scene, records, last), error)) {
            return bad_input(error);
        }
        pictures = {cam, top};
    }

    const host::Camera& c = h.scene.camera;
    if (as_json) {
        nlohmann::json j;
        j["module"] = module_path;
        j["activation"] = result;
        j["services"] = lookups;
        j["scene"] = scene_name;
        j["camera"] = {{"film_size_mm", {c.film_width * 1000, c.film_height * 1000}},
                       {"focal_length_mm", c.focal_length},
                       {"f_stop", c.f_stop}};
        j["initial_marks"] = marks_json(host::marks_of(initial));
        j["steps"] = nlohmann::json::array();
        for (const auto& r : records) {
            nlohmann::json s = {{"action", r.action},
                                {"commands", r.commands},
                                {"command_errors", r.command_errors},
                                {"keys", r.keys},
                                {"messages", r.messages},
                                {"instance_updates", r.instance_updates},
                                {"panel_fields", r.fields},
                                {"focal_distance_before", r.focal_before},
                                {"focal_distance_after", r.focal_after},
                                {"marks", marks_json(host::marks_of(r.draws))}};
            if (r.has_ray) {
                s["ray"] = {{"origin", {r.ray.origin.x, r.ray.origin.y, r.ray.origin.z}},
                            {"direction", {r.ray.direction.x, r.ray.direction.y, r.ray.direction.z}},
                            {"hit", r.ray.hit ? nlohmann::json{{"object", r.ray.object}, {"distance", r.ray.distance}}
                                              : nlohmann::json(nullptr)}};
            }
            j["steps"].push_back(s);
        }
        j["pictures"] = pictures;
        std::printf("%s\n", j.dump(2).c_str());
        return 0;
    }

    std::printf("orvik Taverin in the stand-in host\n");
    std::printf("module %s: server \"%s\" of class \"%s\", activation result %d\n", module_path.c_str(),
                h.module()->server().server_name, h.module()->server().class_name, result);
    std::printf("scene: %s; %zu objects, %zu viewports, time %g\n", scene_name.c_str(), h.scene.objects.size(),
                h.scene.viewports.size(), h.scene.time);
    std::printf("%s\n", camera_line);
    std::printf("marks drawn: %s\n", marks_text(host::marks_of(initial)).c_str());
    for (size_t i = 0; i < records.size(); ++i) {
        const auto& r = records[i];
        std::printf("\nstep %zu: %s\n", i + 1, r.action.c_str());
        if (r.has_ray) {
            if (r.ray.hit)
                std::printf("  ray from the camera: nearest hit \"%s\" at %s\n", r.ray.object.c_str(), m(r.ray.distance).c_str());
            else
                std::printf("  ray from the camera: no object hit\n");
        }
        for (const auto& s : r.commands) std::printf("  command \"%s\"\n", s.c_str());
        for (const auto& s : r.command_errors) std::printf("  command refused: %s\n", s.c_str());
        for (const auto& s : r.keys) std::printf("  envelope key: %s\n", s.c_str());
        for (const auto& s : r.messages) std::printf("  message %s\n", s.c_str());
        for (const auto& s : r.fields) std::printf("  panel field %s\n", s.c_str());
        if (r.instance_updates > 0) std::printf("  \"Instance Update\" x %d\n", r.instance_updates);
        if (r.focal_after != r.focal_before)
            std::printf("  focal distance %s -> %s\n", m(r.focal_before).c_str(), m(r.focal_after).c_str());
        else
            std::printf("  focal distance unchanged (%s)\n", m(r.focal_after).c_str());
        std::printf("  marks drawn: %s\n", marks_text(host::marks_of(r.draws)).c_str());
    }
    if (!pictures.empty()) std::printf("\npictures: %s, %s\n", pictures[0].c_str(), pictures[1].c_str());
    return 0;
}
