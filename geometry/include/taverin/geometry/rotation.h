// Rotations: Euler angles in 24 axis orders, quaternions and rotation matrices, and the
// heading/pitch/bank operations built on them.
//
// Convention: the rotation matrices here act on COLUMN vectors, v' = M v (element (r, c) at
// m[4r + c], upper-left 3x3 block the rotation, last row and column (0, 0, 0, 1)). That is the
// transpose of the row-vector convention of matrix.h: a matrix built here and applied with
// matrix.h's transforms turns points the opposite way.
//
// Elementary rotations are right-handed: RX(t) rows (1,0,0), (0,cos,-sin), (0,sin,cos);
// RY(t) rows (cos,0,sin), (0,1,0), (-sin,0,cos); RZ(t) rows (cos,-sin,0), (sin,cos,0), (0,0,1).
//
// Order codes: only the five low bits count. Bit 0 frame (0 static axes, 1 rotating axes),
// bit 1 repetition (the sequence ends on its first axis), bit 2 parity, bits 3-4 the inner
// axis (X, Y, Z, and X again, so codes 24-31 act as 0-7). Static orders turn about the named
// axes in turn: code 0 is X, Y, Z, giving RZ(a3) RY(a2) RX(a1). Rotating orders turn about the
// body's axes: code 17 is Y, then X, then Z, giving RY(a1) RX(a2) RZ(a3). angle1 always belongs
// to the first axis named.
//
// Heading, pitch and bank are order 17: RY(heading) RX(pitch) RZ(bank). A positive heading
// turns +Z toward +X, a positive pitch +Z toward -Y, a positive bank +X toward +Y. Operations
// taking such a triple receive it as a Vec3d (heading, pitch, bank).
//
// Arithmetic is single precision whatever the argument types; sin, cos, atan, atan2, acos and
// sqrt are evaluated in double on the widened value. The gimbal threshold is 2^-19.
#pragma once

#include "types.h"

namespace geometry {

// The 24 order codes by name (docs/geometry.md has them as a table). A static order turns
// about the fixed axes in the order named; a rotating order turns about the body's axes, as
// already turned, in the order named.
enum EulerOrder : int {
    kStaticXYZ = 0,
    kRotatingZYX = 1,
    kStaticXYX = 2,
    kRotatingXYX = 3,
    kStaticXZY = 4,
    kRotatingYZX = 5,
    kStaticXZX = 6,
    kRotatingXZX = 7,
    kStaticYZX = 8,
    kRotatingXZY = 9,
    kStaticYZY = 10,
    kRotatingYZY = 11,
    kStaticYXZ = 12,
    kRotatingZXY = 13,
    kStaticYXY = 14,
    kRotatingYXY = 15,
    kStaticZXY = 16,
    kRotatingYXZ = 17,
    kStaticZXZ = 18,
    kRotatingZXZ = 19,
    kStaticZYX = 20,
    kRotatingXYZ = 21,
    kStaticZYZ = 22,
    kRotatingZYZ = 23,
    kHeadingPitchBank = kRotatingYXZ,  // heading about Y, pitch about X, bank about Z
};

void euler_make(float angle1, float angle2, float angle3, int order, Euler4f& out);

// The caller's record is left unchanged (the conversions work on a copy).
void euler_to_quat(const Euler4f& e, Quatf& out);
void euler_to_matrix(const Euler4f& e, Mat4f& out);

// Angles of the given order for the rotation block of m (only its upper-left 3x3 is read).
// Near the order's lock the third computed angle is 0.
void matrix_to_euler(const Mat4f& m, int order, Euler4f& out);
// The same for the rotation of q scaled to unit length (a zero quaternion gives zeros).
void quat_to_euler(const Quatf& q, int order, Euler4f& out);

// out = M v.
void transform_column(const Mat4f& m, const Vec4f& v, Vec4f& out);

// Turns point about axis by angle degrees, in place (through code-0 Euler angles).
void rotate_point_about_axis(float angle_degrees, const Vec3f& axis, Vec3f& point);
void rotate_point_about_axis(double angle_degrees, const Vec3d& axis, Vec3d& point);

// Turns point by a heading, pitch and bank in radians, or by its inverse, in place.
void rotate_point_by_hpb(const Vec3d& hpb, Vec3f& point);
void unrotate_point_by_hpb(const Vec3d& hpb, Vec3f& point);

void hpb_to_quat(const Vec3d& hpb, Quatf& out);

// The turn as an angle IN RADIANS (2 acos(w)) and an axis; (0, 0, 0) when there is no turn.
// w is clamped to [-1, 1] first, so a unit quaternion never yields NaN.
void hpb_to_axis_angle(const Vec3d& hpb, float& angle, Vec3f& axis);

// Degree conversions: each result is the NEGATED angles of the target order, in degrees.
void hpb_to_static_xyz(const Vec3d& hpb_degrees, Vec3d& out);     // to code 0
void hpb_to_static_zxy(const Vec3d& hpb_degrees, Vec3d& out);     // to code 16
void rotating_zxy_to_hpb(const Vec3d& zxy_degrees, Vec3d& out);   // code 13 to code 17
void axis_angle_to_static_xyz(float angle_degrees, const Vec3f& axis, Vec3d& out);

// Heading in (-3pi/2, pi/2] and pitch (positive below the horizon) of a direction, radians.
// A NaN in any component gives a NaN heading and pitch.
void direction_to_heading_pitch(const Vec3f& d, double& heading, double& pitch);

}  // namespace geometry
