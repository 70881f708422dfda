// The pictures' labels: where the placer puts one, as a table, and a crowded picture whose
// labels keep clear of one another and of what the picture must show.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/program/pictures/labels.h"
#include "host/program/pictures/pictures.h"
#include "host/program/pictures/svg.h"
#include "picture_reading.h"

using namespace host;
using namespace picture_test;

namespace {

struct Line {
    double x0, y0, x1, y1, width;
};

struct PlaceCase {
    const char* what;
    std::vector<Box> boxes;
    std::vector<Line> lines;
    double x, y;                // the anchor
    std::optional<Box> expect;  // nothing: no room
};

}  // namespace

// "ab" at font size 10 takes 14.4 by 12 pixels; each ring moves it a further 11.2 pixels (half
// its width and 4) sideways or 14 (its height and 2) up or down.
TEST(Labels, EachLabelTakesTheFirstFreePlaceOutFromItsAnchor) {
    const Box column{99, 0, 101, 100};
    const PlaceCase cases[] = {
        {"nothing in the way: on the anchor", {}, {}, 100, 50, Box{92.8, 44, 107.2, 56}},
        {"the anchor taken: below", {{99, 49, 101, 51}}, {}, 100, 50, Box{92.8, 58, 107.2, 70}},
        {"the anchor and below taken: above", {{99, 49, 101, 51}, {99, 60, 101, 62}}, {}, 100, 50, Box{92.8, 30, 107.2, 42}},
        {"a thin column through the anchor: right", {column}, {}, 100, 50, Box{104, 44, 118.4, 56}},
        {"a column reaching right: left", {{99, 0, 110, 100}}, {}, 100, 50, Box{81.6, 44, 96, 56}},
        {"a wide column: the second ring, right", {{85, 0, 115, 100}}, {}, 100, 50, Box{115.2, 44, 129.6, 56}},
        {"the area's right edge: left", {}, {}, 195, 50, Box{176.6, 44, 191, 56}},
        {"a 4 px line 1 px below the label: on the anchor", {}, {{0, 59, 200, 59, 4}}, 100, 50, Box{92.8, 44, 107.2, 56}},
        {"a 4 px line along the label's foot: above", {}, {{0, 57.5, 200, 57.5, 4}}, 100, 50, Box{92.8, 30, 107.2, 42}},
        {"a line ending short of the label: on the anchor", {}, {{0, 50, 90.7, 50, 4}}, 100, 50, Box{92.8, 44, 107.2, 56}},
        {"a line running into the label: below", {}, {{0, 50, 91, 50, 4}}, 100, 50, Box{92.8, 58, 107.2, 70}},
        {"a diagonal through the anchor: below", {}, {{60, 30, 140, 70, 2}}, 100, 50, Box{92.8, 58, 107.2, 70}},
        {"every place taken: none", {{0, 0, 200, 100}}, {}, 100, 50, std::nullopt},
    };
    for (const PlaceCase& t : cases) {
        host::LabelPlacer placer({0, 0, 200, 100});
        for (const Box& b : t.boxes) placer.keep_clear(b);
        for (const Line& l : t.lines) placer.keep_clear(l.x0, l.y0, l.x1, l.y1, l.width);
        const std::optional<Box> got = placer.place(t.x, t.y, "ab", 10);
        ASSERT_EQ(got.has_value(), t.expect.has_value()) << t.what;
        if (!got) continue;
        EXPECT_NEAR(got->x0, t.expect->x0, 1e-9) << t.what;
        EXPECT_NEAR(got->y0, t.expect->y0, 1e-9) << t.what;
        EXPECT_NEAR(got->x1, t.expect->x1, 1e-9) << t.what;
        EXPECT_NEAR(got->y1, t.expect->y1, 1e-9) << t.what;
    }
    // A placed label is kept clear of the next: the same anchor twice, the second below.
    host::LabelPlacer placer({0, 0, 200, 100});
    placer.place(100, 50, "ab", 10);
    const auto second = placer.place(100, 50, "ab", 10);
    ASSERT_TRUE(second);
    EXPECT_NEAR(second->y0, 58, 1e-9);
}

TEST(Labels, LabelsKeepClearOfOneAnotherTheCameraTheRayAndTheTitle) {
    // Thirty objects crowded together around a click: every label placed is clear of the
    // others and of what a picture must keep clear; the ones with no room are in the legend.
    Host h;
    std::string objects;
    for (int i = 0; i < 30; ++i)
        objects += std::string(i ? ", " : "") + "{\"type\": \"sphere\", \"name\": \"Pebble number " + std::to_string(i) +
                   "\", \"center\": [" + std::to_string(0.3 * (i % 4) - 0.45) + ", 1, " + std::to_string(3 + 0.3 * (i / 4)) +
                   "], \"radius\": 0.1}";
    const auto recs = play(h, "{\"camera\": {\"position\": [0, 1, -1]}, \"objects\": [" + objects +
                              "], \"session\": [{\"do\": \"click\", \"viewport\": \"Camera View\", \"pixel\": [319.5, 239.5]}]}");
    for (const std::string& picture : {camera_view(h, recs[1]), top_picture(h.scene, recs[1])}) {
        std::vector<Box> boxes;
        for (const std::string& e : elements(picture, "data-box=\"")) {
            std::istringstream in(e.substr(e.find("data-box=\"") + 10));
            Box b{};
            in >> b.x0 >> b.y0 >> b.x1 >> b.y1;
            boxes.push_back(b);
        }
        ASSERT_GE(boxes.size(), 4u);
        for (const std::string& e : elements(picture, "data-box=\"")) {  // each label's backing fills its box
            const std::string rect = elements(picture.substr(picture.find(e)), "<rect").at(0);
            std::istringstream in(e.substr(e.find("data-box=\"") + 10));
            Box b{};
            in >> b.x0 >> b.y0 >> b.x1 >> b.y1;
            EXPECT_NEAR(number_of(rect, "x"), b.x0, 0.01);
            EXPECT_NEAR(number_of(rect, "y"), b.y0, 0.01);
            EXPECT_NEAR(number_of(rect, "width"), b.x1 - b.x0, 0.01);
            EXPECT_NEAR(number_of(rect, "height"), b.y1 - b.y0, 0.01);
            const std::string text = elements(picture.substr(picture.find(e)), "<text").at(0);
            EXPECT_NEAR(number_of(text, "x"), (b.x0 + b.x1) / 2, 0.01);
            EXPECT_GT(number_of(text, "y"), (b.y0 + b.y1) / 2);  // the baseline a little below the middle
            EXPECT_LT(number_of(text, "y"), b.y1);
        }
        size_t listed = 0;
        for (size_t i = 0; i < 30; ++i) listed += picture.find("Pebble number " + std::to_string(i) + ":") != std::string::npos;
        EXPECT_EQ(listed, 30u);  // on the picture or in the legend
        EXPECT_NE(picture.find(">also: Pebble number "), std::string::npos);
        for (size_t i = 0; i < boxes.size(); ++i)
            for (size_t k = 0; k < i; ++k) EXPECT_FALSE(boxes[i].overlaps(boxes[k])) << i << " and " << k;
        const bool top = picture.find("Top view") != std::string::npos;
        if (top) {
            const std::string dot = elements(picture.substr(picture.find("class=\"camera\"")), "<circle").at(0);
            const double cx = number_of(dot, "cx"), cy = number_of(dot, "cy");
            const std::string ray = elements(picture, "class=\"ray\"").at(0);
            for (const Box& b : boxes) {
                if (b.x0 < cx + 6 && cx - 6 < b.x1 && b.y0 < cy + 6 && cy - 6 < b.y1 && b.y1 - b.y0 < 20) continue;  // "camera"
                EXPECT_GE(b.y0, svg::kTitleBand);
                const double x = number_of(ray, "x1");  // the ray runs straight up the picture here
                EXPECT_TRUE(b.x1 < x - 1 || b.x0 > x + 1 || b.y1 < number_of(ray, "y2") || b.y0 > number_of(ray, "y1"));
            }
        } else {
            for (const Box& b : boxes) EXPECT_FALSE(b.overlaps({439, 327, 461, 349}));  // the click's cross
        }
    }
}

