// The tool panel "orvik Taverin": its eighteen controls, the value records every control
// value passes through, the stored angles, and the control callbacks.
#pragma once

#include "plugin/host_abi.h"
#include "plugin/tool.h"

namespace taverin {

// Handles of the most recently built panel's controls.
extern ControlRecord *origin_choice, *method_choice;
extern ControlRecord *rotate_heading, *origin_heading;
extern ControlRecord *h_field, *p_field, *b_field;
extern ControlRecord *x_field, *y_field, *z_field;
extern ControlRecord *h_drag, *p_drag, *b_drag, *x_drag, *y_drag, *z_drag;
extern ControlRecord *apply_button, *item_list;

// Value records shared by the panel code: integers and pointers, and floats.
extern ValueRecord int_value;
extern ValueRecord float_value;

// The stored H, P and B values; they outlive instances.
extern float angle_h, angle_p, angle_b;

// The drag state of the drag buttons, shared by every panel of the module's life.
extern ControlRecord* last_drag_button;
extern int32_t last_drag_value;

// Creates and lays out the panel; returns its handle, or null when the host gives none.
PanelId build_panel(ToolInstance* inst);

// Control callbacks, attached by build_panel with the instance as user data.
void on_value_changed(ControlRecord* control, void* user_data);
void on_apply(ControlRecord* control, void* user_data);
void on_drag(ControlRecord* control, void* user_data);

// A host may fire a control's callback when the module itself sets that control's value (or
// from inside another callback). Following such a call would recurse without end and store
// values the user never entered, so the control callbacks do nothing while the module is
// already inside one of them or is setting a control: each callback and each set holds a
// ControlScope, and a callback that finds one open returns at once.
class ControlScope {
public:
    ControlScope() { ++depth_; }
    ~ControlScope() { --depth_; }
    ControlScope(const ControlScope&) = delete;
    ControlScope& operator=(const ControlScope&) = delete;
    static bool open() { return depth_ > 0; }

private:
    static int32_t depth_;
};

// Control access through the shared value records. A null control (one the host refused)
// reads as zero and ignores sets.
int32_t get_int(ControlRecord* control, int32_t tag);
void set_int(ControlRecord* control, int32_t tag, int32_t value);
void set_ptr(ControlRecord* control, int32_t tag, void* value);
double get_float(ControlRecord* control);
void set_float(ControlRecord* control, double value);

// Sets a float field to `value` rounded to single precision and widened again.
inline void set_field_rounded(ControlRecord* control, double value) {
    set_float(control, static_cast<double>(static_cast<float>(value)));
}

}  // namespace taverin
