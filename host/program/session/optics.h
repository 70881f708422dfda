// The camera's depth of field as the stand-in host works it out for its reports, beside the
// marks the module draws: the same hyperfocal-distance method (a circle of confusion of one
// 1730th of the film diagonal), in metres, with the cases the module leaves undrawn named.
#pragma once

#include <string>

#include "host/scene.h"

namespace host {

struct DepthOfField {
    double focus = 0;       // focal distance, m
    double hyperfocal = 0;  // m; infinite with no blur
    double near_limit = 0;  // m; NaN with no blur
    double far_limit = 0;   // m; infinite when focused at or beyond the hyperfocal distance
    double total = 0;       // far - near, m; infinite or NaN as they are
    // Why the module draws no near or far limit, or empty when it draws both: in a sentence,
    // and in a few words for the pictures' legends.
    std::string limits_note;
    std::string limits_short;
};

DepthOfField depth_of_field(const Camera& camera, double time);

}  // namespace host
