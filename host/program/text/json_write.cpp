// Writing JSON: the same bytes on every platform.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "host/program/text/json.h"
#include "host/program/text/utf8.h"

namespace host::json {

// ---------------------------------------------------------------- writing

std::string number_text(double v, bool single) {
    if (!std::isfinite(v)) return "null";
    if (v == 0) return "0";  // -0 too: the same meaning, one spelling
    char buf[64];
    const auto r = single ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(v))
                          : std::to_chars(buf, buf + sizeof buf, v);
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
        case Value::Type::Number: out += number_text(v.number, v.single); return;
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

std::string write(const Value& v, int indent, int level) {
    std::string out;
    write_to(out, v, indent, level);
    return out;
}

}  // namespace host::json
