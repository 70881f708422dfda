#include "host/program/input/session_json.h"

#include <charconv>
#include <cmath>

#include "host/panel_layout.h"
#include "host/program/limits.h"
#include "host/program/text/format.h"

namespace host {

namespace {

// The panel field a session names by its letter, or null.
const PanelField* field_named(const std::string& name) {
    for (const PanelField& f : kPanelFields)
        if (name == f.name) return &f;
    return nullptr;
}

const PanelChoice* choice_named(const std::string& name) {
    for (const PanelChoice& c : kPanelChoices)
        if (name == c.name) return &c;
    return nullptr;
}

// Why a pixel is not inside a viewport, or empty when it is.
std::string outside(const Viewport& vp, double x, double y) {
    if (x >= 0 && x < vp.width && y >= 0 && y < vp.height) return "";
    return "the pixel (" + shown(x) + ", " + shown(y) + ") is outside \"" + vp.name + "\" (" + std::to_string(vp.width) +
           " x " + std::to_string(vp.height) + " pixels)";
}

void read_pointer(Fields& f, Step& s, const Scene& scene, const SceneNames& names, const std::string& what) {
    const json::Value& name = f.need("viewport", what);
    s.viewport = text(name, f.path("viewport"));
    const int vp = names.viewport(s.viewport);
    if (vp < 0) refuse(name, f.path("viewport"), "no viewport named \"" + s.viewport + "\"");
    s.viewport_index = vp;
    const json::Value& pixel = f.need("pixel", what);
    const auto& p = array_of(pixel, f.path("pixel"), 2, "numbers");
    s.px = number(p[0], f.path("pixel") + "/0");
    s.py = number(p[1], f.path("pixel") + "/1");
    const std::string why = outside(scene.viewports[static_cast<size_t>(vp)], s.px, s.py);
    if (!why.empty()) refuse(pixel, f.path("pixel"), why);
    if (auto* v = f.take("alternate")) s.alternate = boolean(*v, f.path("alternate"));
}

std::vector<int32_t> whole_numbers(const json::Value& v, const std::string& path, int32_t lo, int32_t hi) {
    std::vector<int32_t> out;
    const auto& a = array(v, path, "whole numbers");
    for (size_t i = 0; i < a.size(); ++i) out.push_back(integer(a[i], path + "/" + std::to_string(i), lo, hi));
    return out;
}

const PanelField& field_of(Fields& f, Step& s, const std::string& what) {
    const json::Value& c = f.need("control", what);
    s.control = text(c, f.path("control"));
    const PanelField* field = field_named(s.control);
    if (!field) refuse(c, f.path("control"), "\"" + s.control + "\" is not a field (H, P, B, X, Y or Z)");
    return *field;
}

Step read_step(const json::Value& v, const std::string& path, const Scene& scene, const SceneNames& names) {
    Fields f(v, path);
    const std::string d = text(f.need("do", "a step"), f.path("do"));
    const std::string what = "\"" + d + "\"";
    Step s;
    if (d == "click" || d == "drag") {
        s.kind = d == "click" ? Step::Kind::Click : Step::Kind::Drag;
        read_pointer(f, s, scene, names, what);
        if (s.kind == Step::Kind::Drag) s.motions = whole_numbers(f.need("motions", what), f.path("motions"), -kMaxMotion, kMaxMotion);
    } else if (d == "open_panel" || d == "close_panel" || d == "apply") {
        s.kind = d == "open_panel" ? Step::Kind::OpenPanel : d == "close_panel" ? Step::Kind::ClosePanel : Step::Kind::Apply;
    } else if (d == "choose") {
        s.kind = Step::Kind::Choose;
        const json::Value& c = f.need("control", what);
        s.control = text(c, f.path("control"));
        const PanelChoice* choice = choice_named(s.control);
        if (!choice) refuse(c, f.path("control"), "\"" + s.control + "\" is not a choice (Origin or Method)");
        s.control_index = choice->control;
        s.index = integer(f.need("index", what), f.path("index"), 0, 1);  // two items each
    } else if (d == "type") {
        s.kind = Step::Kind::Type;
        s.control_index = field_of(f, s, what).field;
        const json::Value& value = f.need("value", what);
        s.value = bounded(value, f.path("value"), -kMaxFieldValue, kMaxFieldValue, false, "");
        if (s.value != 0 && std::fabs(s.value) < kMinFieldValue)
            refuse(value, f.path("value"), "must be 0 or at least " + shown(kMinFieldValue) + " in size");
    } else if (d == "drag_button") {
        s.kind = Step::Kind::DragButton;
        s.control_index = field_of(f, s, what).drag;
        constexpr auto kMax = static_cast<int32_t>(kMaxFieldValue);
        s.values = whole_numbers(f.need("values", what), f.path("values"), -kMax, kMax);
    } else if (d == "select_item") {
        s.kind = Step::Kind::SelectItem;
        const json::Value& item = f.need("item", what);
        s.item = text(item, f.path("item"));
        s.object_index = s.item.empty() ? -1 : names.object(s.item);
        if (!s.item.empty() && s.object_index < 0) refuse(item, f.path("item"), "no object named \"" + s.item + "\"");
    } else if (d == "time") {
        s.kind = Step::Kind::Time;
        s.value = bounded(f.need("value", what), f.path("value"), -kMaxTime, kMaxTime, false, "s");
    } else {
        refuse(*v.find("do"), f.path("do"), "unknown step " + what);
    }
    f.finish();
    return s;
}

bool parse_number(const std::string& text, double& out) {
    if (text.empty()) return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    return r.ec == std::errc{} && r.ptr == text.data() + text.size() && std::isfinite(out);
}

}  // namespace

void read_steps(const json::Value& v, const std::string& path, const Scene& scene, const SceneNames& names,
                std::vector<Step>& out) {
    const auto& steps = array(v, path, "steps");
    for (size_t i = 0; i < steps.size(); ++i)
        out.push_back(read_step(steps[i], path + "/" + std::to_string(i), scene, names));
}

bool read_session(const Source& source, const Scene& scene, const SceneNames& names, std::vector<Step>& session,
                  std::string& error) {
    json::Value doc;
    if (!parse_source(source, doc, error)) return false;
    try {
        std::vector<Step> steps;
        read_steps(doc, "", scene, names, steps);
        session.insert(session.end(), steps.begin(), steps.end());
    } catch (const ReadError& e) {
        error = message(source, e);
        return false;
    }
    return true;
}

bool parse_click(const std::string& arg, const Scene& scene, const SceneNames& names, Step& step, std::string& why) {
    const size_t colon = arg.rfind(':');
    const size_t comma = colon == std::string::npos ? std::string::npos : arg.find(',', colon);
    double x = 0, y = 0;
    if (colon == std::string::npos || colon == 0 || comma == std::string::npos ||
        !parse_number(arg.substr(colon + 1, comma - colon - 1), x) || !parse_number(arg.substr(comma + 1), y)) {
        why = "expected VIEWPORT:X,Y";
        return false;
    }
    const std::string name = arg.substr(0, colon);
    const int vp = names.viewport(name);
    if (vp < 0) {
        why = "no viewport named \"" + clipped(name) + "\" in the scene";
        return false;
    }
    why = outside(scene.viewports[static_cast<size_t>(vp)], x, y);
    if (!why.empty()) return false;
    step = Step{};
    step.kind = Step::Kind::Click;
    step.viewport = name;
    step.viewport_index = vp;
    step.px = x;
    step.py = y;
    return true;
}

}  // namespace host
