#include "taverin/geometry/matrix.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "common.h"
#include "scalar.h"
#include "taverin/geometry/detail/sse.h"

namespace geometry {

namespace {

template <typename T, int N>
int nearly_equal_n(const T* a, const T* b) {
    for (int i = 0; i < N * N; ++i) {
        T d = a[i] - b[i];
        if (d < 0) d = -d;
        if (!(static_cast<double>(d) < Precision<T>::tolerance)) return 0;
    }
    return 1;
}

template <typename T, int N>
void identity_n(T* m) {
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c) m[N * r + c] = (r == c) ? T(1) : T(0);
}

template <typename T, int N>
void scale_n(T* m, T s) {
    for (int i = 0; i < N * N; ++i) m[i] *= s;
}

// 4x4 determinants and cofactors expand transposed 3x3 minors: row i of a minor holds the
// remaining rows of its i-th remaining column. Written out, every 2x2 determinant such a minor
// takes by det2 is M(ra, ca) M(rb, cb) - M(rb, ca) M(ra, cb) for rows ra < rb and columns
// ca < cb, so the same value (to the bit) serves every minor that needs it. They are formed
// once, for the column pairs (1, 2), (1, 3) and (2, 3) that the minors use.
template <typename T>
struct Pairs {
    T s[4][4][3];  // [ra][rb][column pair]
};

constexpr int kPairCols[3][2] = {{1, 2}, {1, 3}, {2, 3}};

template <typename T>
void form_pairs(const T* m, Pairs<T>& p) {
    for (int ra = 0; ra < 4; ++ra)
        for (int rb = ra + 1; rb < 4; ++rb)
            for (int cp = 0; cp < 3; ++cp) {
                const int ca = kPairCols[cp][0], cb = kPairCols[cp][1];
                p.s[ra][rb][cp] = detail::det2(m[4 * ra + ca], m[4 * rb + ca], m[4 * ra + cb], m[4 * rb + cb]);
            }
}

// The determinant of the transposed minor without row `skip_row` and column `skip_col`,
// exactly as det3 evaluates it.
template <typename T>
T minor_det(const T* m, const Pairs<T>& p, int skip_row, int skip_col) {
    int r[3], n = 0;
    for (int i = 0; i < 4; ++i)
        if (i != skip_row) r[n++] = i;
    const int c0 = skip_col == 0 ? 1 : 0;
    const int cp = skip_col == 3 ? 0 : (skip_col == 2 ? 1 : 2);
    return (m[4 * r[0] + c0] * p.s[r[1]][r[2]][cp] - m[4 * r[1] + c0] * p.s[r[0]][r[2]][cp]) +
           m[4 * r[2] + c0] * p.s[r[0]][r[1]][cp];
}

template <typename T>
T det4_from(const T* m, const Pairs<T>& p) {
    T d[4];
    for (int c = 0; c < 4; ++c) d[c] = minor_det(m, p, 0, c);
    return ((m[0] * d[0] - m[1] * d[1]) + m[2] * d[2]) - m[3] * d[3];
}

template <typename T>
T det4(const T* m) {
    Pairs<T> p;
    form_pairs(m, p);
    return det4_from(m, p);
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
            const T v = detail::det2(e[0], e[1], e[2], e[3]);
            t[3 * r + c] = ((r + c) % 2) ? -v : v;
        }
    }
    std::memcpy(dst, t, sizeof t);
}

// dst(r, c) = (-1)^(r+c) det(minor without row c and column r).
template <typename T>
void adjugate4_from(const T* s, const Pairs<T>& p, T* dst) {
    T t[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const T v = minor_det(s, p, c, r);
            t[4 * r + c] = ((r + c) % 2) ? -v : v;
        }
    std::memcpy(dst, t, sizeof t);
}

template <typename T>
void adjugate4(const T* s, T* dst) {
    Pairs<T> p;
    form_pairs(s, p);
    adjugate4_from(s, p, dst);
}

template <typename T>
void invert4(const T* src, T* dst) {
    Pairs<T> p;
    form_pairs(src, p);
    const T det = det4_from(src, p);
    if (std::fabs(static_cast<double>(det)) < Precision<T>::tolerance) return;
    adjugate4_from(src, p, dst);
    const T r = T(1) / det;
    for (int i = 0; i < 16; ++i) dst[i] *= r;
}

template <typename T>
void invert3(const T* src, T* dst) {
    const T det = detail::det3(src);
    if (std::fabs(static_cast<double>(det)) < Precision<T>::tolerance) return;
    adjugate3(src, dst);
    const T r = T(1) / det;
    scale_n<T, 3>(dst, r);
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

#if !TAVERIN_GEOMETRY_SSE2  // otherwise the SSE2 paths (detail/matrix_ops.h)
void transform_point(const Vec3f& p, const Mat4f& m, Vec3f& out) { transform_point_t(p, m, out); }
void transform_point(const Vec3d& p, const Mat4d& m, Vec3d& out) { transform_point_t(p, m, out); }
void multiply(const Mat4f& a, const Mat4f& b, Mat4f& out) { detail::multiply_n<float, 4>(a.m, b.m, out.m); }
void multiply(const Mat4d& a, const Mat4d& b, Mat4d& out) { detail::multiply_n<double, 4>(a.m, b.m, out.m); }
void invert(const Mat4f& src, Mat4f& dst) { invert4(src.m, dst.m); }
void invert(const Mat4d& src, Mat4d& dst) { invert4(src.m, dst.m); }
#endif

void scale(Mat3f& m, float s) { scale_n<float, 3>(m.m, s); }
void scale(Mat3d& m, double s) { scale_n<double, 3>(m.m, s); }
void scale(Mat4f& m, float s) { scale_n<float, 4>(m.m, s); }
void scale(Mat4d& m, double s) { scale_n<double, 4>(m.m, s); }

float determinant(const Mat4f& m) { return det4(m.m); }
double determinant(const Mat4d& m) { return det4(m.m); }

void adjugate(const Mat3f& src, Mat3f& dst) { adjugate3(src.m, dst.m); }
void adjugate(const Mat3d& src, Mat3d& dst) { adjugate3(src.m, dst.m); }
void adjugate(const Mat4f& src, Mat4f& dst) { adjugate4(src.m, dst.m); }
void adjugate(const Mat4d& src, Mat4d& dst) { adjugate4(src.m, dst.m); }

void invert(const Mat3f& src, Mat3f& dst) { invert3(src.m, dst.m); }
void invert(const Mat3d& src, Mat3d& dst) { invert3(src.m, dst.m); }

namespace scalar {

void multiply(const Mat4f& a, const Mat4f& b, Mat4f& out) { detail::multiply_n<float, 4>(a.m, b.m, out.m); }
void multiply(const Mat4d& a, const Mat4d& b, Mat4d& out) { detail::multiply_n<double, 4>(a.m, b.m, out.m); }
void transform_point(const Vec3f& p, const Mat4f& m, Vec3f& out) { transform_point_t(p, m, out); }
void transform_point(const Vec3d& p, const Mat4d& m, Vec3d& out) { transform_point_t(p, m, out); }
void invert(const Mat4f& src, Mat4f& dst) { invert4(src.m, dst.m); }
void invert(const Mat4d& src, Mat4d& dst) { invert4(src.m, dst.m); }

}  // namespace scalar

}  // namespace geometry
