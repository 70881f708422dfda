// The stand-in host's fourteen services, one file per family. Each family fills its records
// (or hands out its function); the global lookup (lookup.cpp) answers the module's requests
// by name with them.
//
//   messages.cpp  "Info Messages 3" and "Instance Update": the module tells the user or host
//   panels.cpp    "LWPanelServices 2" and the controls' get and set
//   commands.cpp  "LW Command Interface": the command interpreter
//   items.cpp     "LW Item Info 8", "LW Camera Info 9", "LW Scene Info 10", "LW Time Info",
//                 "LW Viewport Info 7", "Product Info", "LW Interface Info 7"
//   channels.cpp  "Channel Info 2" and "Animation Envelopes 2"
//   spatial.cpp   "LWSpatialQueryService"
#pragma once

#include "host/host.h"

namespace host {

void fill_message_services(ServiceRecords& r);
taverin::InstanceUpdateService::Function instance_update_function();
void fill_panel_services(ServiceRecords& r);
taverin::CommandService::Function command_function();
void fill_item_services(ServiceRecords& r);
void fill_channel_services(ServiceRecords& r);
void fill_spatial_services(ServiceRecords& r);

// The global lookup function the module receives at activation.
void* global_lookup(const char* name, int32_t use);

}  // namespace host
