// The depth-of-field marks as the draw callback hands them to the drawing access.
#include <cmath>

#include "fixture.h"

using host::DrawKind;

namespace {
// The single-precision values nearest to 188/255, 137/255, 111.5/255 and 171/255.
constexpr float kFocus[4] = {188.0f / 255.0f, 137.0f / 255.0f, 111.5f / 255.0f, 1.0f};
constexpr float kLimit[4] = {171.0f / 255.0f, 188.0f / 255.0f, 188.0f / 255.0f, 0.5f};
static_assert(kFocus[0] > 0.7372548f && kFocus[0] < 0.7372550f);
static_assert(kFocus[2] > 0.4372548f && kFocus[2] < 0.4372550f);
static_assert(kLimit[0] > 0.6705882f && kLimit[0] < 0.6705884f);

// Independent reference: the hyperfocal-distance method in millimetres.
struct Limits {
    double near_m, far_m;
};
Limits reference(double film_w_m, double film_h_m, double f_mm, double n, double s_m) {
    const double w = film_w_m * 1000, v = film_h_m * 1000;
    const double coc = std::hypot(w, v) / 1730.0;
    const double hyper = f_mm * f_mm / (n * coc) + f_mm;
    const double s = s_m * 1000;
    return {hyper * s / (hyper + s - f_mm) / 1000, hyper * s / (hyper - s + f_mm) / 1000};
}
}  // namespace

class DrawTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        activate_ok();
        h.record.draws.clear();
    }
    void expect_color(size_t i, const float* rgba) {
        ASSERT_LT(i, h.record.draws.size());
        ASSERT_EQ(h.record.draws[i].kind, DrawKind::Color);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(h.record.draws[i].rgba[k], rgba[k]) << k;
    }
};

TEST_F(DrawTest, WorkedExampleFiftyMillimetreLensAtFStopTwoPointEightFocusedAtFiveMetres) {
    h.draw();
    ASSERT_EQ(h.record.draws.size(), 6u);
    expect_color(0, kFocus);
    EXPECT_EQ(h.record.draws[1].kind, DrawKind::Circle);
    EXPECT_EQ(h.record.draws[1].radius, 5.0);
    expect_color(2, kLimit);
    EXPECT_EQ(h.record.draws[3].kind, DrawKind::Disc);
    EXPECT_NEAR(h.record.draws[3].radius, 4.3919, 5e-5);
    expect_color(4, kLimit);
    EXPECT_EQ(h.record.draws[5].kind, DrawKind::Circle);
    EXPECT_NEAR(h.record.draws[5].radius, 5.8036, 5e-5);
    for (size_t i : {1u, 3u, 5u}) {
        EXPECT_EQ(h.record.draws[i].csys, 0);
        EXPECT_EQ(h.record.draws[i].center[0], 0.0);
        EXPECT_EQ(h.record.draws[i].center[1], 1.0);
        EXPECT_EQ(h.record.draws[i].center[2], -5.0);
    }
    const Limits ref = reference(0.036, 0.024, 50, 2.8, 5);
    EXPECT_NEAR(h.record.draws[3].radius, ref.near_m, 1e-12);
    EXPECT_NEAR(h.record.draws[5].radius, ref.far_m, 1e-12);
}

TEST_F(DrawTest, BeyondTheHyperfocalDistanceTheFarCircleIsLeftOut) {
    h.scene.camera.focal_distance = 40.0;
    h.draw();
    EXPECT_EQ(h.record.radii(DrawKind::Circle), std::vector<double>{40.0});
    ASSERT_EQ(h.record.radii(DrawKind::Disc).size(), 1u);
    EXPECT_NEAR(h.record.radii(DrawKind::Disc)[0], 18.8905, 5e-5);
    for (const auto& d : h.record.draws) EXPECT_TRUE(d.kind == DrawKind::Color || std::isfinite(d.radius));
}

TEST_F(DrawTest, AtExactlyTheHyperfocalDistanceTheFarLimitIsInfiniteAndLeftOut) {
    // s - f == H: choose s so that the far denominator is exactly zero.
    auto& cam = h.scene.camera;
    cam.film_width = 0.0173;  // c = 0.01 mm
    cam.film_height = 0.0;
    cam.focal_length = 10.0;
    cam.f_stop = 1.0;  // H = 100/0.01 + 10 = 10010 mm
    cam.focal_distance = 10.02;  // s = 10020 mm, s - f = 10010
    h.draw();
    EXPECT_EQ(h.record.radii(DrawKind::Circle).size(), 1u);
    EXPECT_EQ(h.record.radii(DrawKind::Disc).size(), 1u);
}

TEST_F(DrawTest, ZeroBlurDrawsOnlyTheFocusCircle) {
    h.scene.camera.f_stop = 0.0;
    h.draw();
    ASSERT_EQ(h.record.draws.size(), 2u);
    expect_color(0, kFocus);
    EXPECT_EQ(h.record.draws[1].radius, 5.0);

    h.record.draws.clear();
    h.scene.camera.f_stop = 2.8;
    h.scene.camera.film_width = h.scene.camera.film_height = 0.0;
    h.draw();
    EXPECT_EQ(h.record.draws.size(), 2u);
}

TEST_F(DrawTest, TheFocusCircleIsAlwaysTheHostsFocalDistanceUnscaled) {
    for (double s : {0.25, 3.0, 123.456}) {
        h.record.draws.clear();
        h.scene.camera.focal_distance = s;
        h.scene.camera.focal_length = 85;
        h.draw();
        ASSERT_FALSE(h.record.radii(DrawKind::Circle).empty());
        EXPECT_EQ(h.record.radii(DrawKind::Circle)[0], s);
    }
}

TEST_F(DrawTest, DepthOfFieldFlagAndPanelValuesDoNotChangeTheDrawing) {
    h.draw();
    const auto first = h.record.draws;
    h.record.draws.clear();
    h.scene.camera.flags = 8;
    h.open_panel();
    h.user_type(c(kX), 9.0);
    h.user_choose(c(kMethodChoice), 1);
    h.mouse_move(50);
    h.draw();
    ASSERT_EQ(h.record.draws.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(h.record.draws[i].radius, first[i].radius);
}

TEST_F(DrawTest, QueriesTheCameraAtTheCurrentTimeInOrder) {
    h.scene.time = 2.5;
    h.record.clear();
    h.draw();
    const std::vector<std::string> expected = {
        "scene.render_camera(2.5)",
        "camera.film_size(0x30000001)",
        "camera.focal_distance(0x30000001, 2.5)",
        "camera.focal_length(0x30000001, 2.5)",
        "camera.f_stop(0x30000001, 2.5)",
        "item.param(0x30000001, 8, 2.5)",
    };
    EXPECT_EQ(h.record.calls, expected);
}

TEST_F(DrawTest, FollowsAFocalDistanceEnvelope) {
    h.scene.camera.add_standard_channels(true);
    auto* env = h.scene.camera.focal_envelope();
    env->create(0.0, 2.0);
    env->create(1.0, 4.0);
    h.scene.time = 0.5;
    h.draw();
    EXPECT_EQ(h.record.radii(DrawKind::Circle)[0], 3.0);
}
