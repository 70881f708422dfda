// The focus map and the sharp zone: each visible surface in the colour of its blur, a raised
// camera's clicked point inside the zone it is sharp in, and a camera looking straight down.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "host/program/pictures/pictures.h"
#include "host/program/session/camera_view.h"
#include "png_read.h"
#include "picture_reading.h"

using namespace host;
using namespace picture_test;

TEST(FocusMap, TheFocusMapShowsEachVisibleSurfaceInTheColourOfItsBlur) {
    // A camera 1 m up looking along +z, focused at 5 m (sharp from 4.39 to 5.80 m): a wall at
    // the focus on the left hides a ball; a wall 20 m out on the right blurs by 2.4 to 2.5 px (2 to
    // 4 px); above them the ray meets nothing; below, the ground.
    Host h;
    const auto recs = play(h, "{\"camera\": {\"position\": [0, 1, 0], \"focal_distance\": 5}, \"objects\": ["
                              "{\"type\": \"box\", \"name\": \"Near\", \"center\": [-1.5, 1, 5], \"size\": [3, 1, 0.01]}, "
                              "{\"type\": \"sphere\", \"name\": \"Hidden\", \"center\": [-1.5, 1, 6], \"radius\": 0.2}, "
                              "{\"type\": \"box\", \"name\": \"Far\", \"center\": [6, 1, 20], \"size\": [12, 4, 0.01]}]}");
    const std::string cam = camera_view(h, recs[0]);
    const std::string image = attribute(cam, "class=\"focus-map\"", "href");
    const std::string png = decode_base64(image.substr(image.find(',') + 1));
    int w = 0, h_px = 0;
    std::vector<unsigned char> pixels;
    ASSERT_TRUE(decode_png(png, w, h_px, pixels));
    ASSERT_EQ(w, 450);
    ASSERT_EQ(h_px, 338);
    auto rgb = [&](int x, int y) {
        const unsigned char* p = pixels.data() + (static_cast<size_t>(y) * w + x) * 3;
        return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
    };
    EXPECT_EQ(rgb(150, 169), "64,196,96");   // the near wall: sharp
    EXPECT_EQ(rgb(330, 169), "242,142,52");  // the far wall: 2 to 4 px of blur
    EXPECT_EQ(rgb(225, 5), "38,38,38");      // nothing
    EXPECT_EQ(rgb(225, 312), "28,88,43");    // the ground 5 m out: sharp, dimmed
    EXPECT_EQ(rgb(225, 337), "106,103,40");  // the ground 4.3 m out, nearer than the near limit
    EXPECT_EQ(rgb(224, 169), "21,65,32");    // the near wall's last column, before the far one: outlined
    EXPECT_EQ(recs[0].objects[1].zone, ObjectFocus::Zone::Unseen);  // hidden: no sample shows it
    EXPECT_NE(cam.find("Near: sharp"), std::string::npos);
    EXPECT_NE(cam.find("Far: 2.4 to 2.5 px blur"), std::string::npos);
    EXPECT_EQ(cam.find("Hidden:"), std::string::npos);
    // Each label on its object: the near wall fills the picture's left half, the far one its right.
    const std::vector<std::string> labels = elements(cam, "data-box=\"");
    ASSERT_EQ(labels.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        std::istringstream in(labels[i].substr(labels[i].find("data-box=\"") + 10));
        double x0, y0, x1;
        in >> x0 >> y0 >> x1;
        EXPECT_NEAR((x0 + x1) / 2, i ? 675 : 225, 1) << labels[i];
    }
    // The top view fills each object in the colour of its least blur and outlines it in that of
    // its most; one the camera does not see stays grey.
    const std::string top = top_picture(h.scene, recs[0]);
    const std::pair<const char*, const char*> fills[] = {{"Near", "#40c460"}, {"Far", "#f28e34"}, {"Hidden", "#59646b"}};
    for (const auto& [name, fill] : fills) {
        EXPECT_EQ(attribute(top, "data-name=\"" + std::string(name) + "\"><", "fill"), fill) << name;
        EXPECT_EQ(attribute(top, "data-name=\"" + std::string(name) + "\"><", "stroke"), std::string(name) == "Hidden" ? "#9aa4aa" : fill);
    }
}

TEST(FocusMap, ARaisedCamerasClickedPointIsDrawnInsideTheSharpZone) {
    // A crane shot: 10 m up, pitched down 40 degrees, f/1.4, focused by a click on the floor.
    // The clicked point lies on the focus circle's ground section and inside the sharp zone in
    // the top view, and shows sharp in the focus map; the marks are their spheres' ground
    // sections, not circles of their radius laid on the ground.
    Host h;
    const auto recs = play(h, "{\"camera\": {\"position\": [0, 10, -12], \"rotation\": [0, 40, 0], \"f_stop\": 1.4}, "
                              "\"objects\": [{\"type\": \"box\", \"name\": \"Floor\", \"center\": [0, -0.5, 0], \"size\": [80, 1, 80]}], "
                              "\"session\": [{\"do\": \"click\", \"viewport\": \"Camera View\", \"pixel\": [319.5, 239.5]}]}");
    const StepRecord& rec = recs[1];
    ASSERT_TRUE(rec.ray.hit);
    EXPECT_NEAR(rec.marks.focus, rec.ray.distance, 1e-6);
    const double plan = std::hypot(rec.ray.point.x, rec.ray.point.z + 12);
    const std::string top = top_picture(h.scene, rec);
    auto ground_of = [&](const char* role) {
        return number_of(elements(top, "class=\"mark " + std::string(role) + "\"").at(0), "data-ground-radius");
    };
    EXPECT_NEAR(ground_of("focus"), plan, 1e-6 * plan);
    const std::string heading_line = elements(top.substr(top.find("class=\"camera\"")), "<line").at(0);  // 24 px, pitched or not
    EXPECT_NEAR(number_of(heading_line, "y1") - number_of(heading_line, "y2"), 24, 0.02);
    EXPECT_LT(ground_of("near"), plan);
    EXPECT_GT(ground_of("far"), plan);
    EXPECT_GT(rec.marks.near_limit, plan * 0.9);  // the mark laid flat would be far off: its radius is 3D
    const std::string dot = elements(top.substr(top.find("class=\"camera\"")), "<circle").at(0);
    const std::string hit = elements(top, "class=\"hit\"").at(0);
    const double hit_px = std::hypot(number_of(hit, "cx") - number_of(dot, "cx"), number_of(hit, "cy") - number_of(dot, "cy"));
    const double near_px = number_of(elements(top, "class=\"mark near\"").at(0), "r");
    const double far_px = number_of(elements(top, "class=\"mark far\"").at(0), "r");
    EXPECT_GT(hit_px, near_px);
    EXPECT_LT(hit_px, far_px);
    EXPECT_NE(top.find("class=\"sharp-zone\""), std::string::npos);
    const CameraView view(h.scene, camera_viewport(h.scene));
    const CameraView::Sample& at_click = view.at(view.columns() / 2, view.rows() / 2);
    EXPECT_EQ(at_click.surface, 0);
    EXPECT_TRUE(rec.sharpness.sharp(at_click.distance));
}

TEST(FocusMap, AStraightDownCameraDrawsWithoutHolesAndSaysWhereEachMarkIs) {
    // 10 m up (away from the origin), looking straight down at the floor and focused on it: the near limit is nearer
    // than the camera's height (not on the ground), the far limit's circle holds all the ground
    // the camera sees (and is whole in the top view), every sample of the view sees the floor
    // (no hole), and the top view shows what the camera sees of the ground.
    Host h;
    const auto recs = play(h, "{\"camera\": {\"position\": [20, 10, -15], \"rotation\": [0, 90, 0], \"focal_distance\": 10}, "
                              "\"objects\": [{\"type\": \"box\", \"name\": \"Floor\", \"center\": [20, -0.5, -15], \"size\": [80, 1, 80]}]}");
    const StepRecord& rec = recs[0];
    const std::string cam = camera_view(h, rec), top = top_picture(h.scene, rec);
    for (const std::string* picture : {&cam, &top}) {
        EXPECT_NE(picture->find("near limit 7.82 m: nearer than the camera's height (10.00 m), so not on the ground"), std::string::npos);
        EXPECT_EQ(picture->find("(outside the picture)"), std::string::npos);
    }
    EXPECT_NE(cam.find("far limit 13.86 m, where it meets the ground (a circle 9.59 m out) (all the picture's ground lies within it)"),
              std::string::npos);
    EXPECT_NE(top.find("far limit 13.86 m, where it meets the ground (a circle 9.59 m out)<"), std::string::npos);
    const CameraView view(h.scene, camera_viewport(h.scene));
    for (int r = 0; r < view.rows(); ++r)
        for (int c = 0; c < view.columns(); ++c) ASSERT_EQ(view.at(c, r).surface, 0) << c << ", " << r;
    EXPECT_NE(top.find("field of view: what the camera sees of the ground"), std::string::npos);
    // The footprint: 7.2 by 5.4 m (36 mm of film at 50 mm, 10 m up; the view's 4:3), about the camera.
    std::istringstream path(attribute(top, "class=\"fov\"", "d").substr(1));
    std::vector<double> xs, ys;
    for (double x, y; path >> x >> y;) xs.push_back(x), ys.push_back(y);
    ASSERT_EQ(xs.size(), 4u);
    const std::string bar = elements(top, "class=\"scale-bar\"").at(0);
    const auto bar_line = elements(top.substr(top.find("class=\"scale-bar\"")), "<line").at(0);
    const double s = (number_of(bar_line, "x2") - number_of(bar_line, "x1")) / number_of(bar, "data-metres");
    EXPECT_GE(number_of(bar_line, "x1"), 0);  // the scale bar stands in the picture
    EXPECT_LE(number_of(bar_line, "x2"), number_of(elements(top, "<svg").at(0), "width"));
    EXPECT_NEAR((*std::max_element(xs.begin(), xs.end()) - *std::min_element(xs.begin(), xs.end())) / s, 7.2, 0.02);
    EXPECT_NEAR((*std::max_element(ys.begin(), ys.end()) - *std::min_element(ys.begin(), ys.end())) / s, 5.4, 0.02);
    for (size_t i = 0; i < 4; ++i)  // the four corners, not three and the middle of a side
        EXPECT_NEAR(std::fabs(xs[i] - (xs[0] + xs[2]) / 2) / s, 3.6, 0.02) << i;
    EXPECT_NE(top.find("class=\"sharp-zone\" clip-path="), std::string::npos);
    // The zone is clipped to the footprint by a name the footprint's shape gives: a report page
    // holds many pictures, and one name for two shapes would clip a step by another's.
    h.scene.camera.position.y = 12;
    const std::string higher = top_picture(h.scene, rec);
    EXPECT_NE(attribute(top, "<clipPath", "id"), attribute(higher, "<clipPath", "id"));
    EXPECT_EQ(attribute(higher, "class=\"sharp-zone\"", "clip-path"), "url(#" + attribute(higher, "<clipPath", "id") + ")");
}
