// Conversions between a value in the unit interval [0, 1] (a float) and an unsigned integer
// code of 8, 16 or 31 bits. Quantisers round halves up and clamp (NaN gives 0); expanders
// clamp their result to [0, 1]. The 31-bit scale is 2^31 while its largest code is 2^31 - 1.
#pragma once

#include <cstdint>

namespace geometry {

int32_t unit_to_u8(float x);
int32_t unit_to_u16(float x);
int32_t unit_to_u31(float x);

float u8_to_unit(uint8_t code);
float u16_to_unit(uint16_t code);
float u31_to_unit(uint32_t code);

}  // namespace geometry
