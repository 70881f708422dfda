// Sine and cosine of a float as the library's rule defines them: evaluated in double on the
// widened angle, correctly rounded to double, then rounded to float. The evaluation is the
// library's own (no libm), so it gives the same bits on every platform, and it is fast:
//
//   - angles below 2^19 radians are reduced by pi/2 in three parts (Cody and Waite) and
//     evaluated by polynomials in double, accurate to about a double's last bit;
//   - when that result lies so close to the middle between two floats that its last bits
//     could decide the rounding, or the angle is larger, the value is recomputed in double-
//     double arithmetic (about 100 bits): reduction by 2/pi to 448 bits (Payne and Hanek) and
//     Taylor series, whose result is then rounded to double and to float.
//
// An exhaustive run (tools/check_trig.cpp; docs/performance.md gives its command, time and
// outcome) compares every one of the 2^32 floats with a higher-precision reference.
#pragma once

namespace geometry::trig {

void sincos(float x, float& sine, float& cosine);
// Three at once, the same results: four lanes of doubles where the processor has AVX2 and FMA
// (asked once), two to an SSE2 register otherwise.
void sincos3(const float x[3], float sine[3], float cosine[3]);
// Its two vector forms, for the tests and the exhaustive check; the second only where
// has_avx2_fma() (elsewhere, and in builds without vector code, both are sincos3).
void sincos3_sse2(const float x[3], float sine[3], float cosine[3]);
void sincos3_avx2_fma(const float x[3], float sine[3], float cosine[3]);
bool has_avx2_fma();
float sin(float x);
float cos(float x);

}  // namespace geometry::trig
