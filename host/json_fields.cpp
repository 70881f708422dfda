#include "host/json_fields.h"

#include <cmath>
#include <utility>

namespace host {

void fail(const std::string& path, const std::string& what) { throw SchemaError{path, what}; }

Fields::Fields(const json& j, std::string path) : j_(j), path_(std::move(path)) {
    if (!j.is_object()) fail(path_.empty() ? "/" : path_, "expected an object");
}

const json* Fields::take(const char* key) {
    auto it = j_.find(key);
    if (it == j_.end()) return nullptr;
    taken_.insert(key);
    return &*it;
}

void Fields::finish() const {
    for (auto it = j_.begin(); it != j_.end(); ++it)
        if (!taken_.count(it.key())) fail(path_ + "/" + it.key(), "unknown field");
}

double number(const json& j, const std::string& path) {
    if (!j.is_number()) fail(path, "expected a number");
    const double v = j.get<double>();
    if (!std::isfinite(v)) fail(path, "not a finite number");
    return v;
}

double positive(const json& j, const std::string& path) {
    const double v = number(j, path);
    if (!(v > 0)) fail(path, "must be greater than 0");
    return v;
}

int32_t integer(const json& j, const std::string& path) {
    const double v = number(j, path);
    if (v != std::floor(v) || v < -2147483648.0 || v > 2147483647.0) fail(path, "expected a whole number");
    return static_cast<int32_t>(v);
}

bool boolean(const json& j, const std::string& path) {
    if (!j.is_boolean()) fail(path, "expected true or false");
    return j.get<bool>();
}

std::string text(const json& j, const std::string& path) {
    if (!j.is_string()) fail(path, "expected a string");
    return j.get<std::string>();
}

std::vector<double> numbers(const json& j, const std::string& path, size_t n) {
    if (!j.is_array() || j.size() != n) fail(path, "expected an array of " + std::to_string(n) + " numbers");
    std::vector<double> out;
    for (size_t i = 0; i < n; ++i) out.push_back(number(j[i], path + "/" + std::to_string(i)));
    return out;
}

Vec3 vec3(const json& j, const std::string& path) {
    const auto v = numbers(j, path, 3);
    return {v[0], v[1], v[2]};
}

std::vector<int32_t> integers(const json& j, const std::string& path) {
    if (!j.is_array()) fail(path, "expected an array of whole numbers");
    std::vector<int32_t> out;
    for (size_t i = 0; i < j.size(); ++i) out.push_back(integer(j[i], path + "/" + std::to_string(i)));
    return out;
}

namespace {

// Line and column (from 1) of a byte offset.
std::string place(const std::string& text, size_t byte) {
    size_t line = 1, col = 1;
    for (size_t i = 0; i < byte && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            col = 1;
        } else {
            ++col;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(col);
}

}  // namespace

bool parse_json(const std::string& text, const std::string& file, json& out, std::string& error) {
    try {
        out = json::parse(text);
        return true;
    } catch (const json::parse_error& e) {
        std::string why = e.what();
        const size_t colon = why.rfind(": ");
        why = colon == std::string::npos ? why : why.substr(colon + 2);
        const size_t at = e.byte > 0 ? e.byte - 1 : 0;
        error = file + ": " + place(text, at) + ": malformed JSON: " + why;
        return false;
    } catch (const std::exception& e) {
        error = file + ": malformed JSON: " + e.what();
        return false;
    }
}

std::string schema_message(const std::string& file, const SchemaError& e) {
    if (e.path.empty()) return e.what;
    return file + ": " + e.path + ": " + e.what;
}

}  // namespace host
