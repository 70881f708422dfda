#include "host/program/text/focus_words.h"

#include <cmath>
#include <cstdio>

#include "host/program/text/format.h"

namespace host {

std::string blur_px_number(double px) {
    char b[32];
    std::snprintf(b, sizeof b, px < 99.5 ? "%.2g" : "%.0f", px);
    return b;
}

std::string blur_px_text(double px) { return blur_px_number(px) + " px"; }

std::string seen_range(const ObjectFocus& o) {
    const DistanceFormat f = format_for({o.nearest_m, o.farthest_m});
    const std::string a = f.text(o.nearest_m), b = f.text(o.farthest_m);
    if (a == b) return a;
    // "7.02 to 7.96 m": the unit once.
    const std::string unit = f.millimetres ? " mm" : " m";
    return a.substr(0, a.size() - unit.size()) + " to " + b;
}

std::string verdict(const ObjectFocus& o) {
    switch (o.zone) {
        case ObjectFocus::Zone::Unseen: return "not in view";
        case ObjectFocus::Zone::Unknown: return "blur unknown";
        case ObjectFocus::Zone::Sharp: return "sharp";
        case ObjectFocus::Zone::Partly: return "partly sharp, blur up to " + blur_px_text(o.blur_max_px);
        case ObjectFocus::Zone::Blurred: break;
    }
    const std::string lo = blur_px_text(o.blur_min_px), hi = blur_px_text(o.blur_max_px);
    return (lo == hi ? hi : lo.substr(0, lo.size() - 3) + " to " + hi) + " blur";
}

std::string object_sentence(const std::string& name, const ObjectFocus& o) {
    if (o.zone == ObjectFocus::Zone::Unseen) return name + ": not in view";
    return name + " " + seen_range(o) + ": " + verdict(o);
}

}  // namespace host
