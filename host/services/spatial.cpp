// "LWSpatialQueryService": ray queries against the scene's objects. The hit distance is
// measured in units of the direction the module passes (unless the host is told to normalise
// it first), so the module's ray reaches the host exactly as it was sent.
#include <cmath>

#include "host/service_call.h"
#include "host/services/services.h"

namespace host {

using namespace taverin;

namespace {

QueryId create() {
    ServiceCall call;
    if (!call) return nullptr;
    call.log("spatial.create()");
    if (call.host().options.spatial_create_fails || call.hostility().strikes()) return nullptr;
    ++call.record().queries_created;
    return handle_of<QueryId>(&call.host().records().query_token);
}

void release(QueryId) {
    ServiceCall call;
    if (!call) return;
    call.log("spatial.release()");
    ++call.record().queries_released;
}

int32_t intersect(QueryId, ItemId item, const double o[3], const double d[3], HitRecord* hit) {
    ServiceCall call;
    if (!call) return 0;
    call.log("spatial.intersect(%s)", item_text(item).c_str());
    ++call.record().intersect_calls;
    Host& h = call.host();
    if (h.options.intersect_override) return h.options.intersect_override(item, o, d, hit);
    if (call.hostility().strikes()) {
        if (hit) hit->distance = call.hostility().answer(1.0);
        static const int32_t codes[] = {0, 1, -1, 2, 1};
        return codes[call.hostility().pick() % 5];
    }
    const Object* obj = object_of(call.scene(), item);
    if (!obj || !o || !d || !hit) return 0;
    const Vec3 origin{o[0], o[1], o[2]};
    Vec3 dir{d[0], d[1], d[2]};
    if (h.options.normalize_ray_direction) dir = normalized(dir);
    if (!(length(dir) > 0) || !std::isfinite(length(dir))) return 0;
    const double t = obj->intersect(origin, dir);
    if (t < 0) return 0;
    const Vec3 p = origin + dir * t;
    hit->point[0] = p.x;
    hit->point[1] = p.y;
    hit->point[2] = p.z;
    hit->polygon = nullptr;
    hit->distance = t;
    return kIntersectHit;
}

}  // namespace

void fill_spatial_services(ServiceRecords& r) { r.spatial = SpatialQueryService{create, release, intersect}; }

}  // namespace host
