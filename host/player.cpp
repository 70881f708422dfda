#include "host/player.h"

#include <cmath>
#include <cstdio>

namespace host {

namespace {

// Creation order of the panel's controls, by the names a session uses.
int control_index(const std::string& name, bool drag_button) {
    static const char* const fields[] = {"H", "P", "B", "X", "Y", "Z"};
    static const int field_index[] = {4, 5, 6, 10, 11, 12};
    static const int drag_index[] = {7, 8, 9, 13, 14, 15};
    for (int i = 0; i < 6; ++i)
        if (name == fields[i]) return drag_button ? drag_index[i] : field_index[i];
    if (drag_button) return -1;
    if (name == "Origin") return 0;
    if (name == "Method") return 1;
    return -1;
}

int viewport_index(const Scene& scene, const std::string& name) {
    for (size_t i = 0; i < scene.viewports.size(); ++i)
        if (scene.viewports[i].name == name) return static_cast<int>(i);
    return -1;
}

int object_index(const Scene& scene, const std::string& name) {
    for (size_t i = 0; i < scene.objects.size(); ++i)
        if (scene.objects[i].name == name) return static_cast<int>(i);
    return -1;
}

std::string fmt_num(double v) {
    char b[64];
    std::snprintf(b, sizeof b, "%.9g", v);
    return b;
}

}  // namespace

bool validate_session(const Scene& scene, const std::vector<Step>& steps, const std::string& file,
                      std::string& error) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        const std::string where = file + ": /session/" + std::to_string(i);
        switch (s.kind) {
            case Step::Kind::Click:
            case Step::Kind::Drag:
                if (viewport_index(scene, s.viewport) < 0) {
                    error = where + "/viewport: no viewport named \"" + s.viewport + "\"";
                    return false;
                }
                break;
            case Step::Kind::Choose:
                if (s.control != "Origin" && s.control != "Method") {
                    error = where + "/control: \"" + s.control + "\" is not a choice (Origin or Method)";
                    return false;
                }
                break;
            case Step::Kind::Type:
            case Step::Kind::DragButton:
                if (control_index(s.control, true) < 0) {
                    error = where + "/control: \"" + s.control + "\" is not a field (H, P, B, X, Y or Z)";
                    return false;
                }
                break;
            case Step::Kind::SelectItem:
                if (!s.item.empty() && object_index(scene, s.item) < 0) {
                    error = where + "/item: no object named \"" + s.item + "\"";
                    return false;
                }
                break;
            default: break;
        }
    }
    return true;
}

RayRecord cast(const Scene& scene, Vec3 origin, Vec3 direction) {
    RayRecord r;
    r.origin = origin;
    r.direction = direction;
    const Vec3 d = normalized(direction);
    for (const Object& o : scene.objects) {
        const double t = o.intersect(origin, d);
        if (t >= 0 && (!r.hit || t < r.distance)) {
            r.hit = true;
            r.distance = t;
            r.object = o.name;
            r.point = origin + d * t;
        }
    }
    return r;
}

Marks marks_of(const std::vector<DrawCall>& draws) {
    Marks m{NAN, NAN, NAN};
    int circles = 0;
    for (const DrawCall& d : draws) {
        if (d.kind == DrawKind::Circle) {
            if (circles++ == 0) m.focus = d.radius;
            else m.far_limit = d.radius;
        } else if (d.kind == DrawKind::Disc) {
            m.near_limit = d.radius;
        }
    }
    return m;
}

StepRecord play_step(Host& h, const Step& s) {
    StepRecord rec;
    Scene& scene = h.scene;
    rec.focal_before = scene.camera.focal_distance_at(scene.time);
    h.record.clear();
    static const char* const kFieldNames[6] = {"H", "P", "B", "X", "Y", "Z"};
    static const size_t kFieldIndex[6] = {4, 5, 6, 10, 11, 12};
    double before[6] = {};
    for (int i = 0; i < 6; ++i)
        if (Control* c = h.control(kFieldIndex[i])) before[i] = c->float_value;

    switch (s.kind) {
        case Step::Kind::Click:
        case Step::Kind::Drag: {
            const int vp = viewport_index(scene, s.viewport);
            const Viewport& v = scene.viewports[static_cast<size_t>(vp)];
            rec.action = std::string(s.kind == Step::Kind::Click ? "click" : "drag") + " in \"" + v.name +
                         "\" (type " + std::to_string(v.type) + ") at pixel (" + fmt_num(s.px) + ", " +
                         fmt_num(s.py) + ")" + (s.alternate ? " with the alternate button" : "");
            const Vec3 dir = scene.pixel_ray(v, s.px, s.py);
            if (v.type == kViewCamera) {
                rec.has_ray = true;
                rec.ray = cast(scene, scene.camera.position, dir);
            }
            const int32_t flags = s.alternate ? taverin::kEventAlternate : 0;
            h.mouse_down(vp, dir, flags);
            for (int32_t dx : s.motions) h.mouse_move(dx, flags);
            h.mouse_up();
            break;
        }
        case Step::Kind::OpenPanel:
            rec.action = "open the panel";
            h.open_panel();
            break;
        case Step::Kind::ClosePanel:
            rec.action = "close the panel";
            h.close_panel();
            break;
        case Step::Kind::Choose:
            rec.action = "choose " + std::to_string(s.index) + " in \"" + s.control + "\"";
            h.user_choose(h.control(static_cast<size_t>(control_index(s.control, false))), s.index);
            break;
        case Step::Kind::Type:
            rec.action = "type " + fmt_num(s.value) + " into " + s.control;
            h.user_type(h.control(static_cast<size_t>(control_index(s.control, false))), s.value);
            break;
        case Step::Kind::DragButton: {
            Control* b = h.control(static_cast<size_t>(control_index(s.control, true)));
            rec.action = "drag the " + s.control + " drag button through";
            for (int32_t v : s.values) {
                rec.action += " " + std::to_string(v);
                h.user_drag(b, v);
            }
            break;
        }
        case Step::Kind::SelectItem: {
            const int idx = s.item.empty() ? -1 : object_index(scene, s.item);
            const int32_t id = idx < 0 ? 0 : list_id(static_cast<size_t>(idx));
            rec.action = s.item.empty() ? "clear the item list" : "choose \"" + s.item + "\" in the item list";
            h.user_select_item(h.control(17), id);
            break;
        }
        case Step::Kind::Apply:
            rec.action = "press \"Apply\"";
            h.user_press(h.control(16));
            break;
        case Step::Kind::Time:
            rec.action = "go to time " + fmt_num(s.value);
            scene.time = s.value;
            break;
    }

    rec.commands = h.record.commands;
    rec.command_errors = h.record.command_errors;
    for (const auto& line : h.record.calls)
        if (line.rfind("envelope.create_key", 0) == 0 || line.rfind("envelope.key_set", 0) == 0)
            rec.keys.push_back(line.substr(9));
    for (const auto& m : h.record.messages)
        if (!m.text1.empty() || !m.text2.empty())
            rec.messages.push_back(m.kind + ": \"" + m.text1 + "\"");
    rec.instance_updates = static_cast<int>(h.record.instance_updates.size());
    for (int i = 0; i < 6; ++i) {
        Control* c = h.control(kFieldIndex[i]);
        if (c && !(c->float_value == before[i]))
            rec.fields.push_back(std::string(kFieldNames[i]) + " = " + fmt_num(c->float_value));
    }
    rec.focal_after = scene.camera.focal_distance_at(scene.time);

    // The host redraws after every event while the tool reports itself dirty.
    h.record.draws.clear();
    if (h.dirty() != 0) h.draw();
    rec.draws = h.record.draws;
    return rec;
}

}  // namespace host
