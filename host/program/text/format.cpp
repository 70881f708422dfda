#include "host/program/text/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "host/program/text/json.h"
#include "host/program/text/utf8.h"

namespace host {

std::string one_line(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) out += '?';
        else out += c;
    }
    return out;
}

std::string clipped(const std::string& s, size_t max_bytes) {
    if (s.size() <= max_bytes) return s;
    size_t end = 0;
    for (size_t i = 0; i < s.size();) {
        const size_t n = utf8_sequence(s, i);
        const size_t next = i + (n ? n : 1);
        if (next > max_bytes) break;
        end = i = next;
    }
    return s.substr(0, end) + "...";
}

std::string DistanceFormat::text(double m) const {
    if (std::isinf(m)) return m > 0 ? "\xE2\x88\x9E" : "-\xE2\x88\x9E";
    if (std::isnan(m)) return "undefined";
    char b[64];
    std::snprintf(b, sizeof b, "%.*f %s", decimals, millimetres ? m * 1000.0 : m, millimetres ? "mm" : "m");
    return b;
}

DistanceFormat format_for(std::initializer_list<double> metres) {
    std::vector<double> v;
    for (double m : metres)
        if (std::isfinite(m)) v.push_back(std::fabs(m));
    DistanceFormat f;
    if (v.empty()) return f;
    std::sort(v.begin(), v.end());
    f.millimetres = v.back() < 1.0 && v.back() > 0;
    const double unit = f.millimetres ? 1e-3 : 1.0;
    // The smallest gap between different values, and the smallest non-zero value.
    double gap = 0, smallest = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] > 0 && smallest == 0) smallest = v[i];
        if (i > 0 && v[i] > v[i - 1] && (gap == 0 || v[i] - v[i - 1] < gap)) gap = v[i] - v[i - 1];
    }
    int decimals = 2;
    if (smallest > 0) decimals = std::max(decimals, 2 - static_cast<int>(std::floor(std::log10(smallest / unit))));
    if (gap > 0) decimals = std::max(decimals, 1 - static_cast<int>(std::floor(std::log10(gap / unit))));
    f.decimals = std::min(decimals, 9);
    return f;
}

std::string metres(double value) { return format_for({value}).text(value); }

std::string plain(double value) {
    if (value == 0) return "0";  // -0 too: the same value, one spelling
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
        char b[32];
        std::snprintf(b, sizeof b, "%.0f", value);
        return b;
    }
    if (std::isfinite(value) && std::fabs(value) >= 1e-6 && std::fabs(value) < 1e15) {
        // Fixed notation where it reads easily ("0.0001", not "1e-04").
        char b[64];
        const auto r = std::to_chars(b, b + sizeof b, value, std::chars_format::fixed);
        return std::string(b, r.ptr);
    }
    return json::number_text(value);
}

std::string field_text(double value) {
    const auto f = static_cast<float>(value);
    if (!std::isfinite(value) || static_cast<double>(f) != value) return plain(value);
    return json::number_text(value, true);
}

}  // namespace host
