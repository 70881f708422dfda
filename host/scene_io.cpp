#include "host/scene_io.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>
#include <tiny_obj_loader.h>

namespace host {

using nlohmann::json;

const char* step_name(Step::Kind kind) {
    switch (kind) {
        case Step::Kind::Click: return "click";
        case Step::Kind::Drag: return "drag";
        case Step::Kind::OpenPanel: return "open_panel";
        case Step::Kind::ClosePanel: return "close_panel";
        case Step::Kind::Choose: return "choose";
        case Step::Kind::Type: return "type";
        case Step::Kind::DragButton: return "drag_button";
        case Step::Kind::SelectItem: return "select_item";
        case Step::Kind::Apply: return "apply";
        case Step::Kind::Time: return "time";
    }
    return "?";
}

namespace {

constexpr double kDegToRad = 0.017453292519943295;

// A schema error at a JSON path; turned into the one-line message by the caller.
struct SchemaError {
    std::string path;
    std::string what;
};

[[noreturn]] void fail(const std::string& path, const std::string& what) { throw SchemaError{path, what}; }

// A JSON object whose fields are taken one by one; whatever is left over is unknown.
class Fields {
public:
    Fields(const json& j, std::string path) : j_(j), path_(std::move(path)) {
        if (!j.is_object()) fail(path_.empty() ? "/" : path_, "expected an object");
    }
    const json* take(const char* key) {
        auto it = j_.find(key);
        if (it == j_.end()) return nullptr;
        taken_.insert(key);
        return &*it;
    }
    std::string path(const char* key) const { return path_ + "/" + key; }
    void finish() const {
        for (auto it = j_.begin(); it != j_.end(); ++it)
            if (!taken_.count(it.key())) fail(path_ + "/" + it.key(), "unknown field");
    }

private:
    const json& j_;
    std::string path_;
    std::set<std::string> taken_;
};

double number(const json& j, const std::string& path) {
    if (!j.is_number()) fail(path, "expected a number");
    const double v = j.get<double>();
    if (!std::isfinite(v)) fail(path, "not a finite number");
    return v;
}

double positive(const json& j, const std::string& path) {
    const double v = number(j, path);
    if (!(v > 0)) fail(path, "must be greater than 0");
    return v;
}

int32_t integer(const json& j, const std::string& path) {
    const double v = number(j, path);
    if (v != std::floor(v) || v < -2147483648.0 || v > 2147483647.0) fail(path, "expected a whole number");
    return static_cast<int32_t>(v);
}

bool boolean(const json& j, const std::string& path) {
    if (!j.is_boolean()) fail(path, "expected true or false");
    return j.get<bool>();
}

std::string text(const json& j, const std::string& path) {
    if (!j.is_string()) fail(path, "expected a string");
    return j.get<std::string>();
}

std::vector<double> numbers(const json& j, const std::string& path, size_t n) {
    if (!j.is_array() || j.size() != n) fail(path, "expected an array of " + std::to_string(n) + " numbers");
    std::vector<double> out;
    for (size_t i = 0; i < n; ++i) out.push_back(number(j[i], path + "/" + std::to_string(i)));
    return out;
}

Vec3 vec3(const json& j, const std::string& path) {
    const auto v = numbers(j, path, 3);
    return {v[0], v[1], v[2]};
}

std::vector<int32_t> integers(const json& j, const std::string& path) {
    if (!j.is_array()) fail(path, "expected an array of whole numbers");
    std::vector<int32_t> out;
    for (size_t i = 0; i < j.size(); ++i) out.push_back(integer(j[i], path + "/" + std::to_string(i)));
    return out;
}

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
        const auto s = numbers(*v, f.path("film_size"), 2);
        cam.film_width = positive((*v)[0], f.path("film_size") + "/0");
        cam.film_height = positive((*v)[1], f.path("film_size") + "/1");
        (void)s;
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

Step read_step(const json& j, const std::string& path) {
    Fields f(j, path);
    const json* what = f.take("do");
    if (!what) fail(path, "a step needs \"do\"");
    const std::string d = text(*what, f.path("do"));
    Step s;
    auto need = [&](const char* key) -> const json& {
        const json* v = f.take(key);
        if (!v) fail(path, "\"" + d + "\" needs \"" + key + "\"");
        return *v;
    };
    if (d == "click" || d == "drag") {
        s.kind = d == "click" ? Step::Kind::Click : Step::Kind::Drag;
        s.viewport = text(need("viewport"), f.path("viewport"));
        if (auto* v = f.take("pixel")) {
            const auto p = numbers(*v, f.path("pixel"), 2);
            s.px = p[0];
            s.py = p[1];
        }
        if (auto* v = f.take("alternate")) s.alternate = boolean(*v, f.path("alternate"));
        if (s.kind == Step::Kind::Drag) s.motions = integers(need("motions"), f.path("motions"));
    } else if (d == "open_panel") {
        s.kind = Step::Kind::OpenPanel;
    } else if (d == "close_panel") {
        s.kind = Step::Kind::ClosePanel;
    } else if (d == "choose") {
        s.kind = Step::Kind::Choose;
        s.control = text(need("control"), f.path("control"));
        s.index = integer(need("index"), f.path("index"));
    } else if (d == "type") {
        s.kind = Step::Kind::Type;
        s.control = text(need("control"), f.path("control"));
        s.value = number(need("value"), f.path("value"));
    } else if (d == "drag_button") {
        s.kind = Step::Kind::DragButton;
        s.control = text(need("control"), f.path("control"));
        s.values = integers(need("values"), f.path("values"));
    } else if (d == "select_item") {
        s.kind = Step::Kind::SelectItem;
        s.item = text(need("item"), f.path("item"));
    } else if (d == "apply") {
        s.kind = Step::Kind::Apply;
    } else if (d == "time") {
        s.kind = Step::Kind::Time;
        s.value = number(need("value"), f.path("value"));
    } else {
        fail(f.path("do"), "unknown step \"" + d + "\"");
    }
    f.finish();
    return s;
}

void read_steps(const json& j, const std::string& path, std::vector<Step>& out) {
    if (!j.is_array()) fail(path.empty() ? "/" : path, "expected an array of steps");
    for (size_t i = 0; i < j.size(); ++i) out.push_back(read_step(j[i], path + "/" + std::to_string(i)));
}

// Line and column (from 1) of a byte offset.
std::string place(const std::string& text, size_t byte) {
    size_t line = 1, col = 1;
    for (size_t i = 0; i < byte && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            col = 1;
        } else {
            ++col;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(col);
}

bool parse_json(const std::string& text, const std::string& file, json& out, std::string& error) {
    try {
        out = json::parse(text);
        return true;
    } catch (const json::parse_error& e) {
        std::string why = e.what();
        const size_t colon = why.rfind(": ");
        why = colon == std::string::npos ? why : why.substr(colon + 2);
        const size_t at = e.byte > 0 ? e.byte - 1 : 0;
        error = file + ": " + place(text, at) + ": malformed JSON: " + why;
        return false;
    } catch (const std::exception& e) {
        error = file + ": malformed JSON: " + e.what();
        return false;
    }
}

std::string schema_message(const std::string& file, const SchemaError& e) {
    if (e.path.empty()) return e.what;
    return file + ": " + e.path + ": " + e.what;
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

bool read_session(const std::string& text, const std::string& file, std::vector<Step>& session,
                  std::string& error) {
    json j;
    if (!parse_json(text, file, j, error)) return false;
    try {
        std::vector<Step> steps;
        read_steps(j, "", steps);
        session.insert(session.end(), steps.begin(), steps.end());
    } catch (const SchemaError& e) {
        error = schema_message(file, e);
        return false;
    }
    return true;
}

namespace {

// Calls f(begin, end) for each line of an OBJ text. Lines end at "\n", "\r\n" or a lone
// "\r", as the reader takes them.
template <typename F>
void for_each_line(const std::string& text, F f) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        f(start, end);
        if (end >= text.size()) break;
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
}

// The first non-blank character of the line [start, end) is `a` (and `b` after it, when
// given), followed by a blank.
bool statement_is(const std::string& text, size_t start, size_t end, char a, char b = 0) {
    const size_t i = text.find_first_not_of(" \t", start);
    if (i == std::string::npos || i >= end || text[i] != a) return false;
    size_t next = i + 1;
    if (b) {
        if (next >= end || text[next] != b) return false;
        ++next;
    }
    return next < end && (text[next] == ' ' || text[next] == '\t');
}

// The line of the n-th face statement (from 0) of an OBJ text, for messages.
size_t face_line(const std::string& text, size_t n) {
    size_t lineno = 0, faces = 0, found = 0;
    for_each_line(text, [&](size_t start, size_t end) {
        ++lineno;
        if (!found && statement_is(text, start, end, 'f')) {
            if (faces == n) found = lineno;
            ++faces;
        }
    });
    return found;
}

// Vertex-weight statements ("vw") are of no use here, and the reader converts their joint
// numbers to int without a range check: they are blanked out (line numbers kept) first.
void drop_vertex_weights(std::string& text) {
    for_each_line(text, [&](size_t start, size_t end) {
        if (statement_is(text, start, end, 'v', 'w'))
            std::fill(text.begin() + static_cast<std::ptrdiff_t>(start), text.begin() + static_cast<std::ptrdiff_t>(end), ' ');
    });
}

}  // namespace

bool read_obj(const std::string& path, double scale, Vec3 offset, std::vector<Triangle>& out,
              std::string& error) {
    std::string text;
    if (!read_file(path, text, error)) return false;
    drop_vertex_weights(text);
    tinyobj::ObjReaderConfig config;
    config.triangulate = true;
    config.vertex_color = false;
    tinyobj::ObjReader reader;
    // From memory, with no material text: the reader opens no other file.
    if (!reader.ParseFromString(text, "", config)) {
        std::string why = reader.Error();
        while (!why.empty() && (why.back() == '\n' || why.back() == '\r')) why.pop_back();
        const size_t nl = why.find('\n');
        if (nl != std::string::npos) why = why.substr(0, nl);
        error = path + ": not a readable OBJ mesh: " + (why.empty() ? "parse failed" : why);
        return false;
    }
    const auto& verts = reader.GetAttrib().vertices;
    const size_t nverts = verts.size() / 3;
    std::vector<Triangle> tris;
    size_t face = 0;
    for (const auto& shape : reader.GetShapes()) {
        size_t at = 0;
        for (size_t f = 0; f < shape.mesh.num_face_vertices.size(); ++f, ++face) {
            const size_t nv = shape.mesh.num_face_vertices[f];
            if (nv != 3) {
                error = path + ": face " + std::to_string(face + 1) + " (line " +
                        std::to_string(face_line(text, face)) + ") has " + std::to_string(nv) +
                        " corners after triangulation";
                return false;
            }
            Triangle t;
            for (size_t k = 0; k < 3; ++k) {
                const int idx = shape.mesh.indices[at + k].vertex_index;
                if (idx < 0 || static_cast<size_t>(idx) >= nverts) {
                    error = path + ": face " + std::to_string(face + 1) + " (line " +
                            std::to_string(face_line(text, face)) + ") refers to vertex " +
                            std::to_string(static_cast<long long>(idx) + 1) + " but the file has " +
                            std::to_string(nverts) + " vertices";
                    return false;
                }
                const size_t b = 3 * static_cast<size_t>(idx);
                const Vec3 p{verts[b] * scale + offset.x, verts[b + 1] * scale + offset.y,
                             verts[b + 2] * scale + offset.z};
                if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
                    error = path + ": vertex " + std::to_string(idx + 1) + " is not a finite point";
                    return false;
                }
                t.v[k] = p;
            }
            tris.push_back(t);
            at += nv;
        }
    }
    if (tris.empty()) {
        error = path + ": no faces";
        return false;
    }
    out = std::move(tris);
    return true;
}

const char* default_scene_json() {
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
