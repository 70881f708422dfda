// The stand-in host's panels and controls: what the module created, where the controls are,
// their values, and the callbacks the module attached.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plugin/host_abi.h"

namespace host {

struct Panel;

struct Control {
    taverin::ControlRecord record{};  // what the module holds; record.host_data points here
    Panel* panel = nullptr;
    size_t index = 0;  // creation order on its panel
    std::string type_name;
    std::string label;
    taverin::ControlDesc desc{};  // the descriptor as it was at creation
    std::vector<std::string> items;  // choice items or text lines copied from the descriptor
    int32_t x = 0, y = 0, w = 0, h = 0;
    int32_t int_value = 0;
    double float_value = 0.0;
    void* user_data = nullptr;
    taverin::ControlCallback callback = nullptr;
};

struct Panel {
    std::string title;
    int32_t width = 0, height = 0;
    bool open = false;
    bool destroyed = false;
    int32_t next_y = 8;
    size_t asked = 0;  // controls the module asked for, refused ones included
    std::vector<std::unique_ptr<Control>> controls;
};

}  // namespace host
