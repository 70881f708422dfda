// The small tool callbacks: release, help, redraw query, handles, mouse move and up, events.
#include "plugin/tool.h"

#include "plugin/panel/panel.h"
#include "plugin/services.h"

namespace taverin {

namespace {
constexpr const char* kHelpText = "orvik Taverin";
}  // namespace

bool panel_is_open(PanelId panel) {
    if (!panel || !panel_services || !panel_services->handle) return false;
    return panel_services->handle(panel, 0) >= 0;  // negative once closed
}

void tool_release(void* instance) {
    auto* inst = static_cast<ToolInstance*>(instance);
    if (!inst) return;
    if (inst->panel && panel_services) {
        if (panel_is_open(inst->panel) && panel_services->close) panel_services->close(inst->panel);
        if (panel_services->destroy) panel_services->destroy(inst->panel);
    }
    delete inst;
}

const char* tool_help(void*, const ToolEvent*) { return kHelpText; }

int32_t tool_dirty(void* instance) {
    auto* inst = static_cast<ToolInstance*>(instance);
    return (inst && inst->redraw) ? kDirtyRedrawAll : kDirtyNone;
}

int32_t tool_count(void*, const ToolEvent*) { return kNoHandles; }

int32_t tool_handle(void*, const ToolEvent*, int32_t index, double*) {
    // Wraps instead of overflowing for the largest index.
    return static_cast<int32_t>(static_cast<uint32_t>(index) + 1u);
}

int32_t tool_start(void*, const ToolEvent*) { return kStartHandle; }

int32_t tool_adjust(void* instance, const ToolEvent*, int32_t) {
    if (auto* inst = static_cast<ToolInstance*>(instance)) inst->redraw = 1;
    return kAdjustDone;
}

void tool_move(void* instance, const ToolEvent* event) {
    auto* inst = static_cast<ToolInstance*>(instance);
    if (!inst || !event) return;
    const int32_t horizontal = event->dx;
    if (event->flags & kEventAlternate)
        inst->drag_x += horizontal;
    else
        inst->drag_x += static_cast<double>(horizontal) * 0.01;
    inst->redraw = 1;
}

void tool_up(void* instance, const ToolEvent*) {
    auto* inst = static_cast<ToolInstance*>(instance);
    if (!inst || !panel_is_open(inst->panel)) return;
    set_field_rounded(p_field, inst->drag_x);
    set_field_rounded(x_field, inst->origin[0]);
    set_field_rounded(y_field, inst->origin[1]);
    set_field_rounded(z_field, inst->origin[2]);
}

void tool_event(void* instance, int32_t code) {
    auto* inst = static_cast<ToolInstance*>(instance);
    if (inst && code == kToolEventReset) inst->redraw = 1;
}

}  // namespace taverin
