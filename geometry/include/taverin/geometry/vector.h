// Operations on 3-vectors in single (Vec3f) and double (Vec3d) precision.
//
// Heading and pitch describe a direction d = (sin h cos p, -sin p, cos h cos p): heading turns
// about +Y, 0 along +Z and pi/2 along +X; a positive pitch points toward -Y. Angles in radians.
//
// Single-precision members do single-precision arithmetic, with sqrt, sin, cos, asin, acos
// and fabs evaluated in double on the widened value and rounded back; their tolerance is the
// double 1e-6. Double members use 1e-15. Comparisons are strict.
//
// Length, normalise, dot and cross products, interpolation, combination, plane normal and
// distance are defined inline where the caller's compiler can keep their bits
// (detail/exact.h), and called in the compiled library otherwise: the results are the same
// bits either way.
#pragma once

#include "detail/exact.h"
#include "types.h"

namespace geometry {

// 1 when |a - b| is below the tolerance in x, y and z, else 0 (NaN never passes).
int nearly_equal(const Vec3f& a, const Vec3f& b);
int nearly_equal(const Vec3d& a, const Vec3d& b);

// The angle between a and b, 0 to pi. The cosine is clamped to [-1, 1] so that rounding
// cannot turn parallel vectors into NaN; a NaN input still gives NaN.
float angle_between(const Vec3f& a, const Vec3f& b);
double angle_between(const Vec3d& a, const Vec3d& b);

// Heading (0 to 2 pi) and pitch of the direction v; within the near-vertical threshold of
// straight up or down the heading is 0. The arc cosine's argument is clamped as above.
void direction_to_angles(const Vec3f& v, float& heading, float& pitch);
void direction_to_angles(const Vec3d& v, double& heading, double& pitch);

// The unit direction for heading h and pitch p.
void angles_to_direction(float h, float p, Vec3f& out);
void angles_to_direction(double h, double p, Vec3d& out);

TAVERIN_GEOMETRY_INLINE_BEGIN

// v scaled in place to length L: each component times L / |v|, |v| = sqrt(dot(v, v)); a zero
// vector is left unchanged.
void set_length(Vec3f& v, float length);
void set_length(Vec3d& v, double length);
void normalize(Vec3f& v);
void normalize(Vec3d& v);

// (a.x b.x + a.y b.y) + a.z b.z.
float dot(const Vec3f& a, const Vec3f& b);
double dot(const Vec3d& a, const Vec3d& b);

// out = a x b = (a.y b.z - a.z b.y, a.z b.x - a.x b.z, a.x b.y - a.y b.x); out may be a or b.
void cross(const Vec3f& a, const Vec3f& b, Vec3f& out);
void cross(const Vec3d& a, const Vec3d& b, Vec3d& out);

// out = a + (b - a) t, per component.
void lerp(const Vec3f& a, const Vec3f& b, float t, Vec3f& out);
void lerp(const Vec3d& a, const Vec3d& b, double t, Vec3d& out);

// out = s a + u b, per component.
void linear_combination(const Vec3f& a, const Vec3f& b, Vec3f& out, float s, float u);
void linear_combination(const Vec3d& a, const Vec3d& b, Vec3d& out, double s, double u);

// The unit normal (p2 - p1) x (p3 - p1); collinear points give the zero vector.
void plane_normal(const Vec3f& p1, const Vec3f& p2, const Vec3f& p3, Vec3f& out);
void plane_normal(const Vec3d& p1, const Vec3d& p2, const Vec3d& p3, Vec3d& out);

float distance(const Vec3f& a, const Vec3f& b);
double distance(const Vec3d& a, const Vec3d& b);

TAVERIN_GEOMETRY_INLINE_END

}  // namespace geometry

#include "detail/vector_ops.h"
