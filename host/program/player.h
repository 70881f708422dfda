// Plays a session against the loaded module and records what the module did at each step.
#pragma once

#include <string>
#include <vector>

#include "host/host.h"
#include "host/program/optics.h"
#include "host/program/session.h"

namespace host {

// A ray from the camera and what the host's scene says it hits first.
struct RayRecord {
    Vec3 origin, direction;
    bool hit = false;
    std::string object;
    double distance = 0;  // along the unit direction, m
    Vec3 point;
};

// Radii of the marks in one redraw: focus circle, near disc, far circle (NaN when not drawn).
struct Marks {
    double focus, near_limit, far_limit;
};
Marks marks_of(const std::vector<DrawCall>& draws);

// The panel's six fields, H P B X Y Z, as they show after a step.
inline constexpr const char* kFieldNames[6] = {"H", "P", "B", "X", "Y", "Z"};

struct StepRecord {
    size_t number = 0;                   // from 1; 0 is the state before the first step
    Step step;
    std::string action;                  // what the user did, in words
    int viewport_type = 0;               // of the step's viewport, when it has one
    bool delivered = true;               // false: a panel edit on a closed panel
    std::vector<std::string> commands;   // commands the module issued
    std::vector<std::string> command_errors;
    std::vector<KeyWrite> keys;          // envelope keys created or set
    std::vector<std::string> messages;   // messages shown (the empty ones left out)
    int instance_updates = 0;
    bool has_panel = false;
    double fields[6] = {};               // the fields' values after the step
    std::vector<std::string> changed;    // the fields whose value the step changed
    double focal_before = 0, focal_after = 0;
    bool has_ray = false;
    RayRecord ray;
    std::vector<DrawCall> draws;         // the redraw after the step
    Marks marks{};                       // the radii the module drew
    DepthOfField optics;                 // the host's own figures after the step
};

// The state before the first step: the first redraw after activation.
StepRecord initial_state(Host& h);

// Plays one step (the host redraws after it) and describes it.
StepRecord play_step(Host& h, const Step& step, size_t number);

// The nearest object along a ray, as the host sees it.
RayRecord cast(const Scene& scene, Vec3 origin, Vec3 direction);

// The viewport type's name: "camera view", "top view", ...
std::string viewport_kind(int type);

}  // namespace host
