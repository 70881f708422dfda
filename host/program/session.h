// A session: the scripted user actions the stand-in host plays against the module.
#pragma once

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
    double px = 0, py = 0;
    bool alternate = false;
    std::vector<int32_t> motions;
    std::string control;
    int32_t index = 0;
    double value = 0;
    std::vector<int32_t> values;
    std::string item;
};

const char* step_name(Step::Kind kind);

}  // namespace host
