#include "host/program/scene_json.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/program/format.h"
#include "host/program/limits.h"
#include "host/program/obj_reader.h"
#include "host/program/session_json.h"

namespace host {

namespace {

constexpr double kDegToRad = 0.017453292519943295;

void read_envelope(const json::Value& v, const std::string& path, Envelope& e) {
    const auto& keys = array(v, path, "keys");
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::string at = path + "/" + std::to_string(i);
        Fields k(keys[i], at);
        const json::Value& t = k.need("time", "a key");
        const double time = bounded(t, k.path("time"), -kMaxTime, kMaxTime, false, "s");
        const double value = bounded(k.need("value", "a key"), k.path("value"), 0, kMaxCoordinate, true, "m");
        if (e.find(time)) refuse(t, k.path("time"), "two keys at the same time");
        e.create(time, value);
        k.finish();
    }
}

void read_camera(const json::Value& v, Camera& cam) {
    Fields f(v, "/camera");
    if (auto* p = f.take("position")) cam.position = point(*p, f.path("position"));
    if (auto* r = f.take("rotation")) {
        const auto& a = array_of(*r, f.path("rotation"), 3, "angles in degrees");
        double deg[3];
        for (size_t i = 0; i < 3; ++i)
            deg[i] = bounded(a[i], f.path("rotation") + "/" + std::to_string(i), -kMaxAngle, kMaxAngle, false, "degrees");
        cam.heading = deg[0] * kDegToRad;
        cam.pitch = deg[1] * kDegToRad;
        cam.bank = deg[2] * kDegToRad;
    }
    if (auto* s = f.take("film_size")) {
        const auto& a = array_of(*s, f.path("film_size"), 2, "numbers (metres)");
        cam.film_width = bounded(a[0], f.path("film_size") + "/0", 0, kMaxFilm, true, "m");
        cam.film_height = bounded(a[1], f.path("film_size") + "/1", 0, kMaxFilm, true, "m");
    }
    if (auto* l = f.take("focal_length"))
        cam.focal_length = bounded(*l, f.path("focal_length"), 0, kMaxFocalLength, true, "mm");
    if (auto* n = f.take("f_stop")) cam.f_stop = bounded(*n, f.path("f_stop"), 0, kMaxFStop, false, "");
    if (auto* d = f.take("focal_distance"))
        cam.focal_distance = bounded(*d, f.path("focal_distance"), 0, kMaxCoordinate, true, "m");
    if (auto* b = f.take("depth_of_field")) cam.flags = boolean(*b, f.path("depth_of_field")) ? kCameraDofFlag : 0u;
    const json::Value* env = f.take("focal_envelope");
    cam.channels.clear();
    cam.add_standard_channels(env != nullptr);
    if (env) read_envelope(*env, f.path("focal_envelope"), *cam.focal_envelope());
    f.finish();
}

std::string mesh_path(const std::string& base_dir, const std::string& name) {
    const std::filesystem::path p(name);
    if (p.is_absolute() || base_dir.empty()) return name;
    return (std::filesystem::path(base_dir) / p).string();
}

void read_object(const json::Value& v, const std::string& path, const std::string& base_dir, Object& o,
                 const Progress* progress) {
    Fields f(v, path);
    const json::Value& type = f.need("type", "an object");
    const std::string t = text(type, f.path("type"));
    if (auto* n = f.take("name")) o.name = text(*n, f.path("name"));
    if (t == "sphere") {
        o.kind = Object::Kind::Sphere;
        o.center = point(f.need("center", "a sphere"), f.path("center"));
        o.radius = bounded(f.need("radius", "a sphere"), f.path("radius"), 0, kMaxCoordinate, true, "m");
    } else if (t == "box") {
        o.kind = Object::Kind::Box;
        o.center = point(f.need("center", "a box"), f.path("center"));
        const auto& s = array_of(f.need("size", "a box"), f.path("size"), 3, "numbers (metres)");
        double size[3];
        for (size_t i = 0; i < 3; ++i)
            size[i] = bounded(s[i], f.path("size") + "/" + std::to_string(i), 0, kMaxCoordinate, true, "m");
        o.half_size = {size[0] / 2, size[1] / 2, size[2] / 2};
    } else if (t == "mesh") {
        o.kind = Object::Kind::Mesh;
        const json::Value& file = f.need("file", "a mesh");
        const std::string name = text(file, f.path("file"));
        Vec3 offset{};
        double scale = 1.0;
        if (auto* p = f.take("position")) offset = point(*p, f.path("position"));
        if (auto* s = f.take("scale")) scale = bounded(*s, f.path("scale"), 0, kMaxCoordinate, true, "");
        std::string err;
        o.file = mesh_path(base_dir, name);
        if (!read_obj(o.file, scale, offset, o.triangles, err, progress))
            refuse(file, f.path("file"), err);
        o.center = offset;
        if (progress) (*progress)("building the mesh hierarchy", 0.0);
        o.build_acceleration();
    } else {
        refuse(type, f.path("type"), "unknown object type \"" + t + "\" (sphere, box or mesh)");
    }
    f.finish();
}

void read_viewport(const json::Value& v, const std::string& path, Viewport& vp) {
    Fields f(v, path);
    if (auto* n = f.take("name")) vp.name = text(*n, f.path("name"));
    if (auto* t = f.take("type")) {
        if (t->type == json::Value::Type::String) {
            const std::string name = t->text;
            if (name == "camera") vp.type = kViewCamera;
            else if (name == "top") vp.type = kViewTop;
            else if (name == "front") vp.type = kViewFront;
            else if (name == "perspective") vp.type = kViewPerspective;
            else refuse(*t, f.path("type"), "unknown viewport type \"" + name + "\" (camera, top, front or perspective)");
        } else {
            vp.type = integer(*t, f.path("type"), 0, 99);
        }
    }
    if (auto* w = f.take("width")) vp.width = integer(*w, f.path("width"), 1, kMaxViewport);
    if (auto* h = f.take("height")) vp.height = integer(*h, f.path("height"), 1, kMaxViewport);
    f.finish();
}

template <typename T>
void refuse_duplicate_names(const std::vector<T>& list, const json::Value& array_value, const std::string& path,
                            const char* what) {
    for (size_t i = 0; i < list.size(); ++i)
        for (size_t k = 0; k < i; ++k)
            if (list[i].name == list[k].name)
                refuse(array_value.items[i], path + "/" + std::to_string(i),
                       std::string("two ") + what + " named \"" + list[i].name + "\"");
}

void read_document(const json::Value& doc, const std::string& base_dir, Scene& s, std::vector<Step>& steps,
                   const Progress* progress) {
    Fields top(doc, "");
    if (auto* t = top.take("time")) s.time = bounded(*t, "/time", -kMaxTime, kMaxTime, false, "s");
    if (auto* c = top.take("camera")) read_camera(*c, s.camera);
    else s.camera.add_standard_channels(false);
    if (auto* objs = top.take("objects")) {
        const auto& list = array(*objs, "/objects", "objects");
        for (size_t i = 0; i < list.size(); ++i) {
            Object o;
            o.name = "Object " + std::to_string(i + 1);
            read_object(list[i], "/objects/" + std::to_string(i), base_dir, o, progress);
            s.objects.push_back(std::move(o));
        }
        refuse_duplicate_names(s.objects, *objs, "/objects", "objects");
    }
    if (auto* vps = top.take("viewports")) {
        const auto& list = array(*vps, "/viewports", "viewports");
        for (size_t i = 0; i < list.size(); ++i) {
            Viewport vp;
            vp.name = "Viewport " + std::to_string(i + 1);
            read_viewport(list[i], "/viewports/" + std::to_string(i), vp);
            s.viewports.push_back(vp);
        }
        refuse_duplicate_names(s.viewports, *vps, "/viewports", "viewports");
    } else {
        s.add_default_viewports();
    }
    // The session last: its steps name objects and viewports.
    if (auto* ses = top.take("session")) read_steps(*ses, "/session", s, steps);
    top.finish();
}

}  // namespace

bool read_file(const std::string& path, std::string& text, std::string& error) {
    // Every message names the path, on one line whatever the path holds.
    auto fail = [&](const char* why) {
        error = one_line(path + ": " + why);
        return false;
    };
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return fail("no such file");
    if (std::filesystem::is_directory(status)) return fail("is a folder, not a file");
    if (!std::filesystem::is_regular_file(status)) return fail("is not a regular file");
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return fail("cannot be read (not permitted)");
    // Read in one piece: a mesh file can be tens of megabytes.
    text.assign(static_cast<size_t>(status.type() == std::filesystem::file_type::regular ? std::filesystem::file_size(path, ec) : 0), '\0');
    if (ec) text.clear();
    size_t got = text.empty() ? 0 : std::fread(&text[0], 1, text.size(), f);
    text.resize(got);
    char more[65536];
    for (size_t n; (n = std::fread(more, 1, sizeof more, f)) > 0;) text.append(more, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return fail("read error");
    return true;
}

bool read_scene(const Source& source, const std::string& base_dir, Scene& scene, std::vector<Step>& session,
                std::string& error, const Progress* progress) {
    json::Value doc;
    if (!parse_source(source, doc, error)) return false;
    Scene s;
    std::vector<Step> steps;
    try {
        read_document(doc, base_dir, s, steps, progress);
    } catch (const ReadError& e) {
        error = message(source, e);
        return false;
    }
    scene = std::move(s);
    session = std::move(steps);
    return true;
}

}  // namespace host
