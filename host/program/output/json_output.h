// The program's results and errors as JSON: schema "taverin-host", version
// kJsonSchemaVersion, described in docs/taverin-host-json.md and
// docs/taverin-host.schema.json. The document is written in three parts, so that each step's
// results go out as the step is played: the head (up to the steps), each step, the end.
#pragma once

#include <string>
#include <vector>

#include "host/program/output/run_result.h"
#include "host/program/session/player.h"

namespace host {

inline constexpr int kJsonSchemaVersion = 2;

// The document up to the opening of its "steps" array.
std::string json_head(const RunInfo& r);
// One element of "steps" (`first`: the array's first); `pictures` are the files written for it.
std::string json_step(const StepRecord& rec, const std::vector<std::string>& pictures, bool first);
// The rest of the document after the last step, ending with a newline.
std::string json_end(const RunInfo& r);

// An error as one line of JSON (no newline): schema "taverin-host-error".
std::string json_error(int status, const std::string& message);

}  // namespace host
