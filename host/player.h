// Plays a session against the loaded module and records what the module did at each step.
#pragma once

#include <string>
#include <vector>

#include "host/host.h"
#include "host/session.h"

namespace host {

struct RayRecord {
    Vec3 origin, direction;
    bool hit = false;
    std::string object;
    double distance = 0;
    Vec3 point;
};

struct StepRecord {
    std::string action;                  // what the user did, in words
    std::vector<std::string> commands;   // commands the module issued
    std::vector<std::string> command_errors;
    std::vector<std::string> keys;       // envelope keys created or set
    std::vector<std::string> messages;   // messages shown (the empty ones left out)
    int instance_updates = 0;
    std::vector<std::string> fields;     // panel fields whose value changed, "H = 15"
    double focal_before = 0, focal_after = 0;
    bool has_ray = false;
    RayRecord ray;
    std::vector<DrawCall> draws;         // the redraw after the step
};

// Checks that every viewport, control and item a session names exists in the scene.
bool validate_session(const Scene& scene, const std::vector<Step>& steps, const std::string& file,
                      std::string& error);

// Plays one step (the host redraws after it) and describes it.
StepRecord play_step(Host& h, const Step& step);

// The nearest object along a ray, as the host sees it.
RayRecord cast(const Scene& scene, Vec3 origin, Vec3 direction);

// Radii of the marks in a redraw: focus circle, near disc, far circle (NaN when not drawn).
struct Marks {
    double focus, near_limit, far_limit;
};
Marks marks_of(const std::vector<DrawCall>& draws);

}  // namespace host
