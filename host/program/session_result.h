// Everything one run of taverin-host produced, which the transcript, the JSON, the pictures
// and the report are written from.
#pragma once

#include <string>
#include <vector>

#include "host/program/player.h"

namespace host {

struct SessionResult {
    std::string module_path;
    std::string server_name, class_name;
    int activation = 0;
    std::vector<std::string> services;  // the names the module looked up, in order
    std::string scene_name;             // the scene file, or "built-in demo scene"
    Camera camera_at_start;             // the camera before the first step
    double time_at_start = 0;
    Scene scene;                        // the scene after the last step (only the camera and
                                        // the time change during a session)
    std::vector<StepRecord> records;    // [0]: before the first step, then one per step
    // Per record, the pictures written for it (camera view, top view), when any.
    std::vector<std::vector<std::string>> pictures;
    std::string report;                 // the report's path, when one is written
};

// The transcript, the text the program prints without --json: a header (module, scene,
// camera), then one block per record.
std::string transcript(const SessionResult& r);
std::string transcript_header(const SessionResult& r);
std::string step_transcript(const StepRecord& rec, const std::vector<std::string>& pictures);

// The report page (--report): self-contained HTML with every step's transcript and pictures
// (`svgs[i]`: the pictures of record i) and buttons and keys to step through them.
std::string report_page(const SessionResult& r, const std::vector<std::vector<std::string>>& svgs);

}  // namespace host
