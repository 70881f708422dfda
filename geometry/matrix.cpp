#include "geometry/matrix.h"

#include <cmath>
#include <cstring>

namespace geometry {

namespace {

// Precision traits: the element type, the matrix types and the tolerance of each set.
template <typename T> struct Set;
template <> struct Set<float> {
    using M3 = Mat3f;
    using M4 = Mat4f;
    using V3 = Vec3f;
    static constexpr double tolerance = 1e-6;
};
template <> struct Set<double> {
    using M3 = Mat3d;
    using M4 = Mat4d;
    using V3 = Vec3d;
    static constexpr double tolerance = 1e-15;
};

template <typename T, int N>
int nearly_equal_n(const T* a, const T* b) {
    for (int i = 0; i < N * N; ++i) {
        T d = a[i] - b[i];
        if (d < 0) d = -d;
        if (!(static_cast<double>(d) < Set<T>::tolerance)) return 0;
    }
    return 1;
}

template <typename T, int N>
void identity_n(T* m) {
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c) m[N * r + c] = (r == c) ? T(1) : T(0);
}

template <typename T, int N>
void multiply_n(const T* a, const T* b, T* out) {
    T t[N * N] = {};
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < N; ++j)
            for (int k = 0; k < N; ++k) t[N * i + j] += a[N * i + k] * b[N * k + j];
    std::memcpy(out, t, sizeof t);
}

template <typename T, int N>
void scale_n(T* m, T s) {
    for (int i = 0; i < N * N; ++i) m[i] *= s;
}

template <typename T>
T det2_t(T a, T b, T c, T d) {
    return a * d - b * c;
}

// 3x3 determinant, expanded along the first row with the minors by det2.
template <typename T>
T det3(const T* m) {
    const T d0 = det2_t(m[4], m[5], m[7], m[8]);
    const T d1 = det2_t(m[3], m[5], m[6], m[8]);
    const T d2 = det2_t(m[3], m[4], m[6], m[7]);
    return (m[0] * d0 - m[1] * d1) + m[2] * d2;
}

// The 3x3 minor of a 4x4 matrix without row `skip_row` and column `skip_col`, built as its own
// transpose: row i of the minor holds the remaining rows of the i-th remaining column.
template <typename T>
void minor4_transposed(const T* m, int skip_row, int skip_col, T* out) {
    int i = 0;
    for (int col = 0; col < 4; ++col) {
        if (col == skip_col) continue;
        int k = 0;
        for (int row = 0; row < 4; ++row) {
            if (row == skip_row) continue;
            out[3 * i + k++] = m[4 * row + col];
        }
        ++i;
    }
}

template <typename T>
T det4(const T* m) {
    T minor[9];
    T d[4];
    for (int c = 0; c < 4; ++c) {
        minor4_transposed(m, 0, c, minor);
        d[c] = det3(minor);
    }
    return ((m[0] * d[0] - m[1] * d[1]) + m[2] * d[2]) - m[3] * d[3];
}

// dst may be src: the cofactors are gathered in a temporary first.
template <typename T>
void adjugate3(const T* s, T* dst) {
    T t[9];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            // cofactor(c, r): the minor without row c and column r.
            T e[4];
            int n = 0;
            for (int row = 0; row < 3; ++row) {
                if (row == c) continue;
                for (int col = 0; col < 3; ++col)
                    if (col != r) e[n++] = s[3 * row + col];
            }
            const T v = det2_t(e[0], e[1], e[2], e[3]);
            t[3 * r + c] = ((r + c) % 2) ? -v : v;
        }
    }
    std::memcpy(dst, t, sizeof t);
}

template <typename T>
void adjugate4(const T* s, T* dst) {
    T t[16];
    T minor[9];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            minor4_transposed(s, c, r, minor);
            const T v = det3(minor);
            t[4 * r + c] = ((r + c) % 2) ? -v : v;
        }
    }
    std::memcpy(dst, t, sizeof t);
}

template <typename T, int N>
void invert_n(const T* src, T* dst, T det) {
    if (std::fabs(static_cast<double>(det)) < Set<T>::tolerance) return;
    if (N == 3) adjugate3(src, dst);
    else adjugate4(src, dst);
    const T r = T(1) / det;
    scale_n<T, N>(dst, r);
}

template <typename V, typename M>
void transform_vector_t(const V& v, const M& mat, V& out) {
    const V in = v;
    const auto* m = mat.m;
    out.x = in.x * m[0] + in.y * m[3] + in.z * m[6];
    out.y = in.x * m[1] + in.y * m[4] + in.z * m[7];
    out.z = in.x * m[2] + in.y * m[5] + in.z * m[8];
}

template <typename V, typename M>
void transform_point_t(const V& p, const M& mat, V& out) {
    const V in = p;
    const auto* m = mat.m;
    V r;
    r.x = in.x * m[0] + in.y * m[4] + in.z * m[8] + m[12];
    r.y = in.x * m[1] + in.y * m[5] + in.z * m[9] + m[13];
    r.z = in.x * m[2] + in.y * m[6] + in.z * m[10] + m[14];
    const auto w = in.x * m[3] + in.y * m[7] + in.z * m[11] + m[15];
    if (w != 0) {
        r.x /= w;
        r.y /= w;
        r.z /= w;
    }
    out = r;
}

}  // namespace

void set_elements(Mat3f& m, float m00, float m01, float m02, float m10, float m11, float m12,
                  float m20, float m21, float m22) {
    m = Mat3f{{m00, m01, m02, m10, m11, m12, m20, m21, m22}};
}
void set_elements(Mat3d& m, double m00, double m01, double m02, double m10, double m11,
                  double m12, double m20, double m21, double m22) {
    m = Mat3d{{m00, m01, m02, m10, m11, m12, m20, m21, m22}};
}
void set_elements(Mat4f& m, float m00, float m01, float m02, float m03, float m10, float m11,
                  float m12, float m13, float m20, float m21, float m22, float m23, float m30,
                  float m31, float m32, float m33) {
    m = Mat4f{{m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33}};
}
void set_elements(Mat4d& m, double m00, double m01, double m02, double m03, double m10,
                  double m11, double m12, double m13, double m20, double m21, double m22,
                  double m23, double m30, double m31, double m32, double m33) {
    m = Mat4d{{m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33}};
}

void set_identity(Mat3f& m) { identity_n<float, 3>(m.m); }
void set_identity(Mat3d& m) { identity_n<double, 3>(m.m); }
void set_identity(Mat4f& m) { identity_n<float, 4>(m.m); }
void set_identity(Mat4d& m) { identity_n<double, 4>(m.m); }

int nearly_equal(const Mat3f& a, const Mat3f& b) { return nearly_equal_n<float, 3>(a.m, b.m); }
int nearly_equal(const Mat3d& a, const Mat3d& b) { return nearly_equal_n<double, 3>(a.m, b.m); }
int nearly_equal(const Mat4f& a, const Mat4f& b) { return nearly_equal_n<float, 4>(a.m, b.m); }
int nearly_equal(const Mat4d& a, const Mat4d& b) { return nearly_equal_n<double, 4>(a.m, b.m); }

void copy(Mat3f& dst, const Mat3f& src) { std::memmove(&dst, &src, sizeof(Mat3f)); }
void copy(Mat3d& dst, const Mat3d& src) { std::memmove(&dst, &src, sizeof(Mat3d)); }
void copy(Mat4f& dst, const Mat4f& src) { std::memmove(&dst, &src, sizeof(Mat4f)); }
void copy(Mat4d& dst, const Mat4d& src) { std::memmove(&dst, &src, sizeof(Mat4d)); }

void transform_vector(const Vec3f& v, const Mat3f& m, Vec3f& out) { transform_vector_t(v, m, out); }
void transform_vector(const Vec3d& v, const Mat3d& m, Vec3d& out) { transform_vector_t(v, m, out); }
void transform_point(const Vec3f& p, const Mat4f& m, Vec3f& out) { transform_point_t(p, m, out); }
void transform_point(const Vec3d& p, const Mat4d& m, Vec3d& out) { transform_point_t(p, m, out); }

void multiply(const Mat3f& a, const Mat3f& b, Mat3f& out) { multiply_n<float, 3>(a.m, b.m, out.m); }
void multiply(const Mat3d& a, const Mat3d& b, Mat3d& out) { multiply_n<double, 3>(a.m, b.m, out.m); }
void multiply(const Mat4f& a, const Mat4f& b, Mat4f& out) { multiply_n<float, 4>(a.m, b.m, out.m); }
void multiply(const Mat4d& a, const Mat4d& b, Mat4d& out) { multiply_n<double, 4>(a.m, b.m, out.m); }

void scale(Mat3f& m, float s) { scale_n<float, 3>(m.m, s); }
void scale(Mat3d& m, double s) { scale_n<double, 3>(m.m, s); }
void scale(Mat4f& m, float s) { scale_n<float, 4>(m.m, s); }
void scale(Mat4d& m, double s) { scale_n<double, 4>(m.m, s); }

float det2(float a, float b, float c, float d) { return det2_t(a, b, c, d); }
double det2(double a, double b, double c, double d) { return det2_t(a, b, c, d); }

float determinant(const Mat3f& m) { return det3(m.m); }
double determinant(const Mat3d& m) { return det3(m.m); }
float determinant(const Mat4f& m) { return det4(m.m); }
double determinant(const Mat4d& m) { return det4(m.m); }

void adjugate(const Mat3f& src, Mat3f& dst) { adjugate3(src.m, dst.m); }
void adjugate(const Mat3d& src, Mat3d& dst) { adjugate3(src.m, dst.m); }
void adjugate(const Mat4f& src, Mat4f& dst) { adjugate4(src.m, dst.m); }
void adjugate(const Mat4d& src, Mat4d& dst) { adjugate4(src.m, dst.m); }

void invert(const Mat3f& src, Mat3f& dst) { invert_n<float, 3>(src.m, dst.m, det3(src.m)); }
void invert(const Mat3d& src, Mat3d& dst) { invert_n<double, 3>(src.m, dst.m, det3(src.m)); }
void invert(const Mat4f& src, Mat4f& dst) { invert_n<float, 4>(src.m, dst.m, det4(src.m)); }
void invert(const Mat4d& src, Mat4d& dst) { invert_n<double, 4>(src.m, dst.m, det4(src.m)); }

}  // namespace geometry
