// The top view: the scene seen from above (x to the right, z up the picture), with a grid and
// a scale bar, the camera and its field of view, the sharp zone on the ground, the module's
// marks where they meet the ground, the objects coloured by their blur and labelled, the step's
// ray, and an enlarged inset where the marks lie too close together to tell apart.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "host/program/pictures/focus_map.h"
#include "host/program/pictures/ground.h"
#include "host/program/pictures/labels.h"
#include "host/program/pictures/pictures.h"
#include "host/program/pictures/svg.h"
#include "host/program/text/focus_words.h"

namespace host {

using svg::num;

namespace {

// World x, z to picture coordinates.
struct Frame {
    double x0 = 0, x1 = 0, z0 = 0, z1 = 0;  // world bounds shown
    double w = 0, h = 0, s = 1;             // picture size and pixels per metre
    double ox = 0, oy = 0;                  // where the frame's area starts on the page
    double X(double x) const { return ox + (x - x0) * s + (w - (x1 - x0) * s) / 2; }
    double Y(double z) const { return oy + h - ((z - z0) * s + (h - (z1 - z0) * s) / 2); }
    double world_x(double px) const { return (px - ox - (w - (x1 - x0) * s) / 2) / s + x0; }
    double world_z(double py) const { return (oy + h - py - (h - (z1 - z0) * s) / 2) / s + z0; }
    // Where a circle about (c.x, c.z) lies against the frame's area.
    svg::MarkPlace place(Vec3 c, double r) const {
        const double cx = X(c.x) - ox, cy = Y(c.z) - oy, rp = r * s;
        const double dx = std::max({0.0, -cx, cx - w}), dy = std::max({0.0, -cy, cy - h});
        const double farthest = std::hypot(std::max(cx, w - cx), std::max(cy, h - cy));
        if (rp > farthest) return svg::MarkPlace::AllAround;
        return rp < std::hypot(dx, dy) ? svg::MarkPlace::Outside : svg::MarkPlace::Shown;
    }
};

// The frame holding the camera, the objects, the hit and the marks' circles on the ground (a
// circle much larger than the scene does not set it: the legend says it is outside).
Frame frame_for(const Scene& scene, const StepRecord& rec, const std::vector<double>& ground, double w, double h) {
    Frame f;
    f.x0 = f.x1 = scene.camera.position.x;
    f.z0 = f.z1 = scene.camera.position.z;
    auto grow = [&](double x, double z) {
        f.x0 = std::min(f.x0, x), f.x1 = std::max(f.x1, x);
        f.z0 = std::min(f.z0, z), f.z1 = std::max(f.z1, z);
    };
    for (const Object& ob : scene.objects) {
        Vec3 lo, hi;
        ob.bounds(lo, hi);
        grow(lo.x, lo.z);
        grow(hi.x, hi.z);
    }
    if (rec.has_ray && rec.ray.hit) grow(rec.ray.point.x, rec.ray.point.z);
    const double extent = std::max({f.x1 - f.x0, f.z1 - f.z0, 1.0});
    const Vec3 c = scene.camera.position;
    for (double r : ground)
        if (r <= 2.5 * extent) {
            grow(c.x - r, c.z - r);
            grow(c.x + r, c.z + r);
        }
    const double pad = 0.08 * std::max({f.x1 - f.x0, f.z1 - f.z0, 1.0});
    f.x0 -= pad, f.x1 += pad, f.z0 -= pad, f.z1 += pad;
    f.w = w, f.h = h;
    f.s = std::min(w / (f.x1 - f.x0), h / (f.z1 - f.z0));
    return f;
}

std::string grid(const Frame& f, double step) {
    std::string out = "<g class=\"grid\" stroke=\"#3c3c3c\" stroke-width=\"1\">\n";
    for (double x = std::ceil(f.world_x(f.ox) / step) * step; x <= f.world_x(f.ox + f.w); x += step)
        out += "<line x1=\"" + num(f.X(x)) + "\" y1=\"" + num(f.oy) + "\" x2=\"" + num(f.X(x)) + "\" y2=\"" + num(f.oy + f.h) + "\"/>\n";
    for (double z = std::ceil(f.world_z(f.oy + f.h) / step) * step; z <= f.world_z(f.oy); z += step)
        out += "<line x1=\"" + num(f.ox) + "\" y1=\"" + num(f.Y(z)) + "\" x2=\"" + num(f.ox + f.w) + "\" y2=\"" + num(f.Y(z)) + "\"/>\n";
    return out + "</g>\n";
}

struct P2 {
    double x, y;
};

// The field of view from above: for a camera that looks more across than down (or up), the
// wedge between the horizontal directions of its left and right edges; for one that looks
// steeply down, the four corners of what it sees of the ground.
struct FieldOfView {
    enum class Kind { Wedge, Footprint, None } kind = Kind::None;
    P2 left{}, right{};           // picture directions (unit)
    std::vector<Vec3> footprint;  // world points on the ground
    double degrees = 0;
};

FieldOfView field_of_view(const Camera& c, const Viewport& vp) {
    FieldOfView v;
    const double half_w = c.film_width * 1000.0 / 2.0, half_h = half_w * vp.height / vp.width;
    v.degrees = 2.0 * std::atan(half_w / c.focal_length) * 57.29577951308232;
    if (std::fabs(c.to_world({0, 0, 1}).y) >= 0.9) {
        for (const auto& k : {P2{-1, -1}, P2{1, -1}, P2{1, 1}, P2{-1, 1}}) {
            const Vec3 d = c.to_world({k.x * half_w, k.y * half_h, c.focal_length});
            if (!(d.y * c.position.y < 0)) break;  // a corner that misses the ground
            v.footprint.push_back(c.position + d * (-c.position.y / d.y));
        }
        if (v.footprint.size() == 4) {
            v.kind = FieldOfView::Kind::Footprint;
            return v;
        }
    }
    Vec3 l = c.to_world({-half_w, 0, c.focal_length}), r = c.to_world({half_w, 0, c.focal_length});
    l.y = r.y = 0;
    if (length(l) < 1e-9 || length(r) < 1e-9) return v;  // straight up or down, the ground unseen
    l = normalized(l), r = normalized(r);
    v.left = {l.x, -l.z}, v.right = {r.x, -r.z};
    if (std::fabs(v.left.x * v.right.y - v.left.y * v.right.x) < 1e-9) return v;
    v.kind = FieldOfView::Kind::Wedge;
    return v;
}

// The part of the ring about (cx, cy) between radii r0 and r1 that lies between the picture
// directions a and b (unit vectors less than half a turn apart).
std::string sector_path(double cx, double cy, P2 a, P2 b, double r0, double r1) {
    // Picture y grows downwards: a turn from a to b with a positive cross product is clockwise
    // on the page, which is SVG's positive sweep.
    const char* sweep = a.x * b.y - a.y * b.x > 0 ? " 0 0 1 " : " 0 0 0 ";
    const char* back = a.x * b.y - a.y * b.x > 0 ? " 0 0 0 " : " 0 0 1 ";
    auto at = [&](P2 d, double r) { return num(cx + d.x * r) + " " + num(cy + d.y * r); };
    return "M " + at(a, r0) + " L " + at(a, r1) + " A " + num(r1) + " " + num(r1) + sweep + at(b, r1) + " L " +
           at(b, r0) + " A " + num(r0) + " " + num(r0) + back + at(a, r0) + " Z";
}

std::string circle_path(double cx, double cy, double r) {
    return "M " + num(cx - r) + " " + num(cy) + " a " + num(r) + " " + num(r) + " 0 1 0 " + num(2 * r) + " 0 a " +
           num(r) + " " + num(r) + " 0 1 0 " + num(-2 * r) + " 0 Z ";
}

// The sharp zone on the ground, within the field of view (`reach`: how far an unbounded
// zone is drawn, in pixels).
std::string sharp_zone(const StepRecord& rec, const Frame& f, const Vec3& cam, const FieldOfView& fov, double reach) {
    double inner = 0, outer = 0;
    if (!sharp_ground(rec, cam.y, inner, outer)) return "";
    const double cx = f.X(cam.x), cy = f.Y(cam.z), r0 = inner * f.s, r1 = std::isinf(outer) ? reach : outer * f.s;
    const std::string style = "fill=\"#40c460\" fill-opacity=\"0.22\" stroke=\"none\"";
    if (fov.kind == FieldOfView::Kind::None) return "";
    if (fov.kind == FieldOfView::Kind::Wedge)
        return "<path class=\"sharp-zone\" d=\"" + sector_path(cx, cy, fov.left, fov.right, r0, r1) + "\" " + style + "/>\n";
    // Steeply down: the ring clipped to the footprint. The clip's name comes from its own shape,
    // so that pictures of one report that share a name share the shape too.
    std::string footprint = "M";
    for (const Vec3& p : fov.footprint) footprint += " " + num(f.X(p.x)) + " " + num(f.Y(p.z));
    uint64_t hash = 1469598103934665603u;  // FNV-1a: the same name from every build
    for (const char ch : footprint) hash = (hash ^ static_cast<unsigned char>(ch)) * 1099511628211u;
    const std::string id = "footprint-" + std::to_string(hash % 1000000007u);
    return "<clipPath id=\"" + id + "\"><path d=\"" + footprint + " Z\"/></clipPath><path class=\"sharp-zone\" clip-path=\"url(#" +
           id + ")\" fill-rule=\"evenodd\" d=\"" + circle_path(cx, cy, r1) + (r0 > 0 ? circle_path(cx, cy, r0) : "") + "\" " +
           style + "/>\n";
}

std::string fov_lines(const Frame& f, const Vec3& cam, const FieldOfView& fov, double reach) {
    const std::string style = "fill=\"none\" stroke=\"#e8e8e8\" stroke-opacity=\"0.7\" stroke-width=\"1\" stroke-dasharray=\"8 4\"";
    const double cx = f.X(cam.x), cy = f.Y(cam.z);
    if (fov.kind == FieldOfView::Kind::None) return "";
    if (fov.kind == FieldOfView::Kind::Wedge)
        return "<path class=\"fov\" d=\"M " + num(cx + fov.left.x * reach) + " " + num(cy + fov.left.y * reach) + " L " +
               num(cx) + " " + num(cy) + " L " + num(cx + fov.right.x * reach) + " " + num(cy + fov.right.y * reach) + "\" " +
               style + "/>\n";
    std::string d = "M";
    for (const Vec3& p : fov.footprint) d += " " + num(f.X(p.x)) + " " + num(f.Y(p.z));
    return "<path class=\"fov\" d=\"" + d + " Z\" " + style + "/>\n";
}

// The objects, each filled in the colour of its least blur and outlined in that of its
// greatest (grey when the camera does not see it).
std::string objects(const Scene& scene, const Frame& f, const StepRecord& rec) {
    std::string out = "<g class=\"objects\">\n";
    const auto scale = focus_scale(rec.sharpness);
    auto colour_of = [&](double px) {
        if (px <= scale.front().to_px) return scale.front().colour;
        for (const FocusColour& c : scale)
            if (px <= c.to_px) return c.colour;
        return scale.back().colour;
    };
    for (size_t i = 0; i < scene.objects.size(); ++i) {
        const Object& ob = scene.objects[i];
        std::string fill = "#59646b", stroke = "#9aa4aa";
        if (i < rec.objects.size() && rec.objects[i].zone != ObjectFocus::Zone::Unseen &&
            rec.objects[i].zone != ObjectFocus::Zone::Unknown) {
            fill = hex(colour_of(rec.objects[i].blur_min_px));
            stroke = hex(colour_of(rec.objects[i].blur_max_px));
        }
        const std::string style = "fill=\"" + fill + "\" fill-opacity=\"0.5\" stroke=\"" + stroke + "\" stroke-width=\"2\"";
        out += "<g class=\"object\" data-name=\"" + svg::text(ob.name) + "\">";
        if (ob.kind == Object::Kind::Sphere) {
            out += "<circle cx=\"" + num(f.X(ob.center.x)) + "\" cy=\"" + num(f.Y(ob.center.z)) + "\" r=\"" +
                   num(ob.radius * f.s) + "\" " + style + "/>";
        } else if (ob.kind == Object::Kind::Box || ob.triangles.size() > kMaxMeshTriangles) {
            Vec3 lo, hi;
            ob.bounds(lo, hi);
            out += "<rect x=\"" + num(f.X(lo.x)) + "\" y=\"" + num(f.Y(hi.z)) + "\" width=\"" + num((hi.x - lo.x) * f.s) +
                   "\" height=\"" + num((hi.z - lo.z) * f.s) + "\" " + style + "/>";
        } else {
            for (const Triangle& t : ob.triangles)
                out += "<polygon points=\"" + num(f.X(t.v[0].x)) + "," + num(f.Y(t.v[0].z)) + " " + num(f.X(t.v[1].x)) +
                       "," + num(f.Y(t.v[1].z)) + " " + num(f.X(t.v[2].x)) + "," + num(f.Y(t.v[2].z)) + "\" " + style + "/>";
        }
        out += "</g>\n";
    }
    return out + "</g>\n";
}

std::string mark_circles(const Frame& f, const std::vector<DrawnMark>& marks, const std::vector<double>& ground,
                         const char* cls) {
    std::string out;
    for (size_t i = 0; i < marks.size(); ++i) {
        if (std::isnan(ground[i])) continue;
        svg::Style style = svg::style_of(marks[i]);
        style.fill = "none";
        out += "<circle class=\"" + std::string(cls) + " " + marks[i].role + "\" data-radius=\"" + plain(marks[i].radius) +
               "\" data-ground-radius=\"" + plain(ground[i]) + "\" cx=\"" + num(f.X(marks[i].center.x)) + "\" cy=\"" +
               num(f.Y(marks[i].center.z)) + "\" r=\"" + num(ground[i] * f.s) + "\" " + style.attributes() + "/>\n";
    }
    return out;
}

// The inset: when two of the marks' circles on the ground lie within a few pixels of each
// other, the stretch of ground about the focus, enlarged until they stand well apart, in the
// corner of the picture farthest from the camera.
std::string inset(const Scene& scene, const StepRecord& rec, const Frame& f, const std::vector<double>& ground,
                  const FieldOfView& fov, double reach, Box& taken) {
    std::vector<double> r;
    for (double g : ground)
        if (std::isfinite(g)) r.push_back(g);
    if (r.size() < 2) return "";
    std::sort(r.begin(), r.end());
    double gap = INFINITY;
    for (size_t i = 1; i < r.size(); ++i) gap = std::min(gap, r[i] - r[i - 1]);
    if (gap * f.s >= 6 || !(gap > 0)) return "";
    const double iw = std::min(300.0, f.w * 0.45), ih = std::min(200.0, f.h * 0.4);
    Frame in = f;
    in.s = std::max(f.s * 4, 40 / gap);  // the closest marks 40 pixels apart, at least four times as large
    in.w = iw, in.h = ih;
    const Vec3 cam = scene.camera.position;
    const P2 ahead = fov.kind == FieldOfView::Kind::Wedge ? P2{(fov.left.x + fov.right.x) / 2, (fov.left.y + fov.right.y) / 2}
                                                           : P2{0, -1};
    const double n = std::hypot(ahead.x, ahead.y) > 0 ? std::hypot(ahead.x, ahead.y) : 1;
    const double mid = (r.front() + r.back()) / 2;
    const double wx = cam.x + ahead.x / n * mid, wz = cam.z - ahead.y / n * mid;  // the focus, ahead
    in.x0 = in.x1 = wx, in.z0 = in.z1 = wz;
    const double cxp = f.X(cam.x), cyp = f.Y(cam.z);
    in.ox = cxp < f.ox + f.w / 2 ? f.ox + f.w - iw - 8 : f.ox + 8;
    in.oy = cyp < f.oy + f.h / 2 ? f.oy + f.h - ih - 36 : f.oy + 8;
    taken = {in.ox, in.oy, in.ox + iw, in.oy + ih + 16};
    const double zoom = in.s / f.s;
    std::string out = "<g class=\"inset\" data-zoom=\"" + plain(std::round(zoom * 10) / 10) + "\">";
    // Where the inset looks, on the picture.
    const double hw = iw / 2 / in.s * f.s, hh = ih / 2 / in.s * f.s;
    out += "<rect x=\"" + num(f.X(wx) - hw) + "\" y=\"" + num(f.Y(wz) - hh) + "\" width=\"" + num(2 * hw) + "\" height=\"" +
           num(2 * hh) + "\" fill=\"none\" stroke=\"#fff\" stroke-width=\"1\" stroke-dasharray=\"3 2\"/>";
    out += "<svg x=\"" + num(in.ox) + "\" y=\"" + num(in.oy) + "\" width=\"" + num(iw) + "\" height=\"" + num(ih) +
           "\" viewBox=\"" + num(in.ox) + " " + num(in.oy) + " " + num(iw) + " " + num(ih) + "\" overflow=\"hidden\">";
    out += "<rect x=\"" + num(in.ox) + "\" y=\"" + num(in.oy) + "\" width=\"" + num(iw) + "\" height=\"" + num(ih) + "\" fill=\"#2b2b2b\"/>";
    out += objects(scene, in, rec) + sharp_zone(rec, in, cam, fov, reach * zoom) + mark_circles(in, rec.drawn, ground, "inset-mark");
    out += "</svg><rect x=\"" + num(in.ox) + "\" y=\"" + num(in.oy) + "\" width=\"" + num(iw) + "\" height=\"" + num(ih) +
           "\" fill=\"none\" stroke=\"#fff\" stroke-width=\"1\"/><text x=\"" + num(in.ox + 4) + "\" y=\"" + num(in.oy + ih + 13) +
           "\" fill=\"#e8e8e8\" font-size=\"11\">enlarged " + plain(std::round(zoom * 10) / 10) + " times</text></g>\n";
    return out;
}

}  // namespace

std::string top_picture(const Scene& scene, const StepRecord& rec) {
    double w = 0, h = 0, vw = 0, vh = 0;
    picture_size(scene, kViewTop, 4, 3, w, h, vw, vh);
    const Camera& cam = scene.camera;
    const auto& marks = rec.drawn;
    std::vector<double> ground;
    for (const DrawnMark& m : marks) ground.push_back(ground_radius(m.radius, m.center.y));
    Frame f = frame_for(scene, rec, ground, w, h);
    f.oy = svg::kTitleBand;
    const FieldOfView fov = field_of_view(cam, camera_viewport(scene));
    std::vector<svg::MarkPlace> where;
    for (size_t i = 0; i < marks.size(); ++i)
        where.push_back(std::isnan(ground[i]) ? svg::MarkPlace::OffTheGround : f.place(marks[i].center, ground[i]));

    const double reach = 3 * std::hypot(w, h);
    const double cx = f.X(cam.position.x), cy = f.Y(cam.position.z);
    const double step = svg::nice_length((f.x1 - f.x0) / 8);
    // The objects under the sharp zone and the marks, which stay visible over a floor.
    std::string view = grid(f, step) + objects(scene, f, rec) + sharp_zone(rec, f, cam.position, fov, reach);
    double inner = 0, outer = 0;
    if (fov.kind == FieldOfView::Kind::Wedge && sharp_ground(rec, cam.position.y, inner, outer) && std::isinf(outer)) {
        // The sharp zone reaches infinity: "∞" where it leaves the picture.
        const P2 a{(fov.left.x + fov.right.x) / 2, (fov.left.y + fov.right.y) / 2};
        const double n = std::hypot(a.x, a.y);
        double t = 0;
        auto in = [&](double x, double y) { return x > 30 && x < w - 30 && y > f.oy + 30 && y < f.oy + h - 30; };
        while (n > 0 && t < reach && in(cx + a.x / n * t, cy + a.y / n * t)) t += 4;
        if (n > 0)
            view += "<text class=\"far-infinite\" x=\"" + num(cx + a.x / n * t) + "\" y=\"" + num(cy + a.y / n * t + 8) +
                    "\" fill=\"#8fd18f\" font-size=\"24\" text-anchor=\"middle\">\xE2\x88\x9E</text>\n";
    }
    view += fov_lines(f, cam.position, fov, reach) + mark_circles(f, marks, ground, "mark");

    LabelPlacer placer({f.ox + 2, f.oy + 2, f.ox + w - 2, f.oy + h - 2});
    placer.keep_clear({cx - 7, cy - 7, cx + 7, cy + 7});
    const double bar_x = w - 20 - step * f.s, bar_y = f.oy + h - 14;
    placer.keep_clear({bar_x - 30, bar_y - 24, w, bar_y + 8});
    Box inset_box{0, 0, 0, 0};
    const std::string enlarged = inset(scene, rec, f, ground, fov, reach, inset_box);
    if (!enlarged.empty()) placer.keep_clear(inset_box);
    if (rec.has_ray) {
        const Vec3 d = normalized(rec.ray.direction);
        const Vec3 end = rec.ray.origin + d * (rec.ray.hit ? rec.ray.distance : reach / f.s);
        view += "<line class=\"ray\" x1=\"" + num(f.X(rec.ray.origin.x)) + "\" y1=\"" + num(f.Y(rec.ray.origin.z)) + "\" x2=\"" +
                num(f.X(end.x)) + "\" y2=\"" + num(f.Y(end.z)) + "\" " + svg::ray_style().attributes() +
                (rec.ray.hit ? "" : " stroke-dasharray=\"4 4\"") + "/>\n";
        placer.keep_clear(f.X(rec.ray.origin.x), f.Y(rec.ray.origin.z), f.X(end.x), f.Y(end.z), 4);
        if (rec.ray.hit)
            view += "<circle class=\"hit\" cx=\"" + num(f.X(end.x)) + "\" cy=\"" + num(f.Y(end.z)) +
                    "\" r=\"4\" fill=\"#ffee55\" stroke=\"#000\" stroke-width=\"1\"/>\n";
    }
    const Vec3 fwd = cam.to_world({0, 0, 1});
    const double fl = std::hypot(fwd.x, fwd.z) > 1e-9 ? 24 / std::hypot(fwd.x, fwd.z) : 0;
    view += "<g class=\"camera\"><circle cx=\"" + num(cx) + "\" cy=\"" + num(cy) + "\" r=\"5\" fill=\"#e53\"/><line x1=\"" +
            num(cx) + "\" y1=\"" + num(cy) + "\" x2=\"" + num(cx + fwd.x * fl) + "\" y2=\"" + num(cy - fwd.z * fl) +
            "\" stroke=\"#e53\" stroke-width=\"3\"/></g>\n";
    placer.keep_clear(cx, cy, cx + fwd.x * fl, cy - fwd.z * fl, 4);
    if (const auto box = placer.place(cx, cy + 16, "camera", svg::kLabelFont)) view += svg::label(*box, "camera", "label camera-label");
    std::string unplaced;
    for (const ObjectFocus& o : rec.objects) {
        const Object& ob = scene.objects[o.object];
        Vec3 lo, hi;
        ob.bounds(lo, hi);
        const std::string text = o.name + ": " + verdict(o);
        if (const auto box = placer.place(f.X((lo.x + hi.x) / 2), f.Y((lo.z + hi.z) / 2), text, svg::kLabelFont))
            view += svg::label(*box, text, "label");
        else
            unplaced += (unplaced.empty() ? "" : "; ") + text;
    }
    view += enlarged;
    view += svg::scale_bar(bar_x, bar_y, step * f.s, step);

    std::vector<svg::LegendRow> rows;
    double zone_inner = 0, zone_outer = 0;
    if (sharp_ground(rec, cam.position.y, zone_inner, zone_outer)) {
        const DistanceFormat df = format_for({zone_inner, zone_outer});
        rows.push_back({svg::Style{"sharp", "none", 0, "", "#40c460", 0.22, 0}, true,
                        "sharp on the ground, within the field of view: " +
                            (zone_inner > 0 ? "from " + df.text(zone_inner) : std::string("from below the camera")) +
                            " to " + df.text(zone_outer) + " out"});
    }
    for (auto& r : svg::mark_rows(rec, marks, where, cam.position.y)) rows.push_back(r);
    rows.push_back({svg::Style{"fov", "#e8e8e8", 1, "8 4", "none", 0, 0.7}, false,
                    fov.kind == FieldOfView::Kind::Wedge       ? "field of view " + plain(std::round(fov.degrees * 10) / 10) + "\xC2\xB0 wide"
                    : fov.kind == FieldOfView::Kind::Footprint ? std::string("field of view: what the camera sees of the ground")
                                                               : std::string("field of view: none on the ground (the camera looks straight up or down and sees no ground)")});
    rows.push_back({svg::Style{"objects", "#9aa4aa", 2, "", "#59646b", 0.5, 1}, true,
                    "objects: filled in the colour of their least blur, outlined in that of their greatest (the camera "
                    "view's colours); grey: not in view"});
    if (rec.has_ray) rows.push_back(svg::ray_row(rec, "the click's ray"));
    // The view in the page's own coordinates, as the frame places everything.
    return svg::picture(w, h, "Top view (x right, z up). " + picture_title(rec), view, true, rows, unplaced, rec);
}

}  // namespace host
