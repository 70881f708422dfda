// Setting the focal distance: by envelope key when the camera has a focal-distance channel
// with an envelope, otherwise by command.
#include <cmath>
#include <memory>

#include "fixture.h"

using taverin::HitRecord;
using taverin::ItemId;

class FocusTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        activate_ok();
        h.scene.camera.channels.clear();
        h.scene.objects.resize(1, host::make_sphere("s", {0, 0, 100}, 1));
        h.record.clear();
    }
    // Focuses through a click whose single hit lies at `distance`.
    void focus(double distance) {
        h.options.intersect_override = [distance](ItemId, const double*, const double*, HitRecord* hit) {
            hit->distance = distance;
            return 1;
        };
        h.mouse_down(0, {0, 0, 1});
    }
    host::Envelope* add_channel(const std::string& name, bool with_envelope = true) {
        h.scene.camera.channels.push_back(
            host::Channel{name, with_envelope ? std::make_unique<host::Envelope>() : nullptr});
        return h.scene.camera.channels.back().envelope.get();
    }
};

TEST_F(FocusTest, CommandTextsToTheCharacter) {
    h.scene.camera.flags = 8;
    focus(3.25);
    EXPECT_EQ(h.record.commands, std::vector<std::string>{"FocalDistance 3.250000"});

    h.record.commands.clear();
    h.scene.camera.flags = 0;
    focus(3.25);
    EXPECT_EQ(h.record.commands, (std::vector<std::string>{"DepthOfField", "FocalDistance 3.250000"}));

    h.record.commands.clear();
    focus(0.5);
    EXPECT_EQ(h.record.commands, std::vector<std::string>{"FocalDistance 0.500000"});
    h.record.commands.clear();
    focus(-2.0);
    EXPECT_EQ(h.record.commands, std::vector<std::string>{"FocalDistance -2.000000"});
    h.record.commands.clear();
    focus(2.0);
    EXPECT_EQ(h.record.commands, std::vector<std::string>{"FocalDistance 2.000000"});
    EXPECT_EQ(h.scene.camera.focal_distance, 2.0);
    EXPECT_TRUE(h.record.command_errors.empty());
}

TEST_F(FocusTest, OnlyTheDepthOfFieldBitSaysDepthOfFieldIsOn) {
    const std::pair<uint32_t, bool> flags[] = {{0, false}, {1, false}, {7, false}, {0xFFFFFFF7u, false},
                                               {8, true}, {9, true}, {0xFFFFFFFFu, true}};
    for (const auto& [bits, on] : flags) {
        h.record.commands.clear();
        h.scene.camera.flags = bits;
        focus(3.25);
        ASSERT_FALSE(h.record.commands.empty()) << bits;
        EXPECT_EQ(h.record.commands.front() == "DepthOfField", !on) << bits;
    }
}

TEST_F(FocusTest, NonFiniteOrOverlongDistancesIssueNoCommandAtAll) {
    for (double d : {double(INFINITY), -double(INFINITY), 1e234, 1e300}) {
        h.record.commands.clear();
        focus(d);
        EXPECT_TRUE(h.record.commands.empty()) << d;
    }
    focus(1e200);  // fits in the buffer
    ASSERT_FALSE(h.record.commands.empty());
    EXPECT_EQ(h.record.commands.back().rfind("FocalDistance 9999", 0), 0u);
    EXPECT_LT(h.record.commands.back().size(), 256u);
}

TEST_F(FocusTest, AKeyAtTheCurrentTimeIsSetWithoutAnyCommand) {
    h.scene.camera.add_standard_channels(false);
    host::Envelope* env = add_channel("FocalDistance");
    env->create(0.0, 1.0);
    env->create(2.0, 9.0);
    h.scene.time = 2.0;
    focus(3.25);
    ASSERT_EQ(env->keys.size(), 2u);
    EXPECT_EQ(env->keys[1]->value, 3.25);
    EXPECT_EQ(env->keys[0]->value, 1.0);
    EXPECT_TRUE(h.record.commands.empty());
    EXPECT_EQ(count_calls("camera.flags"), 0u);
    EXPECT_EQ(count_calls("envelope.key_set(0, 3.25)"), 1u);
}

TEST_F(FocusTest, WithoutAKeyAtTheCurrentTimeOneKeyIsCreated) {
    host::Envelope* env = add_channel("FocalDistance");
    env->create(0.0, 1.0);
    h.scene.time = 0.75;
    focus(3.25);
    ASSERT_EQ(env->keys.size(), 2u);
    EXPECT_EQ(env->keys[1]->time, 0.75);
    EXPECT_EQ(env->keys[1]->value, 3.25);
    EXPECT_TRUE(h.record.commands.empty());
}

TEST_F(FocusTest, HostCallsInOrderOnEachPath) {
    auto focus_calls = [&] {
        std::vector<std::string> out;
        bool after_release = false;
        for (const auto& line : h.record.calls) {
            if (line == "spatial.release()") after_release = true;
            // set_focal_distance runs between the last intersect and the release.
            if (after_release) break;
            if (line.rfind("spatial.", 0) == 0 || line.rfind("item.next", 0) == 0 ||
                line.rfind("item.first", 0) == 0 || line.rfind("messages.", 0) == 0 ||
                line.rfind("viewport.", 0) == 0)
                continue;
            out.push_back(line);
        }
        return out;
    };
    h.scene.camera.flags = 0;
    focus(2.5);
    const std::vector<std::string> by_command = {
        "scene.render_camera(0)",        "item.param(0x30000001, 8, 0)",  // the ray's origin
        "scene.render_camera(0)",        "item.chan_group(0x30000001)",
        "channel.next(null)",            "scene.render_camera(0)",
        "camera.flags(0x30000001)",      "command(\"DepthOfField\")",
        "command(\"FocalDistance 2.500000\")"};
    EXPECT_EQ(focus_calls(), by_command);

    add_channel("FocalDistance")->create(0.0, 1.0);
    h.record.clear();
    focus(2.5);
    const std::vector<std::string> by_key = {
        "scene.render_camera(0)",           "item.param(0x30000001, 8, 0)",
        "scene.render_camera(0)",           "item.chan_group(0x30000001)",
        "channel.next(null)",               "channel.name() -> \"FocalDistance\"",
        "channel.envelope(FocalDistance)",  "channel.next(channel)",
        "envelope.find_key(0)",             "envelope.key_set(0, 2.5)"};
    EXPECT_EQ(focus_calls(), by_key);
}

TEST_F(FocusTest, ChannelNamesQualifyByTheirRunOfFocalDistanceCharacters) {
    host::Envelope* short_name = add_channel("FocalDist");        // run 9
    host::Envelope* blank = add_channel("Focal Distance");        // run 5
    host::Envelope* lower = add_channel("focalDistance");         // 'f' is not in the set
    (void)short_name;
    (void)blank;
    (void)lower;
    h.scene.camera.flags = 8;
    focus(1.0);
    EXPECT_EQ(h.record.commands.size(), 1u);

    host::Envelope* longer = add_channel("FocalDistanceX");      // run 13
    h.record.commands.clear();
    focus(2.0);
    EXPECT_TRUE(h.record.commands.empty());
    ASSERT_EQ(longer->keys.size(), 1u);
    EXPECT_EQ(longer->keys[0]->value, 2.0);
    for (auto* e : {short_name, blank, lower}) EXPECT_TRUE(e->keys.empty());
}

TEST_F(FocusTest, TheLastQualifyingChannelWinsAndTheWalkRunsToTheEnd) {
    host::Envelope* first = add_channel("FocalDistance");
    host::Envelope* second = add_channel("FocalDistanceLens");
    add_channel("Position.X");
    focus(4.0);
    EXPECT_TRUE(first->keys.empty());
    ASSERT_EQ(second->keys.size(), 1u);
    EXPECT_EQ(count_calls("channel.name"), 3u);
    EXPECT_EQ(count_calls("channel.next"), 4u);
}

TEST_F(FocusTest, AQualifyingChannelWithoutAnEnvelopeFallsBackToCommands) {
    add_channel("FocalDistance");
    add_channel("FocalDistance", false);  // last one wins and has none
    h.scene.camera.flags = 8;
    focus(3.0);
    EXPECT_EQ(h.record.commands, std::vector<std::string>{"FocalDistance 3.000000"});
}

TEST_F(ModuleTest, WithoutTheCameraServiceDepthOfFieldIsNotToggledBlindly) {
    h.options.missing_services.insert("LW Camera Info 9");
    activate_ok();
    h.scene.camera.flags = 8;
    h.mouse_down(0, {0, 0, 1});
    EXPECT_EQ(h.record.commands, std::vector<std::string>{"FocalDistance 7.000000"});
    EXPECT_EQ(h.scene.camera.flags, 8u);  // still on
}

TEST_F(ModuleTest, AFocalDistanceEnvelopeWithoutTheEnvelopeServiceLeavesTheFocusAlone) {
    h.options.missing_services.insert("Animation Envelopes 2");
    h.scene.camera.add_standard_channels(true);
    h.scene.camera.flags = 0;
    activate_ok();
    h.mouse_down(0, {0, 0, 1});
    EXPECT_TRUE(h.record.commands.empty());  // neither "DepthOfField" nor a bypassing command
    EXPECT_EQ(h.scene.camera.flags, 0u);
    EXPECT_EQ(h.scene.camera.focal_distance_at(0.0), 5.0);
    EXPECT_TRUE(h.scene.camera.focal_envelope()->keys.empty());
}

TEST_F(ModuleTest, WithoutARenderCameraThereIsNoPick) {
    h.options.missing_services.insert("LW Scene Info 10");
    activate_ok();
    EXPECT_EQ(h.mouse_down(0, {0, 0, 1}), 1);
    EXPECT_EQ(h.record.intersect_calls, 0);
    EXPECT_TRUE(h.record.commands.empty());
}

TEST(CommandInterpreter, ReportsMalformedCommandsAsErrors) {
    host::Host h;
    host::build_test_scene(h.scene, false);
    auto run = reinterpret_cast<taverin::CommandService::Function>(
        host::Host::global_function()("LW Command Interface", 0));
    EXPECT_EQ(run("FocalDistance 2.5"), 1);
    EXPECT_EQ(h.scene.camera.focal_distance, 2.5);
    EXPECT_EQ(run("LensFStop  4.000000"), 1);
    EXPECT_EQ(h.scene.camera.f_stop, 4.0);
    for (const char* bad : {"FocalDistance", "FocalDistance nan", "FocalDistance 2.5x",
                            "FocalDistance 1 2", "LensFStop inf", "Focus 3", ""}) {
        EXPECT_EQ(run(bad), 0) << bad;
    }
    EXPECT_EQ(h.record.command_errors.size(), 7u);
    EXPECT_EQ(h.scene.camera.focal_distance, 2.5);
}
