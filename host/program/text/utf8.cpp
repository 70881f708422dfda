#include "host/program/text/utf8.h"

namespace host {

size_t utf8_sequence(const std::string& s, size_t i) {
    const auto b = [&](size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    const unsigned c = b(i);
    if (c < 0x80) return 1;
    auto cont = [&](size_t k) { return (b(k) & 0xC0u) == 0x80u; };
    if (c >= 0xC2 && c <= 0xDF) return cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned c1 = b(i + 1);
        if (c == 0xE0 && c1 < 0xA0) return 0;  // overlong
        if (c == 0xED && c1 > 0x9F) return 0;  // surrogates
        return cont(i + 1) && cont(i + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned c1 = b(i + 1);
        if (c == 0xF0 && c1 < 0x90) return 0;  // overlong
        if (c == 0xF4 && c1 > 0x8F) return 0;  // beyond U+10FFFF
        return cont(i + 1) && cont(i + 2) && cont(i + 3) ? 4 : 0;
    }
    return 0;
}

std::string valid_utf8(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const size_t n = utf8_sequence(s, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(s, i, n);
            i += n;
        }
    }
    return out;
}

size_t utf8_length(const std::string& s) {
    size_t count = 0;
    for (size_t i = 0; i < s.size(); ++count) {
        const size_t n = utf8_sequence(s, i);
        i += n ? n : 1;
    }
    return count;
}

ByteOrderMark byte_order_mark(const std::string& t) {
    // The four-byte UTF-32 marks first: the little-endian one begins with UTF-16's.
    static const struct {
        const char* bytes;
        size_t length;
        const char* encoding;
    } kMarks[] = {
        {"\xFF\xFE\x00\x00", 4, "UTF-32 (little-endian)"},
        {"\x00\x00\xFE\xFF", 4, "UTF-32 (big-endian)"},
        {"\xEF\xBB\xBF", 3, "UTF-8"},
        {"\xFF\xFE", 2, "UTF-16 (little-endian)"},
        {"\xFE\xFF", 2, "UTF-16 (big-endian)"},
    };
    for (const auto& m : kMarks)
        if (t.size() >= m.length && t.compare(0, m.length, m.bytes, m.length) == 0) return {m.length, m.encoding};
    return {};
}

}  // namespace host
