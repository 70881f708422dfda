// What will be sharp: the blur agrees with the limits the module draws (one circle of
// confusion at each, none at the focus), and each object's visible distances, zone and blur
// come out as its geometry says.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/program/input/scene_json.h"
#include "host/program/session/player.h"

using namespace host;

namespace {

// The scene's state before its first step, the module's marks drawn.
StepRecord first_state(Host& h, const std::string& scene) {
    std::vector<Step> steps;
    std::string error;
    EXPECT_TRUE(read_scene({"s", scene}, ".", h.scene, steps, error)) << error;
    EXPECT_TRUE(h.load(TAVERIN_MODULE_PATH, error, true)) << error;
    EXPECT_EQ(h.activate(), 0);
    return Player(h).initial();
}

std::string camera(double film_w, double film_h, double focal, double f_stop, double focus, double height = 1) {
    return "{\"camera\": {\"position\": [0, " + std::to_string(height) + ", 0], \"film_size\": [" + std::to_string(film_w) +
           ", " + std::to_string(film_h) + "], \"focal_length\": " + std::to_string(focal) + ", \"f_stop\": " +
           std::to_string(f_stop) + ", \"focal_distance\": " + std::to_string(focus) + "}";
}

}  // namespace

TEST(Sharpness, BlursByOneCircleOfConfusionAtEachLimitTheModuleDrawsAndByNoneAtTheFocus) {
    // A table of cameras: the demo's, a macro shot, a long lens far away, a tiny sensor, a
    // large format at f/64, and one focused past the hyperfocal distance (no far limit).
    const double cameras[][5] = {{0.036, 0.024, 50, 2.8, 7.14}, {0.036, 0.024, 100, 8, 0.45},
                                 {0.036, 0.024, 600, 4, 2000},  {0.0048, 0.0036, 4, 2, 1.2},
                                 {0.254, 0.203, 300, 64, 12},   {0.036, 0.024, 24, 16, 50}};
    for (const auto& c : cameras) {
        SCOPED_TRACE(c[2]);
        Host h;
        const StepRecord rec = first_state(h, camera(c[0], c[1], c[2], c[3], c[4]) + "}");
        const Sharpness& s = rec.sharpness;
        ASSERT_EQ(s.kind, Sharpness::Kind::Blur);
        EXPECT_NEAR(s.confusion_mm, std::hypot(c[0], c[1]) * 1000 / 1730, 1e-15);
        EXPECT_EQ(s.blur_mm(rec.marks.focus), 0);
        EXPECT_NEAR(s.blur_mm(rec.marks.near_limit), s.confusion_mm, 1e-12 * s.confusion_mm);
        EXPECT_TRUE(s.sharp(rec.marks.near_limit));
        EXPECT_FALSE(s.sharp(rec.marks.near_limit * (1 - 1e-9)));
        if (std::isfinite(rec.marks.far_limit)) {
            EXPECT_NEAR(s.blur_mm(rec.marks.far_limit), s.confusion_mm, 1e-12 * s.confusion_mm);
            EXPECT_TRUE(s.sharp(rec.marks.far_limit));
            EXPECT_FALSE(s.sharp(rec.marks.far_limit * (1 + 1e-9)));
        } else {
            EXPECT_TRUE(s.sharp(1e9));  // past the hyperfocal distance everything far is sharp
        }
        // The thin lens's blur, within the c·f the module's hyperfocal distance adds to f²/N.
        const double d = 3 * c[4], f = c[2], focus = c[4] * 1000;
        const double thin = f * f / c[3] * std::fabs(focus - d * 1000) / (d * 1000 * (focus - f));
        EXPECT_NEAR(s.blur_mm(d), thin, thin * s.confusion_mm * c[3] / f * 1.0001);
        EXPECT_NEAR(s.blur_px(d), s.blur_mm(d) * 640 / (c[0] * 1000), 1e-9);
    }
    {
        Host h;  // f-stop 0: nothing blurs
        EXPECT_EQ(first_state(h, camera(0.036, 0.024, 50, 0, 5) + "}").sharpness.blur_mm(1), 0);
    }
    Host h;  // focused nearer than the focal length: no sharp image at all
    const StepRecord close = first_state(h, camera(0.036, 0.024, 50, 2.8, 0.04) + "}");
    EXPECT_EQ(close.sharpness.kind, Sharpness::Kind::Unfocusable);
    EXPECT_TRUE(std::isnan(close.sharpness.blur_mm(1)));
}

TEST(Sharpness, EachObjectsVisibleDistancesZoneAndBlurFollowItsGeometry) {
    // A camera 1 m up looking along +z, focused at 5 m (sharp from 4.39 m to 5.80 m). A wall at
    // the focus, a pole within the limits, a long box reaching through them, a wall far behind,
    // a ball hidden behind the first wall and one behind the camera.
    Host h;
    const StepRecord rec = first_state(
        h, camera(0.036, 0.024, 50, 2.8, 5) + ", \"objects\": ["
               "{\"type\": \"box\", \"name\": \"Wall\", \"center\": [-0.6, 1, 5.05], \"size\": [0.4, 0.4, 0.1]}, "
               "{\"type\": \"box\", \"name\": \"Pole\", \"center\": [0.3, 1, 5.3], \"size\": [0.02, 0.02, 0.02]}, "
               "{\"type\": \"box\", \"name\": \"Beam\", \"center\": [0, 0.7, 6], \"size\": [0.05, 0.05, 6]}, "
               "{\"type\": \"box\", \"name\": \"Far\", \"center\": [0, 1, 40], \"size\": [30, 30, 1]}, "
               "{\"type\": \"sphere\", \"name\": \"Hidden\", \"center\": [-0.6, 1, 5.5], \"radius\": 0.05}, "
               "{\"type\": \"sphere\", \"name\": \"Behind\", \"center\": [0, 1, -5], \"radius\": 1}]}");
    const Sharpness& s = rec.sharpness;
    ASSERT_EQ(rec.objects.size(), 6u);
    const ObjectFocus &wall = rec.objects[0], &pole = rec.objects[1], &beam = rec.objects[2], &far = rec.objects[3];
    EXPECT_EQ(wall.zone, ObjectFocus::Zone::Sharp);
    EXPECT_NEAR(wall.nearest_m, std::hypot(0.4, 5.0), 0.02);
    EXPECT_EQ(pole.zone, ObjectFocus::Zone::Sharp);
    EXPECT_EQ(beam.zone, ObjectFocus::Zone::Partly);
    EXPECT_LT(beam.nearest_m, rec.marks.near_limit);
    EXPECT_GT(beam.farthest_m, rec.marks.far_limit);
    EXPECT_EQ(beam.blur_min_mm, 0);  // it reaches through the focus
    EXPECT_EQ(beam.blur_max_mm, std::max(s.blur_mm(beam.nearest_m), s.blur_mm(beam.farthest_m)));
    EXPECT_EQ(far.zone, ObjectFocus::Zone::Blurred);
    EXPECT_NEAR(far.nearest_m, 39.5, 1e-3);  // the samples nearest the ray straight ahead
    EXPECT_EQ(far.blur_min_mm, s.blur_mm(far.nearest_m));
    EXPECT_EQ(far.blur_max_mm, s.blur_mm(far.farthest_m));
    EXPECT_DOUBLE_EQ(far.blur_min_px, far.blur_min_mm * 640 / 36);
    EXPECT_EQ(rec.objects[4].zone, ObjectFocus::Zone::Unseen);  // behind the wall
    EXPECT_EQ(rec.objects[5].zone, ObjectFocus::Zone::Unseen);  // behind the camera
    EXPECT_EQ(rec.objects[5].name, "Behind");
}
