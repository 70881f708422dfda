#include "host/scene_json.h"

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "host/json_fields.h"
#include "host/obj_reader.h"
#include "host/session_json.h"

namespace host {

namespace {

constexpr double kDegToRad = 0.017453292519943295;

void read_camera(const json& j, Camera& cam) {
    Fields f(j, "/camera");
    if (auto* v = f.take("position")) cam.position = vec3(*v, f.path("position"));
    if (auto* v = f.take("rotation")) {
        const Vec3 r = vec3(*v, f.path("rotation"));
        cam.heading = r.x * kDegToRad;
        cam.pitch = r.y * kDegToRad;
        cam.bank = r.z * kDegToRad;
    }
    if (auto* v = f.take("film_size")) {
        numbers(*v, f.path("film_size"), 2);
        cam.film_width = positive((*v)[0], f.path("film_size") + "/0");
        cam.film_height = positive((*v)[1], f.path("film_size") + "/1");
    }
    if (auto* v = f.take("focal_length")) cam.focal_length = positive(*v, f.path("focal_length"));
    if (auto* v = f.take("f_stop")) {
        cam.f_stop = number(*v, f.path("f_stop"));
        if (cam.f_stop < 0) fail(f.path("f_stop"), "must not be negative");
    }
    if (auto* v = f.take("focal_distance")) cam.focal_distance = number(*v, f.path("focal_distance"));
    if (auto* v = f.take("depth_of_field"))
        cam.flags = boolean(*v, f.path("depth_of_field")) ? kCameraDofFlag : 0u;
    const json* env = f.take("focal_envelope");
    cam.channels.clear();
    cam.add_standard_channels(env != nullptr);
    if (env) {
        const std::string p = f.path("focal_envelope");
        if (!env->is_array()) fail(p, "expected an array of keys");
        Envelope* e = cam.focal_envelope();
        for (size_t i = 0; i < env->size(); ++i) {
            Fields k((*env)[i], p + "/" + std::to_string(i));
            const json* t = k.take("time");
            const json* val = k.take("value");
            if (!t || !val) fail(p + "/" + std::to_string(i), "a key needs \"time\" and \"value\"");
            const double time = number(*t, k.path("time"));
            if (e->find(time)) fail(k.path("time"), "two keys at the same time");
            e->create(time, number(*val, k.path("value")));
            k.finish();
        }
    }
    f.finish();
}

void read_object(const json& j, const std::string& path, const std::string& base_dir,
                 const std::string& file, Object& o) {
    Fields f(j, path);
    const json* type = f.take("type");
    if (!type) fail(path, "an object needs a \"type\"");
    const std::string t = text(*type, f.path("type"));
    if (auto* v = f.take("name")) o.name = text(*v, f.path("name"));
    if (t == "sphere") {
        o.kind = Object::Kind::Sphere;
        const json* c = f.take("center");
        const json* r = f.take("radius");
        if (!c || !r) fail(path, "a sphere needs \"center\" and \"radius\"");
        o.center = vec3(*c, f.path("center"));
        o.radius = positive(*r, f.path("radius"));
    } else if (t == "box") {
        o.kind = Object::Kind::Box;
        const json* c = f.take("center");
        const json* s = f.take("size");
        if (!c || !s) fail(path, "a box needs \"center\" and \"size\"");
        o.center = vec3(*c, f.path("center"));
        const auto size = numbers(*s, f.path("size"), 3);
        for (int i = 0; i < 3; ++i) positive((*s)[static_cast<size_t>(i)], f.path("size") + "/" + std::to_string(i));
        o.half_size = {size[0] / 2, size[1] / 2, size[2] / 2};
    } else if (t == "mesh") {
        o.kind = Object::Kind::Mesh;
        const json* mf = f.take("file");
        if (!mf) fail(path, "a mesh needs a \"file\"");
        const std::string name = text(*mf, f.path("file"));
        Vec3 offset{};
        double scale = 1.0;
        if (auto* v = f.take("position")) offset = vec3(*v, f.path("position"));
        if (auto* v = f.take("scale")) scale = positive(*v, f.path("scale"));
        const std::string mesh_path = (name.size() > 0 && (name[0] == '/' || name[0] == '\\'))
                                          ? name
                                          : (base_dir.empty() ? name : base_dir + "/" + name);
        std::string err;
        if (!read_obj(mesh_path, scale, offset, o.triangles, err))
            throw SchemaError{"", err + " (mesh of " + file + path + ")"};
        o.center = offset;
        o.build_acceleration();
    } else {
        fail(f.path("type"), "unknown object type \"" + t + "\" (sphere, box or mesh)");
    }
    f.finish();
}

void read_viewport(const json& j, const std::string& path, Viewport& vp) {
    Fields f(j, path);
    if (auto* v = f.take("name")) vp.name = text(*v, f.path("name"));
    if (auto* v = f.take("type")) {
        if (v->is_string()) {
            static const std::map<std::string, int32_t> types = {
                {"camera", kViewCamera}, {"top", kViewTop}, {"front", kViewFront}, {"perspective", kViewPerspective}};
            const std::string t = v->get<std::string>();
            auto it = types.find(t);
            if (it == types.end()) fail(f.path("type"), "unknown viewport type \"" + t + "\"");
            vp.type = it->second;
        } else {
            vp.type = integer(*v, f.path("type"));
        }
    }
    if (auto* v = f.take("width")) vp.width = integer(*v, f.path("width"));
    if (auto* v = f.take("height")) vp.height = integer(*v, f.path("height"));
    if (vp.width <= 0 || vp.height <= 0) fail(path, "width and height must be greater than 0");
    f.finish();
}

}  // namespace

bool read_file(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read (missing or not permitted)";
        return false;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) {
        error = path + ": read error";
        return false;
    }
    text = ss.str();
    return true;
}

bool read_scene(const std::string& text, const std::string& file, const std::string& base_dir,
                Scene& scene, std::vector<Step>& session, std::string& error) {
    json j;
    if (!parse_json(text, file, j, error)) return false;
    Scene s;
    std::vector<Step> steps;
    try {
        Fields top(j, "");
        if (auto* v = top.take("time")) s.time = number(*v, "/time");
        if (auto* v = top.take("camera")) {
            read_camera(*v, s.camera);
        } else {
            s.camera.add_standard_channels(false);
        }
        if (auto* v = top.take("objects")) {
            if (!v->is_array()) fail("/objects", "expected an array");
            for (size_t i = 0; i < v->size(); ++i) {
                Object o;
                o.name = "Object " + std::to_string(i + 1);
                read_object((*v)[i], "/objects/" + std::to_string(i), base_dir, file, o);
                s.objects.push_back(std::move(o));
            }
        }
        if (auto* v = top.take("viewports")) {
            if (!v->is_array()) fail("/viewports", "expected an array");
            for (size_t i = 0; i < v->size(); ++i) {
                Viewport vp;
                vp.name = "Viewport " + std::to_string(i + 1);
                read_viewport((*v)[i], "/viewports/" + std::to_string(i), vp);
                s.viewports.push_back(vp);
            }
        } else {
            s.add_default_viewports();
        }
        if (auto* v = top.take("session")) read_steps(*v, "/session", steps);
        top.finish();
    } catch (const SchemaError& e) {
        error = schema_message(file, e);
        return false;
    } catch (const std::exception& e) {
        error = file + ": " + e.what();
        return false;
    }
    scene = std::move(s);
    session = std::move(steps);
    return true;
}

}  // namespace host
