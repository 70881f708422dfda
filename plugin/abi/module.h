// The module's face towards the host: opaque handles, the exported descriptor and its server
// table, the tool-callback table with its event and drawing records, and the result codes.
#pragma once

#include <cstddef>
#include <cstdint>

// Marks the one symbol a module file exports (the module itself and the test modules that
// imitate broken ones use the same mark).
#if defined(_WIN32)
#define TAVERIN_EXPORT __declspec(dllexport)
#else
#define TAVERIN_EXPORT __attribute__((visibility("default")))
#endif

namespace taverin {

static_assert(sizeof(void*) == 8, "the host is a 64-bit application");
static_assert(sizeof(double) == 8 && sizeof(float) == 4);

// A slot whose content the module never reads or calls.
using Reserved = void*;

// Opaque host handles. Each is a pointer to a type of its own that is never defined, so an
// item cannot be passed where a channel is expected without a cast. Only the host looks
// behind them.
struct HostItem;
struct HostChannelGroup;
struct HostChannel;
struct HostEnvelope;
struct HostKey;
struct HostPanel;
struct HostQuery;
using ItemId = HostItem*;
using ChanGroupId = HostChannelGroup*;
using ChannelId = HostChannel*;
using EnvelopeId = HostEnvelope*;
using KeyId = HostKey*;
using PanelId = HostPanel*;
using QueryId = HostQuery*;

// ---------------------------------------------------------------- module descriptor

inline constexpr uint32_t kModuleSync = 0x04121994u;
inline constexpr uint32_t kModuleVersion = 3u;
inline constexpr uint32_t kModuleMachine = 0x300u;

inline constexpr const char* kToolClass = "LayoutTool";
inline constexpr const char* kServerName = "orvik_Taverin";
inline constexpr const char* kDescriptorSymbol = "_mod_descrip";

// What activation answers.
enum ActivationResult : int32_t {
    kActivated = 0,             // the instance is in the local record, the table is filled
    kActivationNoInstance = 1,  // no instance: no memory, or no local record or table to fill
    kActivationNoPanel = 2,     // the panel could not be built; nothing is left allocated
};

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

inline constexpr int32_t kEventAlternate = 8;  // flag word bit: alternate mouse button
inline constexpr int32_t kToolEventReset = 1;  // tool_event code: the host's reset

// Results of the callbacks that answer with a number.
inline constexpr int32_t kDirtyNone = 0;       // dirty: nothing to redraw
inline constexpr int32_t kDirtyRedrawAll = 3;  // dirty: redraw the tool's drawing and help text
inline constexpr int32_t kNoHandles = 0;       // count: the tool offers no handles
inline constexpr int32_t kStartHandle = 1;     // start: the handle a drag starts on
inline constexpr int32_t kAdjustDone = 0;      // adjust: the adjustment was taken
inline constexpr int32_t kDownTakesGesture = 1;  // down: send the rest of the gesture here

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

// The host's tool-callback table. The module fills the first twelve slots only; each is
// called with the instance first.
struct ToolCallbacks {
    void (*release)(void* instance);                                   // 1: no result
    void (*draw)(void* instance, const DrawAccess* access);            // 2: no result
    const char* (*help)(void* instance, const ToolEvent* event);      // 3: the help text shown
    int32_t (*dirty)(void* instance);                                  // 4: kDirty* flags
    int32_t (*count)(void* instance, const ToolEvent* event);          // 5: number of handles
    int32_t (*handle)(void* instance, const ToolEvent* event, int32_t index,
                      double position[3]);                             // 6: the handle's id
    int32_t (*start)(void* instance, const ToolEvent* event);          // 7: kStartHandle
    int32_t (*adjust)(void* instance, const ToolEvent* event, int32_t index);  // 8: kAdjustDone
    int32_t (*down)(void* instance, const ToolEvent* event);           // 9: kDownTakesGesture
    void (*move)(void* instance, const ToolEvent* event);              // 10: no result
    void (*up)(void* instance, const ToolEvent* event);                // 11: no result
    void (*event)(void* instance, int32_t code);                       // 12: no result
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

}  // namespace taverin
