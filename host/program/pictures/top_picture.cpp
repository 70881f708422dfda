// The top view: the scene seen from above (x to the right, z up the picture), with a grid and
// a scale bar, the camera's field of view, the sharp zone, the marks, the objects and the
// step's ray.
#include <algorithm>
#include <cmath>

#include "host/program/pictures/pictures.h"
#include "host/program/pictures/svg.h"

namespace host {

using svg::num;

namespace {


// World x, z to picture coordinates.
struct Frame {
    double x0 = 0, x1 = 0, z0 = 0, z1 = 0;  // world bounds shown
    double w = 0, h = 0, s = 1;             // picture size and pixels per metre
    double X(double x) const { return (x - x0) * s + (w - (x1 - x0) * s) / 2; }
    double Y(double z) const { return h - ((z - z0) * s + (h - (z1 - z0) * s) / 2); }
    // Picture coordinates back to world x, z.
    double world_x(double px) const { return (px - (w - (x1 - x0) * s) / 2) / s + x0; }
    double world_z(double py) const { return (h - py - (h - (z1 - z0) * s) / 2) / s + z0; }
    // True when no part of a circle's outline lies inside the picture.
    bool outside(Vec3 c, double r) const {
        const double cx = X(c.x), cy = Y(c.z), rp = r * s;
        const double dx = std::max({0.0, -cx, cx - w}), dy = std::max({0.0, -cy, cy - h});
        const double nearest = std::hypot(dx, dy);
        const double farthest = std::hypot(std::max(cx, w - cx), std::max(cy, h - cy));
        return rp < nearest || rp > farthest;
    }
};

Frame frame_for(const Scene& scene, const StepRecord& rec, const std::vector<DrawnMark>& marks, double w,
                double h) {
    Frame f;
    f.x0 = f.x1 = scene.camera.position.x;
    f.z0 = f.z1 = scene.camera.position.z;
    auto grow = [&](double x, double z) {
        f.x0 = std::min(f.x0, x);
        f.x1 = std::max(f.x1, x);
        f.z0 = std::min(f.z0, z);
        f.z1 = std::max(f.z1, z);
    };
    for (const Object& ob : scene.objects) {
        Vec3 lo, hi;
        ob.bounds(lo, hi);
        grow(lo.x, lo.z);
        grow(hi.x, hi.z);
    }
    if (rec.has_ray && rec.ray.hit) grow(rec.ray.point.x, rec.ray.point.z);
    // A mark much larger than the scene does not set the frame; the legend says it is outside.
    const double extent = std::max({f.x1 - f.x0, f.z1 - f.z0, 1.0});
    for (const auto& m : marks)
        if (m.radius <= 2.5 * extent) {
            grow(m.center.x - m.radius, m.center.z - m.radius);
            grow(m.center.x + m.radius, m.center.z + m.radius);
        }
    const double pad = 0.08 * std::max({f.x1 - f.x0, f.z1 - f.z0, 1.0});
    f.x0 -= pad;
    f.x1 += pad;
    f.z0 -= pad;
    f.z1 += pad;
    f.w = w;
    f.h = h;
    f.s = std::min(w / (f.x1 - f.x0), h / (f.z1 - f.z0));
    return f;
}

std::string grid(const Frame& f, double step) {
    std::string out = "<g class=\"grid\" stroke=\"#3c3c3c\" stroke-width=\"1\">\n";
    for (double x = std::ceil(f.world_x(0) / step) * step; x <= f.world_x(f.w); x += step)
        out += "<line x1=\"" + num(f.X(x)) + "\" y1=\"0\" x2=\"" + num(f.X(x)) + "\" y2=\"" + num(f.h) + "\"/>\n";
    for (double z = std::ceil(f.world_z(f.h) / step) * step; z <= f.world_z(0); z += step)
        out += "<line x1=\"0\" y1=\"" + num(f.Y(z)) + "\" x2=\"" + num(f.w) + "\" y2=\"" + num(f.Y(z)) + "\"/>\n";
    return out + "</g>\n";
}

// The horizontal field of view: its two edges from the camera, in world x, z.
void fov_edges(const Camera& c, Vec3& left, Vec3& right, double& degrees) {
    const double half_w = c.film_width * 1000.0 / 2.0;
    left = c.to_world({-half_w, 0, c.focal_length});
    right = c.to_world({half_w, 0, c.focal_length});
    left.y = right.y = 0;
    left = normalized(left);
    right = normalized(right);
    degrees = 2.0 * std::atan(half_w / c.focal_length) * 57.29577951308232;
}

struct P2 {
    double x, y;
};

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

std::string objects(const Scene& scene, const Frame& f) {
    std::string out = "<g class=\"objects\">\n";
    const std::string style = "fill=\"#59646b\" fill-opacity=\"0.85\" stroke=\"#cfd8dc\" stroke-width=\"1\"";
    for (const Object& ob : scene.objects) {
        out += "<g class=\"object\" data-name=\"" + svg::text(ob.name) + "\">";
        if (ob.kind == Object::Kind::Sphere) {
            out += "<circle cx=\"" + num(f.X(ob.center.x)) + "\" cy=\"" + num(f.Y(ob.center.z)) + "\" r=\"" +
                   num(ob.radius * f.s) + "\" " + style + "/>\n";
        } else if (ob.kind == Object::Kind::Box || ob.triangles.size() > kMaxMeshTriangles) {
            Vec3 lo, hi;
            ob.bounds(lo, hi);
            out += "<rect x=\"" + num(f.X(lo.x)) + "\" y=\"" + num(f.Y(hi.z)) + "\" width=\"" + num((hi.x - lo.x) * f.s) +
                   "\" height=\"" + num((hi.z - lo.z) * f.s) + "\" " + style + "/>\n";
        } else {
            for (const Triangle& t : ob.triangles)
                out += "<polygon points=\"" + num(f.X(t.v[0].x)) + "," + num(f.Y(t.v[0].z)) + " " + num(f.X(t.v[1].x)) +
                       "," + num(f.Y(t.v[1].z)) + " " + num(f.X(t.v[2].x)) + "," + num(f.Y(t.v[2].z)) + "\" " + style +
                       "/>\n";
        }
        out += "<text x=\"" + num(f.X(ob.center.x)) + "\" y=\"" + num(f.Y(ob.center.z) + 4) +
               "\" fill=\"#fff\" font-size=\"11\" text-anchor=\"middle\">" + svg::text(ob.name) + "</text></g>\n";
    }
    return out + "</g>\n";
}

}  // namespace

std::string top_picture(const Scene& scene, const StepRecord& rec) {
    double w = 0, h = 0, vw = 0, vh = 0;
    picture_size(scene, kViewTop, 4, 3, w, h, vw, vh);
    const auto marks = rec.drawn;
    const Frame f = frame_for(scene, rec, marks, w, h);
    std::vector<bool> outside;
    for (const auto& m : marks) outside.push_back(f.outside(m.center, m.radius));

    const Camera& cam = scene.camera;
    Vec3 left, right;
    double fov = 0;
    fov_edges(cam, left, right, fov);
    auto rows = svg::mark_rows(rec, marks, outside);
    rows.push_back({svg::Style{"fov", "#e8e8e8", 1, "8 4", "none", 0, 0.7}, false,
                    "field of view " + plain(std::round(fov * 10) / 10) + "\xC2\xB0 wide"});
    if (rec.has_ray) rows.push_back(svg::ray_row(rec, "the click's ray"));
    const double legend_h = svg::legend_height(rows);
    svg::Document doc(w, h + legend_h, "Top view. " + picture_title(rec));
    const double step = svg::nice_length((f.x1 - f.x0) / 8);
    doc << grid(f, step);

    // The sharp zone: between the near and far limits, inside the field of view.
    const double far_reach = 3 * std::hypot(w, h);
    const double cx = f.X(cam.position.x), cy = f.Y(cam.position.z);
    if (std::isfinite(rec.marks.near_limit)) {
        const double far = std::isfinite(rec.marks.far_limit) ? rec.marks.far_limit * f.s : far_reach;
        doc << "<path class=\"sharp-zone\" d=\"" +
                   sector_path(cx, cy, {left.x, -left.z}, {right.x, -right.z}, rec.marks.near_limit * f.s, far) + "\" " +
                   svg::sharp_zone_style().attributes() + "/>\n";
    }
    if (std::isfinite(rec.marks.near_limit) && !std::isfinite(rec.marks.far_limit) && std::isinf(rec.optics.far_limit)) {
        // The far limit at infinity: labelled where the sharp zone leaves the picture.
        const Vec3 ahead = normalized(Vec3{left.x + right.x, 0, left.z + right.z});
        double t = 0;
        while (t < far_reach && cx + ahead.x * t > 30 && cx + ahead.x * t < w - 30 && cy - ahead.z * t > 30 && cy - ahead.z * t < h - 30)
            t += 4;
        doc << "<text class=\"far-infinite\" x=\"" + num(cx + ahead.x * t) + "\" y=\"" + num(cy - ahead.z * t + 8) +
                   "\" fill=\"#8fd18f\" font-size=\"24\" text-anchor=\"middle\">\xE2\x88\x9E</text>\n";
    }
    doc << "<path class=\"fov\" d=\"M " + num(cx + left.x * far_reach) + " " + num(cy - left.z * far_reach) + " L " +
               num(cx) + " " + num(cy) + " L " + num(cx + right.x * far_reach) + " " + num(cy - right.z * far_reach) +
               "\" fill=\"none\" stroke=\"#e8e8e8\" stroke-opacity=\"0.7\" stroke-width=\"1\" stroke-dasharray=\"8 4\"/>\n";
    for (size_t i = 0; i < marks.size(); ++i) {
        const auto& m = marks[i];
        doc << "<circle class=\"mark " + std::string(m.role) + "\" data-radius=\"" + plain(m.radius) + "\" cx=\"" +
                   num(f.X(m.center.x)) + "\" cy=\"" + num(f.Y(m.center.z)) + "\" r=\"" + num(m.radius * f.s) + "\" " +
                   svg::style_of(m).attributes() + "/>\n";
    }
    doc << objects(scene, f);
    if (rec.has_ray) {
        const Vec3 d = normalized(rec.ray.direction);
        const double len = rec.ray.hit ? rec.ray.distance : far_reach / f.s;
        const Vec3 end = rec.ray.origin + d * len;
        doc << "<line class=\"ray\" x1=\"" + num(f.X(rec.ray.origin.x)) + "\" y1=\"" + num(f.Y(rec.ray.origin.z)) +
                   "\" x2=\"" + num(f.X(end.x)) + "\" y2=\"" + num(f.Y(end.z)) + "\" " + svg::ray_style().attributes() +
                   (rec.ray.hit ? "" : " stroke-dasharray=\"4 4\"") + "/>\n";
        if (rec.ray.hit)
            doc << "<circle class=\"hit\" cx=\"" + num(f.X(end.x)) + "\" cy=\"" + num(f.Y(end.z)) +
                       "\" r=\"4\" fill=\"#ffee55\" stroke=\"#000\" stroke-width=\"1\"/>\n";
    }
    const Vec3 fwd = cam.to_world({0, 0, 1});
    doc << "<g class=\"camera\"><circle cx=\"" + num(cx) + "\" cy=\"" + num(cy) + "\" r=\"5\" fill=\"#e53\"/><line x1=\"" +
               num(cx) + "\" y1=\"" + num(cy) + "\" x2=\"" + num(cx + fwd.x * 24) + "\" y2=\"" + num(cy - fwd.z * 24) +
               "\" stroke=\"#e53\" stroke-width=\"3\"/><text x=\"" + num(cx + 8) + "\" y=\"" + num(cy + 16) +
               "\" fill=\"#e53\" font-size=\"12\">camera</text></g>\n";
    doc << "<text class=\"title\" x=\"8\" y=\"18\" fill=\"#ddd\" font-size=\"13\">" + svg::text("Top view (x right, z up). " + picture_title(rec)) +
               "</text>\n";
    doc << svg::scale_bar(w - 20 - step * f.s, h - 14, step * f.s, step);
    doc << "<rect x=\"0\" y=\"" + num(h) + "\" width=\"" + num(w) + "\" height=\"" + num(legend_h) + "\" fill=\"#1e1e1e\"/>\n";
    doc << svg::legend(rows, h);
    return doc.finish();
}

}  // namespace host
