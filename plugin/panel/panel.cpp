// Construction and layout of the tool panel.
#include "plugin/panel/panel.h"

#include <cstdint>

#include "plugin/services.h"

namespace taverin {

ControlRecord *origin_choice, *method_choice;
ControlRecord *rotate_heading, *origin_heading;
ControlRecord *h_field, *p_field, *b_field;
ControlRecord *x_field, *y_field, *z_field;
ControlRecord *h_drag, *p_drag, *b_drag, *x_drag, *y_drag, *z_drag;
ControlRecord *apply_button, *item_list;

ValueRecord int_value = {kValueInt, 0, {nullptr}, {}};
ValueRecord float_value = {kValueFloat, 0, {nullptr}, {}};

float angle_h, angle_p, angle_b;

int32_t ControlScope::depth_ = 0;

namespace {

constexpr const char* kPanelTitle = "orvik Taverin";
constexpr int32_t kPanelWidth = 277;
constexpr int32_t kPanelHeight = 300;
constexpr int32_t kBottomMargin = 10;
constexpr int32_t kListItemType = 5;

const char* const kOriginItems[] = {"Custom", "Average", nullptr};
const char* const kMethodItems[] = {"Keep", "Rotate", nullptr};
const char* const kNoLines[] = {nullptr};

// One descriptor serves every creation; each creation writes only its own kind's fields.
ControlDesc control_desc;

// Positions and sizes come from the host unchecked; sums are formed wide and saturated so a
// host reporting extreme values cannot make the layout arithmetic overflow.
int32_t saturate(int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

int64_t x_of(ControlRecord* c) { return get_int(c, kTagX); }
int64_t y_of(ControlRecord* c) { return get_int(c, kTagY); }
int64_t w_of(ControlRecord* c) { return get_int(c, kTagWidth); }
int64_t h_of(ControlRecord* c) { return get_int(c, kTagHeight); }

void place(ControlRecord* c, int64_t x, int64_t y) {
    set_int(c, kTagX, saturate(x));
    set_int(c, kTagY, saturate(y));
}

ControlRecord* add(PanelId panel, const char* type_name, const char* label) {
    if (!panel_services->add_control) return nullptr;
    return panel_services->add_control(panel, type_name, &control_desc, label);
}

ControlRecord* add_choice(PanelId panel, const char* label, const char* const* items) {
    control_desc.type = kCtlChoice;
    control_desc.choice.items = items;
    control_desc.choice.vertical = 0;
    return add(panel, "ChoiceControl", label);
}

ControlRecord* add_text(PanelId panel, const char* label) {
    control_desc.type = kCtlText;
    control_desc.text.lines = kNoLines;
    return add(panel, "TextControl", label);
}

ControlRecord* add_float(PanelId panel, const char* label) {
    control_desc.type = kCtlFloat;
    return add(panel, "FloatControl", label);
}

ControlRecord* add_drag(PanelId panel) {
    control_desc.type = kCtlDragButton;
    control_desc.drag.width = -1;
    control_desc.drag.height = 0;
    return add(panel, "DragButtonControl", "");
}

void set_panel_size(PanelId panel, int32_t tag, int32_t value) {
    if (panel_services->set) panel_services->set(panel, tag, &value);
}

void create_controls(PanelId panel) {
    origin_choice = add_choice(panel, "Origin", kOriginItems);
    method_choice = add_choice(panel, "Method", kMethodItems);
    rotate_heading = add_text(panel, "Rotate");
    origin_heading = add_text(panel, "Origin");
    h_field = add_float(panel, " H");
    p_field = add_float(panel, " P");
    b_field = add_float(panel, " B");
    h_drag = add_drag(panel);
    p_drag = add_drag(panel);
    b_drag = add_drag(panel);
    x_field = add_float(panel, " X");
    y_field = add_float(panel, " Y");
    z_field = add_float(panel, " Z");
    x_drag = add_drag(panel);
    y_drag = add_drag(panel);
    z_drag = add_drag(panel);
    control_desc.type = kCtlButton;
    apply_button = add(panel, "ButtonControl", "Apply");
    control_desc.type = kCtlList;
    control_desc.list.global = panel_services->global;
    control_desc.list.item_type = kListItemType;
    control_desc.list.list = nullptr;
    control_desc.list.count = 0;
    control_desc.list.width = 0;
    item_list = add(panel, "LWListControl", "");
}

void lay_out() {
    const int64_t x0 = x_of(origin_choice);
    const int64_t r1 = y_of(rotate_heading) + h_of(rotate_heading) + 10;
    place(h_field, x0, r1);
    place(h_drag, x0 + w_of(h_field), r1);
    {
        const int64_t x = x0 + 2 * w_of(h_drag) + 70;
        place(origin_heading, x, y_of(rotate_heading));
    }
    const int64_t r2 = r1 + h_of(h_field) - 2;
    place(p_field, x0, r2);
    place(p_drag, x0 + w_of(p_field), r2);
    const int64_t r3 = r2 + h_of(p_field) - 2;
    place(b_field, x0, r3);
    place(b_drag, x0 + w_of(b_field), r3);

    const int64_t xo = x_of(origin_heading);
    place(x_field, xo, y_of(h_field));
    {
        const int64_t x = xo + w_of(x_field);
        place(x_drag, x, y_of(h_field));
    }
    place(y_field, xo, y_of(p_field));
    {
        const int64_t x = xo + w_of(y_field);
        place(y_drag, x, y_of(p_field));
    }
    place(z_field, xo, y_of(b_field));
    {
        const int64_t y = y_of(b_field);
        place(apply_button, xo, y + h_of(z_field));
    }
    {
        const int64_t x = xo + w_of(z_field);
        place(z_drag, x, y_of(b_field));
    }
    {
        const int64_t x = w_of(method_choice) + 10;
        place(item_list, x, y_of(method_choice));
    }
}

// The panel's final height: everything down to the lowest control's bottom edge (the
// "Apply" button, or the item list if the host made it taller) plus a margin.
int32_t final_height() {
    ControlRecord* const all[] = {origin_choice, method_choice, rotate_heading, origin_heading,
                                  h_field,       p_field,       b_field,        h_drag,
                                  p_drag,        b_drag,        x_field,        y_field,
                                  z_field,       x_drag,        y_drag,         z_drag,
                                  apply_button,  item_list};
    int64_t bottom = 2 * h_of(apply_button);
    for (ControlRecord* c : all) {
        if (!c) continue;
        const int64_t b = y_of(c) + h_of(c);
        if (b > bottom) bottom = b;
    }
    return saturate(bottom + kBottomMargin);
}

void attach(ControlRecord* c, ToolInstance* inst, ControlCallback callback) {
    set_ptr(c, kTagUserData, inst);
    set_ptr(c, kTagEvent, reinterpret_cast<void*>(callback));
}

int32_t in_range(int32_t choice) { return (choice < 0 || choice > 1) ? 0 : choice; }

}  // namespace

int32_t get_int(ControlRecord* control, int32_t tag) {
    if (!control || !control->get) return 0;
    int_value.int_value = 0;
    control->get(control, tag, &int_value);
    return int_value.int_value;
}

void set_int(ControlRecord* control, int32_t tag, int32_t value) {
    if (!control || !control->set) return;
    ControlScope scope;
    int_value.int_value = value;
    control->set(control, tag, &int_value);
}

void set_ptr(ControlRecord* control, int32_t tag, void* value) {
    if (!control || !control->set) return;
    ControlScope scope;
    int_value.ptr = value;
    control->set(control, tag, &int_value);
}

double get_float(ControlRecord* control) {
    if (!control || !control->get) return 0.0;
    float_value.number = 0.0;
    control->get(control, kTagValue, &float_value);
    return float_value.number;
}

void set_float(ControlRecord* control, double value) {
    if (!control || !control->set) return;
    ControlScope scope;
    float_value.number = value;
    control->set(control, kTagValue, &float_value);
}

PanelId build_panel(ToolInstance* inst) {
    if (!inst || !panel_services || !panel_services->create) return nullptr;
    PanelId panel = panel_services->create(kPanelTitle, nullptr);
    inst->panel = panel;
    if (!panel) return nullptr;

    set_panel_size(panel, kTagWidth, kPanelWidth);
    set_panel_size(panel, kTagHeight, kPanelHeight);
    inst->origin[0] = inst->origin[1] = inst->origin[2] = 0.0;

    create_controls(panel);

    inst->origin_mode = in_range(inst->origin_mode);
    inst->method = in_range(inst->method);

    lay_out();

    set_int(origin_choice, kTagValue, inst->origin_mode);
    set_int(method_choice, kTagValue, inst->method);
    set_float(h_field, angle_h);
    set_float(p_field, angle_p);
    set_float(b_field, angle_b);
    set_field_rounded(x_field, inst->origin[0]);
    set_field_rounded(y_field, inst->origin[1]);
    set_field_rounded(z_field, inst->origin[2]);

    set_panel_size(panel, kTagHeight, final_height());

    attach(origin_choice, inst, on_value_changed);
    attach(method_choice, inst, on_value_changed);
    attach(h_field, inst, on_value_changed);
    attach(p_field, inst, on_value_changed);
    attach(b_field, inst, on_value_changed);
    attach(h_drag, inst, on_drag);
    attach(p_drag, inst, on_drag);
    attach(b_drag, inst, on_drag);
    attach(x_field, inst, on_value_changed);
    attach(y_field, inst, on_value_changed);
    attach(z_field, inst, on_value_changed);
    attach(item_list, inst, on_value_changed);
    attach(x_drag, inst, on_drag);
    attach(y_drag, inst, on_drag);
    attach(z_drag, inst, on_drag);
    attach(apply_button, inst, on_apply);

    inst->redraw = 1;
    return panel;
}

}  // namespace taverin
