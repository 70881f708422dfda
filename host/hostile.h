// The hostile-host fuzzer's hook: when `chaos` is set, the services may replace their normal
// answers with hostile ones (null handles, zero, negative, NaN, infinite or huge values, odd
// codes), each choice taken from the next byte `chaos` returns. Normal answers stay the
// common case, so the module's ordinary paths still run. Lists always end.
#pragma once

#include <cstdint>
#include <functional>

namespace host {

class Hostility {
public:
    std::function<uint8_t()> chaos;

    // True when this answer is to be hostile.
    bool strikes() const;
    // A byte that picks among hostile answers.
    uint8_t pick() const;
    double answer(double normal) const;
    int32_t answer(int32_t normal) const;
    template <typename P>
    P null_or(P normal) const {
        return strikes() ? nullptr : normal;
    }
};

}  // namespace host
