#include "host/bvh.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace host {

namespace {
constexpr uint32_t kLeafSize = 4;
constexpr int kMaxDepth = 48;

double component(Vec3 v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }
}  // namespace

double hit_triangle(const Triangle& tri, Vec3 o, Vec3 d) {
    const Vec3 e1 = tri.v[1] - tri.v[0], e2 = tri.v[2] - tri.v[0];
    const Vec3 p = cross(d, e2);
    const double det = dot(e1, p);
    if (std::fabs(det) < 1e-14) return -1;
    const double inv = 1.0 / det;
    const Vec3 s = o - tri.v[0];
    const double u = dot(s, p) * inv;
    if (u < 0 || u > 1) return -1;
    const Vec3 q = cross(s, e1);
    const double v = dot(d, q) * inv;
    if (v < 0 || u + v > 1) return -1;
    const double t = dot(e2, q) * inv;
    return t >= 0 ? t : -1;
}

Bvh::Bvh(const std::vector<Triangle>& tris) {
    const auto n = static_cast<uint32_t>(tris.size());
    order_.resize(n);
    Boxes boxes(static_cast<size_t>(n) * 3, 0.0f);
    std::vector<float> hi(static_cast<size_t>(n) * 3), centroids(static_cast<size_t>(n) * 3);
    for (uint32_t i = 0; i < n; ++i) {
        order_[i] = i;
        for (int a = 0; a < 3; ++a) {
            const double c0 = component(tris[i].v[0], a), c1 = component(tris[i].v[1], a), c2 = component(tris[i].v[2], a);
            // Rounded outward so that the float box always contains the double triangle.
            boxes[3 * i + a] = std::nextafter(static_cast<float>(std::min({c0, c1, c2})), -INFINITY);
            hi[3 * i + a] = std::nextafter(static_cast<float>(std::max({c0, c1, c2})), INFINITY);
            centroids[3 * i + a] = static_cast<float>((c0 + c1 + c2) / 3.0);
        }
    }
    nodes_.reserve(n > 0 ? 2 * (n / kLeafSize + 1) : 1);
    if (n > 0) build(boxes, hi, centroids, 0, n, 0);
}

uint32_t Bvh::build(const Boxes& lo_boxes, const Boxes& hi_boxes, std::vector<float>& centroids, uint32_t begin,
                    uint32_t end, int depth) {
    const auto index = static_cast<uint32_t>(nodes_.size());
    nodes_.push_back(Node{});
    Node node{};
    float clo[3], chi[3];
    for (int a = 0; a < 3; ++a) {
        node.lo[a] = clo[a] = std::numeric_limits<float>::infinity();
        node.hi[a] = chi[a] = -std::numeric_limits<float>::infinity();
    }
    for (uint32_t i = begin; i < end; ++i) {
        const size_t t = 3 * static_cast<size_t>(order_[i]);
        for (int a = 0; a < 3; ++a) {
            node.lo[a] = std::min(node.lo[a], lo_boxes[t + a]);
            node.hi[a] = std::max(node.hi[a], hi_boxes[t + a]);
            clo[a] = std::min(clo[a], centroids[t + a]);
            chi[a] = std::max(chi[a], centroids[t + a]);
        }
    }
    const uint32_t count = end - begin;
    int axis = 0;
    for (int a = 1; a < 3; ++a)
        if (chi[a] - clo[a] > chi[axis] - clo[axis]) axis = a;
    if (count <= kLeafSize || depth >= kMaxDepth || !(chi[axis] > clo[axis])) {
        node.first = begin;
        node.count = count;
        nodes_[index] = node;
        return index;
    }
    const uint32_t mid = begin + count / 2;
    std::nth_element(order_.begin() + begin, order_.begin() + mid, order_.begin() + end,
                     [&](uint32_t x, uint32_t y) { return centroids[3 * x + axis] < centroids[3 * y + axis]; });
    build(lo_boxes, hi_boxes, centroids, begin, mid, depth + 1);
    node.first = build(lo_boxes, hi_boxes, centroids, mid, end, depth + 1);
    node.count = 0;
    nodes_[index] = node;
    return index;
}

double Bvh::intersect(const std::vector<Triangle>& tris, Vec3 o, Vec3 d) const {
    if (nodes_.empty()) return -1;
    const double od[3] = {o.x, o.y, o.z};
    double inv[3];
    const double dd[3] = {d.x, d.y, d.z};
    for (int a = 0; a < 3; ++a) inv[a] = 1.0 / dd[a];
    double best = -1;
    uint32_t stack[2 * kMaxDepth + 4];
    int sp = 0;
    stack[sp++] = 0;
    while (sp > 0) {
        const Node& n = nodes_[stack[--sp]];
        double tmin = 0, tmax = best >= 0 ? best : std::numeric_limits<double>::infinity();
        bool miss = false;
        for (int a = 0; a < 3 && !miss; ++a) {
            if (dd[a] == 0) {
                miss = od[a] < n.lo[a] || od[a] > n.hi[a];
                continue;
            }
            double t1 = (n.lo[a] - od[a]) * inv[a], t2 = (n.hi[a] - od[a]) * inv[a];
            if (t1 > t2) std::swap(t1, t2);
            tmin = std::max(tmin, t1);
            tmax = std::min(tmax, t2);
            miss = tmin > tmax;
        }
        if (miss) continue;
        if (n.count > 0) {
            for (uint32_t i = n.first; i < n.first + n.count; ++i) {
                const double t = hit_triangle(tris[order_[i]], o, d);
                if (t >= 0 && (best < 0 || t < best)) best = t;
            }
        } else {
            const auto here = static_cast<uint32_t>(&n - nodes_.data());
            stack[sp++] = n.first;
            stack[sp++] = here + 1;
        }
    }
    return best;
}

}  // namespace host
