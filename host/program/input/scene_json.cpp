#include "host/program/input/scene_json.h"

#include <algorithm>
#include <filesystem>

#include "host/program/input/obj_reader.h"
#include "host/program/input/scene_names.h"
#include "host/program/input/session_json.h"
#include "host/program/limits.h"

namespace host {

namespace {

constexpr double kDegToRad = 0.017453292519943295;

void read_envelope(const json::Value& v, const std::string& path, Envelope& e) {
    const auto& keys = array(v, path, "keys");
    struct Read {
        double time, value;
        size_t index;
    };
    std::vector<Read> read;
    read.reserve(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        Fields k(keys[i], path + "/" + std::to_string(i));
        const double time = bounded(k.need("time", "a key"), k.path("time"), -kMaxTime, kMaxTime, false, "s");
        const double value =
            bounded(k.need("value", "a key"), k.path("value"), kMinLength, kMaxCoordinate, false, "m");
        k.finish();
        read.push_back({time, value, i});
    }
    // Sorted by time (in n log n, however many keys), a repeated time shows as two neighbours;
    // the key refused is the first in the file whose time an earlier key has.
    std::stable_sort(read.begin(), read.end(), [](const Read& a, const Read& b) { return a.time < b.time; });
    size_t repeat = keys.size();
    for (size_t i = 1; i < read.size(); ++i)
        if (read[i].time == read[i - 1].time) repeat = std::min(repeat, read[i].index);
    if (repeat < keys.size())
        refuse(*keys[repeat].find("time"), path + "/" + std::to_string(repeat) + "/time", "two keys at the same time");
    for (const Read& r : read) e.append(r.time, r.value);
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
        cam.film_width = bounded(a[0], f.path("film_size") + "/0", kMinFilm, kMaxFilm, false, "m");
        cam.film_height = bounded(a[1], f.path("film_size") + "/1", kMinFilm, kMaxFilm, false, "m");
    }
    if (auto* l = f.take("focal_length"))
        cam.focal_length = bounded(*l, f.path("focal_length"), kMinFocalLength, kMaxFocalLength, false, "mm");
    if (auto* n = f.take("f_stop")) {
        cam.f_stop = bounded(*n, f.path("f_stop"), 0, kMaxFStop, false, "");
        if (cam.f_stop != 0 && cam.f_stop < kMinFStop)
            refuse(*n, f.path("f_stop"), "must be 0 (no blur) or at least " + shown(kMinFStop));
    }
    if (auto* d = f.take("focal_distance"))
        cam.focal_distance = bounded(*d, f.path("focal_distance"), kMinLength, kMaxCoordinate, false, "m");
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
        o.radius = bounded(f.need("radius", "a sphere"), f.path("radius"), kMinLength, kMaxCoordinate, false, "m");
    } else if (t == "box") {
        o.kind = Object::Kind::Box;
        o.center = point(f.need("center", "a box"), f.path("center"));
        const auto& s = array_of(f.need("size", "a box"), f.path("size"), 3, "numbers (metres)");
        double size[3];
        for (size_t i = 0; i < 3; ++i)
            size[i] = bounded(s[i], f.path("size") + "/" + std::to_string(i), kMinLength, kMaxCoordinate, false, "m");
        o.half_size = {size[0] / 2, size[1] / 2, size[2] / 2};
    } else if (t == "mesh") {
        o.kind = Object::Kind::Mesh;
        const json::Value& file = f.need("file", "a mesh");
        const std::string name = text(file, f.path("file"), kMaxPathLength);
        Vec3 offset{};
        double scale = 1.0;
        if (auto* p = f.take("position")) offset = point(*p, f.path("position"));
        if (auto* s = f.take("scale")) scale = bounded(*s, f.path("scale"), kMinLength, kMaxCoordinate, false, "");
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
void refuse_repeated_names(const std::vector<T>& list, const json::Value& array_value, const std::string& path,
                           const char* what) {
    const int i = first_repeated_name(list);
    if (i >= 0)
        refuse(array_value.items[static_cast<size_t>(i)], path + "/" + std::to_string(i),
               std::string("two ") + what + " named \"" + list[static_cast<size_t>(i)].name + "\"");
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
        refuse_repeated_names(s.objects, *objs, "/objects", "objects");
    }
    if (auto* vps = top.take("viewports")) {
        const auto& list = array(*vps, "/viewports", "viewports");
        for (size_t i = 0; i < list.size(); ++i) {
            Viewport vp;
            vp.name = "Viewport " + std::to_string(i + 1);
            read_viewport(list[i], "/viewports/" + std::to_string(i), vp);
            s.viewports.push_back(vp);
        }
        refuse_repeated_names(s.viewports, *vps, "/viewports", "viewports");
    } else {
        s.add_default_viewports();
    }
    // The session last: its steps name objects and viewports.
    if (auto* ses = top.take("session")) read_steps(*ses, "/session", s, SceneNames(s), steps);
    top.finish();
}

}  // namespace

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
