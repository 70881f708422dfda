// "LWPanelServices 2": panels, their controls, and each control's get and set. New controls
// are stacked top-down, four pixels apart, each two pixels further right than the one before
// (so no two controls share a place before the module moves them), with sizes by kind.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "host/service_call.h"
#include "host/services/services.h"

namespace host {

using namespace taverin;

namespace {

Panel* panel_behind(PanelId p) { return object_behind<Panel>(p); }

std::string control_text(const Control* c) {
    return c ? "\"" + c->label + "\"#" + std::to_string(c->index) : std::string("null");
}

PanelId create(const char* title, void*) {
    ServiceCall call;
    if (!call) return nullptr;
    call.log("panel.create(%s)", quoted(title).c_str());
    Host& h = call.host();
    if (h.options.panel_create_fails || call.hostility().strikes()) return nullptr;
    auto p = std::make_unique<Panel>();
    p->title = title ? title : "";
    h.panels.push_back(std::move(p));
    return handle_of<PanelId>(h.panels.back().get());
}

void destroy(PanelId p) {
    ServiceCall call;
    if (!call) return;
    call.log("panel.destroy(%s)", p ? panel_behind(p)->title.c_str() : "null");
    if (p) panel_behind(p)->destroyed = true;
}

int32_t open(PanelId p, int32_t) {
    ServiceCall call;
    if (call && p) panel_behind(p)->open = true;
    return 1;
}

int32_t handle(PanelId p, int32_t flags) {
    ServiceCall call;
    if (!call) return -1;
    call.log("panel.handle(%d)", flags);
    const Panel* panel = panel_behind(p);
    return call.hostility().answer((panel && panel->open && !panel->destroyed) ? 0 : -1);
}

void close(PanelId p) {
    ServiceCall call;
    if (!call) return;
    call.log("panel.close()");
    if (p) panel_behind(p)->open = false;
}

void set_attribute(PanelId p, int32_t tag, void* value) {
    ServiceCall call;
    if (!call) return;
    int32_t v = 0;
    if (value) std::memcpy(&v, value, sizeof v);
    call.log("panel.set(%d, %d)", tag, v);
    if (!p) return;
    if (tag == kTagWidth) panel_behind(p)->width = v;
    if (tag == kTagHeight) panel_behind(p)->height = v;
}

void size_by_kind(Control& c) {
    const int32_t type = c.desc.type;
    c.w = 60;
    c.h = 20;
    if (type == kCtlChoice) c.w = 150;
    if (type == kCtlText) {
        c.w = 40;
        c.h = 16;
    }
    if (type == kCtlDragButton) {
        c.w = c.desc.drag.width > 0 ? c.desc.drag.width : 16;
        c.h = c.desc.drag.height > 0 ? c.desc.drag.height : 20;
    }
    if (type == kCtlList) {
        c.w = 110;
        c.h = 40;
    }
}

void copy_strings(const char* const* list, std::vector<std::string>& out) {
    for (size_t i = 0; list && list[i] && i < 64; ++i) out.emplace_back(list[i]);
}

void control_get(ControlRecord* rec, int32_t tag, ValueRecord* value);
void control_set(ControlRecord* rec, int32_t tag, ValueRecord* value);

ControlRecord* add_control(PanelId p, const char* type_name, ControlDesc* desc, const char* label) {
    ServiceCall call;
    if (!call) return nullptr;
    call.log("panel.add_control(%s, %s)", quoted(type_name).c_str(), quoted(label).c_str());
    if (!p || !desc || call.hostility().strikes()) return nullptr;
    Panel* panel = panel_behind(p);
    if (panel->asked++ == call.host().options.refused_control) return nullptr;
    auto c = std::make_unique<Control>();
    c->panel = panel;
    c->index = panel->controls.size();
    c->type_name = type_name ? type_name : "";
    c->label = label ? label : "";
    c->desc = *desc;
    if (desc->type == kCtlChoice) copy_strings(desc->choice.items, c->items);
    if (desc->type == kCtlText) copy_strings(desc->text.lines, c->items);
    c->record.host_data = c.get();
    c->record.get = control_get;
    c->record.set = control_set;
    size_by_kind(*c);
    c->x = 10 + 2 * static_cast<int32_t>(c->index);
    c->y = panel->next_y;
    panel->next_y += c->h + 4;
    panel->controls.push_back(std::move(c));
    return &panel->controls.back()->record;
}

void control_get(ControlRecord* rec, int32_t tag, ValueRecord* value) {
    ServiceCall call;
    if (!call) return;
    Control* c = call.host().control_of(rec);
    if (!c || !value) return;
    const Hostility& hostile = call.hostility();
    switch (tag) {
        case kTagX: value->int_value = hostile.answer(c->x); break;
        case kTagY: value->int_value = hostile.answer(c->y); break;
        case kTagWidth: value->int_value = hostile.answer(c->w); break;
        case kTagHeight: value->int_value = hostile.answer(c->h); break;
        case kTagValue:
            if (c->desc.type == kCtlFloat) value->number = hostile.answer(c->float_value);
            else value->int_value = hostile.answer(c->int_value);
            break;
        default: break;
    }
    if (tag == kTagValue && c->desc.type == kCtlFloat)
        call.log("control.get(%s, %d) -> %.17g", control_text(c).c_str(), tag, value->number);
    else
        call.log("control.get(%s, %d) -> %d", control_text(c).c_str(), tag, value->int_value);
}

void control_set(ControlRecord* rec, int32_t tag, ValueRecord* value) {
    ServiceCall call;
    if (!call) return;
    Host& h = call.host();
    Control* c = h.control_of(rec);
    if (!c || !value) return;
    Shift shift;
    if (auto it = h.options.placement_shift.find(c->index); it != h.options.placement_shift.end()) shift = it->second;
    // A shifted place saturates rather than wrapping past the ends of the int range.
    auto shifted = [](int32_t v, int32_t d) {
        const int64_t s = static_cast<int64_t>(v) + d;
        return static_cast<int32_t>(std::clamp<int64_t>(s, INT32_MIN, INT32_MAX));
    };
    switch (tag) {
        case kTagX: c->x = shifted(value->int_value, shift.dx); break;
        case kTagY: c->y = shifted(value->int_value, shift.dy); break;
        case kTagWidth: c->w = value->int_value; break;
        case kTagHeight: c->h = value->int_value; break;
        case kTagValue:
            if (c->desc.type == kCtlFloat) c->float_value = value->number;
            else c->int_value = value->int_value;
            break;
        case kTagEvent: c->callback = reinterpret_cast<ControlCallback>(value->ptr); break;
        case kTagUserData: c->user_data = value->ptr; break;
        default: break;
    }
    if (tag == kTagValue && value->type == kValueFloat)
        call.log("control.set(%s, %d, %.17g)", control_text(c).c_str(), tag, value->number);
    else if (tag == kTagEvent || tag == kTagUserData)
        call.log("control.set(%s, %d, ptr)", control_text(c).c_str(), tag);
    else
        call.log("control.set(%s, %d, %d)", control_text(c).c_str(), tag, value->int_value);
    if (tag == kTagValue && h.options.fire_on_module_set) h.fire(c);
}

}  // namespace

void fill_panel_services(ServiceRecords& r) {
    // Entries 1 to 13; the thirteenth, the global function, is the module's to fill.
    r.panels = PanelServices{create,  destroy, open,    handle,  nullptr, close,  nullptr,
                             set_attribute, add_control, nullptr, nullptr, nullptr, nullptr};
}

}  // namespace host
