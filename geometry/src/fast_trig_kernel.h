// The constants of the fast evaluation of sine and cosine (fast_trig.h), shared by the
// one-angle path (fast_trig.cpp) and the three-angle forms (fast_trig_lanes.cpp).
#pragma once

namespace geometry::trig::kernel {

// pi/2 in three parts for the fast reduction: the first two of 33 bits (so that k times them
// is exact for k below 2^20), the third the rest.
constexpr double kPio2a = 1.57079632673412561417e+00;
constexpr double kPio2b = 6.07710050630396597660e-11;
constexpr double kPio2c = 2.02226624879595063154e-21;
constexpr double kInvPio2 = 6.36619772367581382433e-01;
constexpr double kFastLimit = 524288.0;  // 2^19 radians

// Minimax polynomials for sin and cos on [-pi/4, pi/4] (the classic fdlibm kernels, the
// cosine without fdlibm's last refinement), accurate to a few of a double's last bits,
// evaluated by Estrin's scheme, whose products can proceed side by side.
constexpr double kS1 = -1.66666666666666324348e-01, kS2 = 8.33333333332248946124e-03,
                 kS3 = -1.98412698298579493134e-04, kS4 = 2.75573137070700676789e-06,
                 kS5 = -2.50507602534068634195e-08, kS6 = 1.58969099521155010221e-10;
constexpr double kC1 = 4.16666666666666019037e-02, kC2 = -1.38888888888741095749e-03,
                 kC3 = 2.48015872894767294178e-05, kC4 = -2.75573143513906633035e-07,
                 kC5 = 2.08757232129817482790e-09, kC6 = -1.13596475577881948265e-11;

// The nearest whole number to a * 2/pi (a below 2^19), as a double and as the quadrant's bits:
// adding 1.5 * 2^52 rounds away the fraction and leaves the number in the low bits.
constexpr double kRoundingShift = 0x1.8p52;

}  // namespace geometry::trig::kernel
