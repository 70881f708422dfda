// The camera view: the focus map of what the camera sees (each visible surface coloured by its
// blur), the module's marks where they meet the ground, the step's click and hit, and a label
// on each object saying how sharp it is.
#include <algorithm>
#include <cmath>

#include "host/program/pictures/focus_map.h"
#include "host/program/pictures/ground.h"
#include "host/program/pictures/labels.h"
#include "host/program/pictures/pictures.h"
#include "host/program/pictures/svg.h"
#include "host/program/text/focus_words.h"

namespace host {

using svg::num;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kNearPlane = 0.05;  // metres in front of the camera

// The camera's projection onto the picture's view area (w x h, its own coordinates).
struct Projector {
    const Camera& cam;
    double width, height, half_w, aspect;
    Projector(const Camera& c, double w, double h)
        : cam(c), width(w), height(h), half_w(c.film_width * 1000.0 / 2.0), aspect(h / w) {}
    bool project(Vec3 p, double& px, double& py) const {
        const Vec3 l = cam.to_local(p - cam.position);
        if (l.z < kNearPlane) return false;
        const double sx = l.x * cam.focal_length / (l.z * half_w);
        const double sy = l.y * cam.focal_length / (l.z * half_w * aspect);
        px = (sx + 1.0) / 2.0 * width;
        py = (1.0 - sy) / 2.0 * height;
        return std::isfinite(px) && std::isfinite(py) && std::fabs(px) < 1e7 && std::fabs(py) < 1e7;
    }
    bool inside(double px, double py) const { return px >= 0 && px <= width && py >= 0 && py <= height; }
};

// A mark's circle on the ground (radius `r` about the point below the camera) as polylines of
// its parts in front of the camera; `visible` tells whether any of it is in the picture.
std::string ground_circle(const Projector& pr, const DrawnMark& m, double r, bool& visible) {
    std::string out, pts;
    visible = false;
    svg::Style outline = svg::style_of(m);
    outline.fill = "none";
    auto flush = [&]() {
        // A dark halo under the mark, so that it stands out on every colour of the map.
        if (!pts.empty())
            out += "<polyline class=\"halo\" points=\"" + pts + "\" fill=\"none\" stroke=\"#000\" stroke-opacity=\"0.6\" stroke-width=\"" +
                   num(outline.width + 2.5) + "\"/>\n<polyline class=\"mark " + std::string(m.role) + "\" data-radius=\"" +
                   plain(m.radius) + "\" data-ground-radius=\"" + plain(r) + "\" points=\"" + pts + "\" " + outline.attributes() +
                   "/>\n";
        pts.clear();
    };
    for (int i = 0; i <= 720; ++i) {
        const double a = 2 * kPi * i / 720;
        double x, y;
        if (pr.project({m.center.x + r * std::sin(a), 0.0, m.center.z + r * std::cos(a)}, x, y)) {
            pts += num(x) + "," + num(y) + " ";
            visible = visible || pr.inside(x, y);
        } else {
            flush();
        }
    }
    flush();
    return out;
}

// Whether the ground the camera view covers (hidden or not) lies within `r` of the point below
// the camera, for a circle no part of which is in the picture: then one point of that ground
// tells for all of it. The rays through the centre and the corners are tried in turn.
bool ground_within(const Scene& scene, const Viewport& vp, double r) {
    const Vec3 c = scene.camera.position;
    const double pixels[5][2] = {{vp.width / 2.0, vp.height / 2.0}, {0, 0}, {vp.width - 1.0, 0}, {0, vp.height - 1.0},
                                 {vp.width - 1.0, vp.height - 1.0}};
    for (const auto& p : pixels) {
        const Vec3 d = scene.pixel_ray(vp, p[0], p[1]);
        if (!(d.y * c.y < 0)) continue;
        const Vec3 g = c + d * (-c.y / d.y);
        return std::hypot(g.x - c.x, g.z - c.z) < r;
    }
    return false;
}

// Where each object shows in the view: the centre of its samples, in picture coordinates.
struct Anchor {
    double x = 0, y = 0;
    size_t samples = 0;
};
std::vector<Anchor> anchors(const CameraView& view, size_t objects, double w, double h) {
    std::vector<Anchor> out(objects);
    for (int r = 0; r < view.rows(); ++r)
        for (int c = 0; c < view.columns(); ++c) {
            const int32_t o = view.at(c, r).surface;
            if (o < 0 || static_cast<size_t>(o) >= objects) continue;
            Anchor& a = out[static_cast<size_t>(o)];
            a.x += (c + 0.5) / view.columns() * w;
            a.y += (r + 0.5) / view.rows() * h;
            ++a.samples;
        }
    for (Anchor& a : out)
        if (a.samples) a.x /= static_cast<double>(a.samples), a.y /= static_cast<double>(a.samples);
    return out;
}

}  // namespace

std::string camera_picture(const Scene& scene, const StepRecord& rec, const CameraView& view) {
    double w = 0, h = 0, vw = 0, vh = 0;
    picture_size(scene, kViewCamera, 640, 480, w, h, vw, vh);
    const Projector pr(scene.camera, w, h);
    const double height = scene.camera.position.y;
    const auto& marks = rec.drawn;

    std::string view_svg = focus_map_image(view, rec.sharpness, 0, 0, w, h);
    std::vector<svg::MarkPlace> where;
    for (const DrawnMark& m : marks) {
        const double r = ground_radius(m.radius, m.center.y);
        if (std::isnan(r)) {
            where.push_back(svg::MarkPlace::OffTheGround);
            continue;
        }
        bool visible = false;
        view_svg += ground_circle(pr, m, r, visible);
        where.push_back(visible                         ? svg::MarkPlace::Shown
                        : ground_within(scene, view.viewport(), r) ? svg::MarkPlace::AllAround
                                                         : svg::MarkPlace::Outside);
    }

    LabelPlacer placer({2, 2, w - 2, h - 2});
    if (rec.has_ray) {
        const double x = (rec.step.px + 0.5) / vw * w, y = (rec.step.py + 0.5) / vh * h;
        view_svg += "<g class=\"click\" stroke=\"#ffee55\" stroke-width=\"1.5\"><line x1=\"" + num(x - 9) + "\" y1=\"" + num(y) +
                    "\" x2=\"" + num(x + 9) + "\" y2=\"" + num(y) + "\"/><line x1=\"" + num(x) + "\" y1=\"" + num(y - 9) +
                    "\" x2=\"" + num(x) + "\" y2=\"" + num(y + 9) + "\"/></g>\n";
        placer.keep_clear({x - 11, y - 11, x + 11, y + 11});
        double hx, hy;
        if (rec.ray.hit && pr.project(rec.ray.point, hx, hy)) {
            view_svg += "<circle class=\"hit\" cx=\"" + num(hx) + "\" cy=\"" + num(hy) +
                        "\" r=\"5\" fill=\"none\" stroke=\"#ffee55\" stroke-width=\"2\"/>\n";
            placer.keep_clear({hx - 7, hy - 7, hx + 7, hy + 7});
        }
    }
    std::string unplaced;
    const auto at = anchors(view, rec.objects.size(), w, h);
    for (const ObjectFocus& o : rec.objects) {
        if (o.zone == ObjectFocus::Zone::Unseen) continue;
        const std::string text = o.name + ": " + verdict(o);
        const Anchor& a = at[o.object];
        if (const auto box = placer.place(a.x, a.y, text, svg::kLabelFont))
            view_svg += svg::label(*box, text, "label");
        else
            unplaced += (unplaced.empty() ? "" : "; ") + text;
    }

    std::vector<svg::LegendRow> rows;
    for (const FocusColour& c : focus_scale(rec.sharpness))
        rows.push_back({svg::Style{"focus-colour", "none", 0, "", hex(c.colour), 1, 0}, true, c.label});
    rows.push_back({svg::Style{"ground", "none", 0, "", hex({60, 60, 60}), 1, 0}, true,
                    "darker colours: the ground (y = 0), which no click can hit; dark grey: nothing"});
    for (auto& r : svg::mark_rows(rec, marks, where, height)) rows.push_back(r);
    if (rec.has_ray) rows.push_back(svg::ray_row(rec, "the click"));
    return svg::picture(w, h, "Camera view: what will be sharp. " + picture_title(rec), view_svg, false, rows, unplaced, rec);
}

std::string picture_title(const StepRecord& rec) {
    if (rec.number == 0) return "Before the first step";
    return "Step " + std::to_string(rec.number) + ": " + rec.action;
}

void picture_size(const Scene& scene, int viewport_type, double default_width, double default_height, double& w,
                  double& h, double& vw, double& vh) {
    vw = default_width;
    vh = default_height;
    for (const Viewport& v : scene.viewports)
        if (v.type == viewport_type) {
            vw = v.width;
            vh = v.height;
            break;
        }
    const double aspect = vh / vw, long_side = 900;
    if (aspect <= 1) {
        w = long_side;
        h = std::max(120.0, std::round(long_side * aspect));
    } else {
        h = long_side;
        w = std::max(120.0, std::round(long_side / aspect));
    }
}

}  // namespace host
