// Startup, shutdown and activation of the one server this module offers.
#include <new>

#include "plugin/panel/panel.h"
#include "plugin/services.h"
#include "plugin/tool.h"

namespace taverin {

int32_t defaults_sentinel = 0;

void* startup() { return reinterpret_cast<void*>(static_cast<uintptr_t>(4)); }

void shutdown(void*) {}

namespace {

void fill_callbacks(ToolCallbacks* funcs) {
    funcs->release = tool_release;
    funcs->draw = tool_draw;
    funcs->help = tool_help;
    funcs->dirty = tool_dirty;
    funcs->count = tool_count;
    funcs->handle = tool_handle;
    funcs->start = tool_start;
    funcs->adjust = tool_adjust;
    funcs->down = tool_down;
    funcs->move = tool_move;
    funcs->up = tool_up;
    funcs->event = tool_event;
}

}  // namespace

// Result codes: 0 success, 1 no instance (no memory, or no local record to hand it over
// through), 2 the panel could not be built. On 1 and 2 nothing is left allocated and the local
// record holds no instance.
int32_t activate(int32_t, GlobalFunc global, void* local_ptr, void*) {
    auto* local = static_cast<ToolLocal*>(local_ptr);
    if (!local || !global) return 1;

    auto* inst = new (std::nothrow) ToolInstance();  // zero-filled: drag_x starts at 0
    if (!inst) return 1;

    if (defaults_sentinel != kDefaultsApplied) {
        inst->origin[0] = inst->origin[1] = inst->origin[2] = 0.0;
        inst->method = 0;
        inst->origin_mode = 0;
        angle_h = angle_p = angle_b = 0.0f;
        defaults_sentinel = kDefaultsApplied;
    }

    lookup_services(global);
    local->instance = inst;
    if (panel_services) panel_services->global = global;

    inst->panel = build_panel(inst);
    if (!inst->panel) {
        local->instance = nullptr;
        delete inst;
        return 2;
    }

    if (local->funcs) fill_callbacks(local->funcs);
    return 0;
}

}  // namespace taverin
