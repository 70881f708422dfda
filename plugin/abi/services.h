// The fourteen host services the module looks up by name. Each record carries the name it is
// looked up by (`kName`); the two services that are plain functions ("LW Command Interface"
// and "Instance Update") are declared as a name and a function type. Entries are counted
// from 1 in the comments, as the host numbers them; unnamed entries are `Reserved` and never
// called by the module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "plugin/abi/module.h"
#include "plugin/abi/panel.h"

namespace taverin {

struct MessagesService {
    static constexpr const char* kName = "Info Messages 3";
    void (*info)(const char* text1, const char* text2);                          // 1
    Reserved slot2;                                                               // 2
    Reserved slot3;                                                               // 3
    int32_t (*ok_cancel)(const char* title, const char* text1, const char* text2);  // 4
};
static_assert(offsetof(MessagesService, info) == 0 * 8);
static_assert(offsetof(MessagesService, ok_cancel) == 3 * 8);

struct PanelServices {
    static constexpr const char* kName = "LWPanelServices 2";
    PanelId (*create)(const char* title, void* reserved);                    // 1
    void (*destroy)(PanelId panel);                                          // 2
    int32_t (*open)(PanelId panel, int32_t flags);                           // 3 (host's own)
    int32_t (*handle)(PanelId panel, int32_t flags);                         // 4: < 0 once closed
    Reserved slot5;                                                          // 5
    void (*close)(PanelId panel);                                            // 6
    Reserved slot7;                                                          // 7
    void (*set)(PanelId panel, int32_t tag, void* value);                    // 8
    ControlRecord* (*add_control)(PanelId panel, const char* type_name, ControlDesc* desc,
                                  const char* label);                        // 9
    Reserved slot10;                                                         // 10
    Reserved slot11;                                                         // 11
    Reserved slot12;                                                         // 12
    GlobalFunc global;                                                       // 13
};
static_assert(offsetof(PanelServices, create) == 0 * 8);
static_assert(offsetof(PanelServices, destroy) == 1 * 8);
static_assert(offsetof(PanelServices, handle) == 3 * 8);
static_assert(offsetof(PanelServices, close) == 5 * 8);
static_assert(offsetof(PanelServices, set) == 7 * 8);
static_assert(offsetof(PanelServices, add_control) == 8 * 8);
static_assert(offsetof(PanelServices, global) == 12 * 8);

struct CommandService {
    static constexpr const char* kName = "LW Command Interface";
    using Function = int32_t (*)(const char* command);  // result not used by the module
};

inline constexpr int32_t kViewportCamera = 9;

struct ViewportInfoService {
    static constexpr const char* kName = "LW Viewport Info 7";
    int32_t num_viewports;  // 0 (host's own)
    int32_t unused4;
    int32_t (*type)(int32_t index);  // 8: kViewportCamera looks through the camera
};
static_assert(offsetof(ViewportInfoService, type) == 8);

// Looked up (the host may count on it) but never used.
struct ProductInfoService {
    static constexpr const char* kName = "Product Info";
};
struct InterfaceInfoService {
    static constexpr const char* kName = "LW Interface Info 7";
};

inline constexpr int32_t kItemObject = 0;
inline constexpr int32_t kParamWorldPosition = 8;

struct ItemInfoService {
    static constexpr const char* kName = "LW Item Info 8";
    ItemId (*first)(int32_t type, ItemId parent);                           // 1
    ItemId (*next)(ItemId item);                                            // 2: null at the end
    Reserved slot3_to_9[7];                                                 // 3..9
    void (*param)(ItemId item, int32_t code, double time, double out[3]);   // 10
    Reserved slot11_to_13[3];                                               // 11..13
    ChanGroupId (*chan_group)(ItemId item);                                 // 14
};
static_assert(offsetof(ItemInfoService, first) == 0 * 8);
static_assert(offsetof(ItemInfoService, next) == 1 * 8);
static_assert(offsetof(ItemInfoService, param) == 9 * 8);
static_assert(offsetof(ItemInfoService, chan_group) == 13 * 8);

inline constexpr uint32_t kCameraDepthOfField = 8;

struct CameraInfoService {
    static constexpr const char* kName = "LW Camera Info 9";
    Reserved slot1;                                                      // 1
    double (*focal_length)(ItemId camera, double time);                  // 2, millimetres
    double (*focal_distance)(ItemId camera, double time);                // 3, metres
    double (*f_stop)(ItemId camera, double time);                        // 4
    Reserved slot5;                                                      // 5
    Reserved slot6;                                                      // 6
    uint32_t (*flags)(ItemId camera);                                    // 7
    void (*film_size)(ItemId camera, double* width, double* height);     // 8, metres
};
static_assert(offsetof(CameraInfoService, focal_length) == 1 * 8);
static_assert(offsetof(CameraInfoService, focal_distance) == 2 * 8);
static_assert(offsetof(CameraInfoService, f_stop) == 3 * 8);
static_assert(offsetof(CameraInfoService, flags) == 6 * 8);
static_assert(offsetof(CameraInfoService, film_size) == 7 * 8);

struct TimeInfoService {
    static constexpr const char* kName = "LW Time Info";
    double time;  // 0: the current time, seconds
    int32_t frame;
    int32_t unused12;
};
static_assert(offsetof(TimeInfoService, time) == 0);

struct SceneInfoService {
    static constexpr const char* kName = "LW Scene Info 10";
    Reserved host_fields[13];                // 0..103 (host's own)
    ItemId (*render_camera)(double time);    // 104
};
static_assert(offsetof(SceneInfoService, render_camera) == 104);

struct ChannelInfoService {
    static constexpr const char* kName = "Channel Info 2";
    Reserved slot1;                                                    // 1
    ChannelId (*next_channel)(ChanGroupId group, ChannelId previous);  // 2: null at the end
    Reserved slot3;                                                    // 3
    const char* (*name)(ChannelId channel);                            // 4
    Reserved slot5_to_8[4];                                            // 5..8
    EnvelopeId (*envelope)(ChannelId channel);                         // 9
};
static_assert(offsetof(ChannelInfoService, next_channel) == 1 * 8);
static_assert(offsetof(ChannelInfoService, name) == 3 * 8);
static_assert(offsetof(ChannelInfoService, envelope) == 8 * 8);

inline constexpr int32_t kKeyValue = 0;

struct EnvelopeService {
    static constexpr const char* kName = "Animation Envelopes 2";
    Reserved slot1_to_10[10];                                                        // 1..10
    KeyId (*create_key)(EnvelopeId envelope, double time, double value);             // 11
    Reserved slot12;                                                                 // 12
    KeyId (*find_key)(EnvelopeId envelope, double time);                             // 13
    Reserved slot14;                                                                 // 14
    Reserved slot15;                                                                 // 15
    int32_t (*key_set)(EnvelopeId envelope, KeyId key, int32_t attribute, void* value);  // 16
};
static_assert(offsetof(EnvelopeService, create_key) == 10 * 8);
static_assert(offsetof(EnvelopeService, find_key) == 12 * 8);
static_assert(offsetof(EnvelopeService, key_set) == 15 * 8);

// The record the spatial query fills for each intersect call.
struct HitRecord {
    double point[3];  // 0: hit position (host's own)
    void* polygon;    // 24: host's own
    double distance;  // 32: distance along the ray
};
static_assert(sizeof(HitRecord) == 40);
static_assert(offsetof(HitRecord, distance) == 32);

inline constexpr int32_t kIntersectHit = 1;  // intersect: the ray hits the item

struct SpatialQueryService {
    static constexpr const char* kName = "LWSpatialQueryService";
    QueryId (*create)();                                                   // 1: null on failure
    void (*release)(QueryId query);                                        // 2
    int32_t (*intersect)(QueryId query, ItemId item, const double origin[3],
                         const double direction[3], HitRecord* hit);       // 3
};
static_assert(offsetof(SpatialQueryService, release) == 1 * 8);
static_assert(offsetof(SpatialQueryService, intersect) == 2 * 8);

struct InstanceUpdateService {
    static constexpr const char* kName = "Instance Update";
    using Function = int32_t (*)(const char* class_name, void* instance);  // result not used
};

// The names in the order activation looks them up.
inline constexpr const char* kServiceNames[14] = {
    MessagesService::kName,     PanelServices::kName,        CommandService::kName,
    ViewportInfoService::kName, ProductInfoService::kName,   InterfaceInfoService::kName,
    ItemInfoService::kName,     CameraInfoService::kName,    TimeInfoService::kName,
    SceneInfoService::kName,    ChannelInfoService::kName,   EnvelopeService::kName,
    SpatialQueryService::kName, InstanceUpdateService::kName,
};

// What a lookup yields for service S: the function itself for the two function services, a
// pointer to the record for the rest.
template <typename S, typename = void>
struct ServiceHandleOf {
    using type = S*;
};
template <typename S>
struct ServiceHandleOf<S, std::void_t<typename S::Function>> {
    using type = typename S::Function;
};
template <typename S>
using ServiceHandle = typename ServiceHandleOf<S>::type;

// Looks service S up through the host's global function, by the name its record carries.
template <typename S>
ServiceHandle<S> fetch_service(GlobalFunc global) {
    void* found = global(S::kName, 0);
    if constexpr (std::is_function_v<std::remove_pointer_t<ServiceHandle<S>>>)
        return reinterpret_cast<ServiceHandle<S>>(found);
    else
        return static_cast<ServiceHandle<S>>(found);
}

}  // namespace taverin
