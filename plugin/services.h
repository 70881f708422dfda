// The fourteen host services, looked up by name on every activation.
//
// Each variable holds what the host's global lookup function returned for its name, or null
// when the host did not provide that service. Every operation that uses a service checks the
// variable (and the entry it calls) first, so a missing service disables only what needs it.
#pragma once

#include "plugin/host_abi.h"

namespace taverin {

extern MessagesService* messages;
extern PanelServices* panel_services;
extern CommandService::Function command;
extern ViewportInfoService* viewport_info;
extern ProductInfoService* product_info;
extern InterfaceInfoService* interface_info;
extern ItemInfoService* item_info;
extern CameraInfoService* camera_info;
extern TimeInfoService* time_info;
extern SceneInfoService* scene_info;
extern ChannelInfoService* channel_info;
extern EnvelopeService* envelopes;
extern SpatialQueryService* spatial_query;
extern InstanceUpdateService::Function instance_update;

// Looks up all fourteen services through `global`, in the host's documented order, and
// overwrites the variables above.
void lookup_services(GlobalFunc global);

// The current time from "LW Time Info", or 0 when the service is missing.
inline double current_time() { return time_info ? time_info->time : 0.0; }

// The scene's render camera at time `t`, or null when the scene service is missing.
inline ItemId render_camera(double t) {
    return (scene_info && scene_info->render_camera) ? scene_info->render_camera(t) : nullptr;
}

// Sends a command to the host; does nothing when the command interface is missing.
inline void run_command(const char* text) {
    if (command) command(text);
}

// Tells the host that `instance` changed.
inline void notify_instance_changed(void* instance) {
    if (instance_update) instance_update(kToolClass, instance);
}

}  // namespace taverin
