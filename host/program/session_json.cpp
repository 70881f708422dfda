#include "host/program/session_json.h"

#include <charconv>
#include <cmath>

#include "host/program/limits.h"

namespace host {

const char* step_name(Step::Kind kind) {
    switch (kind) {
        case Step::Kind::Click: return "click";
        case Step::Kind::Drag: return "drag";
        case Step::Kind::OpenPanel: return "open_panel";
        case Step::Kind::ClosePanel: return "close_panel";
        case Step::Kind::Choose: return "choose";
        case Step::Kind::Type: return "type";
        case Step::Kind::DragButton: return "drag_button";
        case Step::Kind::SelectItem: return "select_item";
        case Step::Kind::Apply: return "apply";
        case Step::Kind::Time: return "time";
    }
    return "?";
}

int viewport_index(const Scene& scene, const std::string& name) {
    for (size_t i = 0; i < scene.viewports.size(); ++i)
        if (scene.viewports[i].name == name) return static_cast<int>(i);
    return -1;
}

int object_index(const Scene& scene, const std::string& name) {
    for (size_t i = 0; i < scene.objects.size(); ++i)
        if (scene.objects[i].name == name) return static_cast<int>(i);
    return -1;
}

namespace {

constexpr const char* kFields[6] = {"H", "P", "B", "X", "Y", "Z"};
constexpr int kFieldIndex[6] = {4, 5, 6, 10, 11, 12};
constexpr int kDragIndex[6] = {7, 8, 9, 13, 14, 15};

int letter(const std::string& name) {
    for (int i = 0; i < 6; ++i)
        if (name == kFields[i]) return i;
    return -1;
}

// Why a pixel is not inside a viewport, or empty when it is.
std::string outside(const Viewport& vp, double x, double y) {
    if (x >= 0 && x < vp.width && y >= 0 && y < vp.height) return "";
    return "the pixel (" + shown(x) + ", " + shown(y) + ") is outside \"" + vp.name + "\" (" + std::to_string(vp.width) +
           " x " + std::to_string(vp.height) + " pixels)";
}

void read_pointer(Fields& f, Step& s, const Scene& scene, const std::string& what) {
    const json::Value& name = f.need("viewport", what);
    s.viewport = text(name, f.path("viewport"));
    const int vp = viewport_index(scene, s.viewport);
    if (vp < 0) refuse(name, f.path("viewport"), "no viewport named \"" + s.viewport + "\"");
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

std::string field_name(Fields& f, const std::string& what) {
    const json::Value& c = f.need("control", what);
    const std::string name = text(c, f.path("control"));
    if (letter(name) < 0) refuse(c, f.path("control"), "\"" + name + "\" is not a field (H, P, B, X, Y or Z)");
    return name;
}

Step read_step(const json::Value& v, const std::string& path, const Scene& scene) {
    Fields f(v, path);
    const std::string d = text(f.need("do", "a step"), f.path("do"));
    const std::string what = "\"" + d + "\"";
    Step s;
    if (d == "click" || d == "drag") {
        s.kind = d == "click" ? Step::Kind::Click : Step::Kind::Drag;
        read_pointer(f, s, scene, what);
        if (s.kind == Step::Kind::Drag) s.motions = whole_numbers(f.need("motions", what), f.path("motions"), -kMaxMotion, kMaxMotion);
    } else if (d == "open_panel" || d == "close_panel" || d == "apply") {
        s.kind = d == "open_panel" ? Step::Kind::OpenPanel : d == "close_panel" ? Step::Kind::ClosePanel : Step::Kind::Apply;
    } else if (d == "choose") {
        s.kind = Step::Kind::Choose;
        const json::Value& c = f.need("control", what);
        s.control = text(c, f.path("control"));
        if (choice_control(s.control) < 0) refuse(c, f.path("control"), "\"" + s.control + "\" is not a choice (Origin or Method)");
        s.index = integer(f.need("index", what), f.path("index"), 0, 1);  // two items each
    } else if (d == "type") {
        s.kind = Step::Kind::Type;
        s.control = field_name(f, what);
        s.value = bounded(f.need("value", what), f.path("value"), -kMaxFieldValue, kMaxFieldValue, false, "");
    } else if (d == "drag_button") {
        s.kind = Step::Kind::DragButton;
        s.control = field_name(f, what);
        s.values = whole_numbers(f.need("values", what), f.path("values"), INT32_MIN, INT32_MAX);
    } else if (d == "select_item") {
        s.kind = Step::Kind::SelectItem;
        const json::Value& item = f.need("item", what);
        s.item = text(item, f.path("item"));
        if (!s.item.empty() && object_index(scene, s.item) < 0) refuse(item, f.path("item"), "no object named \"" + s.item + "\"");
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

int choice_control(const std::string& name) { return name == "Origin" ? 0 : name == "Method" ? 1 : -1; }
int field_control(const std::string& name) { return letter(name) < 0 ? -1 : kFieldIndex[letter(name)]; }
int drag_control(const std::string& name) { return letter(name) < 0 ? -1 : kDragIndex[letter(name)]; }

void read_steps(const json::Value& v, const std::string& path, const Scene& scene, std::vector<Step>& out) {
    const auto& steps = array(v, path, "steps");
    for (size_t i = 0; i < steps.size(); ++i) out.push_back(read_step(steps[i], path + "/" + std::to_string(i), scene));
}

bool read_session(const Source& source, const Scene& scene, std::vector<Step>& session, std::string& error) {
    json::Value doc;
    if (!parse_source(source, doc, error)) return false;
    try {
        std::vector<Step> steps;
        read_steps(doc, "", scene, steps);
        session.insert(session.end(), steps.begin(), steps.end());
    } catch (const ReadError& e) {
        error = message(source, e);
        return false;
    }
    return true;
}

bool parse_click(const std::string& arg, const Scene& scene, Step& step, std::string& why) {
    const size_t colon = arg.rfind(':');
    const size_t comma = colon == std::string::npos ? std::string::npos : arg.find(',', colon);
    double x = 0, y = 0;
    if (colon == std::string::npos || colon == 0 || comma == std::string::npos ||
        !parse_number(arg.substr(colon + 1, comma - colon - 1), x) || !parse_number(arg.substr(comma + 1), y)) {
        why = "expected VIEWPORT:X,Y";
        return false;
    }
    const std::string name = arg.substr(0, colon);
    const int vp = viewport_index(scene, name);
    if (vp < 0) {
        why = "no viewport named \"" + name + "\" in the scene";
        return false;
    }
    why = outside(scene.viewports[static_cast<size_t>(vp)], x, y);
    if (!why.empty()) return false;
    step = Step{};
    step.kind = Step::Kind::Click;
    step.viewport = name;
    step.px = x;
    step.py = y;
    return true;
}

}  // namespace host
