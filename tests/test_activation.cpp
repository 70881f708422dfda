// Loading, the descriptor, activation, the callback table and the small tool callbacks.
#include <cstring>

#include "fixture.h"

using taverin::kServiceNames;

TEST_F(ModuleTest, DescriptorBytesAndServerTable) {
    const auto& d = h.module()->descriptor();
    unsigned char bytes[40];
    std::memcpy(bytes, &d, sizeof bytes);
    auto u32 = [&](int off) {
        uint32_t v;
        std::memcpy(&v, bytes + off, 4);
        return v;
    };
    EXPECT_EQ(u32(0), 0x04121994u);
    EXPECT_EQ(u32(4), 3u);
    EXPECT_EQ(u32(8), 0x300u);
    EXPECT_EQ(u32(12), 0u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(d.startup()), 4u);
    ASSERT_NE(d.servers, nullptr);
    EXPECT_STREQ(d.servers[0].class_name, "LayoutTool");
    EXPECT_STREQ(d.servers[0].server_name, "orvik_Taverin");
    EXPECT_NE(d.servers[0].activate, nullptr);
    EXPECT_EQ(d.servers[0].reserved, nullptr);
    EXPECT_EQ(d.servers[1].class_name, nullptr);
    EXPECT_EQ(d.servers[1].server_name, nullptr);
    EXPECT_EQ(d.servers[1].activate, nullptr);
    EXPECT_EQ(d.servers[1].reserved, nullptr);
}

TEST_F(ModuleTest, LooksUpTheFourteenServicesInOrderOnEveryActivation) {
    activate_ok();
    ASSERT_EQ(h.record.lookups.size(), 14u);
    for (size_t i = 0; i < 14; ++i) EXPECT_EQ(h.record.lookups[i], kServiceNames[i]);
    const auto globals = calls_starting("global(");
    ASSERT_EQ(globals.size(), 14u);
    for (size_t i = 0; i < 14; ++i)
        EXPECT_EQ(globals[i], std::string("global(\"") + kServiceNames[i] + "\", 0)");

    void* first = h.instance();
    h.release();
    h.record.lookups.clear();
    activate_ok();
    EXPECT_EQ(h.record.lookups.size(), 14u);
    EXPECT_EQ(h.panels.size(), 2u);
    EXPECT_TRUE(h.panels[0]->destroyed);
    EXPECT_FALSE(h.panels[1]->destroyed);
    (void)first;
}

TEST_F(ModuleTest, FillsTwelveSlotsAndLeavesTheHostsOwn) {
    taverin::ToolCallbacks table{};
    int marker = 0;
    for (auto& slot : table.host_slots) slot = &marker;
    taverin::ToolLocal local{nullptr, &table};
    const auto& server = h.module()->server();
    ASSERT_EQ(server.activate(3, host::Host::global_function(), &local, h.module()->server_data()), 0);
    ASSERT_NE(local.instance, nullptr);
    void* slots[12];
    std::memcpy(slots, &table, sizeof slots);
    for (void* s : slots) EXPECT_NE(s, nullptr);
    for (auto slot : table.host_slots) EXPECT_EQ(slot, &marker);
    table.release(local.instance);
}

TEST_F(ModuleTest, SmallCallbacksAnswerAsDocumented) {
    activate_ok();
    auto& f = h.callbacks();
    void* inst = h.instance();
    taverin::ToolEvent e{};
    EXPECT_STREQ(f.help(inst, &e), "orvik Taverin");
    EXPECT_EQ(f.dirty(inst), 3);  // already after activation
    EXPECT_EQ(f.count(inst, &e), 0);
    double pos[3] = {1, 2, 3};
    EXPECT_EQ(f.handle(inst, &e, 0, pos), 1);
    EXPECT_EQ(f.handle(inst, &e, 7, pos), 8);
    EXPECT_EQ(pos[0], 1.0);
    EXPECT_EQ(f.start(inst, &e), 1);
    EXPECT_EQ(f.adjust(inst, &e, 0), 0);
    f.event(inst, 0);
    f.event(inst, 2);
    f.event(inst, 1);
    EXPECT_EQ(f.dirty(inst), 3);
}

TEST_F(ModuleTest, MouseDragsAccumulateAndMouseUpShowsThemRoundedInP) {
    activate_ok();
    h.open_panel();
    h.mouse_move(5);        // +0.05
    h.mouse_move(5, 8);     // +5 with the alternate button
    h.mouse_move(-3);       // -0.03
    h.mouse_up();
    const double expected = 0.05 + 5 - 0.03;
    EXPECT_EQ(c(kP)->float_value, static_cast<double>(static_cast<float>(expected)));

    h.mouse_move(10);  // a second drag keeps adding to the first
    h.mouse_up();
    EXPECT_EQ(c(kP)->float_value, static_cast<double>(static_cast<float>(expected + 0.1)));
    EXPECT_EQ(c(kX)->float_value, 0.0);
}

TEST_F(ModuleTest, MouseUpWritesThePointOneCaseAtSinglePrecision) {
    activate_ok();
    h.open_panel();
    h.mouse_move(10);
    h.mouse_up();
    EXPECT_EQ(c(kP)->float_value, 0.10000000149011612);
}

TEST_F(ModuleTest, MouseUpOnAClosedPanelChangesNothing) {
    activate_ok();
    c(kP)->float_value = 42.0;
    h.mouse_move(100);
    h.record.clear();
    h.mouse_up();
    EXPECT_EQ(c(kP)->float_value, 42.0);
    EXPECT_EQ(count_calls("control.set"), 0u);
}

TEST_F(ModuleTest, ReleaseClosesOnlyAnOpenPanelAndAlwaysDestroysIt) {
    activate_ok();
    h.record.clear();
    h.release();
    EXPECT_EQ(count_calls("panel.close"), 0u);
    EXPECT_EQ(count_calls("panel.destroy"), 1u);

    activate_ok();
    h.open_panel();
    h.record.clear();
    h.release();
    ASSERT_EQ(h.record.calls.size(), 3u);
    EXPECT_EQ(h.record.calls[0], "panel.handle(0)");
    EXPECT_EQ(h.record.calls[1], "panel.close()");
    EXPECT_EQ(h.record.calls[2], "panel.destroy(orvik Taverin)");
}

TEST_F(ModuleTest, FailedPanelGivesResultTwoAndHandsNothingToTheHost) {
    h.options.panel_create_fails = true;
    int marker = 0;
    taverin::ToolCallbacks table{};
    taverin::ToolLocal local{&marker, &table};
    const auto& server = h.module()->server();
    EXPECT_EQ(server.activate(3, host::Host::global_function(), &local, nullptr), 2);
    EXPECT_EQ(local.instance, nullptr);
    EXPECT_EQ(table.release, nullptr);
    EXPECT_EQ(table.draw, nullptr);
}

TEST_F(ModuleTest, ActivationWithoutACallbackTableLeavesNothingBehind) {
    int marker = 0;
    taverin::ToolLocal local{&marker, nullptr};
    const auto& server = h.module()->server();
    EXPECT_EQ(server.activate(3, host::Host::global_function(), &local, nullptr), 1);
    EXPECT_EQ(local.instance, nullptr);
    for (const auto& p : h.panels) EXPECT_TRUE(p->destroyed);  // no panel left to release
}

TEST_F(ModuleTest, ActivationWithoutALocalRecordFailsCleanly) {
    const auto& server = h.module()->server();
    EXPECT_EQ(server.activate(3, host::Host::global_function(), nullptr, nullptr), 1);
    EXPECT_EQ(server.activate(3, nullptr, nullptr, nullptr), 1);
}

// Every service missing in turn: activation succeeds unless the panel services are missing,
// and nothing the host can then call crashes.
class MissingServiceTest : public ModuleTest, public ::testing::WithParamInterface<int> {};

TEST_P(MissingServiceTest, ActivationAndEveryCallbackSurvive) {
    const std::string name = kServiceNames[GetParam()];
    h.options.missing_services.insert(name);
    h.scene.camera.add_standard_channels(true);
    h.scene.time = 2.0;
    const int32_t result = h.activate();
    if (name == "LWPanelServices 2") {
        EXPECT_EQ(result, 2);
        EXPECT_EQ(h.instance(), nullptr);
        return;
    }
    ASSERT_EQ(result, 0);
    h.open_panel();
    h.draw();
    EXPECT_EQ(h.click(0, 320, 200), 1);
    h.mouse_move(4);
    h.mouse_up();
    h.user_type(c(kH), 3.5);
    h.user_drag(c(kXDrag), 1);
    h.user_drag(c(kXDrag), 2);
    h.user_select_item(c(kItemList), host::list_id(1));
    h.user_press(c(kApply));
    EXPECT_EQ(h.dirty(), 3);
    // Without the time service the module works at time 0, whatever the scene's time.
    if (name == taverin::TimeInfoService::kName) {
        for (const auto& call : calls_starting("item.param(")) EXPECT_EQ(call.substr(call.size() - 4), ", 0)") << call;
    }
    h.release();
}

INSTANTIATE_TEST_SUITE_P(EachService, MissingServiceTest, ::testing::Range(0, 14),
                         [](const auto& info) {
                             std::string n = kServiceNames[info.param];
                             for (char& ch : n)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });

TEST(Loader, ReportsEachBadInputWithTheFileAndTheReason) {
    std::string error;
    EXPECT_EQ(host::LoadedModule::open("/nonexistent/dir/x.p", error), nullptr);
    EXPECT_EQ(error, "/nonexistent/dir/x.p: no such file");

    EXPECT_EQ(host::LoadedModule::open(TAVERIN_TEXT_FILE, error), nullptr);
    EXPECT_NE(error.find("not a loadable module"), std::string::npos) << error;
    EXPECT_EQ(error.rfind(TAVERIN_TEXT_FILE, 0), 0u);

    EXPECT_EQ(host::LoadedModule::open(TAVERIN_BAD_NO_DESCRIPTOR, error), nullptr);
    EXPECT_NE(error.find("no module descriptor"), std::string::npos) << error;

    EXPECT_EQ(host::LoadedModule::open(TAVERIN_BAD_SYNC, error), nullptr);
    EXPECT_NE(error.find("wrong sync word 0x12345678"), std::string::npos) << error;

    EXPECT_EQ(host::LoadedModule::open(TAVERIN_BAD_NO_SERVER, error), nullptr);
    EXPECT_NE(error.find("no server \"orvik_Taverin\" of class \"LayoutTool\""), std::string::npos)
        << error;
}
