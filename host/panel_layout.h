// The tool panel's controls in the order the module creates them, with the type and label it
// gives each: the one table by which the stand-in host, its program and the tests find a
// control (tests/test_panel.cpp checks it against what the module creates).
#pragma once

#include <cstddef>

namespace host {

struct PanelControls {
    enum Index : size_t {
        kOriginChoice, kMethodChoice, kRotateHeading, kOriginHeading,
        kH, kP, kB, kHDrag, kPDrag, kBDrag,
        kX, kY, kZ, kXDrag, kYDrag, kZDrag,
        kApply, kItemList,
        kControlCount
    };
};

struct PanelControlInfo {
    const char* type;   // the control type the module asks for
    const char* label;  // the label it gives
};

inline constexpr PanelControlInfo kPanelControls[PanelControls::kControlCount] = {
    {"ChoiceControl", "Origin"}, {"ChoiceControl", "Method"}, {"TextControl", "Rotate"}, {"TextControl", "Origin"},
    {"FloatControl", " H"}, {"FloatControl", " P"}, {"FloatControl", " B"},
    {"DragButtonControl", ""}, {"DragButtonControl", ""}, {"DragButtonControl", ""},
    {"FloatControl", " X"}, {"FloatControl", " Y"}, {"FloatControl", " Z"},
    {"DragButtonControl", ""}, {"DragButtonControl", ""}, {"DragButtonControl", ""},
    {"ButtonControl", "Apply"}, {"LWListControl", ""},
};

// The two choices and the six number fields (each with its drag button), by the names a
// session gives them.
struct PanelChoice {
    const char* name;
    size_t control;
};
inline constexpr PanelChoice kPanelChoices[2] = {{"Origin", PanelControls::kOriginChoice},
                                                 {"Method", PanelControls::kMethodChoice}};

struct PanelField {
    const char* name;
    size_t field, drag;
};
inline constexpr PanelField kPanelFields[6] = {
    {"H", PanelControls::kH, PanelControls::kHDrag}, {"P", PanelControls::kP, PanelControls::kPDrag},
    {"B", PanelControls::kB, PanelControls::kBDrag}, {"X", PanelControls::kX, PanelControls::kXDrag},
    {"Y", PanelControls::kY, PanelControls::kYDrag}, {"Z", PanelControls::kZ, PanelControls::kZDrag},
};

}  // namespace host
