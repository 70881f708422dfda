// Record types shared by the whole geometry library: plain, tightly packed structs that the
// caller owns. Components and matrix rows and columns are indexed X = 0, Y = 1, Z = 2, W = 3.
// Matrices are row-major: element (row r, column c) of a 3x3 matrix is m[3r + c], of a 4x4
// matrix m[4r + c].
#pragma once

namespace geometry {

struct Vec3f {
    float x, y, z;
};
struct Vec3d {
    double x, y, z;
};
struct Vec4f {
    float x, y, z, w;
};
// Quaternions (x, y, z, w), w the scalar part. At unit length (u sin(t/2), cos(t/2)) is the
// turn by t radians about the unit axis u.
struct Quatf {
    float x, y, z, w;
};
struct Quatd {
    double x, y, z, w;
};
// Euler angles in radians and an order code (an integer stored as a float); see rotation.h.
struct Euler4f {
    float angle1, angle2, angle3, order;
};
struct Mat3f {
    float m[9];
};
struct Mat4f {
    float m[16];
};
struct Mat3d {
    double m[9];
};
struct Mat4d {
    double m[16];
};

static_assert(sizeof(Vec3f) == 12 && sizeof(Vec3d) == 24 && sizeof(Vec4f) == 16);
static_assert(sizeof(Quatf) == 16 && sizeof(Quatd) == 32 && sizeof(Euler4f) == 16);
static_assert(sizeof(Mat3f) == 36 && sizeof(Mat4f) == 64);
static_assert(sizeof(Mat3d) == 72 && sizeof(Mat4d) == 128);

}  // namespace geometry
