#include "host/program/session/camera_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace host {

namespace {

// The samples an object can cover: the rectangle of columns and rows holding the projection of
// its bounding box, or every sample when part of the box lies behind the camera (where a
// projection means nothing). Conservative: a ray that hits the object passes through its box.
struct Span {
    int c0, c1, r0, r1;  // inclusive
};

Span span_of(const Object& o, const Camera& cam, const Viewport& vp, int columns, int rows) {
    const Span all{0, columns - 1, 0, rows - 1};
    Vec3 lo, hi;
    o.bounds(lo, hi);
    const double half_w = cam.film_width * 1000.0 / 2.0;
    const double aspect = static_cast<double>(vp.height) / vp.width;
    double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    for (int i = 0; i < 8; ++i) {
        const Vec3 corner{(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
        const Vec3 l = cam.to_local(corner - cam.position);
        if (!(l.z > 1e-9 * (std::fabs(l.x) + std::fabs(l.y)) && l.z > 0)) return all;
        // Where the ray through the corner crosses the film, as a fraction of the view.
        const double sx = l.x * cam.focal_length / (l.z * half_w);
        const double sy = l.y * cam.focal_length / (l.z * half_w * aspect);
        x0 = std::min(x0, sx), x1 = std::max(x1, sx), y0 = std::min(y0, sy), y1 = std::max(y1, sy);
    }
    // Film fractions to sample indices (a sample's centre is at (c + 0.5) / columns), with a
    // sample to spare on each side against rounding.
    auto column = [&](double s) { return (s + 1.0) / 2.0 * columns - 0.5; };
    auto row = [&](double s) { return (1.0 - s) / 2.0 * rows - 0.5; };
    auto clamp = [](double v, int n) { return static_cast<int>(std::clamp(v, -1.0, static_cast<double>(n))); };
    Span s{clamp(std::floor(column(x0)) - 1, columns), clamp(std::ceil(column(x1)) + 1, columns),
           clamp(std::floor(row(y1)) - 1, rows), clamp(std::ceil(row(y0)) + 1, rows)};
    s.c0 = std::max(s.c0, 0), s.r0 = std::max(s.r0, 0);
    s.c1 = std::min(s.c1, columns - 1), s.r1 = std::min(s.r1, rows - 1);
    return s;
}

}  // namespace

Viewport camera_viewport(const Scene& scene) {
    for (const Viewport& v : scene.viewports)
        if (v.type == kViewCamera) return v;
    return {"Camera View", kViewCamera, 640, 480};
}

namespace {

// Samples on a side: kLongSide on the long side and as many on the other as keep the view's
// shape, but never more than the view has pixels (the module casts one ray a pixel).
int samples(int side, int other) {
    const int long_side = std::max(side, other);
    const double per_pixel = std::min(1.0, CameraView::kLongSide / static_cast<double>(long_side));
    return std::max(1, static_cast<int>(std::lround(side * per_pixel)));
}

}  // namespace

CameraView::CameraView(const Scene& scene, const Viewport& vp)
    : CameraView(scene, vp, samples(vp.width, vp.height), samples(vp.height, vp.width)) {}

CameraView::CameraView(const Scene& scene, const Viewport& vp, int columns, int rows)
    : viewport_(vp), columns_(columns), rows_(rows), samples_(static_cast<size_t>(columns) * rows),
      seen_(scene.objects.size(), Seen{NAN, NAN, 0}) {
    const Camera& cam = scene.camera;
    std::vector<Vec3> rays(samples_.size());
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            // The viewport pixel whose centre is the sample's centre.
            const double px = (c + 0.5) * vp.width / columns - 0.5, py = (r + 0.5) * vp.height / rows - 0.5;
            const Vec3 d = scene.pixel_ray(vp, px, py);
            rays[static_cast<size_t>(r) * columns + c] = d;
            Sample& s = samples_[static_cast<size_t>(r) * columns + c];
            // The ground, where the ray meets it in front of the camera.
            const double t = d.y != 0 ? -cam.position.y / d.y : -1;
            if (t > 0 && std::isfinite(t)) s = {kGround, t};
        }
    for (size_t i = 0; i < scene.objects.size(); ++i) {
        const Object& o = scene.objects[i];
        const Span span = span_of(o, cam, vp, columns, rows);
        for (int r = span.r0; r <= span.r1; ++r)
            for (int c = span.c0; c <= span.c1; ++c) {
                const size_t k = static_cast<size_t>(r) * columns + c;
                const double t = o.intersect(cam.position, rays[k]);
                Sample& s = samples_[k];
                if (t >= 0 && (s.surface == kNothing || t < s.distance || (s.surface == kGround && t <= s.distance)))
                    s = {static_cast<int32_t>(i), t};
            }
    }
    for (const Sample& s : samples_) {
        if (s.surface < 0) continue;
        Seen& seen = seen_[static_cast<size_t>(s.surface)];
        seen.nearest = seen.samples ? std::min(seen.nearest, s.distance) : s.distance;
        seen.farthest = seen.samples ? std::max(seen.farthest, s.distance) : s.distance;
        ++seen.samples;
    }
}

}  // namespace host
