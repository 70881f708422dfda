// The label placer: where a label goes, as a table of what is kept clear against the box the
// label must take. "ab" at font size 10 takes 14.4 by 12 pixels; each ring moves it a further
// 11.2 pixels (half its width and 4) sideways or 14 (its height and 2) up or down.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "host/program/pictures/labels.h"

using host::Box;

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
