// The panel controls' callbacks: stored values, roundings, the item list and drag steps.
#include <cmath>

#include "fixture.h"

class PanelCallbackTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        activate_ok();
        h.open_panel();  // a user edits an open panel only
        h.record.clear();
    }
    // The value the H field shows after a fresh panel build: what the module stored.
    double stored_h() {
        h.release();
        activate_ok();
        h.open_panel();
        return c(kH)->float_value;
    }
    // Drags `button` once to establish it, then once more with `value`; returns the field.
    double drag_from(size_t field, size_t button, double start, int32_t first, int32_t second) {
        c(field)->float_value = start;
        h.user_drag(c(button == kHDrag ? kPDrag : kHDrag), 0);  // forget the last button used
        h.user_drag(c(button), first);
        h.user_drag(c(button), second);
        return c(field)->float_value;
    }
};

TEST_F(PanelCallbackTest, ValueChangesAreStoredRedrawnAndAnnounced) {
    h.user_choose(c(kOriginChoice), 1);
    h.user_choose(c(kMethodChoice), 1);
    ASSERT_EQ(h.record.instance_updates.size(), 2u);
    EXPECT_EQ(h.record.instance_updates[0].first, "LayoutTool");
    EXPECT_EQ(h.record.instance_updates[0].second, h.instance());
    // The choice is written back to the same control after it is read.
    const auto sets = calls_starting("control.set(\"Origin\"#0, 4");
    EXPECT_EQ(sets, std::vector<std::string>{"control.set(\"Origin\"#0, 4, 1)"});
    h.user_type(c(kX), 0.1);
    EXPECT_EQ(h.record.instance_updates.size(), 3u);
    const auto reads = calls_starting("control.get(\" X\"");
    ASSERT_FALSE(reads.empty());
    EXPECT_NE(reads.back().find(", 4) -> 0.10000000000000001"), std::string::npos) << reads.back();  // the value read, in full
    // Typed 0.1 into X: stored at single precision, shown again on mouse-up.
    h.open_panel();
    c(kX)->float_value = 99;
    h.mouse_up();
    EXPECT_EQ(c(kX)->float_value, static_cast<double>(0.1f));
}

TEST_F(PanelCallbackTest, ApplyReadsEveryFieldAtFullPrecisionForThePoint) {
    h.open_panel();
    c(kOriginChoice)->int_value = 1;
    c(kMethodChoice)->int_value = 1;
    c(kH)->float_value = 0.1;
    c(kX)->float_value = 0.1;
    c(kY)->float_value = -2.5;
    c(kZ)->float_value = 1e-3;
    h.user_press(c(kApply));
    ASSERT_EQ(h.record.instance_updates.size(), 1u);
    EXPECT_EQ(count_calls("control.set"), 0u);  // apply writes nothing back
    // The point went in unrounded: mouse-up shows it rounded, so compare via the instance's
    // effect on a second apply-free round trip through the fields.
    c(kX)->float_value = 0;
    h.mouse_up();
    EXPECT_EQ(c(kX)->float_value, static_cast<double>(0.1f));
    EXPECT_EQ(c(kY)->float_value, -2.5);
    EXPECT_EQ(stored_h(), static_cast<double>(0.1f));
}

TEST_F(PanelCallbackTest, ChoosingAnItemTakesItsWorldPosition) {
    h.scene.objects[1].center = {0.1, -2.0, 1e10 + 0.3};
    h.scene.time = 3.0;
    h.open_panel();
    const auto id = host::list_id(1);
    h.user_select_item(c(kItemList), id);
    EXPECT_EQ(count_calls("item.param(0x10000002, 8, 3)"), 1u);
    EXPECT_EQ(c(kX)->float_value, static_cast<double>(0.1f));
    EXPECT_EQ(c(kY)->float_value, -2.0);
    EXPECT_EQ(c(kZ)->float_value, static_cast<double>(static_cast<float>(1e10 + 0.3)));
    EXPECT_EQ(h.record.instance_updates.size(), 1u);
    // The point is the tool's own now: mouse-up shows it again over whatever the fields hold.
    for (size_t f : {kX, kY, kZ}) c(f)->float_value = 99;
    h.mouse_up();
    EXPECT_EQ(c(kX)->float_value, static_cast<double>(0.1f));
    EXPECT_EQ(c(kY)->float_value, -2.0);
    EXPECT_EQ(c(kZ)->float_value, static_cast<double>(static_cast<float>(1e10 + 0.3)));
}

TEST_F(PanelCallbackTest, ACallbackGivenNoControlOrOneThatCannotBeReadChangesNothing) {
    c(kH)->float_value = 4;
    for (size_t i = 0; i < kControlCount; ++i) {
        host::Control* k = c(i);
        if (!k->callback) continue;
        k->callback(nullptr, k->user_data);
        taverin::ControlRecord unreadable = k->record;
        unreadable.get = nullptr;
        k->callback(&unreadable, k->user_data);
    }
    EXPECT_EQ(c(kH)->float_value, 4);
    EXPECT_EQ(count_calls("control.set"), 0u);
}

TEST_F(PanelCallbackTest, AnEmptyItemSelectionQueriesNothing) {
    c(kX)->float_value = 5.0;
    h.user_select_item(c(kItemList), 0);
    EXPECT_EQ(count_calls("item.param"), 0u);
    EXPECT_EQ(c(kX)->float_value, 5.0);
    EXPECT_EQ(h.record.instance_updates.size(), 1u);
}

TEST_F(PanelCallbackTest, TheFirstDragOnAButtonOnlyRecordsIt) {
    c(kH)->float_value = 10.0;
    h.user_drag(c(kHDrag), 5);
    EXPECT_EQ(c(kH)->float_value, 10.0);
    h.user_drag(c(kHDrag), 6);
    EXPECT_EQ(c(kH)->float_value, static_cast<double>(10.1f));
    h.user_drag(c(kPDrag), 7);  // another button: record only
    EXPECT_EQ(c(kP)->float_value, 0.0);
    h.user_drag(c(kHDrag), 8);  // back to H: record only again
    EXPECT_EQ(c(kH)->float_value, static_cast<double>(10.1f));
    EXPECT_TRUE(h.record.instance_updates.empty());
}

TEST_F(PanelCallbackTest, DragStepsNearZeroAndAtOnePerCent) {
    struct Case {
        double start;
        float up, down;
    };
    const Case cases[] = {
        {0.0, 0.001f, -0.001f},
        {0.005, 0.006f, 0.004f},
        {0.01, 0.0101f, 0.0099f},
        {0.0099999, static_cast<float>(0.0099999 + 0.001), static_cast<float>(0.0099999 - 0.001)},
        {100.0, 101.0f, 99.0f},
        {-100.0, -99.0f, -101.0f},
        {99999.0, 100000.0f, static_cast<float>(99999.0 - 999.99)},
        {-99999.0, static_cast<float>(-99999.0 + 999.99), -100000.0f},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.start);
        EXPECT_EQ(drag_from(kX, kXDrag, k.start, 0, 1), static_cast<double>(k.up));
        EXPECT_EQ(drag_from(kX, kXDrag, k.start, 1, 0), static_cast<double>(k.down));
    }
}

TEST_F(PanelCallbackTest, AnUnchangedDragValueStepsDown) {
    EXPECT_EQ(drag_from(kB, kBDrag, 100.0, 3, 3), 99.0);
}

TEST_F(PanelCallbackTest, ASecondDragComparesWithTheValueRecordedByTheFirst) {
    c(kZ)->float_value = 100.0;
    h.user_drag(c(kZDrag), 0);
    h.user_drag(c(kZDrag), 1);  // up: 101
    h.user_drag(c(kZDrag), 2);  // up: 102.01
    EXPECT_EQ(c(kZ)->float_value, static_cast<double>(102.01f));
    h.user_drag(c(kZDrag), 2);  // unchanged: down
    EXPECT_EQ(c(kZ)->float_value, static_cast<double>(static_cast<float>(102.01f - 1.0201f)));
}

TEST_F(PanelCallbackTest, DraggedValuesAreStoredAtSinglePrecision) {
    drag_from(kH, kHDrag, 0.1, 0, 1);
    EXPECT_EQ(stored_h(), static_cast<double>(static_cast<float>(0.1 + 0.001)));
    h.open_panel();
    drag_from(kY, kYDrag, 3.0, 0, 1);
    c(kY)->float_value = 0;
    h.mouse_up();
    EXPECT_EQ(c(kY)->float_value, static_cast<double>(3.03f));
}

TEST_F(PanelCallbackTest, DragsClampAndNaNFieldsStayUnchanged) {
    EXPECT_EQ(drag_from(kX, kXDrag, 1e300, 0, 1), 100000.0);
    EXPECT_EQ(drag_from(kX, kXDrag, -1e300, 0, 1), -100000.0);
    EXPECT_TRUE(std::isnan(drag_from(kX, kXDrag, NAN, 0, 1)));
    EXPECT_TRUE(std::isinf(drag_from(kX, kXDrag, INFINITY, 1, 0)));  // inf - inf: left alone
    EXPECT_EQ(drag_from(kX, kXDrag, INFINITY, 0, 1), 100000.0);
}

TEST_F(ModuleTest, APanelMissingAnyOneControlStillWorks) {
    // The host refuses each control in turn (as one out of room may): the tool is built without
    // it, and every other control, the apply button and the mouse still work.
    for (size_t refused = 0; refused < kControlCount; ++refused) {
        SCOPED_TRACE(refused);
        h.options.refused_control = refused;
        activate_ok();
        h.open_panel();
        for (size_t i = 0; i + 1 < kControlCount; ++i) EXPECT_TRUE(h.user_press(c(i)));
        EXPECT_EQ(h.click(0, 320, 200), 1);
        h.mouse_move(4);
        h.mouse_up();
        h.release();
    }
}
