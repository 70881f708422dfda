#include "host/program/session/object_focus.h"

#include <algorithm>
#include <cmath>

namespace host {

std::vector<ObjectFocus> object_focus(const Scene& scene, const CameraView& view, const Sharpness& s) {
    std::vector<ObjectFocus> out;
    for (size_t i = 0; i < view.seen().size() && i < scene.objects.size(); ++i) {
        const CameraView::Seen& seen = view.seen()[i];
        ObjectFocus o;
        o.object = i;
        o.name = scene.objects[i].name;
        if (seen.samples == 0) {
            out.push_back(o);
            continue;
        }
        o.nearest_m = seen.nearest;
        o.farthest_m = seen.farthest;
        // The blur grows away from the focal distance on either side, so over a range of
        // distances it is least at the focus (when the range holds it) or at an end, and
        // greatest at an end.
        const double a = s.blur_mm(seen.nearest), b = s.blur_mm(seen.farthest);
        const bool holds_focus = seen.nearest <= s.focus_m && s.focus_m <= seen.farthest;
        o.blur_min_mm = holds_focus ? 0 : std::min(a, b);
        o.blur_max_mm = std::max(a, b);
        if (s.kind == Sharpness::Kind::Unfocusable) {
            o.zone = ObjectFocus::Zone::Unknown;
            o.blur_min_mm = o.blur_max_mm = NAN;
        } else {
            // The sharp distances are one range about the focus: the visible range lies
            // within it when both ends do, outside it when neither end does and it does not
            // hold the focus.
            const bool near_sharp = s.sharp(seen.nearest), far_sharp = s.sharp(seen.farthest);
            o.zone = near_sharp && far_sharp                     ? ObjectFocus::Zone::Sharp
                     : near_sharp || far_sharp || holds_focus ? ObjectFocus::Zone::Partly
                                                              : ObjectFocus::Zone::Blurred;
        }
        o.blur_min_px = o.blur_min_mm * s.pixels_per_mm;
        o.blur_max_px = o.blur_max_mm * s.pixels_per_mm;
        out.push_back(o);
    }
    return out;
}

const char* zone_name(ObjectFocus::Zone zone) {
    switch (zone) {
        case ObjectFocus::Zone::Unseen: return "not in view";
        case ObjectFocus::Zone::Sharp: return "sharp";
        case ObjectFocus::Zone::Partly: return "partly sharp";
        case ObjectFocus::Zone::Blurred: return "not sharp";
        case ObjectFocus::Zone::Unknown: return "unknown";
    }
    return "?";
}

}  // namespace host
