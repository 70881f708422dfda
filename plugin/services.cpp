#include "plugin/services.h"

namespace taverin {

MessagesService* messages = nullptr;
PanelServices* panel_services = nullptr;
CommandService::Function command = nullptr;
ViewportInfoService* viewport_info = nullptr;
ProductInfoService* product_info = nullptr;
InterfaceInfoService* interface_info = nullptr;
ItemInfoService* item_info = nullptr;
CameraInfoService* camera_info = nullptr;
TimeInfoService* time_info = nullptr;
SceneInfoService* scene_info = nullptr;
ChannelInfoService* channel_info = nullptr;
EnvelopeService* envelopes = nullptr;
SpatialQueryService* spatial_query = nullptr;
InstanceUpdateService::Function instance_update = nullptr;

void lookup_services(GlobalFunc global) {
    // One lookup per service, in this order, every activation.
    messages = fetch_service<MessagesService>(global);
    panel_services = fetch_service<PanelServices>(global);
    command = fetch_service<CommandService>(global);
    viewport_info = fetch_service<ViewportInfoService>(global);
    product_info = fetch_service<ProductInfoService>(global);
    interface_info = fetch_service<InterfaceInfoService>(global);
    item_info = fetch_service<ItemInfoService>(global);
    camera_info = fetch_service<CameraInfoService>(global);
    time_info = fetch_service<TimeInfoService>(global);
    scene_info = fetch_service<SceneInfoService>(global);
    channel_info = fetch_service<ChannelInfoService>(global);
    envelopes = fetch_service<EnvelopeService>(global);
    spatial_query = fetch_service<SpatialQueryService>(global);
    instance_update = fetch_service<InstanceUpdateService>(global);
}

}  // namespace taverin
