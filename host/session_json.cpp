#include "host/session_json.h"

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

namespace {

Step read_step(const json& j, const std::string& path) {
    Fields f(j, path);
    const json* what = f.take("do");
    if (!what) fail(path, "a step needs \"do\"");
    const std::string d = text(*what, f.path("do"));
    Step s;
    auto need = [&](const char* key) -> const json& {
        const json* v = f.take(key);
        if (!v) fail(path, "\"" + d + "\" needs \"" + key + "\"");
        return *v;
    };
    if (d == "click" || d == "drag") {
        s.kind = d == "click" ? Step::Kind::Click : Step::Kind::Drag;
        s.viewport = text(need("viewport"), f.path("viewport"));
        if (auto* v = f.take("pixel")) {
            const auto p = numbers(*v, f.path("pixel"), 2);
            s.px = p[0];
            s.py = p[1];
        }
        if (auto* v = f.take("alternate")) s.alternate = boolean(*v, f.path("alternate"));
        if (s.kind == Step::Kind::Drag) s.motions = integers(need("motions"), f.path("motions"));
    } else if (d == "open_panel") {
        s.kind = Step::Kind::OpenPanel;
    } else if (d == "close_panel") {
        s.kind = Step::Kind::ClosePanel;
    } else if (d == "choose") {
        s.kind = Step::Kind::Choose;
        s.control = text(need("control"), f.path("control"));
        s.index = integer(need("index"), f.path("index"));
    } else if (d == "type") {
        s.kind = Step::Kind::Type;
        s.control = text(need("control"), f.path("control"));
        s.value = number(need("value"), f.path("value"));
    } else if (d == "drag_button") {
        s.kind = Step::Kind::DragButton;
        s.control = text(need("control"), f.path("control"));
        s.values = integers(need("values"), f.path("values"));
    } else if (d == "select_item") {
        s.kind = Step::Kind::SelectItem;
        s.item = text(need("item"), f.path("item"));
    } else if (d == "apply") {
        s.kind = Step::Kind::Apply;
    } else if (d == "time") {
        s.kind = Step::Kind::Time;
        s.value = number(need("value"), f.path("value"));
    } else {
        fail(f.path("do"), "unknown step \"" + d + "\"");
    }
    f.finish();
    return s;
}

}  // namespace

void read_steps(const json& j, const std::string& path, std::vector<Step>& out) {
    if (!j.is_array()) fail(path.empty() ? "/" : path, "expected an array of steps");
    for (size_t i = 0; i < j.size(); ++i) out.push_back(read_step(j[i], path + "/" + std::to_string(i)));
}

bool read_session(const std::string& text, const std::string& file, std::vector<Step>& session,
                  std::string& error) {
    json j;
    if (!parse_json(text, file, j, error)) return false;
    try {
        std::vector<Step> steps;
        read_steps(j, "", steps);
        session.insert(session.end(), steps.begin(), steps.end());
    } catch (const SchemaError& e) {
        error = schema_message(file, e);
        return false;
    }
    return true;
}

}  // namespace host
