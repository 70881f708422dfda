#include "host/hostile.h"

#include <cmath>
#include <limits>

namespace host {

bool Hostility::strikes() const { return chaos && chaos() >= 150; }

uint8_t Hostility::pick() const { return chaos ? chaos() : 0; }

double Hostility::answer(double normal) const {
    if (!strikes()) return normal;
    switch (pick() % 8) {
        case 0: return std::nan("");
        case 1: return std::numeric_limits<double>::infinity();
        case 2: return -std::numeric_limits<double>::infinity();
        case 3: return 0.0;
        case 4: return -normal;
        case 5: return 1e300;
        case 6: return -1e300;
        default: return 5e-324;
    }
}

int32_t Hostility::answer(int32_t normal) const {
    if (!strikes()) return normal;
    switch (pick() % 6) {
        case 0: return 0;
        case 1: return -1;
        case 2: return std::numeric_limits<int32_t>::min();
        case 3: return std::numeric_limits<int32_t>::max();
        case 4: return static_cast<int32_t>(static_cast<uint32_t>(normal) + 1u);
        default: return static_cast<int32_t>(pick()) - 128;
    }
}

}  // namespace host
