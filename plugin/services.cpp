#include "plugin/services.h"

namespace taverin {

MessagesService* messages = nullptr;
PanelServices* panel_services = nullptr;
CommandFunc command = nullptr;
ViewportInfoService* viewport_info = nullptr;
void* product_info = nullptr;
void* interface_info = nullptr;
ItemInfoService* item_info = nullptr;
CameraInfoService* camera_info = nullptr;
TimeInfoService* time_info = nullptr;
SceneInfoService* scene_info = nullptr;
ChannelInfoService* channel_info = nullptr;
EnvelopeService* envelopes = nullptr;
SpatialQueryService* spatial_query = nullptr;
InstanceUpdateFunc instance_update = nullptr;

void lookup_services(GlobalFunc global) {
    auto get = [global](int index) -> void* { return global(kServiceNames[index], 0); };
    messages = static_cast<MessagesService*>(get(0));
    panel_services = static_cast<PanelServices*>(get(1));
    command = reinterpret_cast<CommandFunc>(get(2));
    viewport_info = static_cast<ViewportInfoService*>(get(3));
    product_info = get(4);
    interface_info = get(5);
    item_info = static_cast<ItemInfoService*>(get(6));
    camera_info = static_cast<CameraInfoService*>(get(7));
    time_info = static_cast<TimeInfoService*>(get(8));
    scene_info = static_cast<SceneInfoService*>(get(9));
    channel_info = static_cast<ChannelInfoService*>(get(10));
    envelopes = static_cast<EnvelopeService*>(get(11));
    spatial_query = static_cast<SpatialQueryService*>(get(12));
    instance_update = reinterpret_cast<InstanceUpdateFunc>(get(13));
}

}  // namespace taverin
