// The pieces both pictures share: an SVG document being written, the styles of the marks and
// of the sharp zone (the legend's swatches use the same ones), the legend, the scale bar.
#pragma once

#include <string>
#include <vector>

#include "host/program/pictures/labels.h"
#include "host/program/session/player.h"
#include "host/program/text/format.h"

namespace host::svg {

// A number for an SVG attribute: two decimals, never "-0.00", never "nan" or "inf" (a caller
// that could pass one checks first).
std::string num(double v);
// Text for an SVG text node or attribute: escaped, and valid UTF-8.
std::string text(const std::string& s);

class Document {
public:
    Document(double width, double height, const std::string& title);
    double width() const { return w_; }
    double height() const { return h_; }
    // Appends raw SVG elements.
    Document& operator<<(const std::string& element);
    std::string finish();

private:
    double w_, h_;
    std::string body_;
};

// The band at the top of every picture that holds its title: nothing else is drawn there.
inline constexpr double kTitleBand = 26;
std::string title_band(double width, const std::string& title);

// A label: its text centred in `box` on a dark backing, the box noted as data-box so that a
// reader of the picture can check that no two overlap.
std::string label(const Box& box, const std::string& text, const char* cls);
inline constexpr double kLabelFont = 11;

// How a mark or the sharp zone is drawn: stroke, width, dashes, fill.
struct Style {
    const char* name;
    std::string stroke;
    double width;
    const char* dash;  // empty: a solid line
    std::string fill;  // "none" for outlines
    double fill_opacity;
    double stroke_opacity;
    // The style as SVG presentation attributes.
    std::string attributes() const;
};

// The three marks, in the colours the module set for them.
Style focus_style(const float rgba[4]);
Style near_style(const float rgba[4]);
Style far_style(const float rgba[4]);
Style sharp_zone_style();
Style ray_style();

// The style of a mark the module drew.
Style style_of(const DrawnMark& m);

// A legend line: a swatch drawn in `style` and its text.
struct LegendRow {
    Style style;
    bool area;  // a filled swatch (a disc or a zone) rather than a line
    std::string label;
};

// The legend, a band of rows whose top is at `y`; `legend_height` says how tall it is.
std::string legend(const std::vector<LegendRow>& rows, double y);
double legend_height(const std::vector<LegendRow>& rows);

// A "nice" length (1, 2 or 5 times a power of ten) near `about`.
double nice_length(double about);

// A round length as a label: "2 m", "500 mm".
std::string length_label(double metres);

// A scale bar `pixels` long standing for `metres`, at (x, y).
std::string scale_bar(double x, double y, double pixels, double metres);

// The legend row for a step's click: `what` ("the click's ray") and what it hit first.
LegendRow ray_row(const StepRecord& rec, const std::string& what);

// Where a mark's circle on the ground lies in a picture.
enum class MarkPlace {
    Shown,         // in the picture
    Outside,       // out of the picture, and the picture's ground is not within it
    AllAround,     // out of the picture, all around it: the picture's ground lies within it
    OffTheGround,  // nearer than the camera's height: it does not reach the ground
};

// The legend rows for a step's marks (`where`: each mark's place; `height`: the camera's above
// the ground), and the limits the module left undrawn and why.
std::vector<LegendRow> mark_rows(const StepRecord& rec, const std::vector<DrawnMark>& marks,
                                 const std::vector<MarkPlace>& where, double height);

// A whole picture: its title in the band at the top; its view, `w` x `h`, below the band, drawn
// in its own coordinates or (with `page_coordinates`) in the page's; and its legend: `rows`, then
// the labels that found no place in the view (`unplaced`) and the step's notes.
std::string picture(double w, double h, const std::string& title, const std::string& view, bool page_coordinates,
                    std::vector<LegendRow> rows, const std::string& unplaced, const StepRecord& rec);

// The notes every picture of a step carries: whether depth of field is on, and for a look-only
// click that the focus was left unchanged.
std::vector<LegendRow> step_notes(const StepRecord& rec);

}  // namespace host::svg
