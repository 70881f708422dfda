#include "host/program/pictures/svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "host/program/pictures/ground.h"
#include "host/program/pictures/pictures.h"
#include "host/program/text/json.h"
#include "host/program/text/utf8.h"

namespace host::svg {

std::string num(double v) {
    if (!std::isfinite(v)) v = 0;
    char b[32];
    std::snprintf(b, sizeof b, "%.2f", v);
    std::string s = b;
    if (s == "-0.00") s = "0.00";
    return s;
}

std::string text(const std::string& raw) {
    std::string out;
    for (char c : valid_utf8(raw)) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else if (c == '"') out += "&quot;";
        else if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') out += ' ';  // not allowed in XML 1.0
        else out += c;
    }
    return out;
}

Document::Document(double width, double height, const std::string& title) : w_(width), h_(height) {
    body_ = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(w_) + "\" height=\"" + num(h_) +
            "\" viewBox=\"0 0 " + num(w_) + " " + num(h_) + "\" font-family=\"sans-serif\">\n" +
            "<title>" + text(title) + "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"#2b2b2b\"/>\n";
}

Document& Document::operator<<(const std::string& element) {
    body_ += element;
    return *this;
}

std::string Document::finish() { return body_ + "</svg>\n"; }

}  // namespace host::svg

namespace host {

std::string untitled_picture(const std::string& svg) {
    std::string out = svg;
    // The document's title and the title drawn at the top, each the first of its kind.
    for (const auto& [open, close] : {std::pair<const char*, const char*>{"<title>", "</title>"},
                                      {"<text class=\"title\"", "</text>"}}) {
        const size_t from = out.find(open);
        const size_t to = from == std::string::npos ? from : out.find(close, from);
        if (to != std::string::npos) out.erase(from, to + std::string(close).size() - from);
    }
    return out;
}

}  // namespace host

namespace host::svg {

namespace {

std::string rgb(const float* c) {
    char b[32];
    std::snprintf(b, sizeof b, "#%02x%02x%02x", static_cast<int>(std::lround(std::clamp(c[0], 0.0f, 1.0f) * 255)),
                  static_cast<int>(std::lround(std::clamp(c[1], 0.0f, 1.0f) * 255)),
                  static_cast<int>(std::lround(std::clamp(c[2], 0.0f, 1.0f) * 255)));
    return b;
}

double opacity(const float* c) { return std::clamp(static_cast<double>(c[3]), 0.2, 1.0); }

}  // namespace

std::string title_band(double width, const std::string& title) {
    return "<g class=\"title-band\"><rect width=\"" + num(width) + "\" height=\"" + num(kTitleBand) +
           "\" fill=\"#1e1e1e\"/><text class=\"title\" x=\"8\" y=\"17\" fill=\"#ddd\" font-size=\"13\">" + text(title) +
           "</text></g>\n";
}

std::string label(const Box& b, const std::string& t, const char* cls) {
    const double cx = (b.x0 + b.x1) / 2, cy = (b.y0 + b.y1) / 2;
    return "<g class=\"" + std::string(cls) + "\" data-box=\"" + num(b.x0) + " " + num(b.y0) + " " + num(b.x1) + " " +
           num(b.y1) + "\"><rect x=\"" + num(b.x0) + "\" y=\"" + num(b.y0) + "\" width=\"" + num(b.x1 - b.x0) +
           "\" height=\"" + num(b.y1 - b.y0) + "\" rx=\"3\" fill=\"#000\" fill-opacity=\"0.55\"/><text x=\"" + num(cx) +
           "\" y=\"" + num(cy + kLabelFont * 0.35) + "\" fill=\"#fff\" font-size=\"" + num(kLabelFont) +
           "\" text-anchor=\"middle\">" + text(t) + "</text></g>\n";
}

std::string Style::attributes() const {
    std::string a = "stroke=\"" + stroke + "\" stroke-width=\"" + num(width) + "\" stroke-opacity=\"" +
                    num(stroke_opacity) + "\" fill=\"" + fill + "\"";
    if (fill != "none") a += " fill-opacity=\"" + num(fill_opacity) + "\"";
    if (dash && *dash) a += std::string(" stroke-dasharray=\"") + dash + "\"";
    return a;
}

Style focus_style(const float c[4]) { return {"focus", rgb(c), 2.5, "", "none", 0, opacity(c)}; }
Style near_style(const float c[4]) { return {"near", rgb(c), 1.5, "6 4", rgb(c), 0.3, opacity(c) + 0.3}; }
Style far_style(const float c[4]) { return {"far", rgb(c), 2, "2 3", "none", 0, opacity(c) + 0.3}; }
Style sharp_zone_style() { return {"sharp", "none", 0, "", "#8fd18f", 0.22, 0}; }
Style ray_style() { return {"ray", "#ffee55", 1.5, "", "none", 0, 1}; }

Style style_of(const DrawnMark& m) {
    const std::string role = m.role;
    if (role == "focus") return focus_style(m.rgba);
    if (role == "near") return near_style(m.rgba);
    return far_style(m.rgba);
}

double legend_height(const std::vector<LegendRow>& rows) { return 17.0 * static_cast<double>(rows.size()) + 14; }

std::string legend(const std::vector<LegendRow>& rows, double y0) {
    std::string out = "<g class=\"legend\" font-size=\"12\">\n";
    for (size_t i = 0; i < rows.size(); ++i) {
        const LegendRow& r = rows[i];
        const double y = y0 + 20 + 17.0 * static_cast<double>(i);
        out += "<g class=\"legend-row\" data-style=\"" + std::string(r.style.name) + "\">";
        if (r.area) {
            out += "<rect class=\"swatch\" x=\"10\" y=\"" + num(y - 9) + "\" width=\"24\" height=\"10\" " +
                   r.style.attributes() + "/>";
        } else if (r.style.width > 0) {
            out += "<line class=\"swatch\" x1=\"10\" y1=\"" + num(y - 4) + "\" x2=\"34\" y2=\"" + num(y - 4) + "\" " +
                   r.style.attributes() + "/>";
        }
        out += "<text x=\"42\" y=\"" + num(y) + "\" fill=\"#e8e8e8\">" + text(r.label) + "</text></g>\n";
    }
    return out + "</g>\n";
}

namespace {

// 10^|e| by products of tens (exact up to 10^22), so that `k * 10^e` below is the double
// nearest to it on every platform: the C runtime's pow and log10 are not correctly rounded
// everywhere (MinGW's pow(10, -3) is one unit above 0.001).
double ten_to(int e) {
    double p = 1;
    for (int i = 0; i < e; ++i) p *= 10;
    return p;
}

double times_ten_to(double k, int e) { return e < 0 ? k / ten_to(-e) : k * ten_to(e); }

}  // namespace

double nice_length(double about) {
    if (!(about > 0) || !std::isfinite(about)) return 1;
    int e = static_cast<int>(std::floor(std::log10(about)));  // then made exact both ways
    while (e > -400 && times_ten_to(1, e) > about) --e;
    while (e < 400 && times_ten_to(1, e + 1) <= about) ++e;
    const double m = about / times_ten_to(1, e);
    return times_ten_to(m < 1.5 ? 1 : m < 3.5 ? 2 : m < 7.5 ? 5 : 10, e);
}

std::string length_label(double metres) {
    return metres < 1 ? plain(metres * 1000) + " mm" : plain(metres) + " m";
}

std::string scale_bar(double x, double y, double pixels, double metres) {
    const std::string label = length_label(metres);
    return "<g class=\"scale-bar\" data-metres=\"" + json::number_text(metres) + "\">"
           "<line x1=\"" + num(x) + "\" y1=\"" + num(y) + "\" x2=\"" + num(x + pixels) + "\" y2=\"" + num(y) +
           "\" stroke=\"#e8e8e8\" stroke-width=\"2\"/>"
           "<line x1=\"" + num(x) + "\" y1=\"" + num(y - 5) + "\" x2=\"" + num(x) + "\" y2=\"" + num(y + 5) +
           "\" stroke=\"#e8e8e8\" stroke-width=\"2\"/>"
           "<line x1=\"" + num(x + pixels) + "\" y1=\"" + num(y - 5) + "\" x2=\"" + num(x + pixels) + "\" y2=\"" +
           num(y + 5) + "\" stroke=\"#e8e8e8\" stroke-width=\"2\"/>"
           "<text x=\"" + num(x + pixels / 2) + "\" y=\"" + num(y - 8) +
           "\" fill=\"#e8e8e8\" font-size=\"12\" text-anchor=\"middle\">" + text(label) + "</text></g>\n";
}

LegendRow ray_row(const StepRecord& rec, const std::string& what) {
    return {ray_style(), false,
            rec.ray.hit ? what + ", first hit \"" + rec.ray.object + "\" at " + metres(rec.ray.distance)
                        : what + ", no object hit"};
}

std::vector<LegendRow> mark_rows(const StepRecord& rec, const std::vector<DrawnMark>& marks,
                                 const std::vector<MarkPlace>& where, double height) {
    const DepthOfField& o = rec.optics;
    const Marks& k = rec.marks;
    const DistanceFormat f = format_for({k.focus, k.near_limit, k.far_limit, o.near_limit, o.far_limit});
    std::vector<LegendRow> rows;
    for (size_t i = 0; i < marks.size(); ++i) {
        const DrawnMark& m = marks[i];
        const std::string role = m.role;
        std::string label = role == "focus" ? "focus distance" : role == "near" ? "near limit" : "far limit";
        label += " " + f.text(m.radius);
        const MarkPlace place = i < where.size() ? where[i] : MarkPlace::Shown;
        if (place == MarkPlace::OffTheGround) {
            label += ": nearer than the camera's height (" + metres(std::fabs(height)) + "), so not on the ground";
        } else {
            const double g = ground_radius(m.radius, height);
            label += std::string(", where it meets the ground (") + (role == "near" ? "a disc " : "a circle ") +
                     format_for({g}).text(g) + " out)";
            if (place == MarkPlace::Outside) label += " (outside the picture)";
            if (place == MarkPlace::AllAround) label += " (all the picture's ground lies within it)";
        }
        Style outline = style_of(m);  // as the pictures draw it: its circle on the ground
        outline.fill = "none";
        rows.push_back({outline, false, label});
    }
    if (std::isnan(k.far_limit) && !o.limits_note.empty()) {
        const Style none{"note", "none", 0, "", "none", 0, 0};
        const std::string head = std::isnan(k.near_limit) ? "no limits drawn: " : "far limit at \xE2\x88\x9E, not drawn: ";
        rows.push_back({none, false, head + o.limits_short});
    }
    return rows;
}

std::string picture(double w, double h, const std::string& title, const std::string& view, bool page_coordinates,
                    std::vector<LegendRow> rows, const std::string& unplaced, const StepRecord& rec) {
    if (!unplaced.empty()) rows.push_back({Style{"note", "none", 0, "", "none", 0, 0}, false, "also: " + unplaced});
    for (auto& r : step_notes(rec)) rows.push_back(r);
    const double legend_h = legend_height(rows);
    Document doc(w, kTitleBand + h + legend_h, title);
    doc << title_band(w, title);
    doc << "<svg class=\"view\" x=\"0\" y=\"" + num(kTitleBand) + "\" width=\"" + num(w) + "\" height=\"" + num(h) + "\"" +
               (page_coordinates ? " viewBox=\"0 " + num(kTitleBand) + " " + num(w) + " " + num(h) + "\"" : std::string()) +
               " overflow=\"hidden\">\n" + view + "</svg>\n";
    doc << "<rect x=\"0\" y=\"" + num(kTitleBand + h) + "\" width=\"" + num(w) + "\" height=\"" + num(legend_h) +
               "\" fill=\"#1e1e1e\"/>\n";
    doc << legend(rows, kTitleBand + h);
    return doc.finish();
}

std::vector<LegendRow> step_notes(const StepRecord& rec) {
    const Style none{"note", "none", 0, "", "none", 0, 0};
    std::vector<LegendRow> rows;
    if (rec.step.alternate && rec.has_ray)
        rows.push_back({none, false, "a look-only click (the alternate button): the focus was left unchanged"});
    rows.push_back({none, false, rec.depth_of_field_on ? "depth of field on (the camera renders this blur)"
                                                       : "depth of field off (the camera renders everything sharp)"});
    return rows;
}

}  // namespace host::svg
