// The host application's binary interface, as this module and the stand-in host see it.
//
// Every record here crosses the boundary between the host and the module, so its layout is
// fixed: fixed-width integers wherever the size matters (`long` is 32 bits on 64-bit Windows
// and 64 bits on Linux, so it never appears), pointers where the host passes handles or
// functions, and a static_assert on every offset and size the host relies on.
//
// Where the host's layout is only partly known to us, the unknown fields are declared as
// `Reserved` slots or `reserved` bytes. Those choices are ours; they are made here, once, and
// the stand-in host fills the same records. The choices:
//   - DrawAccess: the drawing data handle followed by three operations (colour, circle, disc).
//   - CameraInfo: focal length at slot 2, focal distance at 3, f-stop at 4, film size at 8.
//   - ToolEvent: 248 bytes; the fields the tool does not read are kept for the host's own use.
//   - ToolCallbacks: the twelve slots the module fills, then four slots the host keeps for
//     itself and the module never writes.
//   - Unnamed service slots are `Reserved` and never called by the module.
// Everything here uses the C calling convention of the platform (x86-64 System V on Linux,
// the Microsoft x64 convention on Windows); there is only one convention on each.
#pragma once

#include <cstddef>
#include <cstdint>

namespace taverin {

static_assert(sizeof(void*) == 8, "the host is a 64-bit application");
static_assert(sizeof(double) == 8 && sizeof(float) == 4);

// A slot whose content the module never reads or calls.
using Reserved = void*;

// Opaque host handles.
using ItemId = void*;
using ChanGroupId = void*;
using ChannelId = void*;
using EnvelopeId = void*;
using KeyId = void*;
using PanelId = void*;
using QueryId = void*;

// ---------------------------------------------------------------- module descriptor

inline constexpr uint32_t kModuleSync = 0x04121994u;
inline constexpr uint32_t kModuleVersion = 3u;
inline constexpr uint32_t kModuleMachine = 0x300u;

using GlobalFunc = void* (*)(const char* service_name, int32_t use);
using ActivateFunc = int32_t (*)(int32_t version, GlobalFunc global, void* local, void* server_data);
using StartupFunc = void* (*)();
using ShutdownFunc = void (*)(void* server_data);

struct ServerRecord {
    const char* class_name;
    const char* server_name;
    ActivateFunc activate;
    void* reserved;
};
static_assert(sizeof(ServerRecord) == 32);
static_assert(offsetof(ServerRecord, class_name) == 0);
static_assert(offsetof(ServerRecord, server_name) == 8);
static_assert(offsetof(ServerRecord, activate) == 16);
static_assert(offsetof(ServerRecord, reserved) == 24);

struct ModuleDescriptor {
    uint32_t sync;
    uint32_t version;
    uint32_t machine;
    uint32_t padding;
    StartupFunc startup;
    ShutdownFunc shutdown;
    ServerRecord* servers;
};
static_assert(sizeof(ModuleDescriptor) == 40);
static_assert(offsetof(ModuleDescriptor, sync) == 0);
static_assert(offsetof(ModuleDescriptor, version) == 4);
static_assert(offsetof(ModuleDescriptor, machine) == 8);
static_assert(offsetof(ModuleDescriptor, padding) == 12);
static_assert(offsetof(ModuleDescriptor, startup) == 16);
static_assert(offsetof(ModuleDescriptor, shutdown) == 24);
static_assert(offsetof(ModuleDescriptor, servers) == 32);

// ---------------------------------------------------------------- tool event and callbacks

// The record the host passes to the mouse and handle callbacks.
struct ToolEvent {
    double position[3];     // 0: snapped position (host's own)
    double delta[3];        // 24: snapped motion (host's own)
    double origin[3];       // 48: start of the pick ray (host's own)
    double axis[3];         // 72: constraint axis (host's own)
    double direction[3];    // 96: direction of the pick ray
    unsigned char reserved[104];  // 120: host's own
    int32_t dx;             // 224: horizontal mouse motion, pixels
    int32_t dy;             // 228: vertical mouse motion, pixels
    int32_t axis_lock;      // 232: host's own
    int32_t flags;          // 236: bit value 8 = alternate mouse button
    int32_t viewport;       // 240: index of the viewport of the event
    int32_t reserved_tail;  // 244
};
static_assert(sizeof(ToolEvent) == 248);
static_assert(offsetof(ToolEvent, direction) == 96);
static_assert(offsetof(ToolEvent, dx) == 224);
static_assert(offsetof(ToolEvent, flags) == 236);
static_assert(offsetof(ToolEvent, viewport) == 240);

inline constexpr int32_t kEventAlternate = 8;   // flag word bit: alternate mouse button
inline constexpr int32_t kToolEventReset = 1;   // tool_event code: the host's reset
inline constexpr int32_t kDirtyRedrawAll = 3;   // tool_dirty: redraw drawing and help text

// The drawing access handed to the draw callback.
struct DrawAccess {
    void* data;
    void (*set_color)(void* data, const float rgba[4]);
    void (*circle)(void* data, const double center[3], double radius, int32_t csys);
    void (*disc)(void* data, const double center[3], double radius, int32_t csys);
};
static_assert(sizeof(DrawAccess) == 32);
static_assert(offsetof(DrawAccess, set_color) == 8);
static_assert(offsetof(DrawAccess, circle) == 16);
static_assert(offsetof(DrawAccess, disc) == 24);

// The host's tool-callback table. The module fills the first twelve slots only.
struct ToolCallbacks {
    void (*release)(void* instance);
    void (*draw)(void* instance, const DrawAccess* access);
    const char* (*help)(void* instance, const ToolEvent* event);
    int32_t (*dirty)(void* instance);
    int32_t (*count)(void* instance, const ToolEvent* event);
    int32_t (*handle)(void* instance, const ToolEvent* event, int32_t index, double position[3]);
    int32_t (*start)(void* instance, const ToolEvent* event);
    int32_t (*adjust)(void* instance, const ToolEvent* event, int32_t index);
    int32_t (*down)(void* instance, const ToolEvent* event);
    void (*move)(void* instance, const ToolEvent* event);
    void (*up)(void* instance, const ToolEvent* event);
    void (*event)(void* instance, int32_t code);
    Reserved host_slots[4];
};
static_assert(sizeof(ToolCallbacks) == 16 * 8);
static_assert(offsetof(ToolCallbacks, release) == 0 * 8);
static_assert(offsetof(ToolCallbacks, draw) == 1 * 8);
static_assert(offsetof(ToolCallbacks, help) == 2 * 8);
static_assert(offsetof(ToolCallbacks, dirty) == 3 * 8);
static_assert(offsetof(ToolCallbacks, count) == 4 * 8);
static_assert(offsetof(ToolCallbacks, handle) == 5 * 8);
static_assert(offsetof(ToolCallbacks, start) == 6 * 8);
static_assert(offsetof(ToolCallbacks, adjust) == 7 * 8);
static_assert(offsetof(ToolCallbacks, down) == 8 * 8);
static_assert(offsetof(ToolCallbacks, move) == 9 * 8);
static_assert(offsetof(ToolCallbacks, up) == 10 * 8);
static_assert(offsetof(ToolCallbacks, event) == 11 * 8);

// The host's local record for one activation.
struct ToolLocal {
    void* instance;
    ToolCallbacks* funcs;
};
static_assert(sizeof(ToolLocal) == 16);
static_assert(offsetof(ToolLocal, funcs) == 8);

// ---------------------------------------------------------------- panel values and controls

inline constexpr int32_t kValueInt = 2;
inline constexpr int32_t kValueFloat = 3;

// The value record exchanged with a control's get and set.
struct ValueRecord {
    int32_t type;
    int32_t int_value;
    union {
        void* ptr;
        double number;
    };
    unsigned char reserved[24];
};
static_assert(sizeof(ValueRecord) == 40);
static_assert(offsetof(ValueRecord, type) == 0);
static_assert(offsetof(ValueRecord, int_value) == 4);
static_assert(offsetof(ValueRecord, ptr) == 8);
static_assert(offsetof(ValueRecord, number) == 8);

// Attribute tags of a control (and, for width and height, of the panel).
enum AttrTag : int32_t {
    kTagX = 0,
    kTagY = 1,
    kTagWidth = 2,
    kTagHeight = 3,
    kTagValue = 4,
    kTagEvent = 14,
    kTagUserData = 16,
};

// Control descriptor type codes.
enum ControlType : int32_t {
    kCtlButton = 2,
    kCtlFloat = 3,
    kCtlChoice = 9,
    kCtlText = 12,
    kCtlList = 16,
    kCtlDragButton = 19,
};

struct ChoiceDesc {
    int32_t type;
    int32_t unused4;
    const char* const* items;
    int32_t vertical;
};
static_assert(offsetof(ChoiceDesc, items) == 8);
static_assert(offsetof(ChoiceDesc, vertical) == 16);

struct TextDesc {
    int32_t type;
    int32_t unused4;
    const char* const* lines;
};
static_assert(offsetof(TextDesc, lines) == 8);

struct DragButtonDesc {
    int32_t type;
    int32_t width;
    int32_t height;
};
static_assert(offsetof(DragButtonDesc, width) == 4);
static_assert(offsetof(DragButtonDesc, height) == 8);

struct ListDesc {
    int32_t type;
    int32_t unused4;
    GlobalFunc global;
    int32_t item_type;
    int32_t unused20;
    const char* const* list;
    int32_t count;
    int32_t width;
};
static_assert(offsetof(ListDesc, global) == 8);
static_assert(offsetof(ListDesc, item_type) == 16);
static_assert(offsetof(ListDesc, list) == 24);
static_assert(offsetof(ListDesc, count) == 32);
static_assert(offsetof(ListDesc, width) == 36);
static_assert(sizeof(ListDesc) == 40);

// One record serves every kind of control: each creation writes the fields of its own kind
// and leaves the rest as the previous creation wrote them.
union ControlDesc {
    int32_t type;
    ChoiceDesc choice;
    TextDesc text;
    DragButtonDesc drag;
    ListDesc list;
};
static_assert(sizeof(ControlDesc) == 40);

// A control handle points at the host's control record; the second and third entries are its
// get and set operations.
struct ControlRecord;
using ControlGetSet = void (*)(ControlRecord* control, int32_t tag, ValueRecord* value);
using ControlCallback = void (*)(ControlRecord* control, void* user_data);

struct ControlRecord {
    void* host_data;
    ControlGetSet get;
    ControlGetSet set;
};
static_assert(offsetof(ControlRecord, get) == 8);
static_assert(offsetof(ControlRecord, set) == 16);

// ---------------------------------------------------------------- the fourteen services

// "Info Messages 3"
struct MessagesService {
    void (*info)(const char* text1, const char* text2);                          // 1
    Reserved slot2;                                                               // 2
    Reserved slot3;                                                               // 3
    int32_t (*ok_cancel)(const char* title, const char* text1, const char* text2);  // 4
};
static_assert(offsetof(MessagesService, info) == 0 * 8);
static_assert(offsetof(MessagesService, ok_cancel) == 3 * 8);

// "LWPanelServices 2"
struct PanelServices {
    PanelId (*create)(const char* title, void* reserved);                    // 1
    void (*destroy)(PanelId panel);                                          // 2
    int32_t (*open)(PanelId panel, int32_t flags);                           // 3 (host's own)
    int32_t (*handle)(PanelId panel, int32_t flags);                         // 4
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

// "LW Command Interface" and "Instance Update" are functions, not records.
using CommandFunc = int32_t (*)(const char* command);
using InstanceUpdateFunc = int32_t (*)(const char* class_name, void* instance);

inline constexpr int32_t kViewportCamera = 9;

// "LW Viewport Info 7"
struct ViewportInfoService {
    int32_t num_viewports;  // 0 (host's own)
    int32_t unused4;
    int32_t (*type)(int32_t index);  // 8
};
static_assert(offsetof(ViewportInfoService, type) == 8);

inline constexpr int32_t kItemObject = 0;
inline constexpr int32_t kParamWorldPosition = 8;

// "LW Item Info 8"
struct ItemInfoService {
    ItemId (*first)(int32_t type, ItemId parent);                           // 1
    ItemId (*next)(ItemId item);                                            // 2
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

// "LW Camera Info 9"
struct CameraInfoService {
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

// "LW Time Info"
struct TimeInfoService {
    double time;  // 0: the current time, seconds
    int32_t frame;
    int32_t unused12;
};
static_assert(offsetof(TimeInfoService, time) == 0);

// "LW Scene Info 10"
struct SceneInfoService {
    Reserved host_fields[13];                // 0..103 (host's own)
    ItemId (*render_camera)(double time);    // 104
};
static_assert(offsetof(SceneInfoService, render_camera) == 104);

// "Channel Info 2"
struct ChannelInfoService {
    Reserved slot1;                                                  // 1
    ChannelId (*next_channel)(ChanGroupId group, ChannelId previous);  // 2
    Reserved slot3;                                                  // 3
    const char* (*name)(ChannelId channel);                          // 4
    Reserved slot5_to_8[4];                                          // 5..8
    EnvelopeId (*envelope)(ChannelId channel);                       // 9
};
static_assert(offsetof(ChannelInfoService, next_channel) == 1 * 8);
static_assert(offsetof(ChannelInfoService, name) == 3 * 8);
static_assert(offsetof(ChannelInfoService, envelope) == 8 * 8);

inline constexpr int32_t kKeyValue = 0;

// "Animation Envelopes 2"
struct EnvelopeService {
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

// "LWSpatialQueryService"
struct SpatialQueryService {
    QueryId (*create)();                                                   // 1
    void (*release)(QueryId query);                                        // 2
    int32_t (*intersect)(QueryId query, ItemId item, const double origin[3],
                         const double direction[3], HitRecord* hit);       // 3
};
static_assert(offsetof(SpatialQueryService, release) == 1 * 8);
static_assert(offsetof(SpatialQueryService, intersect) == 2 * 8);

// Service names, in the order activation looks them up.
inline constexpr const char* kServiceNames[14] = {
    "Info Messages 3",      "LWPanelServices 2", "LW Command Interface", "LW Viewport Info 7",
    "Product Info",         "LW Interface Info 7", "LW Item Info 8",     "LW Camera Info 9",
    "LW Time Info",         "LW Scene Info 10",  "Channel Info 2",       "Animation Envelopes 2",
    "LWSpatialQueryService", "Instance Update",
};

inline constexpr const char* kToolClass = "LayoutTool";
inline constexpr const char* kServerName = "orvik_Taverin";
inline constexpr const char* kDescriptorSymbol = "_mod_descrip";

}  // namespace taverin
