// Quaternion operations. A quaternion is (x, y, z, w), w the scalar part; at unit length
// (u sin(t/2), cos(t/2)) is the turn by t radians about the unit axis u.
//
// Convention: the 3x3 rotation matrices here act on COLUMN vectors, v' = M v (element (r, c)
// at m[3r + c]), like rotation.h and unlike matrix.h. The matrix of the product a b is the
// matrix of a times the matrix of b: b acts first.
//
// Single-precision operations round every step to float, with sqrt, sin, cos, acos and fabs
// evaluated in double on the widened value. Angles are in radians.
//
// Normalise, product, inverse and the conversions to and from a matrix are defined inline
// where the caller's compiler can keep their bits (detail/exact.h), and called in the compiled
// library otherwise: the results are the same bits either way.
#pragma once

#include "detail/exact.h"
#include "types.h"

namespace geometry {

// The turn by angle about axis (the axis is not normalised).
void quat_from_axis_angle(float angle, const Vec3f& axis, Quatf& out);

// Angle (2 acos(w) of q normalised, w clamped to [-1, 1]) and axis of q. When
// |sin(angle / 2)| <= 1e-6 the axis is left as the caller set it.
void quat_to_axis_angle(const Quatf& q, float& angle, Vec3f& axis);
void quat_to_axis_angle(const Quatd& q, double& angle, Vec3d& axis);

// The angle of the rotation d with b = a d (returned) and its axis (written as above).
float quat_relative_axis_angle(const Quatf& a, const Quatf& b, Vec3f& axis);

TAVERIN_GEOMETRY_INLINE_BEGIN

// q scaled to unit length; a zero quaternion gives the identity (0, 0, 0, 1). A finite
// quaternion whose sum of squares overflows, or underflows to a subnormal or to zero while a
// component is not zero, is first divided by its largest component, so it still comes out at
// unit length: (1e-30, 0, 0, 0) gives (1, 0, 0, 0). out may be q.
void quat_normalize(const Quatf& q, Quatf& out);
void quat_normalize(const Quatd& q, Quatd& out);

// out = a b; out may be a or b.
void quat_multiply(const Quatf& a, const Quatf& b, Quatf& out);

// The inverse of q (the conjugate at unit length); a zero quaternion gives zero. out may be q.
void quat_inverse(const Quatf& q, Quatf& out);

// The rotation matrix of q scaled to unit length; a zero quaternion gives the identity.
void quat_to_matrix3(const Quatf& q, Mat3f& out);
// A unit quaternion of the rotation M.
void matrix3_to_quat(const Mat3f& m, Quatf& out);

TAVERIN_GEOMETRY_INLINE_END

}  // namespace geometry

#include "detail/quaternion_ops.h"
