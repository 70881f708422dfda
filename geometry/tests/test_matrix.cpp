// The matrix family, decided by independent checks where possible.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include <taverin/geometry/matrix.h>

using namespace geometry;

namespace {

template <typename M>
M diag(double a, double b, double c, double d = 1) {
    M m;
    set_identity(m);
    const int n = sizeof(m.m) / sizeof(m.m[0]) == 9 ? 3 : 4;
    m.m[0] = static_cast<decltype(m.m[0] + 0)>(a);
    m.m[n + 1] = static_cast<decltype(m.m[0] + 0)>(b);
    m.m[2 * n + 2] = static_cast<decltype(m.m[0] + 0)>(c);
    if (n == 4) m.m[15] = static_cast<decltype(m.m[0] + 0)>(d);
    return m;
}

template <typename M>
M random_matrix(std::mt19937& rng, double lo = -2, double hi = 2) {
    std::uniform_real_distribution<double> u(lo, hi);
    M m;
    for (auto& e : m.m) e = static_cast<decltype(m.m[0] + 0)>(u(rng));
    return m;
}

template <typename M>
M sentinel() {
    M m;
    for (auto& e : m.m) e = 42;
    return m;
}

// Determinant by Gaussian elimination in long double: an independent reference.
template <int N, typename T>
long double reference_det(const T* src) {
    long double a[N][N];
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c) a[r][c] = src[N * r + c];
    long double det = 1;
    for (int c = 0; c < N; ++c) {
        int p = c;
        for (int r = c + 1; r < N; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
        if (a[p][c] == 0) return 0;
        if (p != c) {
            for (int k = 0; k < N; ++k) std::swap(a[p][k], a[c][k]);
            det = -det;
        }
        det *= a[c][c];
        for (int r = c + 1; r < N; ++r) {
            const long double f = a[r][c] / a[c][c];
            for (int k = c; k < N; ++k) a[r][k] -= f * a[c][k];
        }
    }
    return det;
}

}  // namespace

TEST(Matrix, SingularityThresholdsAreStrictAndTestedInDouble) {
    {
        const Mat3f keep = sentinel<Mat3f>();
        Mat3f out = keep;
        invert(diag<Mat3f>(5e-7, 1, 1), out);
        EXPECT_EQ(std::memcmp(&out, &keep, sizeof out), 0);
        // The float nearest 1e-6 is 9.999999974752427e-7, just below the double 1e-6.
        ASSERT_EQ(static_cast<double>(1e-6f), 9.999999974752427e-7);
        invert(diag<Mat3f>(1e-6, 1, 1), out);
        EXPECT_EQ(std::memcmp(&out, &keep, sizeof out), 0);
        invert(diag<Mat3f>(2e-6, 1, 1), out);
        EXPECT_FLOAT_EQ(out.m[0], 1.0f / 2e-6f);
    }
    {
        Mat4f out = sentinel<Mat4f>();
        invert(diag<Mat4f>(1, 1e-6, 1, 1), out);
        EXPECT_EQ(out.m[0], 42.0f);
        invert(diag<Mat4f>(1, 2e-6, 1, 1), out);
        EXPECT_EQ(out.m[0], 1.0f);
    }
    {
        Mat3d out = sentinel<Mat3d>();
        invert(diag<Mat3d>(5e-16, 1, 1), out);
        EXPECT_EQ(out.m[0], 42.0);
        invert(diag<Mat3d>(1e-15, 1, 1), out);  // exactly at the threshold: inverted
        EXPECT_DOUBLE_EQ(out.m[0], 1e15);
        Mat4d out4 = sentinel<Mat4d>();
        invert(diag<Mat4d>(1, 1, 5e-16, 1), out4);
        EXPECT_EQ(out4.m[0], 42.0);
        invert(diag<Mat4d>(1, 1, 1e-15, 1), out4);
        EXPECT_DOUBLE_EQ(out4.m[10], 1e15);
    }
}

TEST(Matrix, InverseOfIdentityAndDiagonals) {
    Mat4d i4, out4;
    set_identity(i4);
    invert(i4, out4);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(out4.m[k], i4.m[k]);  // -0 == 0
    Mat3f out3;
    invert(diag<Mat3f>(2, 4, 8), out3);
    EXPECT_EQ(out3.m[0], 0.5f);
    EXPECT_EQ(out3.m[4], 0.25f);
    EXPECT_EQ(out3.m[8], 0.125f);
    invert(diag<Mat4d>(2, 4, 8, 1), out4);
    EXPECT_EQ(out4.m[0], 0.5);
    EXPECT_EQ(out4.m[5], 0.25);
    EXPECT_EQ(out4.m[10], 0.125);
    EXPECT_EQ(out4.m[15], 1.0);
}

TEST(Matrix, InverseTimesMatrixIsNearTheIdentityOnRandomMatrices) {
    std::mt19937 rng(7);
    int tested = 0;
    for (int n = 0; n < 500; ++n) {
        Mat4d m = random_matrix<Mat4d>(rng);
        if (std::fabs(determinant(m)) < 0.1) continue;
        Mat4d inv, prod, id;
        invert(m, inv);
        multiply(inv, m, prod);
        set_identity(id);
        for (int k = 0; k < 16; ++k) ASSERT_NEAR(prod.m[k], id.m[k], 1e-12);
        Mat3f f = random_matrix<Mat3f>(rng);
        if (std::fabs(determinant(f)) < 0.1f) continue;
        Mat3f finv, fprod;
        invert(f, finv);
        multiply(f, finv, fprod);
        for (int k = 0; k < 9; ++k) ASSERT_NEAR(fprod.m[k], (k % 4 == 0) ? 1.0f : 0.0f, 2e-5f);
        ++tested;
    }
    EXPECT_GT(tested, 100);
}

TEST(Matrix, DeterminantsAgreeWithALongDoubleElimination) {
    std::mt19937 rng(11);
    for (int n = 0; n < 200; ++n) {
        const Mat4d m4 = random_matrix<Mat4d>(rng);
        EXPECT_NEAR(determinant(m4), static_cast<double>(reference_det<4>(m4.m)), 1e-12);
        const Mat3d m3 = random_matrix<Mat3d>(rng);
        EXPECT_NEAR(determinant(m3), static_cast<double>(reference_det<3>(m3.m)), 1e-13);
        const Mat4f f4 = random_matrix<Mat4f>(rng);
        EXPECT_NEAR(determinant(f4), static_cast<double>(reference_det<4>(f4.m)), 1e-4);
    }
    EXPECT_EQ(det2(3.0, 2.0, 4.0, 5.0), 7.0);
}

// The 4x4 determinant and adjugate share their 2x2 sub-determinants between minors; that must
// give, to the bit, what expanding each transposed 3x3 minor with the 3x3 determinant gives.
TEST(Matrix, FourByFourResultsMatchMinorByMinorExpansionToTheBit) {
    std::mt19937 rng(99);
    auto minor = [](const Mat4f& m, int skip_row, int skip_col) {
        float e[9];
        int i = 0;
        for (int col = 0; col < 4; ++col) {
            if (col == skip_col) continue;
            int k = 0;
            for (int row = 0; row < 4; ++row)
                if (row != skip_row) e[3 * i + k++] = m.m[4 * row + col];
            ++i;
        }
        Mat3f t;
        set_elements(t, e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8]);
        return determinant(t);
    };
    for (int n = 0; n < 2000; ++n) {
        const Mat4f m = random_matrix<Mat4f>(rng, -100, 100);
        const float d = ((m.m[0] * minor(m, 0, 0) - m.m[1] * minor(m, 0, 1)) + m.m[2] * minor(m, 0, 2)) -
                        m.m[3] * minor(m, 0, 3);
        const float got = determinant(m);
        ASSERT_EQ(std::memcmp(&d, &got, sizeof d), 0) << n;
        Mat4f adj;
        adjugate(m, adj);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                const float v = minor(m, c, r);
                const float want = ((r + c) % 2) ? -v : v;
                ASSERT_EQ(std::memcmp(&want, &adj.m[4 * r + c], sizeof want), 0) << n << " " << r << c;
            }
    }
}

TEST(Matrix, MatrixTimesAdjugateIsDeterminantTimesIdentity) {
    std::mt19937 rng(3);
    for (int n = 0; n < 100; ++n) {
        const Mat3d m = random_matrix<Mat3d>(rng);
        Mat3d adj, prod;
        adjugate(m, adj);
        multiply(m, adj, prod);
        const double d = determinant(m);
        for (int k = 0; k < 9; ++k) ASSERT_NEAR(prod.m[k], (k % 4 == 0) ? d : 0.0, 1e-12);
        const Mat4d m4 = random_matrix<Mat4d>(rng);
        Mat4d adj4, prod4;
        adjugate(m4, adj4);
        multiply(adj4, m4, prod4);
        const double d4 = determinant(m4);
        for (int k = 0; k < 16; ++k) ASSERT_NEAR(prod4.m[k], (k % 5 == 0) ? d4 : 0.0, 1e-11);
    }
}

TEST(Matrix, NearlyEqualTolerances) {
    Mat3f a, b;
    set_identity(a);
    set_identity(b);
    EXPECT_EQ(nearly_equal(a, b), 1);
    b.m[5] = 5e-7f;
    EXPECT_EQ(nearly_equal(a, b), 1);
    b.m[5] = 2e-6f;
    EXPECT_EQ(nearly_equal(a, b), 0);
    b.m[5] = NAN;
    EXPECT_EQ(nearly_equal(a, b), 0);
    EXPECT_EQ(nearly_equal(b, b), 0);  // NaN is never equal, even to itself
    Mat4d c, d;
    set_identity(c);
    set_identity(d);
    d.m[15] = 1 + 1e-16;
    d.m[3] = 1e-16;
    EXPECT_EQ(nearly_equal(c, d), 1);
    d.m[3] = 1e-14;
    EXPECT_EQ(nearly_equal(c, d), 0);
}

TEST(Matrix, TransformsFollowTheRowVectorConvention) {
    Mat4f m;
    set_identity(m);
    Vec3f out;
    transform_point(Vec3f{1, 2, 3}, m, out);
    EXPECT_EQ(out.x, 1);
    EXPECT_EQ(out.z, 3);
    m.m[12] = 5;
    m.m[13] = 6;
    m.m[14] = 7;
    transform_point(Vec3f{1, 2, 3}, m, out);
    EXPECT_EQ(out.x, 6);
    EXPECT_EQ(out.y, 8);
    EXPECT_EQ(out.z, 10);
    // A last column of zeros: no division by the zero homogeneous coordinate.
    m.m[3] = m.m[7] = m.m[11] = m.m[15] = 0;
    transform_point(Vec3f{1, 2, 3}, m, out);
    EXPECT_EQ(out.x, 6);
    // A projective last column divides.
    Mat4d p;
    set_identity(p);
    p.m[15] = 2;
    Vec3d pd;
    transform_point(Vec3d{2, 4, 6}, p, pd);
    EXPECT_EQ(pd.y, 2);

    Mat3d r;
    set_elements(r, 1, 2, 3, 4, 5, 6, 7, 8, 9);
    Vec3d v;
    transform_vector(Vec3d{1, 0, 0}, r, v);
    EXPECT_EQ(v.x, 1);
    EXPECT_EQ(v.y, 2);
    EXPECT_EQ(v.z, 3);
}

TEST(Matrix, EveryOutputMayBeAnInput) {
    std::mt19937 rng(5);
    const Mat4d a = random_matrix<Mat4d>(rng), b = random_matrix<Mat4d>(rng);
    Mat4d sep, al = a, bl = b;
    multiply(a, b, sep);
    multiply(al, b, al);
    multiply(a, bl, bl);
    EXPECT_EQ(std::memcmp(&sep, &al, sizeof sep), 0);
    EXPECT_EQ(std::memcmp(&sep, &bl, sizeof sep), 0);

    Mat4d inv, self = a;
    invert(a, inv);
    invert(self, self);
    EXPECT_EQ(std::memcmp(&inv, &self, sizeof inv), 0);
    Mat3f f = random_matrix<Mat3f>(rng), adj, fself;
    copy(fself, f);
    adjugate(f, adj);
    adjugate(fself, fself);
    EXPECT_EQ(std::memcmp(&adj, &fself, sizeof adj), 0);

    Mat3f m = random_matrix<Mat3f>(rng);
    Vec3f v{1, 2, 3}, w;
    transform_vector(v, m, w);
    transform_vector(v, m, v);
    EXPECT_EQ(std::memcmp(&v, &w, sizeof v), 0);
    Mat4f m4 = random_matrix<Mat4f>(rng);
    Vec3f p{1, 2, 3}, q;
    transform_point(p, m4, q);
    transform_point(p, m4, p);
    EXPECT_EQ(std::memcmp(&p, &q, sizeof p), 0);
}

TEST(Matrix, ScaleAndCopy) {
    Mat4f m;
    set_identity(m);
    scale(m, 3.0f);
    EXPECT_EQ(m.m[0], 3.0f);
    EXPECT_EQ(m.m[1], 0.0f);
    Mat4f c;
    copy(c, m);
    EXPECT_EQ(std::memcmp(&c, &m, sizeof c), 0);
}
