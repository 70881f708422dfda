// Click-to-focus: the mouse-down callback casts a ray from the render camera and focuses the
// camera on the nearest object it hits.
#include <cmath>
#include <cstdio>

#include "plugin/services.h"
#include "plugin/tool.h"

namespace taverin {

namespace {

constexpr const char* kQueryFailed = "could not initialise spatial function";

void show_info(char (&buffer)[256], const char* text) {
    std::snprintf(buffer, sizeof buffer, "%s", text);
    if (messages && messages->info) messages->info(buffer, buffer);
}

void show_ok_cancel(char (&buffer)[256], const char* text) {
    std::snprintf(buffer, sizeof buffer, "%s", text);
    if (messages && messages->ok_cancel) messages->ok_cancel(buffer, buffer, nullptr);
}

bool in_camera_view(int32_t viewport) {
    return viewport_info && viewport_info->type && viewport_info->type(viewport) == kViewportCamera;
}

}  // namespace

int32_t tool_down(void*, const ToolEvent* event) {
    char message[256];
    show_info(message, "");
    if (!event || !in_camera_view(event->viewport)) return kDownTakesGesture;

    const double direction[3] = {event->direction[0], event->direction[1], event->direction[2]};
    if (!item_info || !item_info->param || !item_info->first || !item_info->next)
        return kDownTakesGesture;
    const double t = current_time();
    const ItemId camera = render_camera(t);
    if (!camera) return kDownTakesGesture;  // no camera to cast from
    double origin[3] = {0.0, 0.0, 0.0};
    item_info->param(camera, kParamWorldPosition, t, origin);

    const bool can_query = spatial_query && spatial_query->create && spatial_query->intersect;
    const QueryId query = can_query ? spatial_query->create() : nullptr;
    ItemId item = item_info->first(kItemObject, nullptr);
    if (!query) {
        show_ok_cancel(message, kQueryFailed);
        return kDownTakesGesture;
    }

    double best = 0.0;
    int32_t hits = 0;
    HitRecord hit{};
    while (item) {
        hit.distance = NAN;
        // A hit whose distance the host left undefined is not a hit.
        if (spatial_query->intersect(query, item, origin, direction, &hit) == kIntersectHit &&
            !std::isnan(hit.distance)) {
            if (hits == 0) best = hit.distance;
            if (best > hit.distance) best = hit.distance;
            ++hits;
        }
        item = item_info->next(item);
    }

    if (hits > 0 && in_camera_view(event->viewport) && !(event->flags & kEventAlternate))
        set_focal_distance(best);

    if (spatial_query->release) spatial_query->release(query);
    return kDownTakesGesture;
}

}  // namespace taverin
