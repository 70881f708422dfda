// The global lookup function the module receives at activation: it answers a service name
// with that service's record (or, for the two function services, the function), and null for
// names it does not know or services the host is told to leave out.
#include <cstring>

#include "host/service_call.h"
#include "host/services/services.h"

namespace host {

using namespace taverin;

void* global_lookup(const char* name, int32_t use) {
    ServiceCall call;
    if (!call || !name) return nullptr;
    call.log("global(\"%s\", %d)", name, use);
    Host& h = call.host();
    h.record.lookups.emplace_back(name);
    if (h.options.missing_services.count(name) || call.hostility().strikes()) return nullptr;
    ServiceRecords& r = h.records();
    auto is = [name](const char* service) { return std::strcmp(name, service) == 0; };
    if (is(MessagesService::kName)) return &r.messages;
    if (is(PanelServices::kName)) return &r.panels;
    if (is(CommandService::kName)) return reinterpret_cast<void*>(command_function());
    if (is(ViewportInfoService::kName)) return &r.viewports;
    if (is(ProductInfoService::kName)) return &r.product;
    if (is(InterfaceInfoService::kName)) return &r.interface;
    if (is(ItemInfoService::kName)) return &r.items;
    if (is(CameraInfoService::kName)) return &r.camera;
    if (is(TimeInfoService::kName)) return &r.time;
    if (is(SceneInfoService::kName)) return &r.scene;
    if (is(ChannelInfoService::kName)) return &r.channels;
    if (is(EnvelopeService::kName)) return &r.envelopes;
    if (is(SpatialQueryService::kName)) return &r.spatial;
    if (is(InstanceUpdateService::kName)) return reinterpret_cast<void*>(instance_update_function());
    return nullptr;
}

}  // namespace host
