// Integration-test fixture: a fresh copy of the built module loaded into the stand-in host,
// so module-wide state starts as it does when the host first loads the file.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/test_scene.h"
#include "host/host.h"
#include "host/panel_layout.h"

class ModuleTest : public ::testing::Test, public host::PanelControls {
protected:
    host::Host h;

    void SetUp() override {
        host::build_test_scene(h.scene, false);
        std::string error;
        ASSERT_TRUE(h.load(TAVERIN_MODULE_PATH, error, true)) << error;
    }

    void activate_ok() {
        ASSERT_EQ(h.activate(), 0);
        ASSERT_NE(h.instance(), nullptr);
    }

    // Control handles by creation order (kH, kApply, ...: host/panel_layout.h).
    host::Control* c(size_t i) { return h.control(i); }

    // The calls whose text starts with `prefix`, in order.
    std::vector<std::string> calls_starting(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& line : h.record.calls)
            if (line.rfind(prefix, 0) == 0) out.push_back(line);
        return out;
    }
    size_t count_calls(const std::string& prefix) const { return calls_starting(prefix).size(); }
};
