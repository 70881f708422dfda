// Reading JSON documents field by field, for the scene and session readers: every value is
// checked where it is read, and a problem is reported with the JSON path of the value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/scene.h"

namespace host {

using nlohmann::json;

// A problem at a JSON path; the reader turns it into its one-line message.
struct SchemaError {
    std::string path;
    std::string what;
};

[[noreturn]] void fail(const std::string& path, const std::string& what);

// A JSON object whose fields are taken one by one; whatever is left over is unknown.
class Fields {
public:
    Fields(const json& j, std::string path);
    const json* take(const char* key);
    std::string path(const char* key) const { return path_ + "/" + key; }
    void finish() const;

private:
    const json& j_;
    std::string path_;
    std::set<std::string> taken_;
};

double number(const json& j, const std::string& path);
double positive(const json& j, const std::string& path);
int32_t integer(const json& j, const std::string& path);
bool boolean(const json& j, const std::string& path);
std::string text(const json& j, const std::string& path);
std::vector<double> numbers(const json& j, const std::string& path, size_t n);
Vec3 vec3(const json& j, const std::string& path);
std::vector<int32_t> integers(const json& j, const std::string& path);

// Parses `text` into `out`; false with `error` naming `file`, the line and column.
bool parse_json(const std::string& text, const std::string& file, json& out, std::string& error);
// The one-line message of a schema error in `file`.
std::string schema_message(const std::string& file, const SchemaError& e);

}  // namespace host
