// The report page (--report): one self-contained HTML file (no network, no other files) with
// the scene summary, every step's transcript and pictures, and a way to step through them.
//
// It is written a step at a time, and its size stays bounded: a picture that is the same as
// the step before's (its title aside) is stored once and shown again from there, and pictures
// beyond kMaxReportPictureBytes in all are left out, each with a note naming its file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/program/output/run_result.h"
#include "host/program/session/player.h"

namespace host {

inline constexpr size_t kMaxReportPictureBytes = size_t{64} << 20;

class Report {
public:
    // `pictures`: whether the run draws pictures at all.
    Report(const RunInfo& r, bool pictures);
    std::string head() const;
    // The section of one step; `svgs`: its pictures (camera view, top view), when drawn;
    // `files`: the files they were written to, when written.
    std::string step(const StepRecord& rec, const std::vector<std::string>& svgs,
                     const std::vector<std::string>& files);
    std::string end() const;

private:
    struct Shown {
        std::string untitled;  // the last picture stored of a view, without its title
        size_t section = 0;    // the section it is stored in
    };
    const RunInfo& run_;
    bool pictures_;
    Shown shown_[2];
    size_t sections_ = 0;
    size_t picture_bytes_ = 0;
};

}  // namespace host
