// The pictures' contents, element by element: each step's own ray and marks, the sharp zone,
// the field of view, the scale, a legend whose swatches carry the marks' own styles, marks
// outside the picture listed as such, and picture sizes that follow the viewports.
#include <gtest/gtest.h>

#include <string>

#include "host/host.h"
#include "host/program/input/demo_scene.h"
#include "host/program/text/format.h"
#include "host/program/pictures/pictures.h"
#include "host/program/session/player.h"
#include "host/program/input/scene_json.h"

using namespace host;

namespace {

// Plays a scene's session through the built module; the records, the state before first.
std::vector<StepRecord> play(Host& h, const std::string& scene_text) {
    std::vector<Step> steps;
    std::string error;
    EXPECT_TRUE(read_scene({"scene", scene_text}, ".", h.scene, steps, error)) << error;
    EXPECT_TRUE(h.load(TAVERIN_MODULE_PATH, error, true)) << error;
    EXPECT_EQ(h.activate(), 0);
    std::vector<StepRecord> out = {initial_state(h)};
    for (size_t i = 0; i < steps.size(); ++i) out.push_back(play_step(h, steps[i], i + 1));
    return out;
}

size_t count(const std::string& s, const std::string& what) {
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
    return n;
}

// The value of `attribute` in the first element that contains `marker` (or, when `marker`
// ends with "<", the element that follows it).
std::string attribute(const std::string& svg, const std::string& marker, const std::string& attribute) {
    const size_t at = svg.find(marker);
    if (at == std::string::npos) return "(no element " + marker + ")";
    const bool next = marker.back() == '<';
    const size_t start = next ? at + marker.size() - 1 : svg.rfind('<', at);
    const size_t end = svg.find('>', next ? start : at);
    const std::string element = svg.substr(start, end - start);
    const std::string key = " " + attribute + "=\"";
    const size_t a = element.find(key);
    if (a == std::string::npos) return "(none)";
    const size_t v = a + key.size();
    return element.substr(v, element.find('"', v) - v);
}

std::string scene_with_camera(const std::string& camera) {
    return "{\"camera\": {" + camera + "}, \"objects\": [{\"type\": \"sphere\", \"name\": \"Ball\", \"center\": [0, 1, 3], "
           "\"radius\": 1}], \"viewports\": [{\"name\": \"Cam\", \"type\": \"camera\", \"width\": 1200, \"height\": 800}, "
           "{\"name\": \"Top\", \"type\": \"top\", \"width\": 400, \"height\": 800}], "
           "\"session\": [{\"do\": \"click\", \"viewport\": \"Cam\", \"pixel\": [599.5, 399.5]}]}";
}

}  // namespace

TEST(Pictures, EachStepShowsItsOwnRayAndTheMarksInTheLegendsStyles) {
    Host h;
    const auto recs = play(h, demo_scene_json());
    ASSERT_GE(recs.size(), 3u);
    const std::string top1 = top_picture(h.scene, recs[1]);  // a click in the top view: no ray
    EXPECT_EQ(count(top1, "class=\"ray\""), 0u);
    const std::string top = top_picture(h.scene, recs[2]);   // the click on the ball
    EXPECT_EQ(count(top, "class=\"ray\""), 1u);
    EXPECT_EQ(count(top, "class=\"hit\""), 1u);
    for (const char* role : {"focus", "near", "far"}) {
        SCOPED_TRACE(role);
        const std::string mark = "class=\"mark " + std::string(role) + "\"";
        ASSERT_EQ(count(top, mark), 1u);
        const std::string swatch = "data-style=\"" + std::string(role) + "\"><";
        for (const char* a : {"stroke", "stroke-width", "stroke-dasharray", "fill"})
            EXPECT_EQ(attribute(top, mark, a), attribute(top, swatch, a)) << a;
    }
    EXPECT_EQ(attribute(top, "class=\"mark focus\"", "data-radius"), plain(recs[2].marks.focus));
    EXPECT_NE(top.find("class=\"sharp-zone\""), std::string::npos);
    EXPECT_NE(top.find("class=\"fov\""), std::string::npos);
    EXPECT_NE(top.find("class=\"scale-bar\" data-metres=\"2\""), std::string::npos);
    EXPECT_NE(top.find("field of view 39.6\xC2\xB0 wide"), std::string::npos);
    EXPECT_NE(top.find("sharp zone 5.96 m to 8.91 m (2.95 m deep)"), std::string::npos);

    const std::string cam = camera_picture(h.scene, recs[2]);
    EXPECT_EQ(count(cam, "class=\"click\""), 1u);
    EXPECT_NE(cam.find("class=\"sharp-zone\""), std::string::npos);
    EXPECT_NE(cam.find("grid on the ground, lines every 2 m"), std::string::npos);
    EXPECT_EQ(attribute(cam, "class=\"mark far\"", "stroke-dasharray"), attribute(cam, "data-style=\"far\"><", "stroke-dasharray"));
}

TEST(Pictures, PicturesFollowTheirViewportsAspect) {
    Host h;
    const auto recs = play(h, scene_with_camera("\"position\": [0, 1, -5]"));
    const std::string cam = camera_picture(h.scene, recs[1]);
    EXPECT_NE(cam.find("<svg x=\"0\" y=\"0\" width=\"900.00\" height=\"600.00\""), std::string::npos);  // 1200 x 800
    const std::string top = top_picture(h.scene, recs[1]);
    EXPECT_NE(top.find("<rect x=\"0\" y=\"900.00\" width=\"450.00\""), std::string::npos);  // 400 x 800: the legend below
}

TEST(Pictures, UndrawnAndFarawayLimitsAreNamedNeverDroppedSilently) {
    {
        Host h;  // f-stop 0: only the focus circle
        const auto recs = play(h, scene_with_camera("\"position\": [0, 1, -5], \"f_stop\": 0"));
        const std::string top = top_picture(h.scene, recs[1]);
        EXPECT_EQ(count(top, "class=\"mark "), 1u);
        EXPECT_EQ(count(top, "class=\"sharp-zone\""), 0u);
        EXPECT_NE(top.find("no limits drawn: f-stop 0, no blur"), std::string::npos);
    }
    {
        Host h;  // focused beyond the hyperfocal distance: the far limit is at infinity
        const auto recs = play(h, scene_with_camera("\"position\": [0, 1, -5], \"focal_length\": 24, \"f_stop\": 16"));
        const std::string top = top_picture(h.scene, recs[1]);
        EXPECT_EQ(count(top, "class=\"mark far\""), 0u);
        EXPECT_NE(top.find(" to \xE2\x88\x9E"), std::string::npos);
        EXPECT_NE(top.find("far limit at \xE2\x88\x9E, not drawn"), std::string::npos);
        EXPECT_EQ(count(top, "class=\"sharp-zone\""), 1u);
    }
    {
        Host h;  // a far circle hundreds of metres out around a scene a few metres wide
        const auto recs = play(h, scene_with_camera("\"position\": [0, 1, -26], \"focal_length\": 50, \"f_stop\": 2.8"));
        const std::string top = top_picture(h.scene, recs[1]);
        EXPECT_GT(recs[1].marks.far_limit, 100.0);
        EXPECT_NE(top.find("far-limit circle " ), std::string::npos);
        EXPECT_NE(top.find("(outside the picture)"), std::string::npos) << top.substr(top.find("class=\"legend\""));
    }
}
