// Plays a session against the loaded module and records what the module did at each step.
#pragma once

#include <string>
#include <vector>

#include "host/host.h"
#include "host/program/session/camera_view.h"
#include "host/program/session/marks.h"
#include "host/program/session/object_focus.h"
#include "host/program/session/optics.h"
#include "host/program/session/sharpness.h"
#include "host/program/session/step.h"

namespace host {

// A ray from the camera and what the host's scene says it hits first.
struct RayRecord {
    Vec3 origin, direction;
    bool hit = false;
    std::string object;
    double distance = 0;  // along the unit direction, m
    Vec3 point;
};

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
    double fields[6] = {};               // the fields' values after the step (kPanelFields' order)
    std::vector<std::string> changed;    // the fields whose value the step changed
    double focal_before = 0, focal_after = 0;
    bool has_ray = false;
    RayRecord ray;
    std::vector<DrawnMark> drawn;        // the marks of the redraw after the step
    Marks marks{};                       // their radii
    DepthOfField optics;                 // the host's own figures after the step
    bool depth_of_field_on = false;      // the camera's depth-of-field flag after the step
    Sharpness sharpness;                 // how sharp each distance is after the step
    std::vector<ObjectFocus> objects;    // each object's distances and blur, in the scene's order
};

// Plays a session against the loaded, activated module, a step at a time.
class Player {
public:
    // Casts the camera view once: the camera does not move during a session.
    explicit Player(Host& h);
    // The state before the first step: the first redraw after activation.
    StepRecord initial();
    // Plays one step (the host redraws after it) and describes it.
    StepRecord play(const Step& step, size_t number);
    const CameraView& view() const { return view_; }

private:
    void describe_focus(StepRecord& rec) const;
    Host& h_;
    CameraView view_;
};

// The nearest object along a ray, as the host sees it.
RayRecord cast(const Scene& scene, Vec3 origin, Vec3 direction);

// The viewport type's name: "camera view", "top view", ...
std::string viewport_kind(int type);

}  // namespace host
