#include "host/program/input/json_fields.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "host/program/text/format.h"
#include "host/program/text/utf8.h"

namespace host {

void refuse(const json::Value& v, const std::string& path, const std::string& what) {
    throw ReadError{v.offset, path.empty() ? "/" : path, what};
}

std::string message(const Source& source, const ReadError& e) {
    int line = 0, column = 0;
    json::position(source.text, e.offset, line, column);
    return one_line(source.name + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + e.path + ": " + e.what);
}

bool parse_source(const Source& source, json::Value& out, std::string& error) {
    json::ParseError e;
    if (json::parse(source.text, out, e)) return true;
    error = one_line(source.name + ":" + std::to_string(e.line) + ":" + std::to_string(e.column) + ": malformed JSON: " + e.what);
    return false;
}

Fields::Fields(const json::Value& v, std::string path) : v_(v), path_(std::move(path)) {
    if (v.type != json::Value::Type::Object) refuse(v, path_, "expected an object");
}

const json::Value* Fields::take(const char* key) {
    const json::Value* found = v_.find(key);
    if (found) taken_.emplace_back(key);
    return found;
}

const json::Value& Fields::need(const char* key, const std::string& what_needs_it) {
    const json::Value* found = take(key);
    if (!found) refuse(v_, path_, what_needs_it + " needs \"" + key + "\"");
    return *found;
}

void Fields::finish() const {
    for (const auto& m : v_.members)
        if (std::find(taken_.begin(), taken_.end(), m.first) == taken_.end())
            refuse(m.second, path_ + "/" + clipped(m.first), "unknown field");
}

std::string shown(double v) { return plain(v); }

double number(const json::Value& v, const std::string& path) {
    if (v.type != json::Value::Type::Number) refuse(v, path, "expected a number");
    return v.number;  // the reader refuses numbers beyond a double's range
}

double bounded(const json::Value& v, const std::string& path, double lo, double hi, bool lo_open,
               const char* unit) {
    const double x = number(v, path);
    const std::string u = unit && *unit ? std::string(" ") + unit : std::string();
    if (lo_open && !(x > lo)) refuse(v, path, "must be greater than " + shown(lo) + u);
    if (!lo_open && x < lo) {
        if (lo == 0) refuse(v, path, "must not be negative");
        refuse(v, path, "must be at least " + shown(lo) + u);
    }
    if (x > hi) refuse(v, path, "must be at most " + shown(hi) + u);
    return x + 0.0;  // -0 becomes 0: the same value, one spelling in every output
}

int32_t integer(const json::Value& v, const std::string& path, int32_t lo, int32_t hi) {
    const double x = number(v, path);
    if (x != std::floor(x)) refuse(v, path, "expected a whole number");
    if (x < lo || x > hi) refuse(v, path, "must be from " + std::to_string(lo) + " to " + std::to_string(hi));
    return static_cast<int32_t>(x);
}

bool boolean(const json::Value& v, const std::string& path) {
    if (v.type != json::Value::Type::Bool) refuse(v, path, "expected true or false");
    return v.boolean;
}

std::string text(const json::Value& v, const std::string& path, size_t max_characters) {
    if (v.type != json::Value::Type::String) refuse(v, path, "expected a string");
    if (utf8_length(v.text) > max_characters)
        refuse(v, path, "longer than " + std::to_string(max_characters) + " characters");
    return v.text;
}

const std::vector<json::Value>& array(const json::Value& v, const std::string& path, const char* what) {
    if (v.type != json::Value::Type::Array) refuse(v, path, std::string("expected an array of ") + what);
    return v.items;
}

const std::vector<json::Value>& array_of(const json::Value& v, const std::string& path, size_t n,
                                         const char* what) {
    if (v.type != json::Value::Type::Array || v.items.size() != n)
        refuse(v, path, "expected an array of " + std::to_string(n) + " " + what);
    return v.items;
}

Vec3 point(const json::Value& v, const std::string& path) {
    const auto& a = array_of(v, path, 3, "numbers");
    double c[3];
    for (size_t i = 0; i < 3; ++i)
        c[i] = bounded(a[i], path + "/" + std::to_string(i), -kMaxCoordinate, kMaxCoordinate, false, "m");
    return {c[0], c[1], c[2]};
}

}  // namespace host
