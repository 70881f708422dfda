// The pictures' contents, element by element: each step's own ray and marks, the sharp zone,
// the field of view, the scale, a legend whose swatches carry the marks' own styles, marks
// outside the picture listed as such, and picture sizes that follow the viewports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/program/pictures/ground.h"
#include "host/program/pictures/svg.h"
#include "host/program/input/demo_scene.h"
#include "host/program/text/format.h"
#include "host/program/pictures/pictures.h"
#include "host/program/session/player.h"
#include "host/program/input/scene_json.h"
#include "picture_reading.h"

using namespace host;
using namespace picture_test;
namespace fs = std::filesystem;

namespace {

size_t count(const std::string& s, const std::string& what) {
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
    return n;
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
    for (const DrawnMark& m : recs[2].drawn) {  // each in the colour the module drew it in
        char want[8];
        std::snprintf(want, sizeof want, "#%02x%02x%02x", static_cast<int>(std::lround(m.rgba[0] * 255)),
                      static_cast<int>(std::lround(m.rgba[1] * 255)), static_cast<int>(std::lround(m.rgba[2] * 255)));
        EXPECT_EQ(attribute(top, "class=\"mark " + std::string(m.role) + "\"", "stroke"), want) << m.role;
    }
    for (const std::string& mark : elements(top, "class=\"mark ")) {  // the frame holds every mark whole
        EXPECT_GE(number_of(mark, "cx") - number_of(mark, "r"), 0) << mark;
        EXPECT_LE(number_of(mark, "cx") + number_of(mark, "r"), 900) << mark;
        EXPECT_GE(number_of(mark, "cy") - number_of(mark, "r"), svg::kTitleBand) << mark;
        EXPECT_LE(number_of(mark, "cy") + number_of(mark, "r"), svg::kTitleBand + 675) << mark;
    }
    EXPECT_NE(top.find("class=\"sharp-zone\""), std::string::npos);
    EXPECT_NE(top.find("class=\"fov\""), std::string::npos);
    EXPECT_NE(top.find("class=\"scale-bar\" data-metres=\"2\""), std::string::npos);
    EXPECT_NE(top.find("field of view 39.6\xC2\xB0 wide"), std::string::npos);
    EXPECT_NE(top.find("sharp on the ground, within the field of view: from 5.74 m to 8.77 m out"), std::string::npos);

    const std::string cam = camera_view(h, recs[2]);
    EXPECT_EQ(count(cam, "class=\"click\""), 1u);
    EXPECT_EQ(count(cam, "class=\"focus-map\""), 1u);
    EXPECT_NE(cam.find("Ball: sharp"), std::string::npos);
    EXPECT_EQ(attribute(cam, "class=\"mark far\"", "stroke-dasharray"), attribute(cam, "data-style=\"far\"><", "stroke-dasharray"));
}

TEST(Pictures, PicturesFollowTheirViewportsAspect) {
    Host h;
    const auto recs = play(h, scene_with_camera("\"position\": [0, 1, -5]"));
    const std::string cam = camera_view(h, recs[1]);
    EXPECT_NE(cam.find("<svg class=\"view\" x=\"0\" y=\"26.00\" width=\"900.00\" height=\"600.00\""), std::string::npos);  // 1200 x 800
    const std::string top = top_picture(h.scene, recs[1]);
    EXPECT_NE(top.find("<rect x=\"0\" y=\"926.00\" width=\"450.00\""), std::string::npos);  // 400 x 800: the legend below
    for (const std::string* picture : {&cam, &top}) {  // the picture holds its legend's last line
        const std::string last = elements(picture->substr(picture->rfind("class=\"legend-row\"")), "<text").at(0);
        EXPECT_LE(number_of(last, "y") + 4, number_of(elements(*picture, "<svg").at(0), "height"));
    }
}

TEST(Pictures, WithoutACameraViewTheCameraIsShownAsTheHostsDefaultView) {
    // ...640 x 480; and a viewport without a name is named by its place.
    Host g;
    const auto only_top = play(g, "{\"viewports\": [{\"type\": \"top\", \"width\": 400, \"height\": 800}]}");
    EXPECT_EQ(g.scene.viewports.at(0).name, "Viewport 1");
    EXPECT_NE(camera_view(g, only_top[0]).find("<svg class=\"view\" x=\"0\" y=\"26.00\" width=\"900.00\" height=\"675.00\""),
              std::string::npos);
    const CameraView view(g.scene, camera_viewport(g.scene));  // the focus map of that view: 4:3 too
    EXPECT_EQ(view.columns() * 1000 / view.rows(), 1331);
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
        Host h;  // focused beyond the hyperfocal distance: the far limit is at infinity, straight ahead
        const auto recs = play(h, scene_with_camera("\"position\": [0, 1, -5], \"rotation\": [45, 0, 0], \"focal_length\": 24, \"f_stop\": 16"));
        const std::string top = top_picture(h.scene, recs[1]);
        const std::string infinity = elements(top, "class=\"far-infinite\"").at(0);
        const std::string dot = elements(top.substr(top.find("class=\"camera\"")), "<circle").at(0);
        const double ax = number_of(infinity, "x") - number_of(dot, "cx"), ay = number_of(infinity, "y") - 8 - number_of(dot, "cy");
        EXPECT_NEAR(ax / std::hypot(ax, ay), std::sqrt(0.5), 1e-3);
        EXPECT_NEAR(ay / std::hypot(ax, ay), -std::sqrt(0.5), 1e-3);
        EXPECT_EQ(count(top, "class=\"mark far\""), 0u);
        EXPECT_NE(top.find(" to \xE2\x88\x9E"), std::string::npos);
        EXPECT_NE(top.find("far limit at \xE2\x88\x9E, not drawn: focused beyond the hyperfocal distance 1.46 m"), std::string::npos);
        EXPECT_EQ(count(top, "class=\"sharp-zone\""), 1u);
    }
    {
        Host h;  // a far circle hundreds of metres out around a scene a few metres wide
        const auto recs = play(h, scene_with_camera("\"position\": [0, 1, -26], \"focal_length\": 50, \"f_stop\": 2.8"));
        const std::string top = top_picture(h.scene, recs[1]);
        EXPECT_GT(recs[1].marks.far_limit, 100.0);
        EXPECT_NE(top.find("far limit "), std::string::npos);
        EXPECT_NE(top.find("(all the picture's ground lies within it)"), std::string::npos) << top.substr(top.find("class=\"legend\""));
    }
}

TEST(Pictures, TheCameraViewShowsEachWorldPointWhereTheCameraSeesIt) {
    // A turned and tilted camera clicks a wall at pixels all over its view: the hit point,
    // projected by the picture, lands on the clicked pixel; the focus circle's points, traced
    // back through the camera onto the ground, lie at the focal distance from the camera.
    Host h;
    std::string session;
    const double pixels[][2] = {{10, 10}, {790, 15}, {400, 300}, {20, 590}, {700, 500}};
    for (const auto& p : pixels)
        session += std::string(session.empty() ? "" : ", ") + "{\"do\": \"click\", \"viewport\": \"Cam\", \"pixel\": [" +
                   plain(p[0]) + ", " + plain(p[1]) + "]}";
    const auto recs = play(h, "{\"camera\": {\"position\": [1, 2, -4], \"rotation\": [20, 12, 6], \"focal_length\": 35, "
                              "\"focal_distance\": 4}, \"objects\": [{\"type\": \"box\", \"name\": \"Wall\", \"center\": "
                              "[0, 0, 12], \"size\": [200, 200, 1]}], \"viewports\": [{\"name\": \"Cam\", \"type\": \"camera\", "
                              "\"width\": 800, \"height\": 600}], \"session\": [" + session + "]}");
    ASSERT_EQ(recs.size(), 6u);
    const Viewport& vp = h.scene.viewports[0];
    for (size_t i = 1; i < recs.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string cam = camera_view(h, recs[i]);
        const auto hit = elements(cam, "class=\"hit\"");
        ASSERT_EQ(hit.size(), 1u);
        EXPECT_NEAR(number_of(hit[0], "cx"), (pixels[i - 1][0] + 0.5) / 800 * 900, 0.011);
        EXPECT_NEAR(number_of(hit[0], "cy"), (pixels[i - 1][1] + 0.5) / 600 * 675, 0.011);
        // The click's cross is centred on the clicked pixel, 18 pixels across each way.
        const auto cross = elements(cam.substr(cam.find("class=\"click\"")), "<line");
        ASSERT_GE(cross.size(), 2u);
        for (const std::string& line : {cross[0], cross[1]}) {
            EXPECT_NEAR((number_of(line, "x1") + number_of(line, "x2")) / 2, number_of(hit[0], "cx"), 0.02);
            EXPECT_NEAR((number_of(line, "y1") + number_of(line, "y2")) / 2, number_of(hit[0], "cy"), 0.02);
            EXPECT_NEAR(std::hypot(number_of(line, "x2") - number_of(line, "x1"), number_of(line, "y2") - number_of(line, "y1")), 18, 0.02);
        }
    }
    const std::string cam = camera_view(h, recs[3]);
    const auto focus = polyline_points(cam, "mark focus");
    ASSERT_GT(focus.size(), 100u);
    const DrawnMark& m = recs[3].drawn.front();
    // ...and follow one another round it half a degree apart.
    const double half_degree = 3.141592653589793 / 360;
    double last = NAN;
    size_t steps = 0;
    for (const auto& [x, y] : focus) {
        const Vec3 d = h.scene.pixel_ray(vp, x / 900 * 800 - 0.5, y / 675 * 600 - 0.5);
        if (d.y > -0.05) {  // a ray nearly along the ground says little
            last = NAN;
            continue;
        }
        const Vec3 g = h.scene.camera.position + d * (-h.scene.camera.position.y / d.y);
        EXPECT_NEAR(length(g - m.center), m.radius, 0.02 * m.radius) << x << ", " << y;
        const double angle = std::atan2(g.z - m.center.z, g.x - m.center.x);
        if (std::fabs(std::remainder(angle - last, 2 * 3.141592653589793)) < 10 * half_degree) {
            EXPECT_NEAR(std::fabs(std::remainder(angle - last, 2 * 3.141592653589793)), half_degree, 0.1 * half_degree);
            ++steps;
        }
        last = angle;
    }
    EXPECT_GT(steps, 50u);
}

TEST(Pictures, TheTopViewPlacesEverythingAtItsScale) {
    // Every object, mark and the ray's hit stand where their metres put them, at the scale the
    // scale bar states; a mesh too large to draw by its triangles is drawn as its bounds.
    Host h;
    const fs::path dir = fs::temp_directory_path() / "taverin_top_view";
    fs::create_directories(dir);
    {
        std::ofstream obj(dir / "big.obj");  // 3,001 triangles from x = 3 to 5, z = 6 to 9
        for (int i = 0; i <= 3001; ++i) obj << "v " << 3 + 2.0 * i / 3001 << " 0 " << (i % 2 ? 9 : 6) << "\n";
        for (int i = 1; i <= 3001; ++i) obj << "f " << i << " " << i + 1 << " " << i + 2 - (i == 3001) * 3000 << "\n";
        std::ofstream small(dir / "small.obj");  // on the ground, x = -4 to -3: its sides 1 and 0.5 m long
        small << "v -4 0 5\nv -3 0 5.5\nv -3 0 6\nv -4 0 6\nf 1 2 3 4\n";
    }
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(read_scene({"s", "{\"camera\": {\"position\": [-1, 1, -4], \"rotation\": [10, 0, 0]}, \"objects\": ["
                                 "{\"type\": \"sphere\", \"name\": \"Ball\", \"center\": [0.5, 1, 3], \"radius\": 1.5}, "
                                 "{\"type\": \"box\", \"name\": \"Crate\", \"center\": [-2, 0.5, 2], \"size\": [1, 1, 2]}, "
                                 "{\"type\": \"mesh\", \"name\": \"Big\", \"file\": \"big.obj\"}, "
                                 "{\"type\": \"mesh\", \"name\": \"Small\", \"file\": \"small.obj\"}], "
                                 "\"session\": [{\"do\": \"click\", \"viewport\": \"Camera View\", \"pixel\": [320, 240]}]}"},
                           dir.string(), h.scene, steps, error))
        << error;
    ASSERT_TRUE(h.load(TAVERIN_MODULE_PATH, error, true)) << error;
    ASSERT_EQ(h.activate(), 0);
    Player player(h);
    player.initial();
    const StepRecord rec = player.play(steps[0], 1);
    const std::string top = top_picture(h.scene, rec);
    fs::remove_all(dir);

    const std::string bar = elements(top, "class=\"scale-bar\"").at(0);
    const auto bar_line = elements(top.substr(top.find("class=\"scale-bar\"")), "<line").at(0);
    const double s = (number_of(bar_line, "x2") - number_of(bar_line, "x1")) / number_of(bar, "data-metres");
    EXPECT_GE(number_of(bar_line, "x1"), 0);  // the scale bar stands in the picture
    EXPECT_LE(number_of(bar_line, "x2"), number_of(elements(top, "<svg").at(0), "width"));
    const std::string dot = elements(top.substr(top.find("class=\"camera\"")), "<circle").at(0);
    const double cx = number_of(dot, "cx"), cy = number_of(dot, "cy");
    auto at = [&](double x, double z) { return std::make_pair(cx + (x + 1) * s, cy - (z + 4) * s); };
    const double tolerance = 0.1;  // two decimals, and the scale read back from them

    const std::string ball = elements(top.substr(top.find("data-name=\"Ball\"")), "<circle").at(0);
    EXPECT_NEAR(number_of(ball, "cx"), at(0.5, 3).first, tolerance);
    EXPECT_NEAR(number_of(ball, "cy"), at(0.5, 3).second, tolerance);
    EXPECT_NEAR(number_of(ball, "r"), 1.5 * s, tolerance);
    for (const char* name : {"Crate", "Big"}) {
        SCOPED_TRACE(name);
        const std::string rect = elements(top.substr(top.find("data-name=\"" + std::string(name) + "\"")), "<rect").at(0);
        const double x0 = std::string(name) == "Crate" ? -2.5 : 3, x1 = std::string(name) == "Crate" ? -1.5 : 5;
        const double z0 = std::string(name) == "Crate" ? 1 : 6, z1 = std::string(name) == "Crate" ? 3 : 9;
        EXPECT_NEAR(number_of(rect, "x"), at(x0, z1).first, tolerance);
        EXPECT_NEAR(number_of(rect, "y"), at(x0, z1).second, tolerance);
        EXPECT_NEAR(number_of(rect, "width"), (x1 - x0) * s, tolerance);
        EXPECT_NEAR(number_of(rect, "height"), (z1 - z0) * s, tolerance);
    }
    // A small mesh is drawn by its triangles, which cover its 0.75 square metres.
    const std::string small = top.substr(top.find("data-name=\"Small\""), top.find("</g>", top.find("data-name=\"Small\"")) - top.find("data-name=\"Small\""));
    double covered = 0;
    for (const std::string& polygon : elements(small, "<polygon")) {
        std::istringstream in(polygon.substr(polygon.find("points=\"") + 8));
        double x[3], y[3];
        char comma;
        for (int k = 0; k < 3; ++k) in >> x[k] >> comma >> y[k];
        covered += std::fabs((x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0])) / 2;
    }
    EXPECT_NEAR(covered / (s * s), 0.75, 0.01);
    for (const DrawnMark& m : rec.drawn) {
        SCOPED_TRACE(m.role);
        const std::string circle = elements(top, "class=\"mark " + std::string(m.role) + "\"").at(0);
        EXPECT_NEAR(number_of(circle, "cx"), cx, tolerance);
        EXPECT_NEAR(number_of(circle, "r"), ground_radius(m.radius, m.center.y) * s, 2 * tolerance);
    }
    // The grid's lines stand at whole multiples of the scale bar's length.
    const double step = number_of(bar, "data-metres");
    const auto lines = elements(top.substr(top.find("class=\"grid\""), top.find("</g>", top.find("class=\"grid\"")) - top.find("class=\"grid\"")), "<line");
    ASSERT_GT(lines.size(), 8u);
    for (const std::string& line : lines) {
        const bool across = number_of(line, "y1") == number_of(line, "y2");
        const double metres = across ? (cy - number_of(line, "y1")) / s - 4 : (number_of(line, "x1") - cx) / s - 1;
        EXPECT_NEAR(metres / step, std::round(metres / step), 0.01) << line;
    }
    // ...and rule the whole frame, top to bottom as well as side to side, a step apart.
    std::vector<double> across;
    double frame_top = NAN, frame_bottom = NAN;
    for (const std::string& line : lines)
        if (number_of(line, "y1") == number_of(line, "y2")) across.push_back(number_of(line, "y1"));
        else frame_top = number_of(line, "y1"), frame_bottom = number_of(line, "y2");
    std::sort(across.begin(), across.end());
    ASSERT_GE(across.size(), 2u);
    EXPECT_GE(across.front(), frame_top);
    EXPECT_LE(across.front() - frame_top, step * s + tolerance);
    EXPECT_LE(across.back(), frame_bottom);
    EXPECT_LE(frame_bottom - across.back(), step * s + tolerance);
    // The scene lies within the view, below the title band.
    for (const double edge : {number_of(ball, "cy") - number_of(ball, "r"), number_of(ball, "cy") + number_of(ball, "r")}) {
        EXPECT_GE(edge, svg::kTitleBand);
        EXPECT_LE(edge, svg::kTitleBand + 675);
    }
    ASSERT_TRUE(rec.ray.hit);
    const std::string hit = elements(top, "class=\"hit\"").at(0);
    EXPECT_NEAR(number_of(hit, "cx"), at(rec.ray.point.x, rec.ray.point.z).first, tolerance);
    EXPECT_NEAR(number_of(hit, "cy"), at(rec.ray.point.x, rec.ray.point.z).second, tolerance);
}

TEST(Pictures, MarksAFewPixelsApartGetAnEnlargedInset) {
    // The macro scene, its camera turned to each quarter about the bead: the inset stands in the
    // picture, clear of the camera, whichever side the camera is on.
    std::ifstream in(std::string(TAVERIN_SCENES_DIR) + "/macro.json");
    const std::string macro((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string placed = "\"position\": [0, 0.1, -0.45]";
    ASSERT_NE(macro.find(placed), std::string::npos);
    for (const int heading : {0, 45, 90, 180, 270}) {
        SCOPED_TRACE(heading);
        const double a = heading * 3.14159265358979323846 / 180;
        std::string turned = macro;
        turned.replace(turned.find(placed), placed.size(),
                       "\"position\": [" + std::to_string(-0.45 * std::sin(a)) + ", 0.1, " + std::to_string(-0.45 * std::cos(a)) +
                           "], \"rotation\": [" + std::to_string(heading) + ", 0, 0]");
        Host h;
        const auto recs = play(h, turned);
        ASSERT_TRUE(recs[1].ray.hit);
        const std::string top = top_picture(h.scene, recs[1]);
        ASSERT_NE(top.find("class=\"inset\""), std::string::npos);
        const double focus = number_of(elements(top, "class=\"inset-mark focus\"").at(0), "r");
        const double near = number_of(elements(top, "class=\"inset-mark near\"").at(0), "r");
        const double far = number_of(elements(top, "class=\"inset-mark far\"").at(0), "r");
        EXPECT_LT(number_of(elements(top, "class=\"mark far\"").at(0), "r") - number_of(elements(top, "class=\"mark near\"").at(0), "r"), 12);
        EXPECT_GE(std::min(focus - near, far - focus), 30);
        // The dashed frame on the picture shows the inset's stretch: the same shape, about the focus.
        const std::string inset = top.substr(top.find("class=\"inset\""));
        EXPECT_NE(inset.find("enlarged " + attribute(top, "class=\"inset\"", "data-zoom") + " times"), std::string::npos);
        const std::string marker = elements(inset, "<rect").at(0), frame = elements(inset.substr(inset.find("</svg>")), "<rect").at(0);
        EXPECT_NEAR(number_of(marker, "width") / number_of(marker, "height"), number_of(frame, "width") / number_of(frame, "height"), 0.01);
        const Box box{number_of(frame, "x"), number_of(frame, "y"), number_of(frame, "x") + number_of(frame, "width"),
                      number_of(frame, "y") + number_of(frame, "height")};
        const std::string dot = elements(top.substr(top.find("class=\"camera\"")), "<circle").at(0);
        const double look_x = number_of(marker, "x") + number_of(marker, "width") / 2 - number_of(dot, "cx");
        const double look_y = number_of(marker, "y") + number_of(marker, "height") / 2 - number_of(dot, "cy");
        EXPECT_NEAR(std::hypot(look_x, look_y), number_of(elements(top, "class=\"mark focus\"").at(0), "r"), 0.5);
        EXPECT_NEAR(look_x / std::hypot(look_x, look_y), std::sin(a), 1e-3);  // straight ahead of the camera
        EXPECT_NEAR(look_y / std::hypot(look_x, look_y), -std::cos(a), 1e-3);
        // The camera's heading: a stroke 24 pixels long from its dot, the way it looks.
        const std::string heading_line = elements(top.substr(top.find("class=\"camera\"")), "<line").at(0);
        EXPECT_NEAR(number_of(heading_line, "x2") - number_of(heading_line, "x1"), 24 * std::sin(a), 0.02);
        EXPECT_NEAR(number_of(heading_line, "y2") - number_of(heading_line, "y1"), -24 * std::cos(a), 0.02);
        // The field of view's wedge: from the camera, its two edges alike about that direction.
        std::istringstream wedge(attribute(top, "class=\"fov\"", "d"));
        std::string move, line;
        double lx, ly, cx, cy, rx, ry;
        ASSERT_TRUE(wedge >> move >> lx >> ly >> line >> cx >> cy >> line >> rx >> ry);
        EXPECT_NEAR(std::hypot(lx - cx, ly - cy), std::hypot(rx - cx, ry - cy), 0.05);
        const double mx = (lx + rx) / 2 - cx, my = (ly + ry) / 2 - cy;
        EXPECT_NEAR(mx / std::hypot(mx, my), std::sin(a), 1e-3);
        EXPECT_NEAR(my / std::hypot(mx, my), -std::cos(a), 1e-3);
        EXPECT_FALSE(box.overlaps({number_of(dot, "cx") - 5, number_of(dot, "cy") - 5, number_of(dot, "cx") + 5, number_of(dot, "cy") + 5}));
        EXPECT_GE(box.x0, 0);
        EXPECT_LE(box.x1, number_of(elements(top, "<svg").at(0), "width"));
        EXPECT_GE(box.y0, svg::kTitleBand);
        // ...in the corner farthest from it: across the middle of the frame (the grid's extent) from it.
        const std::string grid = top.substr(top.find("class=\"grid\""));
        double mid_x = NAN, mid_y = NAN;
        for (const std::string& line : elements(grid.substr(0, grid.find("</g>")), "<line"))
            if (number_of(line, "y1") == number_of(line, "y2")) mid_x = (number_of(line, "x1") + number_of(line, "x2")) / 2;
            else mid_y = (number_of(line, "y1") + number_of(line, "y2")) / 2;
        EXPECT_LE(((box.x0 + box.x1) / 2 - mid_x) * (number_of(dot, "cx") - mid_x), 0);
        EXPECT_LE(((box.y0 + box.y1) / 2 - mid_y) * (number_of(dot, "cy") - mid_y), 0);
        // The sharp zone's ring: out along one edge, round, back along the other, round the other way.
        const std::string zone = attribute(top, "class=\"sharp-zone\"", "d");
        EXPECT_NE(zone.find(" 0 0 1 "), std::string::npos);
        EXPECT_NE(zone.find(" 0 0 0 "), std::string::npos);
    }
}

TEST(Pictures, EveryStepSaysWhetherDepthOfFieldIsOnAndALookOnlyClickThatTheFocusStayed) {
    Host h;
    const auto recs = play(h, demo_scene_json());
    for (const std::string& p : {camera_view(h, recs[0]), top_picture(h.scene, recs[0])})
        EXPECT_NE(p.find("depth of field off"), std::string::npos);
    for (const std::string& p : {camera_view(h, recs[2]), top_picture(h.scene, recs[2])}) {
        EXPECT_NE(p.find("depth of field on"), std::string::npos);
        EXPECT_EQ(p.find("the focus was left unchanged"), std::string::npos);
    }
    ASSERT_TRUE(recs.back().step.alternate);
    for (const std::string& p : {camera_view(h, recs.back()), top_picture(h.scene, recs.back())})
        EXPECT_NE(p.find("a look-only click (the alternate button): the focus was left unchanged"), std::string::npos);
}
