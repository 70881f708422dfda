// The transcript, the text the program prints without --json: a header (module, scene,
// camera), then one block per step, then where the report is.
#pragma once

#include <string>
#include <vector>

#include "host/program/output/run_result.h"
#include "host/program/session/player.h"

namespace host {

std::string transcript_header(const RunInfo& r);
// A step's block; `pictures` are the files written for it, when any.
std::string step_transcript(const StepRecord& rec, const std::vector<std::string>& pictures);
std::string transcript_end(const RunInfo& r);

}  // namespace host
