#include "host/program/input/triangulate.h"

#include <cmath>
#include <cstddef>

#include "host/program/limits.h"

namespace host {

namespace {

struct P2 {
    double x, y;
};

double turn(P2 a, P2 b, P2 c) { return (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x); }

// The polygon seen along its dominant normal axis (Newell's normal), so that it can be
// tested in the plane.
std::vector<P2> flatten(const std::vector<Vec3>& c) {
    Vec3 n{};
    for (size_t i = 0; i < c.size(); ++i) {
        const Vec3& a = c[i];
        const Vec3& b = c[(i + 1) % c.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    std::vector<P2> out;
    out.reserve(c.size());
    for (const Vec3& v : c) {
        if (ax >= ay && ax >= az) out.push_back({v.y, v.z});
        else if (ay >= az) out.push_back({v.z, v.x});
        else out.push_back({v.x, v.y});
    }
    return out;
}

// Convex: every turn has the same sign, and the edge directions go round once (at most two
// sign changes of each coordinate, which rules out stars). Collinear corners are allowed.
bool convex(const std::vector<P2>& p) {
    const size_t n = p.size();
    int sign = 0, x_changes = 0, y_changes = 0;
    double last_dx = 0, last_dy = 0;
    for (size_t k = 0; k < n + 1; ++k) {
        const P2 a = p[k % n], b = p[(k + 1) % n], c = p[(k + 2) % n];
        const double t = turn(a, b, c);
        const int s = t > 0 ? 1 : (t < 0 ? -1 : 0);
        if (s != 0) {
            if (sign != 0 && s != sign) return false;
            sign = s;
        }
        const double dx = b.x - a.x, dy = b.y - a.y;
        if (dx != 0) {
            if (last_dx != 0 && (dx > 0) != (last_dx > 0)) ++x_changes;
            last_dx = dx;
        }
        if (dy != 0) {
            if (last_dy != 0 && (dy > 0) != (last_dy > 0)) ++y_changes;
            last_dy = dy;
        }
    }
    return x_changes <= 2 && y_changes <= 2;
}

bool inside(P2 p, P2 a, P2 b, P2 c, int sign) {
    return sign * turn(a, b, p) >= 0 && sign * turn(b, c, p) >= 0 && sign * turn(c, a, p) >= 0;
}

void ear_clip(const std::vector<Vec3>& corners, const std::vector<P2>& p, std::vector<Triangle>& out) {
    double area = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const P2 a = p[i], b = p[(i + 1) % p.size()];
        area += a.x * b.y - b.x * a.y;
    }
    const int sign = area >= 0 ? 1 : -1;
    std::vector<size_t> ring(p.size());
    for (size_t i = 0; i < ring.size(); ++i) ring[i] = i;
    while (ring.size() > 3) {
        const size_t n = ring.size();
        size_t ear = n;  // none yet
        for (size_t i = 0; i < n && ear == n; ++i) {
            const size_t a = ring[(i + n - 1) % n], b = ring[i], c = ring[(i + 1) % n];
            if (sign * turn(p[a], p[b], p[c]) <= 0) continue;  // reflex or flat
            bool empty = true;
            for (size_t k = 0; k < n && empty; ++k) {
                const size_t q = ring[k];
                if (q != a && q != b && q != c) empty = !inside(p[q], p[a], p[b], p[c], sign);
            }
            if (empty) ear = i;
        }
        if (ear == n) ear = 0;  // a self-intersecting or degenerate rest: cut anyway
        const size_t a = ring[(ear + n - 1) % n], b = ring[ear], c = ring[(ear + 1) % n];
        out.push_back({{corners[a], corners[b], corners[c]}});
        ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(ear));
    }
    out.push_back({{corners[ring[0]], corners[ring[1]], corners[ring[2]]}});
}

}  // namespace

bool triangulate(const std::vector<Vec3>& corners, std::vector<Triangle>& out) {
    const size_t n = corners.size();
    if (n < 3) return false;
    if (n > 3) {
        const std::vector<P2> flat = flatten(corners);
        if (!convex(flat)) {
            if (n > kMaxConcaveCorners) return false;
            ear_clip(corners, flat, out);
            return true;
        }
    }
    for (size_t i = 1; i + 1 < n; ++i) out.push_back({{corners[0], corners[i], corners[i + 1]}});
    return true;
}

}  // namespace host
