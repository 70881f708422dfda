// Writing JSON, and the UTF-8 checks both directions share.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "host/program/json.h"

namespace host::json {

// ---------------------------------------------------------------- UTF-8

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

// ---------------------------------------------------------------- writing

std::string number_text(double v) {
    if (!std::isfinite(v)) return "null";
    if (v == 0) return "0";  // -0 too: the same meaning, one spelling
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string quote(const std::string& raw) {
    const std::string s = valid_utf8(raw);
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char b[8];
                    std::snprintf(b, sizeof b, "\\u%04x", c);
                    out += b;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

namespace {

bool is_scalar(const Value& v) { return v.type != Value::Type::Array && v.type != Value::Type::Object; }

void write_to(std::string& out, const Value& v, int indent, int level) {
    const std::string pad = indent > 0 ? "\n" + std::string(static_cast<size_t>(indent * (level + 1)), ' ') : "";
    const std::string end_pad = indent > 0 ? "\n" + std::string(static_cast<size_t>(indent * level), ' ') : "";
    switch (v.type) {
        case Value::Type::Null: out += "null"; return;
        case Value::Type::Bool: out += v.boolean ? "true" : "false"; return;
        case Value::Type::Number: out += number_text(v.number); return;
        case Value::Type::String: out += quote(v.text); return;
        case Value::Type::Array: {
            bool flat = true;
            for (const Value& i : v.items) flat = flat && is_scalar(i);
            out += '[';
            for (size_t i = 0; i < v.items.size(); ++i) {
                if (i) out += flat || indent == 0 ? ", " : ",";
                if (!flat) out += pad;
                write_to(out, v.items[i], indent, level + 1);
            }
            if (!flat && !v.items.empty()) out += end_pad;
            out += ']';
            return;
        }
        case Value::Type::Object: {
            out += '{';
            for (size_t i = 0; i < v.members.size(); ++i) {
                if (i) out += indent == 0 ? ", " : ",";
                out += pad;
                out += quote(v.members[i].first);
                out += ": ";
                write_to(out, v.members[i].second, indent, level + 1);
            }
            if (!v.members.empty()) out += end_pad;
            out += '}';
            return;
        }
    }
}

}  // namespace

std::string write(const Value& v, int indent) {
    std::string out;
    write_to(out, v, indent, 0);
    return out;
}

}  // namespace host::json
