// UTF-8 as the program reads and writes it: where a valid sequence ends, text made valid for
// output, and the byte order marks that editors put at the start of a file.
#pragma once

#include <cstddef>
#include <string>

namespace host {

// The length of the UTF-8 sequence starting at s[i], or 0 when it is not a valid one
// (overlong forms, surrogates and code points beyond U+10FFFF are not).
size_t utf8_sequence(const std::string& s, size_t i);

// `s` with every byte sequence that is not UTF-8 replaced by U+FFFD.
std::string valid_utf8(const std::string& s);

// The number of characters (code points) in `s`, counting each invalid byte as one.
size_t utf8_length(const std::string& s);

// What a file's first bytes say about its encoding. A UTF-8 mark is skipped by the readers;
// a UTF-16 or UTF-32 mark means text the readers cannot take.
struct ByteOrderMark {
    size_t length = 0;             // bytes of the mark; 0 when there is none
    const char* encoding = "";     // "UTF-8", "UTF-16 (little-endian)", ...
    bool utf8() const { return length == 3; }
};
ByteOrderMark byte_order_mark(const std::string& text);

}  // namespace host
