// The scalar code behind every fast path, kept callable: it is the fallback where the target
// has no SSE2, and the oracle the tests compare each fast path with, bit for bit. Not part of
// the library's interface.
#pragma once

#include "taverin/geometry/types.h"

namespace geometry::scalar {

void multiply(const Mat4f& a, const Mat4f& b, Mat4f& out);
void multiply(const Mat4d& a, const Mat4d& b, Mat4d& out);
void transform_point(const Vec3f& p, const Mat4f& m, Vec3f& out);
void transform_point(const Vec3d& p, const Mat4d& m, Vec3d& out);
void invert(const Mat4f& src, Mat4f& dst);
void invert(const Mat4d& src, Mat4d& dst);
void quat_multiply(const Quatf& a, const Quatf& b, Quatf& out);
void quat_to_matrix3(const Quatf& q, Mat3f& out);
void matrix3_to_quat(const Mat3f& m, Quatf& out);
void euler_to_matrix(const Euler4f& e, Mat4f& out);

}  // namespace geometry::scalar
