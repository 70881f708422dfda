// Click-to-focus: the mouse-down callback's ray, its hits and what it does with them.
#include <array>
#include <cmath>

#include "fixture.h"

using host::DrawKind;
using taverin::HitRecord;
using taverin::ItemId;

class PickTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        h.scene.camera.flags = 8;  // depth of field on: one command per focus
        activate_ok();
        h.record.clear();
    }
    // Each object answers with a fixed result and distance.
    void answer(std::vector<std::pair<int32_t, double>> results) {
        h.scene.objects.resize(results.size(), host::make_sphere("s", {0, 0, 100}, 1));
        h.options.intersect_override = [results](ItemId item, const double*, const double*, HitRecord* hit) {
            const auto& r = results[static_cast<size_t>(host::item_number(item))];
            hit->distance = r.second;
            return r.first;
        };
    }
    int32_t click_camera(int32_t flags = 0) { return h.mouse_down(0, {0, 0, 1}, flags); }
};

TEST_F(PickTest, FocusesOnTheNearestOfTwoHitsInEitherOrder) {
    for (auto order : {std::vector<std::pair<int32_t, double>>{{1, 7.5}, {1, 3.25}},
                       std::vector<std::pair<int32_t, double>>{{1, 3.25}, {1, 7.5}}}) {
        h.record.commands.clear();
        answer(order);
        EXPECT_EQ(click_camera(), 1);
        EXPECT_EQ(h.record.commands, std::vector<std::string>{"FocalDistance 3.250000"});
    }
    EXPECT_EQ(h.scene.camera.focal_distance, 3.25);
}

TEST_F(PickTest, ResultsOtherThanOneAreMisses) {
    answer({{0, 1.0}, {-1, 0.5}, {2, 0.25}, {1, 2.0}});
    click_camera();
    EXPECT_EQ(h.record.commands, std::vector<std::string>{"FocalDistance 2.000000"});
    EXPECT_EQ(h.record.intersect_calls, 4);

    h.record.commands.clear();
    answer({{0, 1.0}, {-1, 0.5}});
    click_camera();
    EXPECT_TRUE(h.record.commands.empty());
    EXPECT_EQ(h.record.queries_released, 2);
}

TEST_F(PickTest, ASceneWithoutObjectsCreatesAndReleasesTheQueryOnly) {
    h.scene.objects.clear();
    EXPECT_EQ(click_camera(), 1);
    const std::vector<std::string> expected = {
        "messages.info(\"\", \"\")",  "viewport.type(0)",
        "scene.render_camera(0)",     "item.param(0x30000001, 8, 0)",
        "spatial.create()",           "item.first(0, 0)",
        "spatial.release()",
    };
    EXPECT_EQ(h.record.calls, expected);
    EXPECT_TRUE(h.record.commands.empty());
}

TEST_F(PickTest, TheRayStartsAtTheCameraAndTakesTheEventsDirectionUnchanged) {
    std::vector<std::array<double, 6>> seen;
    h.scene.objects.resize(2, host::make_sphere("s", {0, 0, 100}, 1));
    h.scene.camera.position = {1, 2, 3};
    h.scene.time = 4.0;
    h.options.intersect_override = [&](ItemId, const double* o, const double* d, HitRecord*) {
        seen.push_back({o[0], o[1], o[2], d[0], d[1], d[2]});
        return 0;
    };
    h.mouse_down(0, {0.5, -0.25, 2});  // not normalised
    const std::array<double, 6> expected = {1, 2, 3, 0.5, -0.25, 2};
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], expected);
    EXPECT_EQ(seen[1], expected);
    EXPECT_EQ(h.record.calls[2], "scene.render_camera(4)");
    EXPECT_EQ(h.record.calls[3], "item.param(0x30000001, 8, 4)");
}

TEST_F(PickTest, RealIntersectionsWithSpheresBoxesAndMeshes) {
    h.scene.objects = {host::make_box("box", {0, 1, 12}, {6, 3, 0.5}),
                       host::make_sphere("ball", {0, 1, 3}, 1.0),
                       host::make_box_mesh("mesh", {0, 1, 0}, {0.5, 0.5, 0.5})};
    h.scene.camera.position = {0, 1, -5};
    h.mouse_down(0, {0, 0, 1});
    EXPECT_EQ(h.scene.camera.focal_distance, 4.5);  // the mesh's near face at z = -0.5
    h.scene.objects.pop_back();
    h.mouse_down(0, {0, 0, 1});
    EXPECT_EQ(h.scene.camera.focal_distance, 7.0);  // the ball's surface at z = 2
    h.scene.objects.pop_back();
    h.mouse_down(0, {0, 0, 1});
    EXPECT_EQ(h.scene.camera.focal_distance, 16.5);  // the box's face at z = 11.5
}

TEST_F(PickTest, TheAlternateButtonTestsObjectsButSetsNothing) {
    answer({{1, 2.0}});
    click_camera(8);
    EXPECT_EQ(h.record.intersect_calls, 1);
    EXPECT_EQ(h.record.queries_released, 1);
    EXPECT_TRUE(h.record.commands.empty());
}

TEST_F(PickTest, OtherViewportsOnlySendTheEmptyMessageAndAskTheType) {
    h.scene.viewports = {{"Top", 1}, {"Front", 3}, {"Perspective", 5}, {"Camera", 9}};
    answer({{1, 2.0}});
    for (int32_t vp : {0, 1, 2, 7, -1}) {
        h.record.clear();
        EXPECT_EQ(h.mouse_down(vp, {0, 0, 1}), 1);
        const std::vector<std::string> expected = {"messages.info(\"\", \"\")",
                                                   "viewport.type(" + std::to_string(vp) + ")"};
        EXPECT_EQ(h.record.calls, expected);
    }
    h.record.clear();
    h.mouse_down(3, {0, 0, 1});
    EXPECT_EQ(h.record.commands.size(), 1u);
}

TEST_F(PickTest, AQueryThatCannotBeCreatedIsReported) {
    h.options.spatial_create_fails = true;
    answer({{1, 2.0}});
    EXPECT_EQ(click_camera(), 1);
    ASSERT_EQ(h.record.messages.size(), 2u);
    EXPECT_EQ(h.record.messages[1].kind, "ok_cancel");
    EXPECT_EQ(h.record.messages[1].text1, "could not initialise spatial function");
    EXPECT_EQ(h.record.messages[1].text2, "could not initialise spatial function");
    EXPECT_TRUE(h.record.messages[1].third_null);
    EXPECT_EQ(h.record.intersect_calls, 0);
    EXPECT_EQ(count_calls("spatial.release"), 0u);
    EXPECT_TRUE(h.record.commands.empty());
}

TEST_F(PickTest, AHitWithAnUndefinedDistanceIsIgnored) {
    answer({{1, NAN}, {1, 6.0}});
    click_camera();
    EXPECT_EQ(h.record.commands, std::vector<std::string>{"FocalDistance 6.000000"});
}

TEST_F(PickTest, EndToEndTheNextDrawShowsTheNewFocus) {
    h.scene.camera.flags = 0;
    host::build_test_scene(h.scene, false);
    const auto& vp = h.scene.viewports[0];
    h.click(0, vp.width / 2.0 - 0.5, vp.height / 2.0 - 0.5);  // the centre of the view
    EXPECT_EQ(h.record.commands, (std::vector<std::string>{"DepthOfField", "FocalDistance 7.000000"}));
    EXPECT_EQ(h.scene.camera.flags & 8u, 8u);
    h.record.draws.clear();
    h.draw();
    ASSERT_EQ(h.record.radii(DrawKind::Circle).size(), 2u);
    EXPECT_NEAR(h.record.radii(DrawKind::Circle)[0], 7.0, 1e-6);
    EXPECT_GT(h.record.radii(DrawKind::Circle)[1], 7.0);
    EXPECT_LT(h.record.radii(DrawKind::Disc)[0], 7.0);
}

TEST_F(PickTest, EndToEndThroughTheFocalDistanceEnvelope) {
    host::build_test_scene(h.scene, true);
    h.scene.time = 1.5;
    const auto& vp = h.scene.viewports[0];
    h.click(0, vp.width / 2.0 - 0.5, vp.height / 2.0 - 0.5);  // the centre of the view
    EXPECT_TRUE(h.record.commands.empty());
    auto* env = h.scene.camera.focal_envelope();
    ASSERT_EQ(env->keys.size(), 1u);
    EXPECT_EQ(env->keys[0]->time, 1.5);
    EXPECT_NEAR(env->keys[0]->value, 7.0, 1e-9);
    h.record.draws.clear();
    h.draw();
    EXPECT_NEAR(h.record.radii(DrawKind::Circle)[0], 7.0, 1e-9);
}

TEST_F(PickTest, TheHostMeasuresHitsInUnitsOfTheDirectionItWasGiven) {
    h.scene.objects = {host::make_sphere("ball", {0, 1, 3}, 1.0)};
    h.scene.camera.position = {0, 1, -5};
    h.mouse_down(0, {0, 0, 1});
    EXPECT_EQ(h.scene.camera.focal_distance, 7.0);
    h.mouse_down(0, {0, 0, 2});  // the ray reaches the host as sent, not normalised again
    EXPECT_EQ(h.scene.camera.focal_distance, 3.5);
    h.options.normalize_ray_direction = true;
    h.mouse_down(0, {0, 0, 2});
    EXPECT_EQ(h.scene.camera.focal_distance, 7.0);
}
