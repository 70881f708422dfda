#include "host/program/session/step.h"

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

}  // namespace host
