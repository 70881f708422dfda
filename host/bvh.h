// A bounding volume hierarchy over a mesh's triangles, for nearest-hit ray queries.
#pragma once

#include <cstdint>
#include <vector>

#include "host/scene.h"

namespace host {

class Bvh {
public:
    explicit Bvh(const std::vector<Triangle>& triangles);
    // The ray parameter t (origin + t * direction) of the nearest triangle hit with t >= 0, or
    // a negative value for a miss.
    double intersect(const std::vector<Triangle>& triangles, Vec3 origin, Vec3 direction) const;
    size_t node_count() const { return nodes_.size(); }

private:
    struct Node {
        float lo[3], hi[3];
        uint32_t first;  // leaf: first index into order_; inner: index of the right child
        uint32_t count;  // leaf: number of triangles; inner: 0 (the left child follows)
    };
    std::vector<Node> nodes_;
    std::vector<uint32_t> order_;
    // Per triangle, three floats: its box's low corner, its high corner, its centroid.
    using Boxes = std::vector<float>;
    uint32_t build(const Boxes& lo, const Boxes& hi, std::vector<float>& centroids, uint32_t begin, uint32_t end,
                   int depth);
};

// Möller-Trumbore, both faces: t >= 0 of the hit, or a negative value.
double hit_triangle(const Triangle& tri, Vec3 origin, Vec3 direction);

}  // namespace host
