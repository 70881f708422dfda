// What the geometry library's sources share, and nothing outside them sees: the constants,
// the precision traits, and the helpers that evaluate a standard maths function in double on
// a widened argument and round the result back. Everything here has internal linkage.
#pragma once

#include <cmath>

#include "fast_trig.h"
#include "taverin/geometry/types.h"

namespace geometry {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

// The tolerance of each precision: comparisons pass strictly below it, and an inverse is
// refused for a determinant whose magnitude is below it (a single-precision value is widened
// to double first).
template <typename T> struct Precision;
template <> struct Precision<float> {
    static constexpr double tolerance = 1e-6;
};
template <> struct Precision<double> {
    static constexpr double tolerance = 1e-15;
};

inline float to_f(double v) { return static_cast<float>(v); }
inline double wide(float v) { return static_cast<double>(v); }

// f evaluated in double on v widened, rounded back to v's precision.
template <typename T> T in_double(double (*f)(double), T v) { return static_cast<T>(f(static_cast<double>(v))); }
// The square root in double of a widened float, rounded back, is the float square root for
// every float (double holds more than twice a float's precision; an exhaustive check over all
// 2^32 floats agrees), so the float instruction computes it.
template <typename T> T d_sqrt(T v) { return std::sqrt(v); }
template <typename T> T d_sin(T v) { return in_double<T>(std::sin, v); }
template <typename T> T d_cos(T v) { return in_double<T>(std::cos, v); }
// The sine and cosine of a float: the library's own evaluation of the same rule (the correctly
// rounded double value, rounded to float), the same on every platform (fast_trig.h).
inline float d_sin(float v) { return trig::sin(v); }
inline float d_cos(float v) { return trig::cos(v); }
template <typename T> T d_asin(T v) { return in_double<T>(std::asin, v); }
inline float d_atan2(float y, float x) { return to_f(std::atan2(wide(y), wide(x))); }

// v clamped to [-1, 1] (a cosine that rounding pushed just outside); NaN stays NaN.
template <typename T> T clamp_unit(T v) {
    if (v > T(1)) v = T(1);
    if (v < T(-1)) v = T(-1);
    return v;
}

// acos of a clamped cosine, in double, rounded back.
template <typename T> T clamped_acos(T v) { return static_cast<T>(std::acos(static_cast<double>(clamp_unit(v)))); }

}  // namespace
}  // namespace geometry
