// Startup, shutdown and activation of the one server this module offers.
#include <new>

#include "plugin/panel/panel.h"
#include "plugin/services.h"
#include "plugin/tool.h"

namespace taverin {

int32_t defaults_sentinel = 0;

void* startup() { return reinterpret_cast<void*>(kServerData); }

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

// On kActivationNoInstance and kActivationNoPanel nothing is left allocated and the local
// record holds no instance, so the host has nothing to release.
int32_t activate(int32_t, GlobalFunc global, void* local_ptr, void*) {
    auto* local = static_cast<ToolLocal*>(local_ptr);
    if (!local) return kActivationNoInstance;
    // Without a callback table the host could never call release: refuse before anything is
    // allocated or built.
    if (!local->funcs || !global) {
        local->instance = nullptr;
        return kActivationNoInstance;
    }

    auto* inst = new (std::nothrow) ToolInstance();  // zero-filled: drag_x starts at 0
    if (!inst) return kActivationNoInstance;

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
        return kActivationNoPanel;
    }

    fill_callbacks(local->funcs);
    return kActivated;
}

}  // namespace taverin
