#include "taverin/geometry/quantize.h"

namespace geometry {

namespace {

int32_t quantize(float x, float scale, int32_t largest) {
    const float v = x * scale + 0.5f;
    if (!(v == v)) return 0;  // NaN
    if (v >= 2147483648.0f) return largest;
    if (v <= -2147483648.0f) return 0;
    const int32_t r = static_cast<int32_t>(v);
    if (r < 0) return 0;
    if (r > largest) return largest;
    return r;
}

float expand(float code, float scale) {
    const float f = code / scale;
    if (f < 0.0f) return 0.0f;
    if (f > 1.0f) return 1.0f;
    return f;
}

}  // namespace

int32_t unit_to_u8(float x) { return quantize(x, 255.0f, 255); }
int32_t unit_to_u16(float x) { return quantize(x, 65535.0f, 65535); }
int32_t unit_to_u31(float x) { return quantize(x, 2147483648.0f, 2147483647); }

float u8_to_unit(uint8_t code) { return expand(static_cast<float>(code), 255.0f); }
float u16_to_unit(uint16_t code) { return expand(static_cast<float>(code), 65535.0f); }
float u31_to_unit(uint32_t code) { return expand(static_cast<float>(code), 2147483648.0f); }

}  // namespace geometry
