// "LW Item Info 8", "LW Camera Info 9", "LW Scene Info 10", "LW Time Info" and
// "LW Viewport Info 7": the scene's items, its one camera, the render camera, the clock and
// the viewports. ("Product Info" and "LW Interface Info 7" are plain records the module
// looks up and never reads.) The time record is data the module reads directly; the driver
// keeps it equal to the scene's time whenever the module runs.
#include "host/service_call.h"
#include "host/services/services.h"

namespace host {

using namespace taverin;

namespace {

Camera* camera_behind(const ServiceCall& call, ItemId item) {
    return item == camera_id() ? &call.scene().camera : nullptr;
}

// ---------------------------------------------------------------- LW Viewport Info 7
int32_t viewport_type(int32_t index) {
    ServiceCall call;
    if (!call) return 0;
    call.log("viewport.type(%d)", index);
    const auto& vps = call.scene().viewports;
    if (index < 0 || static_cast<size_t>(index) >= vps.size()) return call.hostility().answer(0);
    return call.hostility().answer(vps[static_cast<size_t>(index)].type);
}

// ---------------------------------------------------------------- LW Item Info 8
ItemId item_first(int32_t type, ItemId parent) {
    ServiceCall call;
    if (!call) return nullptr;
    call.log("item.first(%d, %s)", type, item_text(parent).c_str());
    if (call.hostility().strikes())
        return call.hostility().pick() % 2 ? nullptr : reinterpret_cast<ItemId>(uintptr_t{0xdead0000});
    if (type == kItemObject && !call.scene().objects.empty()) return object_id(0);
    if (type == 2) return camera_id();
    return nullptr;
}

ItemId item_next(ItemId item) {
    ServiceCall call;
    if (!call) return nullptr;
    call.log("item.next(%s)", item_text(item).c_str());
    const int32_t n = item_number(item);
    if (call.hostility().strikes()) return nullptr;  // a list cut short
    if (n >= 0 && static_cast<size_t>(n) + 1 < call.scene().objects.size()) return object_id(static_cast<size_t>(n) + 1);
    return nullptr;
}

void item_param(ItemId item, int32_t code, double time, double out[3]) {
    ServiceCall call;
    if (!call) return;
    call.log("item.param(%s, %d, %g)", item_text(item).c_str(), code, time);
    if (!out) return;
    Vec3 p{};
    if (item == camera_id()) p = call.scene().camera.position;
    else if (const Object* o = object_of(call.scene(), item)) p = o->center;
    if (code == kParamWorldPosition) {
        out[0] = call.hostility().answer(p.x);
        out[1] = call.hostility().answer(p.y);
        out[2] = call.hostility().answer(p.z);
    }
}

ChanGroupId item_chan_group(ItemId item) {
    ServiceCall call;
    if (!call) return nullptr;
    call.log("item.chan_group(%s)", item_text(item).c_str());
    return call.hostility().null_or(handle_of<ChanGroupId>(camera_behind(call, item)));
}

// ---------------------------------------------------------------- LW Camera Info 9
// One lens query: the camera's value at `time`, or 0 for an item that is not the camera.
template <typename Read>
double lens_query(const char* name, ItemId item, double time, Read read) {
    ServiceCall call;
    if (!call) return 0.0;
    call.log("camera.%s(%s, %g)", name, item_text(item).c_str(), time);
    const Camera* c = camera_behind(call, item);
    return call.hostility().answer(c ? read(*c, time) : 0.0);
}

double focal_length(ItemId item, double time) {
    return lens_query("focal_length", item, time, [](const Camera& c, double) { return c.focal_length; });
}
double focal_distance(ItemId item, double time) {
    return lens_query("focal_distance", item, time, [](const Camera& c, double t) { return c.focal_distance_at(t); });
}
double f_stop(ItemId item, double time) {
    return lens_query("f_stop", item, time, [](const Camera& c, double) { return c.f_stop; });
}

uint32_t camera_flags(ItemId item) {
    ServiceCall call;
    if (!call) return 0;
    call.log("camera.flags(%s)", item_text(item).c_str());
    const Camera* c = camera_behind(call, item);
    return static_cast<uint32_t>(call.hostility().answer(static_cast<int32_t>(c ? c->flags : 0u)));
}

void film_size(ItemId item, double* w, double* h) {
    ServiceCall call;
    if (!call) return;
    call.log("camera.film_size(%s)", item_text(item).c_str());
    const Camera* c = camera_behind(call, item);
    if (w) *w = call.hostility().answer(c ? c->film_width : 0.0);
    if (h) *h = call.hostility().answer(c ? c->film_height : 0.0);
}

// ---------------------------------------------------------------- LW Scene Info 10
ItemId render_camera(double time) {
    ServiceCall call;
    if (!call) return nullptr;
    call.log("scene.render_camera(%g)", time);
    if (call.hostility().strikes())
        return call.hostility().pick() % 2 ? nullptr : reinterpret_cast<ItemId>(uintptr_t{0xbad0000});
    return camera_id();
}

}  // namespace

void fill_item_services(ServiceRecords& r) {
    r.viewports = ViewportInfoService{0, 0, viewport_type};
    r.items = ItemInfoService{item_first, item_next, {}, item_param, {}, item_chan_group};
    r.camera = CameraInfoService{nullptr, focal_length, focal_distance, f_stop, nullptr, nullptr, camera_flags, film_size};
    r.scene = SceneInfoService{{}, render_camera};
}

}  // namespace host
