#include "host/item_ids.h"

namespace host {

namespace {
constexpr uintptr_t kObjectBase = 0x10000001u;
constexpr uintptr_t kObjectSpan = 0x10000000u;
constexpr uintptr_t kCameraItem = 0x30000001u;
}  // namespace

taverin::ItemId object_id(size_t index) { return reinterpret_cast<taverin::ItemId>(kObjectBase + index); }

taverin::ItemId camera_id() { return reinterpret_cast<taverin::ItemId>(kCameraItem); }

int32_t item_number(taverin::ItemId id) {
    const auto v = reinterpret_cast<uintptr_t>(id);
    if (v < kObjectBase || v >= kObjectBase + kObjectSpan) return -1;
    return static_cast<int32_t>(v - kObjectBase);
}

const Object* object_of(const Scene& scene, taverin::ItemId id) {
    const int32_t n = item_number(id);
    if (n < 0 || static_cast<size_t>(n) >= scene.objects.size()) return nullptr;
    return &scene.objects[static_cast<size_t>(n)];
}

int32_t list_id(size_t index) { return static_cast<int32_t>(kObjectBase + index); }

}  // namespace host
