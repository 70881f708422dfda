// Reads a fuzzer's input as a stream of choices and raw values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    template <typename T>
    T raw() {  // any bit pattern: NaN, infinities and denormals included
        T v{};
        unsigned char b[sizeof(T)] = {};
        for (size_t i = 0; i < sizeof(T); ++i) b[i] = byte();
        std::memcpy(&v, b, sizeof(T));
        return v;
    }
    float f() { return raw<float>(); }
    double d() { return raw<double>(); }
    int32_t i32() { return raw<int32_t>(); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};
