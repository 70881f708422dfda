#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>
#include <unordered_set>

#include "host/program/text/format.h"
#include "host/program/text/json.h"
#include "host/program/text/utf8.h"

namespace host::json {

// ---------------------------------------------------------------- values

const Value* Value::find(const std::string& key) const {
    for (const auto& m : members)
        if (m.first == key) return &m.second;
    return nullptr;
}

Value Value::null() { return Value{}; }
Value Value::of(bool b) {
    Value v;
    v.type = Type::Bool;
    v.boolean = b;
    return v;
}
Value Value::of(double d) {
    Value v;
    v.type = Type::Number;
    v.number = d;
    return v;
}
Value Value::of_single(double d) {
    Value v = of(d);
    v.single = std::isfinite(d) && static_cast<double>(static_cast<float>(d)) == d;
    return v;
}
Value Value::of(int i) { return of(static_cast<double>(i)); }
Value Value::of(size_t i) { return of(static_cast<double>(i)); }
Value Value::of(const std::string& s) {
    Value v;
    v.type = Type::String;
    v.text = s;
    return v;
}
Value Value::of(const char* s) { return s ? of(std::string(s)) : null(); }
Value Value::array() {
    Value v;
    v.type = Type::Array;
    return v;
}
Value Value::object() {
    Value v;
    v.type = Type::Object;
    return v;
}
Value Value::object(std::initializer_list<std::pair<const char*, Value>> members) {
    Value v = object();
    for (const auto& m : members) v.set(m.first, m.second);
    return v;
}
Value& Value::add(Value v) {
    items.push_back(std::move(v));
    return items.back();
}
Value& Value::set(const std::string& key, Value v) {
    members.emplace_back(key, std::move(v));
    return members.back().second;
}

// ---------------------------------------------------------------- reading

namespace {

constexpr int kMaxDepth = 64;

class Reader {
public:
    Reader(const std::string& text, ParseError& error) : s_(text), error_(error) {}

    bool document(Value& out) {
        if (!check_utf8()) return false;
        skip_blanks();
        if (!value(out, 0)) return false;
        skip_blanks();
        if (pos_ < s_.size()) return fail("unexpected text after the end of the document");
        return true;
    }

private:
    const std::string& s_;
    ParseError& error_;
    size_t pos_ = 0;

    bool fail(const std::string& what) { return fail_at(pos_, what); }
    bool fail_at(size_t p, const std::string& what) {
        position(s_, p, error_.line, error_.column);
        error_.what = what;
        return false;
    }

    bool check_utf8() {
        for (size_t i = 0; i < s_.size();) {
            const size_t n = utf8_sequence(s_, i);
            if (n == 0) return fail_at(i, "the text is not UTF-8 here");
            i += n;
        }
        return true;
    }

    void skip_blanks() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n')) ++pos_;
    }

    bool literal(const char* word, Value& out, Value::Type type, bool b) {
        const std::string w = word;
        if (s_.compare(pos_, w.size(), w) != 0) return fail("unexpected character; expected a value");
        pos_ += w.size();
        out.type = type;
        out.boolean = b;
        return true;
    }

    bool value(Value& out, int depth) {
        out.offset = pos_;
        if (pos_ >= s_.size()) return fail("unexpected end of the text; expected a value");
        const char c = s_[pos_];
        if (c == '{' || c == '[') {
            if (depth >= kMaxDepth) return fail("nested more than 64 levels deep");
            return c == '{' ? object(out, depth) : array(out, depth);
        }
        if (c == '"') {
            out.type = Value::Type::String;
            return string(out.text);
        }
        if (c == 't') return literal("true", out, Value::Type::Bool, true);
        if (c == 'f') return literal("false", out, Value::Type::Bool, false);
        if (c == 'n') return literal("null", out, Value::Type::Null, false);
        if (c == '-' || (c >= '0' && c <= '9')) return number(out);
        if (c == 'N' || c == 'I') return fail("NaN and Infinity are not JSON numbers");
        return fail("unexpected character; expected a value");
    }

    bool digits() {
        const size_t start = pos_;
        while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
        return pos_ > start;
    }

    bool number(Value& out) {
        const size_t start = pos_;
        if (s_[pos_] == '-') ++pos_;
        if (pos_ < s_.size() && s_[pos_] == '0') {
            ++pos_;
        } else if (!digits()) {
            return fail_at(start, "malformed number");
        }
        if (pos_ < s_.size() && s_[pos_] == '.') {
            ++pos_;
            if (!digits()) return fail_at(start, "malformed number");
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
            if (!digits()) return fail_at(start, "malformed number");
        }
        double v = 0;
        const auto r = std::from_chars(s_.data() + start, s_.data() + pos_, v);
        if (r.ec == std::errc::result_out_of_range || (r.ec == std::errc{} && !std::isfinite(v)))
            return fail_at(start, "the number " + s_.substr(start, std::min<size_t>(pos_ - start, 40)) +
                                      " is out of the range of a double");
        if (r.ec != std::errc{} || r.ptr != s_.data() + pos_) return fail_at(start, "malformed number");
        out.type = Value::Type::Number;
        out.number = v;
        return true;
    }

    static void append_code_point(std::string& out, uint32_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool hex4(uint32_t& out) {
        out = 0;
        for (int k = 0; k < 4; ++k, ++pos_) {
            if (pos_ >= s_.size()) return fail("unexpected end of the text in a \\u escape");
            const char c = s_[pos_];
            uint32_t d = 0;
            if (c >= '0' && c <= '9') d = static_cast<uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') d = static_cast<uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') d = static_cast<uint32_t>(c - 'A' + 10);
            else return fail("a \\u escape needs four hexadecimal digits");
            out = out * 16 + d;
        }
        return true;
    }

    bool escape(std::string& out) {
        ++pos_;  // the backslash
        if (pos_ >= s_.size()) return fail("unexpected end of the text in a string");
        const char c = s_[pos_++];
        switch (c) {
            case '"': out += '"'; return true;
            case '\\': out += '\\'; return true;
            case '/': out += '/'; return true;
            case 'b': out += '\b'; return true;
            case 'f': out += '\f'; return true;
            case 'n': out += '\n'; return true;
            case 'r': out += '\r'; return true;
            case 't': out += '\t'; return true;
            case 'u': break;
            default: --pos_; return fail("unknown escape in a string");
        }
        uint32_t cp = 0;
        if (!hex4(cp)) return false;
        if (cp >= 0xDC00 && cp <= 0xDFFF) return fail("a \\u escape names half a character (a lone surrogate)");
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            uint32_t low = 0;
            if (s_.compare(pos_, 2, "\\u") != 0) return fail("a \\u escape names half a character (a lone surrogate)");
            pos_ += 2;
            if (!hex4(low)) return false;
            if (low < 0xDC00 || low > 0xDFFF) return fail("a \\u escape names half a character (a lone surrogate)");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        }
        append_code_point(out, cp);
        return true;
    }

    bool string(std::string& out) {
        ++pos_;  // the opening quote
        while (true) {
            if (pos_ >= s_.size()) return fail("unexpected end of the text in a string");
            const char c = s_[pos_];
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c == '\\') {
                if (!escape(out)) return false;
                continue;
            }
            if (static_cast<unsigned char>(c) < 0x20) return fail("a control character in a string (write it as an escape)");
            out += c;
            ++pos_;
        }
    }

    // The elements of an array or the members of an object: `one` reads each; `close` ends
    // the sequence; `what` names it in messages.
    template <typename One>
    bool sequence(char close, const char* what, One one) {
        ++pos_;
        skip_blanks();
        if (pos_ < s_.size() && s_[pos_] == close) {
            ++pos_;
            return true;
        }
        while (true) {
            skip_blanks();
            if (!one()) return false;
            skip_blanks();
            if (pos_ >= s_.size()) return fail(std::string("unexpected end of the text in ") + what);
            if (s_[pos_] == close) {
                ++pos_;
                return true;
            }
            if (s_[pos_] != ',') return fail(std::string("expected ',' or '") + close + "' in " + what);
            ++pos_;
        }
    }

    bool array(Value& out, int depth) {
        out.type = Value::Type::Array;
        return sequence(']', "an array", [&] {
            Value item;
            if (!value(item, depth + 1)) return false;
            out.items.push_back(std::move(item));
            return true;
        });
    }

    bool object(Value& out, int depth) {
        out.type = Value::Type::Object;
        // The keys seen so far, once an object has more than a few: each key is then checked
        // in constant time, so that reading an object stays linear in its size.
        constexpr size_t kScanned = 8;
        std::unordered_set<std::string> keys;
        return sequence('}', "an object", [&] {
            if (pos_ >= s_.size()) return fail("unexpected end of the text in an object");
            if (s_[pos_] != '"') return fail("expected a key in quotes");
            const size_t key_at = pos_;
            std::string key;
            if (!string(key)) return false;
            bool twice = false;
            if (out.members.size() < kScanned) {
                twice = out.find(key) != nullptr;
            } else {
                if (keys.empty())
                    for (const auto& m : out.members) keys.insert(m.first);
                twice = !keys.insert(key).second;
            }
            if (twice) return fail_at(key_at, "the key \"" + clipped(key) + "\" appears twice in one object");
            skip_blanks();
            if (pos_ >= s_.size() || s_[pos_] != ':') return fail("expected ':' after a key");
            ++pos_;
            skip_blanks();
            Value v;
            if (!value(v, depth + 1)) return false;
            out.members.emplace_back(std::move(key), std::move(v));
            return true;
        });
    }
};

}  // namespace

void position(const std::string& text, size_t offset, int& line, int& column) {
    line = 1;
    column = 1;
    for (size_t i = 0; i < offset && i < text.size();) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
            ++i;
            continue;
        }
        const size_t n = utf8_sequence(text, i);
        i += n ? n : 1;
        ++column;
    }
}

bool parse(const std::string& text, Value& out, ParseError& error) {
    Value v;
    Reader r(text, error);
    if (!r.document(v)) return false;
    out = std::move(v);
    return true;
}

}  // namespace host::json
