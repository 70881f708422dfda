// The program's results and errors as JSON: schema "taverin-host", version
// kJsonSchemaVersion, described in docs/taverin-host-json.md and
// docs/taverin-host.schema.json.
#pragma once

#include <string>

#include "host/program/session_result.h"

namespace host {

inline constexpr int kJsonSchemaVersion = 1;

// The whole result document, indented, ending with a newline.
std::string json_results(const SessionResult& r);

// An error as one line of JSON (no newline): schema "taverin-host-error".
std::string json_error(int status, const std::string& message);

}  // namespace host
