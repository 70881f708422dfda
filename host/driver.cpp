// The host's side of the conversation: loading the module, activating its tool, and the
// user's actions (redraws, clicks, drags, panel edits) as calls through the callback table.
#include <algorithm>
#include <cstdint>

#include "host/host.h"
#include "host/service_call.h"
#include "host/services/services.h"

namespace host {

using namespace taverin;

void Host::sync_time() { records_.time.time = hostility.answer(scene.time); }

bool Host::load(const std::string& path, std::string& error, bool fresh) {
    module_ = LoadedModule::open(path, error, fresh);
    if (!module_) return false;
    module_->startup();
    return true;
}

int32_t Host::activate() {
    if (!module_) return -1;
    sync_time();
    callbacks_ = ToolCallbacks{};
    local_ = ToolLocal{nullptr, &callbacks_};
    return module_->server().activate(kModuleVersion, global_lookup, &local_, module_->server_data());
}

void Host::release() {
    if (local_.instance && callbacks_.release) callbacks_.release(local_.instance);
    local_.instance = nullptr;
}

namespace {

// The drawing access: every call becomes a DrawCall in the host's recorder.
void record_draw(void* data, DrawKind kind, const float* rgba, const double* center, double radius, int32_t csys) {
    ServiceCall call;  // host code, for the allocation probe
    auto* h = static_cast<Host*>(data);
    DrawCall c{kind, {0, 0, 0, 0}, {0, 0, 0}, radius, csys};
    for (int i = 0; rgba && i < 4; ++i) c.rgba[i] = rgba[i];
    for (int i = 0; center && i < 3; ++i) c.center[i] = center[i];
    h->record.draws.push_back(c);
}
void draw_color(void* d, const float rgba[4]) { record_draw(d, DrawKind::Color, rgba, nullptr, 0, 0); }
void draw_circle(void* d, const double c[3], double r, int32_t cs) { record_draw(d, DrawKind::Circle, nullptr, c, r, cs); }
void draw_disc(void* d, const double c[3], double r, int32_t cs) { record_draw(d, DrawKind::Disc, nullptr, c, r, cs); }

ToolEvent make_event(int32_t viewport, Vec3 dir, int32_t dx, int32_t flags) {
    ToolEvent e{};
    e.direction[0] = dir.x;
    e.direction[1] = dir.y;
    e.direction[2] = dir.z;
    e.dx = dx;
    e.flags = flags;
    e.viewport = viewport;
    return e;
}

}  // namespace

void Host::draw() {
    if (!callbacks_.draw) return;
    sync_time();
    const DrawAccess access = {this, draw_color, draw_circle, draw_disc};
    callbacks_.draw(local_.instance, &access);
}

int32_t Host::mouse_down(int32_t viewport, Vec3 direction, int32_t flags) {
    if (!callbacks_.down) return 0;
    sync_time();
    const ToolEvent e = make_event(viewport, direction, 0, flags);
    return callbacks_.down(local_.instance, &e);
}

void Host::mouse_move(int32_t dx, int32_t flags) {
    if (!callbacks_.move) return;
    sync_time();
    const ToolEvent e = make_event(0, {}, dx, flags);
    callbacks_.move(local_.instance, &e);
}

void Host::mouse_up() {
    if (!callbacks_.up) return;
    sync_time();
    const ToolEvent e = make_event(0, {}, 0, 0);
    callbacks_.up(local_.instance, &e);
}

int32_t Host::dirty() { return callbacks_.dirty ? callbacks_.dirty(local_.instance) : -1; }

const char* Host::help() {
    const ToolEvent e{};
    return callbacks_.help ? callbacks_.help(local_.instance, &e) : nullptr;
}

int32_t Host::click(int32_t vp, double px, double py, int32_t flags) {
    Vec3 dir{0, 0, 1};
    if (vp >= 0 && static_cast<size_t>(vp) < scene.viewports.size())
        dir = scene.pixel_ray(scene.viewports[static_cast<size_t>(vp)], px, py);
    return mouse_down(vp, dir, flags);
}

Panel* Host::panel() { return panels.empty() ? nullptr : panels.back().get(); }

void Host::forget_destroyed_panels() {
    panels.erase(std::remove_if(panels.begin(), panels.end(), [](const std::unique_ptr<Panel>& p) { return p->destroyed; }),
                 panels.end());
}

Control* Host::control(size_t index) {
    Panel* p = panel();
    return (p && index < p->controls.size()) ? p->controls[index].get() : nullptr;
}

void Host::open_panel() {
    if (Panel* p = panel()) p->open = true;
}

void Host::close_panel() {
    if (Panel* p = panel()) p->open = false;
}

// A destroyed panel's controls belong to a released instance: their callbacks never run.
void Host::fire(Control* c) {
    if (!c || !c->callback || !c->panel || c->panel->destroyed) return;
    sync_time();
    c->callback(&c->record, c->user_data);
}

namespace {

// A user can edit only a control of an open panel; the edit changes the value, then the host
// calls the control's callback.
template <typename Change>
bool edit(Host& h, Control* c, Change change) {
    if (!c || !c->panel || !c->panel->open || c->panel->destroyed) return false;
    change(*c);
    h.fire(c);
    return true;
}

}  // namespace

bool Host::user_choose(Control* c, int32_t index) {
    return edit(*this, c, [&](Control& k) { k.int_value = index; });
}
bool Host::user_type(Control* c, double value) {
    return edit(*this, c, [&](Control& k) { k.float_value = value; });
}
bool Host::user_drag(Control* c, int32_t value) {
    return edit(*this, c, [&](Control& k) { k.int_value = value; });
}
bool Host::user_press(Control* c) {
    return edit(*this, c, [](Control&) {});
}
bool Host::user_select_item(Control* c, int32_t item_id) {
    return edit(*this, c, [&](Control& k) { k.int_value = item_id; });
}

}  // namespace host
