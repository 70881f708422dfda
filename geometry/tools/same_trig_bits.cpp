// Whether a changed copy of the sine and cosine gives the library's bits: the library
// (src/fast_trig.cpp) and the copy, its namespace renamed to geometry::trig_mut, linked into
// one program, are compared on every float bit pattern in [FIRST, LAST). Used to settle whether
// a mutant of the careful evaluation is equivalent (docs/reliability.md). Not part of the test
// suite: all 2^31 non-negative floats take about ten minutes on two cores, run as two ranges.
//
// build (one command each; LINE, BEFORE and AFTER name the change):
//   sed -e 's/^namespace geometry::trig {/namespace geometry::trig_mut {/'
//       -e 's|^}  // namespace geometry::trig$|}  // namespace geometry::trig_mut|'
//       -e 'LINEs/BEFORE/AFTER/' geometry/src/fast_trig.cpp > mut.cpp
//   g++ -O2 -std=c++17 -ffp-contract=off -Igeometry/src -Igeometry/include
//       geometry/tools/same_trig_bits.cpp geometry/src/fast_trig.cpp mut.cpp -o same_trig_bits
// run:
//   ./same_trig_bits 0 0x58000000 & ./same_trig_bits 0x58000000 0x7f800000
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace geometry::trig {
void sincos(float x, float& s, float& c);
}
namespace geometry::trig_mut {
void sincos(float x, float& s, float& c);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: same_trig_bits FIRST LAST (float bit patterns)\n");
        return 2;
    }
    const uint64_t first = std::strtoull(argv[1], nullptr, 0), last = std::strtoull(argv[2], nullptr, 0);
    uint64_t differ = 0;
    for (uint64_t b = first; b < last; ++b) {
        const auto bits = static_cast<uint32_t>(b);
        float x, s1, c1, s2, c2;
        std::memcpy(&x, &bits, sizeof x);
        geometry::trig::sincos(x, s1, c1);
        geometry::trig_mut::sincos(x, s2, c2);
        if (std::memcmp(&s1, &s2, sizeof s1) != 0 || std::memcmp(&c1, &c2, sizeof c1) != 0)
            if (++differ <= 10) std::printf("%a: sin %a or %a, cos %a or %a\n", x, s1, s2, c1, c2);
    }
    std::printf("%llu of [%#llx, %#llx) differ\n", static_cast<unsigned long long>(differ),
                static_cast<unsigned long long>(first), static_cast<unsigned long long>(last));
    return differ != 0;
}
