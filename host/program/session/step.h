// A session: the scripted user actions the stand-in host plays against the module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct Step {
    enum class Kind {
        Click,        // mouse down (and up) at a pixel of a viewport
        Drag,         // mouse down, moves by `motions` pixels, mouse up
        OpenPanel,
        ClosePanel,
        Choose,       // a choice control: `control`, `index`
        Type,         // a float field: `control`, `value`
        DragButton,   // a drag button: `control` (its field's letter), `values` in turn
        SelectItem,   // the item list: `item` (an object's name; empty for no selection)
        Apply,        // the "Apply" button
        Time,         // the current time becomes `value`
    };
    Kind kind = Kind::Click;
    std::string viewport;
    int viewport_index = -1;     // the scene's viewport of that name, found when read
    double px = 0, py = 0;
    bool alternate = false;
    std::vector<int32_t> motions;
    std::string control;
    size_t control_index = 0;    // the panel control the step edits (host/panel_layout.h)
    int32_t index = 0;
    double value = 0;
    std::vector<int32_t> values;
    std::string item;
    int object_index = -1;       // the scene's object of that name; -1 for no selection
};

// The step's kind as a session names it ("click", "open_panel", ...).
const char* step_name(Step::Kind kind);

}  // namespace host
