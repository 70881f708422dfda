// How the stand-in host names scene items to the module: object i is kObjectBase + i, the
// camera a value of its own. The values are recognisable in call logs and are never
// dereferenced, by the module or by the host.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/scene.h"
#include "plugin/host_abi.h"

namespace host {

taverin::ItemId object_id(size_t index);
taverin::ItemId camera_id();
// The object index behind an item identifier, or -1 when it names no object slot.
int32_t item_number(taverin::ItemId id);
// The object an identifier names in `scene`, or null.
const Object* object_of(const Scene& scene, taverin::ItemId id);
// The 32-bit identifier the item list reports for object `index` (the module widens it).
int32_t list_id(size_t index);

}  // namespace host
