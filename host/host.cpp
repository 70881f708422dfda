#include "host/host.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace host {

using namespace taverin;

namespace {

Host* g_host = nullptr;
thread_local int g_depth = 0;

std::string fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string fmt(const char* format, ...) {
    char buf[512];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    return buf;
}

std::string str(const char* s) { return s ? std::string("\"") + s + "\"" : std::string("null"); }
std::string hexid(const void* p) { return fmt("%#llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p))); }

#define LOG(...)                                                 \
    do {                                                         \
        if (g_host && g_host->options.log_calls) g_host->log(__VA_ARGS__); \
    } while (0)

// ---------------------------------------------------------------- hostile answers
// Normal answers most of the time, so the module's ordinary paths still run.
bool hostile() { return g_host && g_host->options.chaos && g_host->options.chaos() >= 150; }
uint8_t choice() { return g_host->options.chaos ? g_host->options.chaos() : 0; }

double hostile_double(double normal) {
    if (!hostile()) return normal;
    switch (choice() % 8) {
        case 0: return std::nan("");
        case 1: return INFINITY;
        case 2: return -INFINITY;
        case 3: return 0.0;
        case 4: return -normal;
        case 5: return 1e300;
        case 6: return -1e300;
        default: return 5e-324;
    }
}

int32_t hostile_int(int32_t normal) {
    if (!hostile()) return normal;
    switch (choice() % 6) {
        case 0: return 0;
        case 1: return -1;
        case 2: return INT32_MIN;
        case 3: return INT32_MAX;
        case 4: return static_cast<int32_t>(static_cast<uint32_t>(normal) + 1u);
        default: return static_cast<int32_t>(choice()) - 128;
    }
}

template <typename P>
P hostile_null(P normal) {
    return hostile() ? nullptr : normal;
}

constexpr uintptr_t kObjectBase = 0x10000001u;
constexpr uintptr_t kCameraItem = 0x30000001u;

// ---------------------------------------------------------------- Info Messages 3
void msg_info(const char* a, const char* b) {
    HostScope s;
    if (!g_host->options.log_calls) return;
    LOG("messages.info(" + str(a) + ", " + str(b) + ")");
    g_host->messages.push_back({"info", a ? a : "", b ? b : "", true});
}
int32_t msg_ok_cancel(const char* title, const char* a, const char* b) {
    HostScope s;
    LOG("messages.ok_cancel(" + str(title) + ", " + str(a) + ", " + str(b) + ")");
    g_host->messages.push_back({"ok_cancel", title ? title : "", a ? a : "", b == nullptr});
    return 1;
}
MessagesService messages_rec = {msg_info, nullptr, nullptr, msg_ok_cancel};

// ---------------------------------------------------------------- LWPanelServices 2
Panel* as_panel(PanelId p) { return static_cast<Panel*>(p); }

PanelId pan_create(const char* title, void*) {
    HostScope s;
    LOG("panel.create(" + str(title) + ")");
    if (g_host->options.panel_create_fails || hostile()) return nullptr;
    auto p = std::make_unique<Panel>();
    p->title = title ? title : "";
    g_host->panels.push_back(std::move(p));
    return g_host->panels.back().get();
}
void pan_destroy(PanelId p) {
    HostScope s;
    LOG("panel.destroy(" + std::string(p ? as_panel(p)->title : "null") + ")");
    if (p) as_panel(p)->destroyed = true;
}
int32_t pan_open(PanelId p, int32_t) {
    HostScope s;
    if (p) as_panel(p)->open = true;
    return 1;
}
int32_t pan_handle(PanelId p, int32_t flags) {
    HostScope s;
    LOG(fmt("panel.handle(%d)", flags));
    return hostile_int((p && as_panel(p)->open && !as_panel(p)->destroyed) ? 0 : -1);
}
void pan_close(PanelId p) {
    HostScope s;
    LOG("panel.close()");
    if (p) as_panel(p)->open = false;
}
void pan_set(PanelId p, int32_t tag, void* value) {
    HostScope s;
    const int32_t v = value ? *static_cast<int32_t*>(value) : 0;
    LOG(fmt("panel.set(%d, %d)", tag, v));
    if (!p) return;
    if (tag == kTagWidth) as_panel(p)->width = v;
    if (tag == kTagHeight) as_panel(p)->height = v;
}

void ctl_get(ControlRecord* rec, int32_t tag, ValueRecord* value);
void ctl_set(ControlRecord* rec, int32_t tag, ValueRecord* value);

void default_size(Control& c) {
    const int32_t type = c.desc.type;
    c.w = 60;
    c.h = 20;
    if (type == kCtlChoice) c.w = 150;
    if (type == kCtlText) { c.w = 40; c.h = 16; }
    if (type == kCtlDragButton) {
        c.w = c.desc.drag.width > 0 ? c.desc.drag.width : 16;
        c.h = c.desc.drag.height > 0 ? c.desc.drag.height : 20;
    }
    if (type == kCtlList) { c.w = 110; c.h = 40; }
}

void copy_strings(const char* const* list, std::vector<std::string>& out) {
    for (size_t i = 0; list && list[i] && i < 64; ++i) out.emplace_back(list[i]);
}

ControlRecord* pan_add(PanelId p, const char* type_name, ControlDesc* desc, const char* label) {
    HostScope s;
    LOG("panel.add_control(" + str(type_name) + ", " + str(label) + ")");
    if (!p || !desc || hostile()) return nullptr;
    Panel* panel = as_panel(p);
    auto c = std::make_unique<Control>();
    c->panel = panel;
    c->type_name = type_name ? type_name : "";
    c->label = label ? label : "";
    c->desc = *desc;
    if (desc->type == kCtlChoice) copy_strings(desc->choice.items, c->items);
    if (desc->type == kCtlText) copy_strings(desc->text.lines, c->items);
    c->record.host_data = c.get();
    c->record.get = ctl_get;
    c->record.set = ctl_set;
    default_size(*c);
    c->x = 10;
    c->y = panel->next_y;
    panel->next_y += c->h + 4;
    auto bias = g_host->options.y_bias_by_label.find(c->label);
    if (bias != g_host->options.y_bias_by_label.end()) c->y_bias = bias->second;
    panel->controls.push_back(std::move(c));
    return &panel->controls.back()->record;
}

PanelServices panel_rec = {pan_create, pan_destroy, pan_open,  pan_handle, nullptr,
                           pan_close,  nullptr,     pan_set,   pan_add,    nullptr,
                           nullptr,    nullptr,     nullptr};

std::string control_name(Control* c) {
    return c ? "\"" + c->label + "\"#" + std::to_string(c->panel ? [&] {
        size_t i = 0;
        for (; i < c->panel->controls.size(); ++i)
            if (c->panel->controls[i].get() == c) break;
        return i;
    }() : 0) : "null";
}

void ctl_get(ControlRecord* rec, int32_t tag, ValueRecord* value) {
    HostScope s;
    Control* c = g_host->control_of(rec);
    if (!c || !value) return;
    switch (tag) {
        case kTagX: value->int_value = hostile_int(c->x); break;
        case kTagY: value->int_value = hostile_int(c->y); break;
        case kTagWidth: value->int_value = hostile_int(c->w); break;
        case kTagHeight: value->int_value = hostile_int(c->h); break;
        case kTagValue:
            if (c->desc.type == kCtlFloat) value->number = hostile_double(c->float_value);
            else value->int_value = hostile_int(c->int_value);
            break;
        default: break;
    }
    if (tag == kTagValue && c->desc.type == kCtlFloat)
        LOG(fmt("control.get(%s, %d) -> %.17g", control_name(c).c_str(), tag, value->number));
    else
        LOG(fmt("control.get(%s, %d) -> %d", control_name(c).c_str(), tag, value->int_value));
}

void ctl_set(ControlRecord* rec, int32_t tag, ValueRecord* value) {
    HostScope s;
    Control* c = g_host->control_of(rec);
    if (!c || !value) return;
    switch (tag) {
        case kTagX: c->x = value->int_value; break;
        case kTagY: c->y = value->int_value + c->y_bias; break;
        case kTagWidth: c->w = value->int_value; break;
        case kTagHeight: c->h = value->int_value; break;
        case kTagValue:
            if (c->desc.type == kCtlFloat) c->float_value = value->number;
            else c->int_value = value->int_value;
            break;
        case kTagEvent: c->callback = reinterpret_cast<ControlCallback>(value->ptr); break;
        case kTagUserData: c->user_data = value->ptr; break;
        default: break;
    }
    if (tag == kTagValue && value->type == kValueFloat)
        LOG(fmt("control.set(%s, %d, %.17g)", control_name(c).c_str(), tag, value->number));
    else if (tag == kTagEvent || tag == kTagUserData)
        LOG(fmt("control.set(%s, %d, ptr)", control_name(c).c_str(), tag));
    else
        LOG(fmt("control.set(%s, %d, %d)", control_name(c).c_str(), tag, value->int_value));
}

// ---------------------------------------------------------------- LW Command Interface
bool parse_number(const char* text, double& out) {
    while (*text == ' ' || *text == '\t') ++text;
    if (!*text) return false;
    char* end = nullptr;
    out = std::strtod(text, &end);
    if (end == text) return false;
    while (*end == ' ' || *end == '\t') ++end;
    return *end == '\0' && std::isfinite(out);
}

int32_t cmd_run(const char* text) {
    HostScope s;
    LOG("command(" + str(text) + ")");
    const std::string t = text ? text : "";
    g_host->commands.push_back(t);
    Camera& cam = g_host->scene.camera;
    auto error = [&](const std::string& why) {
        g_host->command_errors.push_back("\"" + t + "\": " + why);
        return 0;
    };
    if (t == "DepthOfField") {
        cam.flags ^= kCameraDofFlag;
        return 1;
    }
    const size_t sp = t.find(' ');
    const std::string name = t.substr(0, sp);
    double v = 0;
    if (name != "FocalDistance" && name != "LensFStop") return error("unknown command");
    if (sp == std::string::npos || !parse_number(t.c_str() + sp, v))
        return error("expects one finite number");
    if (name == "FocalDistance") {
        if (Envelope* env = cam.focal_envelope()) {
            if (Key* k = env->find(g_host->scene.time)) k->value = v;
            else env->create(g_host->scene.time, v);
        }
        cam.focal_distance = v;
    } else {
        cam.f_stop = v;
    }
    return 1;
}

// ---------------------------------------------------------------- LW Viewport Info 7
int32_t vp_type(int32_t index) {
    HostScope s;
    LOG(fmt("viewport.type(%d)", index));
    auto& vps = g_host->scene.viewports;
    if (index < 0 || static_cast<size_t>(index) >= vps.size()) return hostile_int(0);
    return hostile_int(vps[static_cast<size_t>(index)].type);
}
ViewportInfoService viewport_rec = {0, 0, vp_type};

// ---------------------------------------------------------------- LW Item Info 8
ItemId item_first(int32_t type, ItemId parent) {
    HostScope s;
    LOG(fmt("item.first(%d, %s)", type, hexid(parent).c_str()));
    if (hostile()) return choice() % 2 ? nullptr : reinterpret_cast<ItemId>(uintptr_t{0xdead0000});
    if (type == kItemObject && !g_host->scene.objects.empty()) return Host::object_id(0);
    if (type == 2) return Host::camera_id();
    return nullptr;
}
ItemId item_next(ItemId item) {
    HostScope s;
    LOG("item.next(" + hexid(item) + ")");
    const int32_t n = Host::item_number(item);
    if (hostile()) return nullptr;  // a list cut short
    if (n >= 0 && static_cast<size_t>(n) + 1 < g_host->scene.objects.size())
        return Host::object_id(static_cast<size_t>(n) + 1);
    return nullptr;
}
void item_param(ItemId item, int32_t code, double time, double out[3]) {
    HostScope s;
    LOG(fmt("item.param(%s, %d, %g)", hexid(item).c_str(), code, time));
    if (!out) return;
    Vec3 p{};
    if (item == Host::camera_id()) p = g_host->scene.camera.position;
    else if (const Object* o = g_host->object_of(item)) p = o->center;
    if (code == kParamWorldPosition) {
        out[0] = hostile_double(p.x);
        out[1] = hostile_double(p.y);
        out[2] = hostile_double(p.z);
    }
}
ChanGroupId item_chan_group(ItemId item) {
    HostScope s;
    LOG("item.chan_group(" + hexid(item) + ")");
    return hostile_null(item == Host::camera_id() ? &g_host->scene.camera : nullptr);
}
ItemInfoService item_rec = [] {
    ItemInfoService r{};
    r.first = item_first;
    r.next = item_next;
    r.param = item_param;
    r.chan_group = item_chan_group;
    return r;
}();

// ---------------------------------------------------------------- LW Camera Info 9
Camera* camera_of(ItemId item) { return item == Host::camera_id() ? &g_host->scene.camera : nullptr; }

double cam_focal_length(ItemId item, double time) {
    HostScope s;
    LOG(fmt("camera.focal_length(%s, %g)", hexid(item).c_str(), time));
    Camera* c = camera_of(item);
    return hostile_double(c ? c->focal_length : 0.0);
}
double cam_focal_distance(ItemId item, double time) {
    HostScope s;
    LOG(fmt("camera.focal_distance(%s, %g)", hexid(item).c_str(), time));
    Camera* c = camera_of(item);
    return hostile_double(c ? c->focal_distance_at(time) : 0.0);
}
double cam_f_stop(ItemId item, double time) {
    HostScope s;
    LOG(fmt("camera.f_stop(%s, %g)", hexid(item).c_str(), time));
    Camera* c = camera_of(item);
    return hostile_double(c ? c->f_stop : 0.0);
}
uint32_t cam_flags(ItemId item) {
    HostScope s;
    LOG("camera.flags(" + hexid(item) + ")");
    Camera* c = camera_of(item);
    return static_cast<uint32_t>(hostile_int(static_cast<int32_t>(c ? c->flags : 0u)));
}
void cam_film_size(ItemId item, double* w, double* h) {
    HostScope s;
    LOG("camera.film_size(" + hexid(item) + ")");
    Camera* c = camera_of(item);
    if (w) *w = hostile_double(c ? c->film_width : 0.0);
    if (h) *h = hostile_double(c ? c->film_height : 0.0);
}
CameraInfoService camera_rec = {nullptr, cam_focal_length, cam_focal_distance, cam_f_stop,
                                nullptr, nullptr,          cam_flags,          cam_film_size};

// ---------------------------------------------------------------- LW Time Info, Scene Info
TimeInfoService time_rec = {0.0, 0, 0};

ItemId scene_render_camera(double time) {
    HostScope s;
    LOG(fmt("scene.render_camera(%g)", time));
    if (hostile()) return choice() % 2 ? nullptr : reinterpret_cast<ItemId>(uintptr_t{0xbad0000});
    return Host::camera_id();
}
SceneInfoService scene_rec = [] {
    SceneInfoService r{};
    r.render_camera = scene_render_camera;
    return r;
}();

// ---------------------------------------------------------------- Channel Info 2
ChannelId chan_next(ChanGroupId group, ChannelId prev) {
    HostScope s;
    LOG("channel.next(" + std::string(prev ? "channel" : "null") + ")");
    if (group != &g_host->scene.camera || hostile()) return nullptr;
    auto& chans = g_host->scene.camera.channels;
    if (chans.empty()) return nullptr;
    if (!prev) return &chans[0];
    for (size_t i = 0; i + 1 < chans.size(); ++i)
        if (&chans[i] == prev) return &chans[i + 1];
    return nullptr;
}
const char* chan_name(ChannelId ch) {
    HostScope s;
    const char* n = ch ? static_cast<Channel*>(ch)->name.c_str() : nullptr;
    if (hostile()) {
        static const char* const odd[] = {nullptr, "", "FocalDistanceFocalDistanceFocalDistanceFocal", "Focal", "FocalDistanc"};
        n = odd[choice() % 5];
    }
    LOG("channel.name() -> " + str(n));
    return n;
}
EnvelopeId chan_envelope(ChannelId ch) {
    HostScope s;
    LOG("channel.envelope(" + std::string(ch ? static_cast<Channel*>(ch)->name : "null") + ")");
    return hostile_null(ch ? static_cast<Channel*>(ch)->envelope.get() : nullptr);
}
ChannelInfoService channel_rec = [] {
    ChannelInfoService r{};
    r.next_channel = chan_next;
    r.name = chan_name;
    r.envelope = chan_envelope;
    return r;
}();

// ---------------------------------------------------------------- Animation Envelopes 2
KeyId env_create_key(EnvelopeId env, double time, double value) {
    HostScope s;
    LOG(fmt("envelope.create_key(%g, %.17g)", time, value));
    return env ? static_cast<Envelope*>(env)->create(time, value) : nullptr;
}
KeyId env_find_key(EnvelopeId env, double time) {
    HostScope s;
    LOG(fmt("envelope.find_key(%g)", time));
    return hostile_null(env ? static_cast<Envelope*>(env)->find(time) : nullptr);
}
int32_t env_key_set(EnvelopeId, KeyId key, int32_t attr, void* value) {
    HostScope s;
    const double v = value ? *static_cast<double*>(value) : 0.0;
    LOG(fmt("envelope.key_set(%d, %.17g)", attr, v));
    if (!key || !value || attr != kKeyValue) return 0;
    static_cast<Key*>(key)->value = v;
    return 1;
}
EnvelopeService envelope_rec = [] {
    EnvelopeService r{};
    r.create_key = env_create_key;
    r.find_key = env_find_key;
    r.key_set = env_key_set;
    return r;
}();

// ---------------------------------------------------------------- LWSpatialQueryService
int g_query_token = 0;
QueryId sq_create() {
    HostScope s;
    LOG("spatial.create()");
    if (g_host->options.spatial_create_fails || hostile()) return nullptr;
    ++g_host->queries_created;
    return &g_query_token;
}
void sq_release(QueryId) {
    HostScope s;
    LOG("spatial.release()");
    ++g_host->queries_released;
}
int32_t sq_intersect(QueryId, ItemId item, const double o[3], const double d[3], HitRecord* hit) {
    HostScope s;
    if (g_host->options.fixed_intersect >= 0) {
        if (hit) hit->distance = g_host->options.fixed_distance;
        return g_host->options.fixed_intersect;
    }
    LOG("spatial.intersect(" + hexid(item) + ")");
    ++g_host->intersect_calls;
    if (g_host->options.intersect_override) return g_host->options.intersect_override(item, o, d, hit);
    if (hostile()) {
        if (hit) hit->distance = hostile_double(1.0);
        static const int32_t codes[] = {0, 1, -1, 2, 1};
        return codes[choice() % 5];
    }
    const Object* obj = g_host->object_of(item);
    if (!obj || !o || !d || !hit) return 0;
    const Vec3 origin{o[0], o[1], o[2]};
    const Vec3 dir = normalized({d[0], d[1], d[2]});
    if (length(dir) == 0) return 0;
    const double t = obj->intersect(origin, dir);
    if (t < 0) return 0;
    const Vec3 p = origin + dir * t;
    hit->point[0] = p.x;
    hit->point[1] = p.y;
    hit->point[2] = p.z;
    hit->polygon = nullptr;
    hit->distance = t;
    return 1;
}
SpatialQueryService spatial_rec = {sq_create, sq_release, sq_intersect};

// ---------------------------------------------------------------- Instance Update
int32_t instance_update_fn(const char* cls, void* inst) {
    HostScope s;
    LOG("instance_update(" + str(cls) + ")");
    g_host->instance_updates.emplace_back(cls ? cls : "", inst);
    return 1;
}

int product_rec = 0, interface_rec = 0;

void* global_lookup(const char* name, int32_t use) {
    HostScope s;
    if (!g_host || !name) return nullptr;
    LOG(fmt("global(\"%s\", %d)", name, use));
    g_host->lookups.emplace_back(name);
    if (g_host->options.missing_services.count(name) || hostile()) return nullptr;
    const std::string n = name;
    time_rec.time = hostile_double(g_host->scene.time);
    if (n == "Info Messages 3") return &messages_rec;
    if (n == "LWPanelServices 2") return &panel_rec;
    if (n == "LW Command Interface") return reinterpret_cast<void*>(cmd_run);
    if (n == "LW Viewport Info 7") return &viewport_rec;
    if (n == "Product Info") return &product_rec;
    if (n == "LW Interface Info 7") return &interface_rec;
    if (n == "LW Item Info 8") return &item_rec;
    if (n == "LW Camera Info 9") return &camera_rec;
    if (n == "LW Time Info") return &time_rec;
    if (n == "LW Scene Info 10") return &scene_rec;
    if (n == "Channel Info 2") return &channel_rec;
    if (n == "Animation Envelopes 2") return &envelope_rec;
    if (n == "LWSpatialQueryService") return &spatial_rec;
    if (n == "Instance Update") return reinterpret_cast<void*>(instance_update_fn);
    return nullptr;
}

}  // namespace

int host_depth() { return g_depth; }
HostScope::HostScope() { ++g_depth; }
HostScope::~HostScope() { --g_depth; }

Host::Host() {
    if (g_host) {
        std::fprintf(stderr, "stand-in host: only one Host may exist at a time\n");
        std::abort();
    }
    g_host = this;
    time_rec = {0.0, 0, 0};
    panel_rec.global = nullptr;
}

Host::~Host() {
    if (local_.instance && callbacks_.release) release();
    module_.reset();
    g_host = nullptr;
}

GlobalFunc Host::global_function() { return global_lookup; }

void Host::log(std::string line) { calls.push_back(std::move(line)); }

bool Host::load(const std::string& path, std::string& error, bool fresh) {
    module_ = LoadedModule::open(path, error, fresh);
    if (!module_) return false;
    module_->startup();
    return true;
}

int32_t Host::activate() {
    if (!module_) return -1;
    time_rec.time = scene.time;
    callbacks_ = ToolCallbacks{};
    local_ = ToolLocal{nullptr, &callbacks_};
    return module_->server().activate(kModuleVersion, global_lookup, &local_, module_->server_data());
}

void Host::release() {
    if (local_.instance && callbacks_.release) callbacks_.release(local_.instance);
    local_.instance = nullptr;
}

void Host::draw() {
    if (!callbacks_.draw) return;
    time_rec.time = scene.time;
    struct Recorder {
        static void color(void* data, const float rgba[4]) {
            HostScope s;
            auto* h = static_cast<Host*>(data);
            DrawCall c{DrawKind::Color, {rgba[0], rgba[1], rgba[2], rgba[3]}, {0, 0, 0}, 0, 0};
            h->draws.push_back(c);
        }
        static void shape(DrawKind kind, void* data, const double ctr[3], double r, int32_t csys) {
            HostScope s;
            auto* h = static_cast<Host*>(data);
            DrawCall c{kind, {0, 0, 0, 0}, {ctr[0], ctr[1], ctr[2]}, r, csys};
            h->draws.push_back(c);
        }
        static void circle(void* d, const double c[3], double r, int32_t cs) { shape(DrawKind::Circle, d, c, r, cs); }
        static void disc(void* d, const double c[3], double r, int32_t cs) { shape(DrawKind::Disc, d, c, r, cs); }
    };
    static const DrawAccess access_template = {nullptr, Recorder::color, Recorder::circle, Recorder::disc};
    DrawAccess access = access_template;
    access.data = this;
    callbacks_.draw(local_.instance, &access);
}

namespace {
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

int32_t Host::mouse_down(int32_t viewport, Vec3 direction, int32_t flags) {
    if (!callbacks_.down) return 0;
    time_rec.time = scene.time;
    const ToolEvent e = make_event(viewport, direction, 0, flags);
    return callbacks_.down(local_.instance, &e);
}

void Host::mouse_move(int32_t dx, int32_t flags) {
    if (!callbacks_.move) return;
    const ToolEvent e = make_event(0, {}, dx, flags);
    callbacks_.move(local_.instance, &e);
}

void Host::mouse_up() {
    if (!callbacks_.up) return;
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

namespace {
// A control's callback runs only while its panel exists: a destroyed panel's controls belong
// to a released instance.
void fire(Control* c) {
    time_rec.time = g_host->scene.time;
    if (c && c->callback && c->panel && !c->panel->destroyed) c->callback(&c->record, c->user_data);
}
}  // namespace

void Host::user_choose(Control* c, int32_t index) {
    if (!c) return;
    c->int_value = index;
    fire(c);
}
void Host::user_type(Control* c, double value) {
    if (!c) return;
    c->float_value = value;
    fire(c);
}
void Host::user_drag(Control* c, int32_t value) {
    if (!c) return;
    c->int_value = value;
    fire(c);
}
void Host::user_press(Control* c) { fire(c); }
void Host::user_select_item(Control* c, int32_t item_id) {
    if (!c) return;
    c->int_value = item_id;
    fire(c);
}

ItemId Host::object_id(size_t index) { return reinterpret_cast<ItemId>(kObjectBase + index); }
ItemId Host::camera_id() { return reinterpret_cast<ItemId>(kCameraItem); }
int32_t Host::item_number(ItemId id) {
    const auto v = reinterpret_cast<uintptr_t>(id);
    if (v < kObjectBase || v >= kObjectBase + 0x10000000u) return -1;
    return static_cast<int32_t>(v - kObjectBase);
}
const Object* Host::object_of(ItemId id) const {
    const int32_t n = item_number(id);
    if (n < 0 || static_cast<size_t>(n) >= scene.objects.size()) return nullptr;
    return &scene.objects[static_cast<size_t>(n)];
}

Control* Host::control_of(ControlRecord* rec) {
    return rec ? static_cast<Control*>(rec->host_data) : nullptr;
}

std::vector<double> Host::radii(DrawKind kind) const {
    std::vector<double> r;
    for (const auto& d : draws)
        if (d.kind == kind) r.push_back(d.radius);
    return r;
}

void Host::clear_records() {
    calls.clear();
    commands.clear();
    command_errors.clear();
    messages.clear();
    draws.clear();
    instance_updates.clear();
    lookups.clear();
    queries_created = queries_released = intersect_calls = 0;
}

}  // namespace host
