// Reading a JSON document field by field, for the scene and session readers: every value is
// checked where it is read, and a problem is reported with its line, column and JSON path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/program/input/source.h"
#include "host/program/limits.h"
#include "host/program/text/json.h"
#include "host/scene.h"

namespace host {

// A problem with one value: thrown inside the readers, caught where the document is read.
struct ReadError {
    size_t offset;
    std::string path;
    std::string what;
};

[[noreturn]] void refuse(const json::Value& v, const std::string& path, const std::string& what);

// "NAME:LINE:COLUMN: PATH: WHAT", the one-line message for a problem in `source`.
std::string message(const Source& source, const ReadError& e);

// Parses `source` into `out`; false with `error` set to the one-line message.
bool parse_source(const Source& source, json::Value& out, std::string& error);

// A JSON object whose fields are taken one by one; whatever is left over is unknown.
class Fields {
public:
    Fields(const json::Value& v, std::string path);
    const json::Value* take(const char* key);
    // A field that must be there.
    const json::Value& need(const char* key, const std::string& what_needs_it);
    std::string path(const char* key) const { return path_ + "/" + key; }
    void finish() const;

private:
    const json::Value& v_;
    std::string path_;
    std::vector<std::string> taken_;
};

double number(const json::Value& v, const std::string& path);
// A number in [lo, hi]; with `lo_open`, strictly above lo. `unit` follows the bounds in the
// message ("m", "mm", ...). A negative zero comes back as 0.
double bounded(const json::Value& v, const std::string& path, double lo, double hi, bool lo_open,
               const char* unit);
int32_t integer(const json::Value& v, const std::string& path, int32_t lo, int32_t hi);
bool boolean(const json::Value& v, const std::string& path);
// A string of at most `max_characters` characters.
std::string text(const json::Value& v, const std::string& path, size_t max_characters = kMaxNameLength);
// An array of exactly `n` elements.
const std::vector<json::Value>& array_of(const json::Value& v, const std::string& path, size_t n,
                                         const char* what);
const std::vector<json::Value>& array(const json::Value& v, const std::string& path, const char* what);
// A point whose coordinates are within the scene's extent.
Vec3 point(const json::Value& v, const std::string& path);
// The text of a number for messages (shortest form).
std::string shown(double v);

}  // namespace host
