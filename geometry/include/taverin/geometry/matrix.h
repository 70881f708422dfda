// 3x3 and 4x4 matrices in single and double precision.
//
// Convention: vectors are ROW vectors multiplied on the left, v' = v M. In a 4x4 matrix the
// translation is the last row (m[12], m[13], m[14]) and a point's homogeneous coordinate comes
// from the last column. The product C = A B is the ordinary row-major product.
//
// (The rotation matrices built in rotation.h and quaternion.h act on column vectors instead,
// and are the transpose of what these transforms expect for the same rotation.)
//
// Single-precision members do single-precision arithmetic; their comparison tolerance and
// singularity threshold are the double 1e-6, tested on the value widened to double. Double
// members use 1e-15. All comparisons are strict. Every output may be the same object as an
// input. Nothing allocates.
//
// The products, transforms, 2x2 and 3x3 determinants and the 4x4 inverse are defined inline
// where the caller's compiler can keep their bits (detail/exact.h), and called in the compiled
// library otherwise: the results are the same bits either way.
#pragma once

#include "detail/exact.h"
#include "types.h"

namespace geometry {

void set_elements(Mat3f& m, float m00, float m01, float m02, float m10, float m11, float m12,
                  float m20, float m21, float m22);
void set_elements(Mat3d& m, double m00, double m01, double m02, double m10, double m11,
                  double m12, double m20, double m21, double m22);
void set_elements(Mat4f& m, float m00, float m01, float m02, float m03, float m10, float m11,
                  float m12, float m13, float m20, float m21, float m22, float m23, float m30,
                  float m31, float m32, float m33);
void set_elements(Mat4d& m, double m00, double m01, double m02, double m03, double m10,
                  double m11, double m12, double m13, double m20, double m21, double m22,
                  double m23, double m30, double m31, double m32, double m33);

void set_identity(Mat3f& m);
void set_identity(Mat3d& m);
void set_identity(Mat4f& m);
void set_identity(Mat4d& m);

// 1 when every pair of elements differs by less than the tolerance, else 0 (NaN never passes).
int nearly_equal(const Mat3f& a, const Mat3f& b);
int nearly_equal(const Mat3d& a, const Mat3d& b);
int nearly_equal(const Mat4f& a, const Mat4f& b);
int nearly_equal(const Mat4d& a, const Mat4d& b);

void copy(Mat3f& dst, const Mat3f& src);
void copy(Mat3d& dst, const Mat3d& src);
void copy(Mat4f& dst, const Mat4f& src);
void copy(Mat4d& dst, const Mat4d& src);

// Every element multiplied by s, in place.
void scale(Mat3f& m, float s);
void scale(Mat3d& m, double s);
void scale(Mat4f& m, float s);
void scale(Mat4d& m, double s);

float determinant(const Mat4f& m);
double determinant(const Mat4d& m);

// dst = the adjugate (transposed cofactor matrix) of src.
void adjugate(const Mat3f& src, Mat3f& dst);
void adjugate(const Mat3d& src, Mat3d& dst);
void adjugate(const Mat4f& src, Mat4f& dst);
void adjugate(const Mat4d& src, Mat4d& dst);

// dst = the inverse of src; when |det| is below the singularity threshold dst is untouched.
void invert(const Mat3f& src, Mat3f& dst);
void invert(const Mat3d& src, Mat3d& dst);

TAVERIN_GEOMETRY_INLINE_BEGIN

// out = v M (3x3).
void transform_vector(const Vec3f& v, const Mat3f& m, Vec3f& out);
void transform_vector(const Vec3d& v, const Mat3d& m, Vec3d& out);

// out = (p, 1) M, divided by the homogeneous coordinate unless it is exactly 0.
void transform_point(const Vec3f& p, const Mat4f& m, Vec3f& out);
void transform_point(const Vec3d& p, const Mat4d& m, Vec3d& out);

// out = a b.
void multiply(const Mat3f& a, const Mat3f& b, Mat3f& out);
void multiply(const Mat3d& a, const Mat3d& b, Mat3d& out);
void multiply(const Mat4f& a, const Mat4f& b, Mat4f& out);
void multiply(const Mat4d& a, const Mat4d& b, Mat4d& out);

// a d - b c.
float det2(float a, float b, float c, float d);
double det2(double a, double b, double c, double d);

float determinant(const Mat3f& m);
double determinant(const Mat3d& m);

// dst = the inverse of src, as above.
void invert(const Mat4f& src, Mat4f& dst);
void invert(const Mat4d& src, Mat4d& dst);

TAVERIN_GEOMETRY_INLINE_END

}  // namespace geometry

#include "detail/matrix_ops.h"
