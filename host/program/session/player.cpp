#include "host/program/session/player.h"

#include <algorithm>
#include <cmath>

#include "host/panel_layout.h"
#include "host/program/text/format.h"

namespace host {

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

std::string viewport_kind(int type) {
    switch (type) {
        case kViewCamera: return "camera view";
        case kViewTop: return "top view";
        case kViewFront: return "front view";
        case kViewPerspective: return "perspective view";
        default: return "view type " + std::to_string(type);
    }
}

namespace {

void read_fields(Host& h, StepRecord& rec) {
    rec.has_panel = h.panel() != nullptr;
    for (size_t i = 0; i < 6; ++i)
        if (Control* c = h.control(kPanelFields[i].field)) rec.fields[i] = c->float_value;
}

// What the step did, from the recorder, and the redraw the host makes after every event.
void collect(Host& h, StepRecord& rec) {
    Scene& scene = h.scene;
    rec.commands = h.record.commands;
    rec.command_errors = h.record.command_errors;
    rec.keys = h.record.key_writes;
    for (const auto& m : h.record.messages)
        if (!m.text1.empty() || !m.text2.empty()) rec.messages.push_back(m.kind + ": \"" + m.text1 + "\"");
    rec.instance_updates = static_cast<int>(h.record.instance_updates.size());
    rec.focal_after = scene.camera.focal_distance_at(scene.time);
    h.record.draws.clear();
    if (h.dirty() != 0) h.draw();
    rec.drawn = drawn_marks(h.record.draws);
    rec.marks = mark_radii(rec.drawn);
    rec.optics = depth_of_field(scene.camera, scene.time);
}

std::string pointer_action(const Step& s, const Viewport& v) {
    return std::string(s.kind == Step::Kind::Click ? "click" : "drag") + " in \"" + v.name + "\" (" +
           viewport_kind(v.type) + ") at pixel (" + plain(s.px) + ", " + plain(s.py) + ")" +
           (s.alternate ? " with the alternate button" : "");
}

void play_pointer(Host& h, const Step& s, StepRecord& rec) {
    Scene& scene = h.scene;
    const int vp = s.viewport_index;
    const Viewport& v = scene.viewports[static_cast<size_t>(vp)];
    rec.viewport_type = v.type;
    rec.action = pointer_action(s, v);
    if (s.kind == Step::Kind::Drag) {
        rec.action += ", moving by";
        for (int32_t dx : s.motions) rec.action += " " + std::to_string(dx);
    }
    const Vec3 dir = scene.pixel_ray(v, s.px, s.py);
    if (v.type == kViewCamera) {
        rec.has_ray = true;
        rec.ray = cast(scene, scene.camera.position, dir);
    }
    const int32_t flags = s.alternate ? taverin::kEventAlternate : 0;
    h.mouse_down(vp, dir, flags);
    for (int32_t dx : s.motions) h.mouse_move(dx, flags);
    h.mouse_up();
}

void play_panel_edit(Host& h, const Step& s, StepRecord& rec) {
    switch (s.kind) {
        case Step::Kind::Choose:
            rec.action = "choose " + std::to_string(s.index) + " in \"" + s.control + "\"";
            rec.delivered = h.user_choose(h.control(s.control_index), s.index);
            break;
        case Step::Kind::Type:
            rec.action = "type " + plain(s.value) + " into " + s.control;
            rec.delivered = h.user_type(h.control(s.control_index), s.value);
            break;
        case Step::Kind::DragButton: {
            Control* b = h.control(s.control_index);
            rec.action = "drag the " + s.control + " drag button through";
            for (int32_t v : s.values) {
                rec.action += " " + std::to_string(v);
                rec.delivered = h.user_drag(b, v) && rec.delivered;
            }
            break;
        }
        case Step::Kind::SelectItem: {
            const int idx = s.object_index;
            rec.action = idx < 0 ? "clear the item list" : "choose \"" + s.item + "\" in the item list";
            rec.delivered = h.user_select_item(h.control(PanelControls::kItemList),
                                               idx < 0 ? 0 : list_id(static_cast<size_t>(idx)));
            break;
        }
        default:
            rec.action = "press \"Apply\"";
            rec.delivered = h.user_press(h.control(PanelControls::kApply));
            break;
    }
}

}  // namespace

Player::Player(Host& h) : h_(h), view_(h.scene, camera_viewport(h.scene)) {}

void Player::describe_focus(StepRecord& rec) const {
    const Scene& scene = h_.scene;
    rec.depth_of_field_on = (scene.camera.flags & kCameraDofFlag) != 0;
    rec.sharpness = sharpness_of(scene.camera, scene.time, view_.viewport().width);
    rec.objects = object_focus(scene, view_, rec.sharpness);
}

StepRecord Player::initial() {
    Host& h = h_;
    StepRecord rec;
    rec.action = "activate the tool";
    rec.focal_before = h.scene.camera.focal_distance_at(h.scene.time);
    h.record.clear();
    read_fields(h, rec);
    collect(h, rec);
    describe_focus(rec);
    return rec;
}

StepRecord Player::play(const Step& s, size_t number) {
    Host& h = h_;
    StepRecord rec;
    rec.number = number;
    rec.step = s;
    Scene& scene = h.scene;
    rec.focal_before = scene.camera.focal_distance_at(scene.time);
    h.record.clear();
    double before[6] = {};
    read_fields(h, rec);
    std::copy(rec.fields, rec.fields + 6, before);

    switch (s.kind) {
        case Step::Kind::Click:
        case Step::Kind::Drag: play_pointer(h, s, rec); break;
        case Step::Kind::OpenPanel:
            rec.action = "open the panel";
            h.open_panel();
            break;
        case Step::Kind::ClosePanel:
            rec.action = "close the panel";
            h.close_panel();
            break;
        case Step::Kind::Time:
            rec.action = "go to time " + plain(s.value) + " s";
            scene.time = s.value;
            break;
        default: play_panel_edit(h, s, rec); break;
    }

    read_fields(h, rec);
    for (size_t i = 0; i < 6; ++i)
        if (!(rec.fields[i] == before[i]) && !(std::isnan(rec.fields[i]) && std::isnan(before[i])))
            rec.changed.emplace_back(kPanelFields[i].name);
    collect(h, rec);
    describe_focus(rec);
    return rec;
}

}  // namespace host
