// The module's code linked directly, for what no host call reaches: the f-stop command and a
// panel built for an instance whose choice indices are out of range.
#include <gtest/gtest.h>

#include <cmath>

#include "host/test_scene.h"
#include "host/host.h"
#include "plugin/panel/panel.h"
#include "plugin/services.h"
#include "plugin/tool.h"

class CoreTest : public ::testing::Test {
protected:
    host::Host h;
    void SetUp() override {
        host::build_test_scene(h.scene, false);
        taverin::lookup_services(host::Host::global_function());
        taverin::panel_services->global = host::Host::global_function();
    }
};

TEST_F(CoreTest, LensFStopCommandsDependOnTheDepthOfFieldFlag) {
    h.scene.camera.flags = 8;
    taverin::set_lens_fstop(2.8);
    EXPECT_EQ(h.record.commands, (std::vector<std::string>{"LensFStop  2.800000"}));
    h.record.commands.clear();
    h.scene.camera.flags = 0;
    taverin::set_lens_fstop(2.8);
    EXPECT_EQ(h.record.commands, (std::vector<std::string>{"DepthOfField", "LensFStop 2.800000"}));
    EXPECT_EQ(h.scene.camera.f_stop, 2.8);
    EXPECT_EQ(h.scene.camera.flags, 8u);
    EXPECT_TRUE(h.record.command_errors.empty());
}

TEST_F(CoreTest, LensFStopNeverIssuesANonFiniteOrOverlongNumber) {
    for (double v : {double(NAN), double(INFINITY), -double(INFINITY), 1e300, -1e250}) {
        taverin::set_lens_fstop(v);
        EXPECT_TRUE(h.record.commands.empty()) << v;
    }
    taverin::set_lens_fstop(1e200);  // fits: 201 digits and the command word
    ASSERT_EQ(h.record.commands.size(), 2u);
    EXPECT_LT(h.record.commands[1].size(), 256u);
}

TEST_F(CoreTest, OutOfRangeChoicesAreForcedToZeroAndStoredBack) {
    for (int32_t bad : {-1, 2}) {
        taverin::ToolInstance inst{};
        inst.origin_mode = bad;
        inst.method = 1;
        ASSERT_NE(taverin::build_panel(&inst), nullptr);
        EXPECT_EQ(inst.origin_mode, 0);
        EXPECT_EQ(inst.method, 1);
        EXPECT_EQ(h.control(0)->int_value, 0);  // "Custom"
        EXPECT_EQ(h.control(1)->int_value, 1);  // "Rotate"
        inst.method = bad;
        inst.origin_mode = 1;
        ASSERT_NE(taverin::build_panel(&inst), nullptr);
        EXPECT_EQ(inst.method, 0);
        EXPECT_EQ(h.control(0)->int_value, 1);
        EXPECT_EQ(h.control(1)->int_value, 0);
    }
}

TEST_F(CoreTest, FailedPanelCreationTouchesNothing) {
    h.options.panel_create_fails = true;
    taverin::ToolInstance inst{};
    inst.origin[0] = 7.0;
    EXPECT_EQ(taverin::build_panel(&inst), nullptr);
    EXPECT_EQ(inst.origin[0], 7.0);
    EXPECT_EQ(inst.redraw, 0);
    EXPECT_EQ(h.record.calls.back(), "panel.create(\"orvik Taverin\")");
}
