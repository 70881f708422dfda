// The panel as the module builds it: controls, descriptors, layout, values and callbacks.
#include "fixture.h"

using taverin::ControlDesc;

namespace {
struct Expected {
    const char* type;
    const char* label;
    int32_t x, y;
};
// Placements with the stand-in host's default sizes: choices 150 x 20, headings 40 x 16,
// fields 60 x 20, drag buttons 16 x 20, the list 110 x 40; the host stacks new controls
// from y = 8, four pixels apart, the first at x = 10 and each next one two pixels further right.
const Expected kPanel[18] = {
    {"ChoiceControl", "Origin", 10, 8},     {"ChoiceControl", "Method", 12, 32},
    {"TextControl", "Rotate", 14, 56},      {"TextControl", "Origin", 112, 56},
    {"FloatControl", " H", 10, 82},         {"FloatControl", " P", 10, 100},
    {"FloatControl", " B", 10, 118},        {"DragButtonControl", "", 70, 82},
    {"DragButtonControl", "", 70, 100},     {"DragButtonControl", "", 70, 118},
    {"FloatControl", " X", 112, 82},        {"FloatControl", " Y", 112, 100},
    {"FloatControl", " Z", 112, 118},       {"DragButtonControl", "", 172, 82},
    {"DragButtonControl", "", 172, 100},    {"DragButtonControl", "", 172, 118},
    {"ButtonControl", "Apply", 112, 138},   {"LWListControl", "", 160, 32},
};
}  // namespace

TEST_F(ModuleTest, PanelHasEighteenControlsInOrderWithTheirDescriptors) {
    activate_ok();
    host::Panel* p = h.panel();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->title, "orvik Taverin");
    EXPECT_FALSE(p->open);
    ASSERT_EQ(p->controls.size(), 18u);
    for (size_t i = 0; i < 18; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(c(i)->type_name, kPanel[i].type);
        EXPECT_EQ(c(i)->label, kPanel[i].label);
        // The table the stand-in host and its program find controls by.
        EXPECT_EQ(c(i)->type_name, host::kPanelControls[i].type);
        EXPECT_EQ(c(i)->label, host::kPanelControls[i].label);
        EXPECT_EQ(c(i)->x, kPanel[i].x);
        EXPECT_EQ(c(i)->y, kPanel[i].y);
    }
    EXPECT_EQ(c(kOriginChoice)->desc.type, 9);
    EXPECT_EQ(c(kOriginChoice)->items, (std::vector<std::string>{"Custom", "Average"}));
    EXPECT_EQ(c(kOriginChoice)->desc.choice.vertical, 0);
    EXPECT_EQ(c(kMethodChoice)->items, (std::vector<std::string>{"Keep", "Rotate"}));
    for (size_t i : {kRotateHeading, kOriginHeading}) {
        EXPECT_EQ(c(i)->desc.type, 12);
        ASSERT_NE(c(i)->desc.text.lines, nullptr);
        EXPECT_TRUE(c(i)->items.empty());
    }
    for (size_t i : {kH, kP, kB, kX, kY, kZ}) EXPECT_EQ(c(i)->desc.type, 3);
    for (size_t i : {kHDrag, kPDrag, kBDrag, kXDrag, kYDrag, kZDrag}) {
        EXPECT_EQ(c(i)->desc.type, 19);
        EXPECT_EQ(c(i)->desc.drag.width, -1);
        EXPECT_EQ(c(i)->desc.drag.height, 0);
    }
    EXPECT_EQ(c(kApply)->desc.type, 2);
    EXPECT_EQ(c(kApply)->desc.drag.width, -1);  // left over from the drag buttons
    const ControlDesc& list = c(kItemList)->desc;
    EXPECT_EQ(list.type, 16);
    EXPECT_EQ(list.list.global, host::Host::global_function());
    EXPECT_EQ(list.list.item_type, 5);
    EXPECT_EQ(list.list.list, nullptr);
    EXPECT_EQ(list.list.count, 0);
    EXPECT_EQ(list.list.width, 0);
}

TEST_F(ModuleTest, ControlsArePlacedInTheLayoutOrderXBeforeY) {
    activate_ok();
    std::vector<std::string> placed;
    for (const auto& line : h.record.calls) {
        if (line.rfind("control.set(", 0) != 0) continue;
        const size_t hash = line.find('#'), comma = line.find(", ", hash);
        const std::string index = line.substr(hash + 1, comma - hash - 1);
        const std::string tag = line.substr(comma + 2, 1);
        if (line.compare(comma + 3, 1, ",") == 0 && (tag == "0" || tag == "1")) placed.push_back(index + ":" + tag);
    }
    const size_t order[15] = {kH, kHDrag, kOriginHeading, kP, kPDrag, kB, kBDrag, kX,
                              kXDrag, kY, kYDrag, kZ, kApply, kZDrag, kItemList};
    ASSERT_EQ(placed.size(), 30u);
    for (size_t k = 0; k < 15; ++k) {
        EXPECT_EQ(placed[2 * k], std::to_string(order[k]) + ":0");
        EXPECT_EQ(placed[2 * k + 1], std::to_string(order[k]) + ":1");
    }
}

TEST_F(ModuleTest, PanelSizeIsSetAndTheFinalHeightHoldsEveryControl) {
    activate_ok();
    const auto sets = calls_starting("panel.set(");
    ASSERT_GE(sets.size(), 3u);
    EXPECT_EQ(sets[0], "panel.set(2, 277)");
    EXPECT_EQ(sets[1], "panel.set(3, 300)");
    EXPECT_EQ(sets.size(), 3u);
    host::Panel* p = h.panel();
    EXPECT_EQ(p->width, 277);
    for (const auto& ctl : p->controls) EXPECT_LE(ctl->y + ctl->h, p->height) << ctl->label;
    EXPECT_EQ(p->height, c(kApply)->y + c(kApply)->h + 10);
}

TEST_F(ModuleTest, XYZRowsFollowTheReportedYOfTheHPBFields) {
    h.options.placement_shift[kH] = {0, 7};  // the host places H seven pixels lower than asked
    activate_ok();
    EXPECT_EQ(c(kH)->y, 89);
    EXPECT_EQ(c(kX)->y, 89);
    EXPECT_EQ(c(kXDrag)->y, 89);
    EXPECT_EQ(c(kHDrag)->y, 82);
    EXPECT_EQ(c(kP)->y, 100);
    EXPECT_EQ(c(kY)->y, 100);
}

TEST_F(ModuleTest, CallbacksAndUserDataAreAttachedInOrder) {
    activate_ok();
    void* inst = h.instance();
    const auto changed = c(kOriginChoice)->callback;
    const auto drag = c(kHDrag)->callback;
    const auto apply = c(kApply)->callback;
    ASSERT_NE(changed, nullptr);
    ASSERT_NE(drag, nullptr);
    ASSERT_NE(apply, nullptr);
    EXPECT_NE(changed, drag);
    EXPECT_NE(changed, apply);
    EXPECT_NE(drag, apply);
    for (size_t i : {kOriginChoice, kMethodChoice, kH, kP, kB, kX, kY, kZ, kItemList})
        EXPECT_EQ(c(i)->callback, changed) << i;
    for (size_t i : {kHDrag, kPDrag, kBDrag, kXDrag, kYDrag, kZDrag}) EXPECT_EQ(c(i)->callback, drag) << i;
    for (size_t i = 0; i < 18; ++i) {
        if (i == kRotateHeading || i == kOriginHeading) {
            EXPECT_EQ(c(i)->user_data, nullptr);
            EXPECT_EQ(c(i)->callback, nullptr);
        } else {
            EXPECT_EQ(c(i)->user_data, inst) << i;
        }
    }
    // User data first, then the callback, control by control in the documented order.
    std::vector<std::string> attach;
    for (const auto& line : h.record.calls)
        if (line.find(", 16, ptr)") != std::string::npos || line.find(", 14, ptr)") != std::string::npos)
            attach.push_back(line);
    const size_t order[16] = {kOriginChoice, kMethodChoice, kH, kP, kB, kHDrag, kPDrag, kBDrag,
                              kX, kY, kZ, kItemList, kXDrag, kYDrag, kZDrag, kApply};
    ASSERT_EQ(attach.size(), 32u);
    for (size_t k = 0; k < 16; ++k) {
        const std::string tag = "#" + std::to_string(order[k]) + ", ";
        EXPECT_NE(attach[2 * k].find(tag + "16, ptr)"), std::string::npos) << attach[2 * k];
        EXPECT_NE(attach[2 * k + 1].find(tag + "14, ptr)"), std::string::npos) << attach[2 * k + 1];
    }
}

TEST_F(ModuleTest, AnglesOutliveInstancesWhileThePointIsResetByEveryBuild) {
    activate_ok();
    h.open_panel();
    for (size_t i : {kH, kP, kB, kX, kY, kZ}) EXPECT_EQ(c(i)->float_value, 0.0);
    EXPECT_EQ(c(kOriginChoice)->int_value, 0);
    EXPECT_EQ(c(kMethodChoice)->int_value, 0);
    h.user_type(c(kH), 12.5);
    h.user_type(c(kP), 0.1);
    h.user_type(c(kX), 4.0);
    h.release();

    activate_ok();
    EXPECT_EQ(c(kH)->float_value, 12.5);
    EXPECT_EQ(c(kP)->float_value, static_cast<double>(0.1f));
    EXPECT_EQ(c(kB)->float_value, 0.0);
    EXPECT_EQ(c(kX)->float_value, 0.0);  // origin is zeroed by every build
}

TEST_F(ModuleTest, LayoutReadsTheLeftColumnFromTheOriginChoiceAndTheRightFromTheHost) {
    // The host puts H five pixels right of where it is asked and the "Origin" heading three
    // pixels right: the drag buttons still follow the left column's x, and the X, Y, Z column
    // follows the heading's x as the host reports it.
    h.options.placement_shift[kH] = {5, 0};
    h.options.placement_shift[kOriginHeading] = {3, 0};
    activate_ok();
    EXPECT_EQ(c(kH)->x, 15);
    EXPECT_EQ(c(kHDrag)->x, 10 + 60);  // x0 + w(H), not H's right edge
    EXPECT_EQ(c(kOriginHeading)->x, 10 + 2 * 16 + 70 + 3);
    for (size_t i : {kX, kY, kZ, kApply}) EXPECT_EQ(c(i)->x, 115) << i;
    for (size_t i : {kXDrag, kYDrag, kZDrag}) EXPECT_EQ(c(i)->x, 115 + 60) << i;
}

TEST_F(ModuleTest, EditsReachTheModuleOnlyThroughAnOpenPanel) {
    activate_ok();
    h.record.clear();
    EXPECT_FALSE(h.user_type(c(kH), 5.0));  // created closed: the user cannot reach it
    EXPECT_FALSE(h.user_press(c(kApply)));
    EXPECT_TRUE(h.record.calls.empty());
    h.open_panel();
    EXPECT_TRUE(h.user_type(c(kH), 6.0));
    h.close_panel();
    EXPECT_FALSE(h.user_type(c(kH), 7.0));
    h.release();
    activate_ok();
    EXPECT_EQ(c(kH)->float_value, 6.0);
}

// A host that calls a control's callback whenever the module sets the control's value.
class FiringHostTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        h.options.fire_on_module_set = true;
        activate_ok();
        h.open_panel();
        h.record.clear();
    }
};

TEST_F(FiringHostTest, AChoiceWrittenBackDoesNotCallItsCallbackAgain) {
    h.user_choose(c(kOriginChoice), 1);  // the callback sets the choice, which fires again
    EXPECT_EQ(h.record.instance_updates.size(), 1u);
    EXPECT_EQ(c(kOriginChoice)->int_value, 1);
    EXPECT_EQ(count_calls("control.get(\"Origin\"#0, 4)"), 1u);
}

TEST_F(FiringHostTest, AnItemsPositionIsStoredAsReadNotAsTheFieldsShowIt) {
    h.scene.objects[1].center = {0.1, -2.0, 1e10 + 0.3};
    h.user_select_item(c(kItemList), host::list_id(1));
    EXPECT_EQ(h.record.instance_updates.size(), 1u);  // the three field sets fired nothing
    EXPECT_EQ(count_calls("control.get(\" X\""), 0u);
    EXPECT_EQ(c(kZ)->float_value, static_cast<double>(static_cast<float>(1e10 + 0.3)));
}

TEST_F(FiringHostTest, MouseUpAndDragStepsStoreNothingThroughTheFiredCallbacks) {
    h.mouse_move(250);  // drag_x 2.5, shown in P on mouse-up
    h.mouse_up();
    EXPECT_EQ(c(kP)->float_value, 2.5);
    h.user_drag(c(kHDrag), 0);
    h.user_drag(c(kHDrag), 1);  // steps H to 0.001 and sets the field
    EXPECT_EQ(c(kH)->float_value, static_cast<double>(0.001f));
    EXPECT_TRUE(h.record.instance_updates.empty());  // neither announces; no fired callback did
    h.release();
    h.options.fire_on_module_set = false;
    activate_ok();
    EXPECT_EQ(c(kP)->float_value, 0.0);  // the angle P was never set from the mouse drag
    EXPECT_EQ(c(kH)->float_value, static_cast<double>(0.001f));
}
