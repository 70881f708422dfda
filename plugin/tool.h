// The tool instance and the tool callbacks the host calls through its callback table.
#pragma once

#include <cstdint>

#include "plugin/host_abi.h"

namespace taverin {

// One per activation; the first argument of every tool callback and the user data of every
// panel control. Allocated zero-filled by activation, freed by tool_release.
struct ToolInstance {
    int32_t redraw;       // nonzero asks the host to redraw
    int32_t method;       // "Method" choice: 0 Keep, 1 Rotate
    int32_t origin_mode;  // "Origin" choice: 0 Custom, 1 Average
    double drag_x;        // horizontal mouse motion summed over all drags
    double origin[3];     // the point shown in the X, Y, Z fields
    PanelId panel;        // the tool's panel
};

// The opaque server data that startup hands the host. Nothing reads it: the host only passes
// it back to activation and shutdown, which ignore it.
inline constexpr uintptr_t kServerData = 4;

// `defaults_sentinel` is zero when the module is loaded and holds this marker once the first
// activation has applied the once-per-load defaults; any value but zero would do.
inline constexpr int32_t kDefaultsApplied = 333;
extern int32_t defaults_sentinel;

void* startup();
void shutdown(void* server_data);
int32_t activate(int32_t version, GlobalFunc global, void* local, void* server_data);

void tool_release(void* instance);
void tool_draw(void* instance, const DrawAccess* access);
const char* tool_help(void* instance, const ToolEvent* event);
int32_t tool_dirty(void* instance);
int32_t tool_count(void* instance, const ToolEvent* event);
int32_t tool_handle(void* instance, const ToolEvent* event, int32_t index, double position[3]);
int32_t tool_start(void* instance, const ToolEvent* event);
int32_t tool_adjust(void* instance, const ToolEvent* event, int32_t index);
int32_t tool_down(void* instance, const ToolEvent* event);
void tool_move(void* instance, const ToolEvent* event);
void tool_up(void* instance, const ToolEvent* event);
void tool_event(void* instance, int32_t code);

// Camera focus commands (focus.cpp).
void set_focal_distance(double distance);
void set_lens_fstop(double f_stop);

// True while the host reports `panel` as open.
bool panel_is_open(PanelId panel);

}  // namespace taverin
