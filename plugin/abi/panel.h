// The host's panel records: the value record every control value passes through, the
// attribute tags, the control descriptors and the control record a control handle points at.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/abi/module.h"

namespace taverin {

inline constexpr int32_t kValueInt = 2;
inline constexpr int32_t kValueFloat = 3;

// The value record exchanged with a control's get and set.
struct ValueRecord {
    int32_t type;
    int32_t int_value;
    union {
        void* ptr;
        double number;
    };
    unsigned char reserved[24];
};
static_assert(sizeof(ValueRecord) == 40);
static_assert(offsetof(ValueRecord, type) == 0);
static_assert(offsetof(ValueRecord, int_value) == 4);
static_assert(offsetof(ValueRecord, ptr) == 8);
static_assert(offsetof(ValueRecord, number) == 8);

// Attribute tags of a control (and, for width and height, of the panel).
enum AttrTag : int32_t {
    kTagX = 0,
    kTagY = 1,
    kTagWidth = 2,
    kTagHeight = 3,
    kTagValue = 4,
    kTagEvent = 14,
    kTagUserData = 16,
};

// Control descriptor type codes.
enum ControlType : int32_t {
    kCtlButton = 2,
    kCtlFloat = 3,
    kCtlChoice = 9,
    kCtlText = 12,
    kCtlList = 16,
    kCtlDragButton = 19,
};

struct ChoiceDesc {
    int32_t type;
    int32_t unused4;
    const char* const* items;
    int32_t vertical;
};
static_assert(offsetof(ChoiceDesc, items) == 8);
static_assert(offsetof(ChoiceDesc, vertical) == 16);

struct TextDesc {
    int32_t type;
    int32_t unused4;
    const char* const* lines;
};
static_assert(offsetof(TextDesc, lines) == 8);

struct DragButtonDesc {
    int32_t type;
    int32_t width;
    int32_t height;
};
static_assert(offsetof(DragButtonDesc, width) == 4);
static_assert(offsetof(DragButtonDesc, height) == 8);

struct ListDesc {
    int32_t type;
    int32_t unused4;
    GlobalFunc global;
    int32_t item_type;
    int32_t unused20;
    const char* const* list;
    int32_t count;
    int32_t width;
};
static_assert(offsetof(ListDesc, global) == 8);
static_assert(offsetof(ListDesc, item_type) == 16);
static_assert(offsetof(ListDesc, list) == 24);
static_assert(offsetof(ListDesc, count) == 32);
static_assert(offsetof(ListDesc, width) == 36);
static_assert(sizeof(ListDesc) == 40);

// One record serves every kind of control: each creation writes the fields of its own kind
// and leaves the rest as the previous creation wrote them.
union ControlDesc {
    int32_t type;
    ChoiceDesc choice;
    TextDesc text;
    DragButtonDesc drag;
    ListDesc list;
};
static_assert(sizeof(ControlDesc) == 40);

// A control handle points at the host's control record; the second and third entries are its
// get and set operations.
struct ControlRecord;
using ControlGetSet = void (*)(ControlRecord* control, int32_t tag, ValueRecord* value);
using ControlCallback = void (*)(ControlRecord* control, void* user_data);

struct ControlRecord {
    void* host_data;
    ControlGetSet get;
    ControlGetSet set;
};
static_assert(offsetof(ControlRecord, get) == 8);
static_assert(offsetof(ControlRecord, set) == 16);

}  // namespace taverin
