// The program's results as JSON, schema "taverin-host" (docs/taverin-host-json.md).
#include "host/program/output/json_output.h"

#include <cmath>

#include "host/panel_layout.h"
#include "host/program/text/json.h"
#include "host/program/version.h"

namespace host {

namespace {

using json::Value;

Value vec(Vec3 v) {
    Value a = Value::array();
    a.add(Value::of(v.x));
    a.add(Value::of(v.y));
    a.add(Value::of(v.z));
    return a;
}

Value pair(double a, double b) {
    Value v = Value::array();
    v.add(Value::of(a));
    v.add(Value::of(b));
    return v;
}

Value strings(const std::vector<std::string>& list) {
    Value a = Value::array();
    for (const auto& s : list) a.add(Value::of(s));
    return a;
}

// A finite number, or null.
Value maybe(double v) { return std::isfinite(v) ? Value::of(v) : Value::null(); }

Value depth_of_field(const DepthOfField& o) {
    Value d = Value::object();
    d.set("near_m", maybe(o.near_limit));
    d.set("far_m", maybe(o.far_limit));
    d.set("far_is_infinite", Value::of(std::isinf(o.far_limit)));
    d.set("hyperfocal_m", maybe(o.hyperfocal));
    d.set("hyperfocal_is_infinite", Value::of(std::isinf(o.hyperfocal)));
    d.set("total_m", maybe(o.total));
    d.set("total_is_infinite", Value::of(std::isinf(o.total)));
    d.set("limits_note", o.limits_note.empty() ? Value::null() : Value::of(o.limits_note));
    return d;
}

Value sharpness(const Sharpness& s) {
    const char* note = s.kind == Sharpness::Kind::NoBlur        ? "f-stop 0: no blur, every distance is sharp"
                       : s.kind == Sharpness::Kind::Unfocusable ? "focused at or nearer than the focal length: no point is sharp"
                                                                : nullptr;
    return Value::object({{"circle_of_confusion_mm", Value::of(s.confusion_mm)},
                          {"circle_of_confusion_px", Value::of(s.confusion_mm * s.pixels_per_mm)},
                          {"note", note ? Value::of(note) : Value::null()}});
}

Value object_focus(const ObjectFocus& o) {
    const bool seen = o.zone != ObjectFocus::Zone::Unseen;
    const bool known = seen && o.zone != ObjectFocus::Zone::Unknown;
    const char* sharp = o.zone == ObjectFocus::Zone::Sharp    ? "all"
                        : o.zone == ObjectFocus::Zone::Partly  ? "part"
                        : o.zone == ObjectFocus::Zone::Blurred ? "none"
                                                               : nullptr;
    return Value::object({{"name", Value::of(o.name)},
                          {"in_view", Value::of(seen)},
                          {"nearest_m", seen ? Value::of(o.nearest_m) : Value::null()},
                          {"farthest_m", seen ? Value::of(o.farthest_m) : Value::null()},
                          {"sharp", sharp ? Value::of(sharp) : Value::null()},
                          {"blur_mm", known ? pair(o.blur_min_mm, o.blur_max_mm) : Value::null()},
                          {"blur_px", known ? pair(o.blur_min_px, o.blur_max_px) : Value::null()}});
}

Value step(const StepRecord& rec, const std::vector<std::string>& pictures) {
    const Step& s = rec.step;
    const bool pointer = rec.number > 0 && (s.kind == Step::Kind::Click || s.kind == Step::Kind::Drag);
    Value v = Value::object();
    v.set("number", Value::of(rec.number));
    v.set("kind", Value::of(rec.number == 0 ? "initial" : step_name(s.kind)));
    v.set("action", Value::of(rec.action));
    if (pointer) {
        v.set("viewport", Value::object({{"name", Value::of(s.viewport)}, {"type", Value::of(rec.viewport_type)}}));
        v.set("pixel", pair(s.px, s.py));
    } else {
        v.set("viewport", Value::null());
        v.set("pixel", Value::null());
    }
    v.set("alternate", Value::of(pointer && s.alternate));
    v.set("delivered", Value::of(rec.delivered));
    if (rec.has_ray) {
        v.set("ray", Value::object({{"origin_m", vec(rec.ray.origin)}, {"direction", vec(rec.ray.direction)}}));
    } else {
        v.set("ray", Value::null());
    }
    if (rec.has_ray && rec.ray.hit) {
        v.set("hit", Value::object({{"object", Value::of(rec.ray.object)}, {"distance_m", Value::of(rec.ray.distance)},
                                    {"point_m", vec(rec.ray.point)}}));
    } else {
        v.set("hit", Value::null());
    }
    v.set("commands", strings(rec.commands));
    v.set("refused_commands", strings(rec.command_errors));
    Value keys = Value::array();
    for (const KeyWrite& k : rec.keys)
        keys.add(Value::object({{"time_s", Value::of(k.time)}, {"value_m", Value::of(k.value)}, {"created", Value::of(k.created)}}));
    v.set("envelope_keys", keys);
    v.set("messages", strings(rec.messages));
    v.set("instance_updates", Value::of(rec.instance_updates));
    if (rec.has_panel) {
        Value fields = Value::object();
        for (size_t i = 0; i < 6; ++i)
            fields.set(kPanelFields[i].name, std::isfinite(rec.fields[i]) ? Value::of_single(rec.fields[i]) : Value::null());
        v.set("panel_fields", fields);
    } else {
        v.set("panel_fields", Value::null());
    }
    v.set("changed_fields", strings(rec.changed));
    v.set("focal_distance_before_m", Value::of(rec.focal_before));
    v.set("focal_distance_after_m", Value::of(rec.focal_after));
    v.set("marks_m", Value::object({{"focus", maybe(rec.marks.focus)}, {"near", maybe(rec.marks.near_limit)},
                                    {"far", maybe(rec.marks.far_limit)}}));
    v.set("depth_of_field", depth_of_field(rec.optics));
    v.set("depth_of_field_on", Value::of(rec.depth_of_field_on));
    v.set("sharpness", sharpness(rec.sharpness));
    Value objects = Value::array();
    for (const ObjectFocus& o : rec.objects) objects.add(object_focus(o));
    v.set("objects", objects);
    v.set("pictures", strings(pictures));
    return v;
}

// The document's opening levels, as json::write indents them.
constexpr const char* kStepIndent = "\n    ";

}  // namespace

std::string json_head(const RunInfo& r) {
    Value root = Value::object();
    root.set("schema", Value::of("taverin-host"));
    root.set("schema_version", Value::of(kJsonSchemaVersion));
    root.set("program", Value::object({{"name", Value::of("taverin-host")}, {"version", Value::of(kVersion)}}));
    Value module = Value::object();
    module.set("path", Value::of(r.module_path));
    module.set("server", Value::of(r.server_name));
    module.set("class", Value::of(r.class_name));
    module.set("activation", Value::of(r.activation));
    root.set("module", module);
    root.set("services", strings(r.services));

    const Scene& s0 = *r.scene;
    Value scene = Value::object();
    scene.set("source", Value::of(r.scene_name));
    scene.set("time_s", Value::of(r.time_at_start));
    Value objects = Value::array();
    for (const Object& o : s0.objects) {
        Value ob = Value::object();
        ob.set("name", Value::of(o.name));
        ob.set("type", Value::of(o.kind == Object::Kind::Sphere ? "sphere" : o.kind == Object::Kind::Box ? "box" : "mesh"));
        if (o.kind == Object::Kind::Mesh) ob.set("triangles", Value::of(o.triangles.size()));
        objects.add(ob);
    }
    scene.set("objects", objects);
    Value viewports = Value::array();
    for (const Viewport& vp : s0.viewports)
        viewports.add(Value::object({{"name", Value::of(vp.name)}, {"type", Value::of(vp.type)},
                                     {"width", Value::of(vp.width)}, {"height", Value::of(vp.height)}}));
    scene.set("viewports", viewports);
    root.set("scene", scene);

    const Camera& c = r.camera_at_start;
    Value cam = Value::object();
    cam.set("position_m", vec(c.position));
    cam.set("rotation_deg", vec({c.heading * 57.29577951308232, c.pitch * 57.29577951308232, c.bank * 57.29577951308232}));
    cam.set("film_size_mm", pair(c.film_width * 1000, c.film_height * 1000));
    cam.set("focal_length_mm", Value::of(c.focal_length));
    cam.set("f_stop", Value::of(c.f_stop));
    cam.set("focal_distance_m", Value::of(c.focal_distance_at(r.time_at_start)));
    cam.set("depth_of_field", Value::of((c.flags & kCameraDofFlag) != 0));
    cam.set("focal_envelope", Value::of(c.focal_envelope() != nullptr));
    root.set("camera", cam);
    const Viewport view = camera_viewport(s0);
    root.set("camera_view", Value::object({{"viewport", Value::of(view.name)}, {"width", Value::of(view.width)},
                                           {"height", Value::of(view.height)}}));

    // The object without its closing "\n}", continued by the steps.
    std::string text = json::write(root);
    text.resize(text.size() - 2);
    return text + ",\n  \"steps\": [";
}

std::string json_step(const StepRecord& rec, const std::vector<std::string>& pictures, bool first) {
    return (first ? "" : ",") + std::string(kStepIndent) + json::write(step(rec, pictures), 2, 2);
}

std::string json_end(const RunInfo& r) {
    return "\n  ],\n  \"report\": " + (r.report.empty() ? std::string("null") : json::quote(r.report)) + "\n}\n";
}

std::string json_error(int status, const std::string& message) {
    Value e = Value::object();
    e.set("schema", Value::of("taverin-host-error"));
    e.set("schema_version", Value::of(kJsonSchemaVersion));
    e.set("exit_status", Value::of(status));
    e.set("message", Value::of(message));
    return json::write(e, 0);
}

}  // namespace host
