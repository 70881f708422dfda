#include "host/svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

namespace host {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr size_t kMaxMeshTriangles = 3000;

std::string num(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.2f", v);
    return b;
}

std::string color(const float* rgba) {
    char b[64];
    std::snprintf(b, sizeof b, "rgb(%d,%d,%d)", static_cast<int>(std::lround(rgba[0] * 255)),
                  static_cast<int>(std::lround(rgba[1] * 255)), static_cast<int>(std::lround(rgba[2] * 255)));
    return b;
}

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

// Each mark with the colour in force when it was drawn.
struct Mark {
    DrawKind kind;
    float rgba[4];
    Vec3 center;
    double radius;
};

std::vector<Mark> marks(const std::vector<DrawCall>& draws) {
    std::vector<Mark> out;
    float current[4] = {1, 1, 1, 1};
    for (const DrawCall& d : draws) {
        if (d.kind == DrawKind::Color) {
            std::copy(d.rgba, d.rgba + 4, current);
            continue;
        }
        if (!std::isfinite(d.radius)) continue;
        Mark m{d.kind, {current[0], current[1], current[2], current[3]}, {d.center[0], d.center[1], d.center[2]}, d.radius};
        out.push_back(m);
    }
    return out;
}

void box_corners(Vec3 c, Vec3 h, Vec3 out[8]) {
    for (int i = 0; i < 8; ++i)
        out[i] = {c.x + ((i & 1) ? h.x : -h.x), c.y + ((i & 2) ? h.y : -h.y), c.z + ((i & 4) ? h.z : -h.z)};
}

// The axis-aligned box around an object.
void object_bounds(const Object& o, Vec3& lo, Vec3& hi) {
    switch (o.kind) {
        case Object::Kind::Sphere:
            lo = o.center - Vec3{o.radius, o.radius, o.radius};
            hi = o.center + Vec3{o.radius, o.radius, o.radius};
            return;
        case Object::Kind::Box:
            lo = o.center - o.half_size;
            hi = o.center + o.half_size;
            return;
        case Object::Kind::Mesh:
            lo = {INFINITY, INFINITY, INFINITY};
            hi = {-INFINITY, -INFINITY, -INFINITY};
            for (const Triangle& t : o.triangles)
                for (const Vec3& v : t.v) {
                    lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
                    hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
                }
            return;
    }
}

const int kBoxEdges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                              {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

// ---------------------------------------------------------------- the camera's projection
struct Projector {
    const Camera& cam;
    double width, height, half_w, aspect;
    Projector(const Camera& c, double w, double h)
        : cam(c), width(w), height(h), half_w(c.film_width * 1000.0 / 2.0), aspect(h / w) {}
    Vec3 to_local(Vec3 p) const {
        // Inverse of Camera::to_world (a rotation): heading, then pitch, then bank undone.
        Vec3 d = p - cam.position;
        const double ch = std::cos(cam.heading), sh = std::sin(cam.heading);
        Vec3 a{d.x * ch - d.z * sh, d.y, d.x * sh + d.z * ch};
        const double cp = std::cos(cam.pitch), sp = std::sin(cam.pitch);
        Vec3 b{a.x, a.y * cp + a.z * sp, -a.y * sp + a.z * cp};
        const double cb = std::cos(cam.bank), sb = std::sin(cam.bank);
        return {b.x * cb + b.y * sb, -b.x * sb + b.y * cb, b.z};
    }
    bool project(Vec3 p, double& px, double& py) const {
        const Vec3 l = to_local(p);
        if (l.z < 0.05) return false;
        const double sx = l.x * cam.focal_length / (l.z * half_w);
        const double sy = l.y * cam.focal_length / (l.z * half_w * aspect);
        px = (sx + 1.0) / 2.0 * width - 0.5;
        py = (1.0 - sy) / 2.0 * height - 0.5;
        return std::isfinite(px) && std::isfinite(py);
    }
};

void segment(std::ostringstream& o, const Projector& pr, Vec3 a, Vec3 b, const char* style) {
    double ax, ay, bx, by;
    if (pr.project(a, ax, ay) && pr.project(b, bx, by))
        o << "<line x1=\"" << num(ax) << "\" y1=\"" << num(ay) << "\" x2=\"" << num(bx) << "\" y2=\"" << num(by)
          << "\" " << style << "/>\n";
}

// A mark as this host renders it: a horizontal circle on the ground plane (y = 0) below its
// centre, as the visible parts of a polyline.
void ground_circle(std::ostringstream& o, const Projector& pr, const Mark& m) {
    std::string pts;
    auto flush = [&]() {
        if (pts.empty()) return;
        o << "<polyline points=\"" << pts << "\" fill=\"none\" stroke=\"" << color(m.rgba) << "\" stroke-opacity=\""
          << num(m.rgba[3]) << "\" stroke-width=\"" << (m.kind == DrawKind::Disc ? "3" : "2") << "\""
          << (m.kind == DrawKind::Disc ? " stroke-dasharray=\"6 4\"" : "") << "/>\n";
        pts.clear();
    };
    for (int i = 0; i <= 720; ++i) {
        const double a = 2 * kPi * i / 720;
        const Vec3 p{m.center.x + m.radius * std::sin(a), 0.0, m.center.z + m.radius * std::cos(a)};
        double x, y;
        if (pr.project(p, x, y) && std::fabs(x) < 1e5 && std::fabs(y) < 1e5) {
            pts += num(x) + "," + num(y) + " ";
        } else {
            flush();
        }
    }
    flush();
}

std::string legend(const std::vector<Mark>& ms, double x, double y) {
    std::ostringstream o;
    const char* names[] = {"focus circle", "near-limit disc", "far-limit circle"};
    int circles = 0, row = 0;
    for (const Mark& m : ms) {
        const char* name = m.kind == DrawKind::Disc ? names[1] : (circles++ == 0 ? names[0] : names[2]);
        o << "<text x=\"" << num(x) << "\" y=\"" << num(y + 16 * row++) << "\" fill=\"" << color(m.rgba)
          << "\" font-family=\"sans-serif\" font-size=\"13\">" << name << " " << num(m.radius) << " m</text>\n";
    }
    return o.str();
}

}  // namespace

std::string camera_view_svg(const Scene& scene, const std::vector<StepRecord>& records,
                            const std::vector<DrawCall>& draws) {
    double w = 640, h = 480;
    for (const Viewport& v : scene.viewports)
        if (v.type == kViewCamera) {
            w = v.width;
            h = v.height;
            break;
        }
    const Projector pr(scene.camera, w, h);
    std::ostringstream o;
    o << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << num(w) << "\" height=\"" << num(h)
      << "\" viewBox=\"0 0 " << num(w) << " " << num(h) << "\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"#2b2b2b\"/>\n"
      << "<text x=\"8\" y=\"18\" fill=\"#ddd\" font-family=\"sans-serif\" font-size=\"13\">Camera view</text>\n";
    const char* obj_style = "stroke=\"#9aa\" stroke-width=\"1\"";
    for (const Object& ob : scene.objects) {
        if (ob.kind == Object::Kind::Sphere) {
            std::string pts;
            for (int ring = 0; ring < 3; ++ring)
                for (int i = 0; i < 48; ++i) {
                    const double a0 = 2 * kPi * i / 48, a1 = 2 * kPi * (i + 1) / 48;
                    auto at = [&](double a) {
                        const double c = ob.radius * std::cos(a), s = ob.radius * std::sin(a);
                        if (ring == 0) return ob.center + Vec3{c, s, 0};
                        if (ring == 1) return ob.center + Vec3{0, s, c};
                        return ob.center + Vec3{c, 0, s};
                    };
                    segment(o, pr, at(a0), at(a1), obj_style);
                }
        } else {
            Vec3 lo, hi;
            object_bounds(ob, lo, hi);
            if (ob.kind == Object::Kind::Mesh && ob.triangles.size() <= kMaxMeshTriangles) {
                for (const Triangle& t : ob.triangles)
                    for (int e = 0; e < 3; ++e) segment(o, pr, t.v[e], t.v[(e + 1) % 3], obj_style);
            } else {
                Vec3 c[8];
                box_corners((lo + hi) * 0.5, (hi - lo) * 0.5, c);
                for (auto& e : kBoxEdges) segment(o, pr, c[e[0]], c[e[1]], obj_style);
            }
        }
    }
    const auto ms = marks(draws);
    for (const Mark& m : ms) ground_circle(o, pr, m);
    for (const StepRecord& r : records) {
        if (!r.has_ray || !r.ray.hit) continue;
        double x, y;
        if (pr.project(r.ray.point, x, y))
            o << "<circle cx=\"" << num(x) << "\" cy=\"" << num(y) << "\" r=\"5\" fill=\"none\" stroke=\"#ff5\" stroke-width=\"2\"/>\n";
    }
    o << legend(ms, 8, h - 50);
    o << "</svg>\n";
    return o.str();
}

std::string top_view_svg(const Scene& scene, const std::vector<StepRecord>& records,
                         const std::vector<DrawCall>& draws) {
    const auto ms = marks(draws);
    // Bounds over the camera, the objects, the hits and the marks (a far circle that dwarfs
    // everything else is drawn but does not set the frame).
    double x0 = scene.camera.position.x, x1 = x0, z0 = scene.camera.position.z, z1 = z0;
    auto grow = [&](double x, double z) {
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        z0 = std::min(z0, z);
        z1 = std::max(z1, z);
    };
    for (const Object& ob : scene.objects) {
        Vec3 lo, hi;
        object_bounds(ob, lo, hi);
        grow(lo.x, lo.z);
        grow(hi.x, hi.z);
    }
    const double scene_extent = std::max(x1 - x0, z1 - z0);
    for (const Mark& m : ms)
        if (m.radius <= 2.5 * std::max(scene_extent, 1.0)) {
            grow(m.center.x - m.radius, m.center.z - m.radius);
            grow(m.center.x + m.radius, m.center.z + m.radius);
        }
    const double pad = 0.08 * std::max(std::max(x1 - x0, z1 - z0), 1.0);
    x0 -= pad;
    x1 += pad;
    z0 -= pad;
    z1 += pad;
    const double W = 800, H = 600;
    const double s = std::min(W / (x1 - x0), H / (z1 - z0));
    auto X = [&](double x) { return (x - x0) * s + (W - (x1 - x0) * s) / 2; };
    auto Y = [&](double z) { return H - ((z - z0) * s + (H - (z1 - z0) * s) / 2); };

    std::ostringstream o;
    o << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << W << "\" height=\"" << H << "\" viewBox=\"0 0 " << W
      << " " << H << "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#2b2b2b\"/>\n"
      << "<text x=\"8\" y=\"18\" fill=\"#ddd\" font-family=\"sans-serif\" font-size=\"13\">Top view (x right, z up)</text>\n";
    for (const Mark& m : ms) {
        o << "<circle cx=\"" << num(X(m.center.x)) << "\" cy=\"" << num(Y(m.center.z)) << "\" r=\"" << num(m.radius * s)
          << "\" ";
        if (m.kind == DrawKind::Disc)
            o << "fill=\"" << color(m.rgba) << "\" fill-opacity=\"" << num(m.rgba[3] * 0.6) << "\" stroke=\"none\"/>\n";
        else
            o << "fill=\"none\" stroke=\"" << color(m.rgba) << "\" stroke-opacity=\"" << num(m.rgba[3])
              << "\" stroke-width=\"2\"/>\n";
    }
    for (const Object& ob : scene.objects) {
        const char* style = "fill=\"#59646b\" fill-opacity=\"0.85\" stroke=\"#cfd8dc\" stroke-width=\"1\"";
        if (ob.kind == Object::Kind::Sphere) {
            o << "<circle cx=\"" << num(X(ob.center.x)) << "\" cy=\"" << num(Y(ob.center.z)) << "\" r=\""
              << num(ob.radius * s) << "\" " << style << "/>\n";
        } else if (ob.kind == Object::Kind::Box || ob.triangles.size() > kMaxMeshTriangles) {
            Vec3 lo, hi;
            object_bounds(ob, lo, hi);
            o << "<rect x=\"" << num(X(lo.x)) << "\" y=\"" << num(Y(hi.z)) << "\" width=\"" << num((hi.x - lo.x) * s)
              << "\" height=\"" << num((hi.z - lo.z) * s) << "\" " << style << "/>\n";
        } else {
            for (const Triangle& t : ob.triangles)
                o << "<polygon points=\"" << num(X(t.v[0].x)) << "," << num(Y(t.v[0].z)) << " " << num(X(t.v[1].x))
                  << "," << num(Y(t.v[1].z)) << " " << num(X(t.v[2].x)) << "," << num(Y(t.v[2].z)) << "\" " << style
                  << "/>\n";
        }
        o << "<text x=\"" << num(X(ob.center.x)) << "\" y=\"" << num(Y(ob.center.z) + 4)
          << "\" fill=\"#fff\" font-family=\"sans-serif\" font-size=\"11\" text-anchor=\"middle\">" << escape(ob.name)
          << "</text>\n";
    }
    for (const StepRecord& r : records) {
        if (!r.has_ray) continue;
        const Vec3 d = normalized(r.ray.direction);
        const double len = r.ray.hit ? r.ray.distance : std::max(x1 - x0, z1 - z0) * 2;
        const Vec3 end = r.ray.origin + d * len;
        o << "<line x1=\"" << num(X(r.ray.origin.x)) << "\" y1=\"" << num(Y(r.ray.origin.z)) << "\" x2=\""
          << num(X(end.x)) << "\" y2=\"" << num(Y(end.z)) << "\" stroke=\"#ff5\" stroke-width=\"1.5\""
          << (r.ray.hit ? "" : " stroke-dasharray=\"4 4\"") << "/>\n";
        if (r.ray.hit)
            o << "<circle cx=\"" << num(X(end.x)) << "\" cy=\"" << num(Y(end.z))
              << "\" r=\"4\" fill=\"#ff5\" stroke=\"#000\" stroke-width=\"1\"/>\n";
    }
    const Camera& c = scene.camera;
    const Vec3 fwd = c.to_world({0, 0, 1});
    o << "<circle cx=\"" << num(X(c.position.x)) << "\" cy=\"" << num(Y(c.position.z))
      << "\" r=\"5\" fill=\"#e53\"/>\n<line x1=\"" << num(X(c.position.x)) << "\" y1=\"" << num(Y(c.position.z))
      << "\" x2=\"" << num(X(c.position.x) + fwd.x * 24) << "\" y2=\"" << num(Y(c.position.z) - fwd.z * 24)
      << "\" stroke=\"#e53\" stroke-width=\"3\"/>\n<text x=\"" << num(X(c.position.x) + 8) << "\" y=\""
      << num(Y(c.position.z) + 16) << "\" fill=\"#e53\" font-family=\"sans-serif\" font-size=\"12\">camera</text>\n";
    o << legend(ms, 8, H - 50);
    o << "</svg>\n";
    return o.str();
}

bool write_file_atomically(const std::string& path, const std::string& text, std::string& error) {
    const std::string tmp = path + ".partial";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = path + ": cannot be written";
            return false;
        }
        out << text;
        out.flush();
        if (!out) {
            error = path + ": write failed";
            std::error_code ec;
            std::filesystem::remove(tmp, ec);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        error = path + ": cannot be written (" + ec.message() + ")";
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

}  // namespace host
