// Event callbacks of the panel's controls.
#include <cmath>

#include "plugin/panel/panel.h"
#include "plugin/services.h"

namespace taverin {

ControlRecord* last_drag_button = nullptr;
int32_t last_drag_value = 0;

namespace {

float to_float(double v) { return static_cast<float>(v); }

// The world position of the item chosen in the item list goes into X, Y and Z. Identifier 0
// means no selection: nothing is queried and the fields keep their values.
void take_item_position(ToolInstance* inst) {
    const int32_t id = get_int(item_list, kTagValue);
    if (id == 0 || !item_info || !item_info->param) return;
    const auto item = reinterpret_cast<ItemId>(static_cast<intptr_t>(static_cast<int64_t>(id)));
    double pos[3] = {0.0, 0.0, 0.0};
    item_info->param(item, kParamWorldPosition, current_time(), pos);
    inst->origin[0] = pos[0];
    inst->origin[1] = pos[1];
    inst->origin[2] = pos[2];
    set_field_rounded(x_field, pos[0]);
    set_field_rounded(y_field, pos[1]);
    set_field_rounded(z_field, pos[2]);
}

struct DragPair {
    ControlRecord* field;
    float* angle;    // set for H, P, B
    double* coord;   // set for X, Y, Z
};

bool find_drag_pair(ControlRecord* button, ToolInstance* inst, DragPair& out) {
    if (button == h_drag) out = {h_field, &angle_h, nullptr};
    else if (button == p_drag) out = {p_field, &angle_p, nullptr};
    else if (button == b_drag) out = {b_field, &angle_b, nullptr};
    else if (button == x_drag) out = {x_field, nullptr, &inst->origin[0]};
    else if (button == y_drag) out = {y_field, nullptr, &inst->origin[1]};
    else if (button == z_drag) out = {z_field, nullptr, &inst->origin[2]};
    else return false;
    return true;
}

// One drag step of a field's value: one per cent of its magnitude, or 0.001 near zero.
float drag_step(double v, bool up) {
    const double c = v / 100.0;
    float r = static_cast<float>(v);
    if (c > 0) r = to_float(up ? v + c : v - c);
    if (c < 0) r = to_float(up ? v - c : v + c);
    if (-0.0001 < c && c < 0.0001) r = to_float(up ? v + 0.001 : v - 0.001);
    return r;
}

constexpr float kDragLimit = 100000.0f;

}  // namespace

void on_value_changed(ControlRecord* control, void* user_data) {
    auto* inst = static_cast<ToolInstance*>(user_data);
    if (!inst || ControlScope::open()) return;
    ControlScope scope;
    if (control == origin_choice) {
        inst->origin_mode = get_int(control, kTagValue);
        set_int(control, kTagValue, inst->origin_mode);
    }
    if (control == method_choice) {
        inst->method = get_int(control, kTagValue);
        set_int(control, kTagValue, inst->method);
    }
    if (control == h_field) angle_h = to_float(get_float(control));
    if (control == p_field) angle_p = to_float(get_float(control));
    if (control == b_field) angle_b = to_float(get_float(control));
    if (control == x_field) inst->origin[0] = to_float(get_float(control));
    if (control == y_field) inst->origin[1] = to_float(get_float(control));
    if (control == z_field) inst->origin[2] = to_float(get_float(control));
    if (control == item_list) take_item_position(inst);
    inst->redraw = 1;
    notify_instance_changed(inst);
}

void on_apply(ControlRecord*, void* user_data) {
    auto* inst = static_cast<ToolInstance*>(user_data);
    if (!inst || ControlScope::open()) return;
    ControlScope scope;
    inst->origin_mode = get_int(origin_choice, kTagValue);
    inst->method = get_int(method_choice, kTagValue);
    angle_h = to_float(get_float(h_field));
    angle_p = to_float(get_float(p_field));
    angle_b = to_float(get_float(b_field));
    inst->origin[0] = get_float(x_field);
    inst->origin[1] = get_float(y_field);
    inst->origin[2] = get_float(z_field);
    notify_instance_changed(inst);
}

void on_drag(ControlRecord* control, void* user_data) {
    auto* inst = static_cast<ToolInstance*>(user_data);
    if (!inst || !control || !control->get || ControlScope::open()) return;
    ControlScope scope;

    // The drag button and its field are read through records of this callback's own.
    ValueRecord ivalue = {kValueInt, 0, {nullptr}, {}};
    control->get(control, kTagValue, &ivalue);
    const int32_t a = ivalue.int_value;

    if (control != last_drag_button) {
        last_drag_button = control;
        last_drag_value = a;
        return;
    }
    const bool up = a > last_drag_value;

    DragPair pair{};
    if (!find_drag_pair(control, inst, pair) || !pair.field || !pair.field->get) return;
    ValueRecord fvalue = {kValueFloat, 0, {nullptr}, {}};
    pair.field->get(pair.field, kTagValue, &fvalue);
    const double v = fvalue.number;

    float r = drag_step(v, up);
    if (std::isnan(r)) return;  // a field holding NaN (or an infinity stepped into NaN) stays
    last_drag_value = a;
    if (r > kDragLimit) r = kDragLimit;
    if (r < -kDragLimit) r = -kDragLimit;

    if (pair.field->set) {
        fvalue.number = static_cast<double>(r);
        pair.field->set(pair.field, kTagValue, &fvalue);
    }
    inst->redraw = 1;
    if (pair.angle) *pair.angle = r;
    if (pair.coord) *pair.coord = static_cast<double>(r);
}

}  // namespace taverin
