// The camera view: the scene through the render camera, with a grid on the ground (y = 0), the
// marks drawn as this host renders them (horizontal circles on the ground below their centre),
// the sharp zone between them shaded on the ground, the objects and the step's click.
#include <algorithm>
#include <cmath>

#include "host/program/pictures/pictures.h"
#include "host/program/pictures/svg.h"

namespace host {

using svg::num;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kNearPlane = 0.05;  // metres in front of the camera

// The camera's projection onto the picture.
struct Projector {
    const Camera& cam;
    double width, height, half_w, aspect;
    Projector(const Camera& c, double w, double h)
        : cam(c), width(w), height(h), half_w(c.film_width * 1000.0 / 2.0), aspect(h / w) {}
    Vec3 to_local(Vec3 p) const { return cam.to_local(p - cam.position); }
    bool project_local(Vec3 l, double& px, double& py) const {
        if (l.z < kNearPlane) return false;
        const double sx = l.x * cam.focal_length / (l.z * half_w);
        const double sy = l.y * cam.focal_length / (l.z * half_w * aspect);
        px = (sx + 1.0) / 2.0 * width;
        py = (1.0 - sy) / 2.0 * height;
        return std::isfinite(px) && std::isfinite(py) && std::fabs(px) < 1e7 && std::fabs(py) < 1e7;
    }
    bool project(Vec3 p, double& px, double& py) const { return project_local(to_local(p), px, py); }
    bool inside(double px, double py) const { return px >= 0 && px <= width && py >= 0 && py <= height; }
};

// A world segment, cut at the near plane, as a picture line; empty when it lies behind.
std::string segment(const Projector& pr, Vec3 a, Vec3 b, const std::string& attributes) {
    Vec3 la = pr.to_local(a), lb = pr.to_local(b);
    if (la.z < kNearPlane && lb.z < kNearPlane) return "";
    if (la.z < kNearPlane || lb.z < kNearPlane) {
        const double t = (kNearPlane - la.z) / (lb.z - la.z);
        Vec3 cut = la + (lb - la) * t;
        cut.z = kNearPlane;  // exactly on the plane, whatever the rounding
        (la.z < kNearPlane ? la : lb) = cut;
    }
    double ax, ay, bx, by;
    if (!pr.project_local(la, ax, ay) || !pr.project_local(lb, bx, by)) return "";
    return "<line x1=\"" + num(ax) + "\" y1=\"" + num(ay) + "\" x2=\"" + num(bx) + "\" y2=\"" + num(by) + "\" " +
           attributes + "/>\n";
}

Vec3 on_ground(Vec3 center, double r, double angle) {
    return {center.x + r * std::sin(angle), 0.0, center.z + r * std::cos(angle)};
}

std::string ground_grid(const Projector& pr, const Vec3& around, double step) {
    std::string out = "<g class=\"grid\">\n";
    const std::string style = "stroke=\"#3c3c3c\" stroke-width=\"1\"";
    const double cx = std::round(around.x / step) * step, cz = std::round(around.z / step) * step;
    const double reach = 40 * step;
    for (int k = -40; k <= 40; ++k) {
        const double x = cx + k * step, z = cz + k * step;
        out += segment(pr, {x, 0, cz - reach}, {x, 0, cz + reach}, style);
        out += segment(pr, {cx - reach, 0, z}, {cx + reach, 0, z}, style);
    }
    return out + "</g>\n";
}

// A mark's outline as a polyline of its visible parts; `visible` tells whether any of it is in
// the picture.
std::string ground_circle(const Projector& pr, const DrawnMark& m, bool& visible) {
    std::string out, pts;
    visible = false;
    svg::Style outline = svg::style_of(m);
    outline.fill = "none";
    auto flush = [&]() {
        if (!pts.empty())
            out += "<polyline class=\"mark " + std::string(m.role) + "\" data-radius=\"" + plain(m.radius) +
                   "\" points=\"" + pts + "\" " + outline.attributes() + "/>\n";
        pts.clear();
    };
    for (int i = 0; i <= 720; ++i) {
        double x, y;
        if (pr.project(on_ground(m.center, m.radius, 2 * kPi * i / 720), x, y)) {
            pts += num(x) + "," + num(y) + " ";
            visible = visible || pr.inside(x, y);
        } else {
            flush();
        }
    }
    flush();
    return out;
}

// A ring on the ground between two radii, as quadrilaterals: the sharp zone, or a disc's fill.
std::string ground_band(const Projector& pr, Vec3 center, double near_r, double far_r, const svg::Style& style,
                        const char* cls) {
    std::string d;
    const int n = 240;
    for (int i = 0; i < n; ++i) {
        const double a0 = 2 * kPi * i / n, a1 = 2 * kPi * (i + 1) / n;
        const Vec3 q[4] = {on_ground(center, near_r, a0), on_ground(center, far_r, a0), on_ground(center, far_r, a1),
                           on_ground(center, near_r, a1)};
        double x[4], y[4];
        bool ok = true;
        for (int k = 0; k < 4 && ok; ++k) ok = pr.project(q[k], x[k], y[k]);
        if (!ok) continue;
        d += "M " + num(x[0]) + " " + num(y[0]) + " L " + num(x[1]) + " " + num(y[1]) + " L " + num(x[2]) + " " +
             num(y[2]) + " L " + num(x[3]) + " " + num(y[3]) + " Z ";
    }
    if (d.empty()) return "";
    svg::Style fill = style;
    fill.stroke = "none";
    return "<path class=\"" + std::string(cls) + "\" d=\"" + d + "\" " + fill.attributes() + "/>\n";
}

std::string objects(const Projector& pr, const Scene& scene) {
    std::string out = "<g class=\"objects\">\n";
    const std::string style = "stroke=\"#9aa\" stroke-width=\"1\"";
    for (const Object& ob : scene.objects) {
        out += "<g class=\"object\" data-name=\"" + svg::text(ob.name) + "\">\n";
        if (ob.kind == Object::Kind::Sphere) {
            for (int ring = 0; ring < 3; ++ring)
                for (int i = 0; i < 48; ++i) {
                    auto at = [&](double a) {
                        const double c = ob.radius * std::cos(a), s = ob.radius * std::sin(a);
                        return ob.center + (ring == 0 ? Vec3{c, s, 0} : ring == 1 ? Vec3{0, s, c} : Vec3{c, 0, s});
                    };
                    out += segment(pr, at(2 * kPi * i / 48), at(2 * kPi * (i + 1) / 48), style);
                }
        } else if (ob.kind == Object::Kind::Mesh && ob.triangles.size() <= kMaxMeshTriangles) {
            for (const Triangle& t : ob.triangles)
                for (int e = 0; e < 3; ++e) out += segment(pr, t.v[e], t.v[(e + 1) % 3], style);
        } else {
            Vec3 lo, hi;
            ob.bounds(lo, hi);
            auto corner = [&](int i) { return Vec3{(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z}; };
            static const int kEdges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                              {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
            for (const auto& e : kEdges) out += segment(pr, corner(e[0]), corner(e[1]), style);
        }
        out += "</g>\n";
    }
    return out + "</g>\n";
}

}  // namespace

std::string camera_picture(const Scene& scene, const StepRecord& rec) {
    double w = 0, h = 0, vw = 0, vh = 0;
    picture_size(scene, kViewCamera, 640, 480, w, h, vw, vh);
    const Projector pr(scene.camera, w, h);
    const auto marks = rec.drawn;

    std::string drawn;
    std::vector<bool> outside;
    for (const auto& m : marks) {
        bool visible = false;
        if (m.kind == DrawKind::Disc) drawn += ground_band(pr, m.center, 0.01 * m.radius, m.radius, svg::style_of(m), "disc-fill");
        drawn += ground_circle(pr, m, visible);
        outside.push_back(!visible);
    }
    double extent = 1;
    for (const Object& ob : scene.objects)
        extent = std::max(extent, length(ob.center - scene.camera.position) + ob.radius);
    const double step = svg::nice_length(extent / 8);

    auto rows = svg::mark_rows(rec, marks, outside);
    rows.push_back({svg::Style{"grid", "#5a5a5a", 1, "", "none", 0, 1}, false,
                    "grid on the ground, lines every " + svg::length_label(step)});
    if (rec.has_ray) rows.push_back(svg::ray_row(rec, "the click"));
    const double legend_h = svg::legend_height(rows);
    svg::Document doc(w, h + legend_h, "Camera view. " + picture_title(rec));
    doc << "<svg x=\"0\" y=\"0\" width=\"" + num(w) + "\" height=\"" + num(h) + "\" overflow=\"hidden\">\n";
    doc << ground_grid(pr, scene.camera.position, step);
    if (std::isfinite(rec.marks.near_limit) && !marks.empty()) {
        const double far = std::isfinite(rec.marks.far_limit) ? rec.marks.far_limit : 1000 * extent;
        doc << ground_band(pr, marks.front().center, rec.marks.near_limit, far, svg::sharp_zone_style(), "sharp-zone");
    }
    doc << drawn << objects(pr, scene);
    if (rec.has_ray) {
        const double x = (rec.step.px + 0.5) / vw * w, y = (rec.step.py + 0.5) / vh * h;
        doc << "<g class=\"click\" stroke=\"#ffee55\" stroke-width=\"1.5\"><line x1=\"" + num(x - 9) + "\" y1=\"" + num(y) +
                   "\" x2=\"" + num(x + 9) + "\" y2=\"" + num(y) + "\"/><line x1=\"" + num(x) + "\" y1=\"" + num(y - 9) +
                   "\" x2=\"" + num(x) + "\" y2=\"" + num(y + 9) + "\"/></g>\n";
        double hx, hy;
        if (rec.ray.hit && pr.project(rec.ray.point, hx, hy))
            doc << "<circle class=\"hit\" cx=\"" + num(hx) + "\" cy=\"" + num(hy) +
                       "\" r=\"5\" fill=\"none\" stroke=\"#ffee55\" stroke-width=\"2\"/>\n";
    }
    doc << "<text class=\"title\" x=\"8\" y=\"18\" fill=\"#ddd\" font-size=\"13\">" + svg::text("Camera view. " + picture_title(rec)) +
               "</text>\n</svg>\n";
    doc << "<rect x=\"0\" y=\"" + num(h) + "\" width=\"" + num(w) + "\" height=\"" + num(legend_h) + "\" fill=\"#1e1e1e\"/>\n";
    doc << svg::legend(rows, h);
    return doc.finish();
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
