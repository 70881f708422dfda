// Placing the pictures' text labels so that none overlaps another, nor the marks a picture
// must keep clear (the camera, the click's ray and cross, the title, the scale bar): each label
// takes the first free place among positions around its anchor, farther out by turns; a label
// with no free place is listed in the legend instead.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace host {

struct Box {
    double x0, y0, x1, y1;
    bool overlaps(const Box& b) const { return x0 < b.x1 && b.x0 < x1 && y0 < b.y1 && b.y0 < y1; }
};

// The box a line of text takes at `font_size`, centred on (x, y), by the widest the sans-serif
// fonts a browser picks make it.
Box text_box(double x, double y, const std::string& text, double font_size);

class LabelPlacer {
public:
    // Labels stay inside `area`.
    explicit LabelPlacer(Box area) : area_(area) {}
    void keep_clear(Box b) { boxes_.push_back(b); }
    // A line from (x0, y0) to (x1, y1), `width` wide.
    void keep_clear(double x0, double y0, double x1, double y1, double width);
    // A free place for `text` near (x, y): the box it takes (its centre is where to write it),
    // or nothing.
    std::optional<Box> place(double x, double y, const std::string& text, double font_size);

private:
    bool free(const Box& b) const;
    struct Segment {
        double x0, y0, x1, y1, width;
    };
    Box area_;
    std::vector<Box> boxes_;
    std::vector<Segment> segments_;
};

}  // namespace host
