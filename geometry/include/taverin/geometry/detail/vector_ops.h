// Private to the geometry library: the code of the small vector operations, which vector.h
// defines inline where it can (exact.h) and the compiled library compiles out of line.
#pragma once

#include "../types.h"
#include "exact.h"

#if TAVERIN_GEOMETRY_DEFINE_OPS
namespace geometry::detail {

template <typename V>
inline auto dot(const V& a, const V& b) {
    return (prod(a.x, b.x) + prod(a.y, b.y)) + prod(a.z, b.z);
}

template <typename V>
inline V cross(const V& a, const V& b) {
    return V{prod(a.y, b.z) - prod(a.z, b.y), prod(a.z, b.x) - prod(a.x, b.z), prod(a.x, b.y) - prod(a.y, b.x)};
}

// v scaled to the given length; a zero vector is left as it is (a NaN length scales).
template <typename V, typename T>
inline void set_length(V& v, T length) {
    const T n = root(dot(v, v));
    if (n == T(0)) return;
    const T f = length / n;
    v.x *= f;
    v.y *= f;
    v.z *= f;
}

template <typename V, typename T>
inline void lerp(const V& a, const V& b, T t, V& out) {
    out = V{a.x + prod(b.x - a.x, t), a.y + prod(b.y - a.y, t), a.z + prod(b.z - a.z, t)};
}

template <typename V, typename T>
inline void linear_combination(const V& a, const V& b, V& out, T s, T u) {
    out = V{prod(s, a.x) + prod(u, b.x), prod(s, a.y) + prod(u, b.y), prod(s, a.z) + prod(u, b.z)};
}

template <typename V>
inline auto distance(const V& a, const V& b) {
    const V d{a.x - b.x, a.y - b.y, a.z - b.z};
    return root(dot(d, d));
}

template <typename V, typename T>
inline void plane_normal(const V& p1, const V& p2, const V& p3, V& out) {
    const V u{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
    const V v{p3.x - p1.x, p3.y - p1.y, p3.z - p1.z};
    out = cross(u, v);
    set_length(out, T(1));
}

}  // namespace geometry::detail
#endif  // TAVERIN_GEOMETRY_DEFINE_OPS

// The public operations, inline in a caller's code, or compiled once into the library.
#if TAVERIN_GEOMETRY_DEFINE_PUBLIC_OPS
namespace geometry {
TAVERIN_GEOMETRY_INLINE_BEGIN

TAVERIN_GEOMETRY_OP void set_length(Vec3f& v, float length) { detail::set_length(v, length); }
TAVERIN_GEOMETRY_OP void set_length(Vec3d& v, double length) { detail::set_length(v, length); }
TAVERIN_GEOMETRY_OP void normalize(Vec3f& v) { detail::set_length(v, 1.0f); }
TAVERIN_GEOMETRY_OP void normalize(Vec3d& v) { detail::set_length(v, 1.0); }
TAVERIN_GEOMETRY_OP float dot(const Vec3f& a, const Vec3f& b) { return detail::dot(a, b); }
TAVERIN_GEOMETRY_OP double dot(const Vec3d& a, const Vec3d& b) { return detail::dot(a, b); }
TAVERIN_GEOMETRY_OP void cross(const Vec3f& a, const Vec3f& b, Vec3f& out) { out = detail::cross(a, b); }
TAVERIN_GEOMETRY_OP void cross(const Vec3d& a, const Vec3d& b, Vec3d& out) { out = detail::cross(a, b); }
TAVERIN_GEOMETRY_OP void lerp(const Vec3f& a, const Vec3f& b, float t, Vec3f& out) { detail::lerp(a, b, t, out); }
TAVERIN_GEOMETRY_OP void lerp(const Vec3d& a, const Vec3d& b, double t, Vec3d& out) { detail::lerp(a, b, t, out); }
TAVERIN_GEOMETRY_OP void linear_combination(const Vec3f& a, const Vec3f& b, Vec3f& out, float s, float u) {
    detail::linear_combination(a, b, out, s, u);
}
TAVERIN_GEOMETRY_OP void linear_combination(const Vec3d& a, const Vec3d& b, Vec3d& out, double s, double u) {
    detail::linear_combination(a, b, out, s, u);
}
TAVERIN_GEOMETRY_OP void plane_normal(const Vec3f& p1, const Vec3f& p2, const Vec3f& p3, Vec3f& out) {
    detail::plane_normal<Vec3f, float>(p1, p2, p3, out);
}
TAVERIN_GEOMETRY_OP void plane_normal(const Vec3d& p1, const Vec3d& p2, const Vec3d& p3, Vec3d& out) {
    detail::plane_normal<Vec3d, double>(p1, p2, p3, out);
}
TAVERIN_GEOMETRY_OP float distance(const Vec3f& a, const Vec3f& b) { return detail::distance(a, b); }
TAVERIN_GEOMETRY_OP double distance(const Vec3d& a, const Vec3d& b) { return detail::distance(a, b); }

TAVERIN_GEOMETRY_INLINE_END
}  // namespace geometry
#endif
